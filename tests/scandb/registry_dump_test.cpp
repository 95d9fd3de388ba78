#include <gtest/gtest.h>

#include <string>

#include "scandb/registry_dump.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

struct DumpFixture : test::MemoryMachine {
    bool stop = false;

    DumpFixture() { files.createFolder("C:\\"); }
    // The dump's result and what it left in the output file: "1:<lines>".
    std::string dump(HKEY root, std::string_view start, std::string_view excluded,
                     const std::string& output = "C:\\RegTemp.kvd") {
        const int result = scandb::DumpRegistryTree(access, files, prompt, root, start, output, stop, excluded);
        return std::to_string(result) + ":" + files.contents(output);
    }
};

TEST(DumpRegistryTree, HiveRootFirstThenSubTreesInReverseEnumerationOrderUntilStopped) {
    DumpFixture f;
    for (const char* key : {"HKCU\\A\\A1", "HKCU\\B", "HKCU\\A\\A2\\Deep", "HKLM\\Other"})
        f.registry.setString(key, "v", "1");
    f.files.put("C:\\RegTemp.kvd", "old content that must go\r\n");
    EXPECT_EQ(f.dump(HKEY_CURRENT_USER, "", ""), "1:\r\nB\r\nA\r\nA\\A2\r\nA\\A2\\Deep\r\nA\\A1\r\n");
    // An output file that cannot be created (no such folder): the dump still ends normally.
    EXPECT_EQ(f.dump(HKEY_CURRENT_USER, "", "", "C:\\none\\x.kvd"), "1:");

    // Stopped as soon as the dump hands control back: the key written so far.
    f.prompt.onYield = [&] { f.stop = true; };
    EXPECT_EQ(f.dump(HKEY_CURRENT_USER, "", ""), "0:\r\n");
    EXPECT_EQ(f.registry.openCount, 0);  // every key opened for the enumeration is closed
}

TEST(DumpRegistryTree, ExcludedKeyInAnyCaseAndStartKey) {
    DumpFixture f;
    f.registry.setString("HKLM\\Software\\Classes\\.txt", "", "txtfile");
    for (const char* key : {"HKLM\\Software\\ClassesX", "HKLM\\Software\\Vendor\\App", "HKLM\\System\\Setup"})
        f.registry.setString(key, "v", "1");
    const std::string software = "Software\r\nSoftware\\Vendor\r\nSoftware\\Vendor\\App\r\nSoftware\\ClassesX\r\n";
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "", "SOFTWARE\\Classes"), "1:\r\nSystem\r\nSystem\\Setup\r\n" + software);
    // Starting at "Software": its line first, nothing outside it; excluded as before.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Software", "software\\classes"), "1:" + software);
    // Nothing excluded: the Classes branch is there.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Software", ""),
              "1:" + software + "Software\\Classes\r\nSoftware\\Classes\\.txt\r\n");
    // A start key that does not exist is listed, with nothing below it.
    EXPECT_EQ(f.dump(HKEY_LOCAL_MACHINE, "Nowhere", ""), "1:Nowhere\r\n");
}

}  // namespace
}  // namespace korvex
