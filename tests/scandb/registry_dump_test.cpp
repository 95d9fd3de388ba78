#include <gtest/gtest.h>

#include <string>

#include "scandb/registry_dump.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

struct DumpFixture : test::MemoryMachine {
    bool stop = false;

    DumpFixture() { files.createFolder("C:\\"); }
    int dump(HKEY root, std::string_view start, std::string_view excluded) {
        return scandb::DumpRegistryTree(access, files, prompt, root, start, "C:\\RegTemp.kvd", stop, excluded);
    }
    std::string output() const { return files.contents("C:\\RegTemp.kvd"); }
};

TEST(DumpRegistryTree, HiveRootFirstThenSubTreesInReverseEnumerationOrder) {
    DumpFixture f;
    f.registry.setString("HKCU\\A\\A1", "v", "1");
    f.registry.setString("HKCU\\B", "v", "1");
    f.registry.setString("HKCU\\A\\A2\\Deep", "v", "1");
    f.registry.setString("HKLM\\Other", "v", "1");
    f.files.put("C:\\RegTemp.kvd", "old content that must go\r\n");
    EXPECT_EQ(f.dump(HKEY_CURRENT_USER, "", ""), 1);
    EXPECT_EQ(f.output(), "\r\nB\r\nA\r\nA\\A2\r\nA\\A2\\Deep\r\nA\\A1\r\n");
    EXPECT_EQ(f.registry.openCount, 0);  // every key opened for the enumeration is closed
}

TEST(DumpRegistryTree, ExcludedKeyInAnyCaseAndStartKey) {
    DumpFixture f;
    f.registry.setString("HKLM\\Software\\Classes\\.txt", "", "txtfile");
    f.registry.setString("HKLM\\Software\\ClassesX", "v", "1");
    f.registry.setString("HKLM\\Software\\Vendor\\App", "v", "1");
    f.registry.setString("HKLM\\System\\Setup", "v", "1");

    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "", "SOFTWARE\\Classes"), 1);
    EXPECT_EQ(f.output(),
              "\r\nSystem\r\nSystem\\Setup\r\nSoftware\r\nSoftware\\Vendor\r\nSoftware\\Vendor\\App\r\n"
              "Software\\ClassesX\r\n");

    // Starting at "Software": its line first, nothing outside it; excluded as before.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Software", "software\\classes"), 1);
    EXPECT_EQ(f.output(), "Software\r\nSoftware\\Vendor\r\nSoftware\\Vendor\\App\r\nSoftware\\ClassesX\r\n");

    // Nothing excluded: the Classes branch is there.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Software", ""), 1);
    EXPECT_EQ(f.output(),
              "Software\r\nSoftware\\Vendor\r\nSoftware\\Vendor\\App\r\nSoftware\\ClassesX\r\n"
              "Software\\Classes\r\nSoftware\\Classes\\.txt\r\n");

    // A start key that does not exist is listed, with nothing below it.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Nowhere", ""), 1);
    EXPECT_EQ(f.output(), "Nowhere\r\n");
}

TEST(DumpRegistryTree, StopEndsAfterTheCurrentKey) {
    DumpFixture f;
    f.registry.setString("HKCU\\A\\A1", "v", "1");
    f.registry.setString("HKCU\\B", "v", "1");
    // Stop as soon as the dump hands control back for the first time.
    f.prompt.onYield = [&] { f.stop = true; };
    EXPECT_EQ(f.dump(HKEY_CURRENT_USER, "", ""), 0);
    const std::string partial = f.output();
    EXPECT_EQ(partial.substr(0, 2), "\r\n");  // at least the starting key's line
    EXPECT_LT(partial.size(), std::string("\r\nB\r\nA\r\nA\\A1\r\n").size());
    EXPECT_EQ(f.registry.openCount, 0);
}

TEST(DumpRegistryTree, OutputThatCannotBeWrittenIsNotLeftBehind) {
    DumpFixture f;
    f.registry.setString("HKCU\\A", "v", "1");
    // No such folder: the file cannot be created; the dump still ends normally.
    EXPECT_EQ(scandb::DumpRegistryTree(f.access, f.files, f.prompt, HKEY_CURRENT_USER, "", "C:\\none\\x.kvd",
                                       f.stop, ""),
              1);
    EXPECT_FALSE(f.files.exists("C:\\none\\x.kvd"));
}

}  // namespace
}  // namespace korvex
