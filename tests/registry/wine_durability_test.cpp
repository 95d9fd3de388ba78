// When changes to a Wine registry reach the disk, and files rewritten by others.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/wine/wine_registry.h"
#include "tests/support/host_files.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using korvex::testing::CopyFixtures;
using korvex::testing::inodeOf;
using korvex::testing::sz;
using korvex::test::ReadHostFile;
using korvex::test::TempHostFolder;
using korvex::test::WriteHostFile;

struct DurabilityFixture : ::testing::Test {
    void SetUp() override {
        CopyFixtures(dir.path());
        userText = ReadHostFile(dir / "user.reg");
        reg = WineRegistry::open(dir.path(), nullptr);
        ASSERT_TRUE(reg);
    }
    bool onDisk(const std::string& text) { return ReadHostFile(dir / "user.reg").find(text) != std::string::npos; }
    HKEY open(const std::string& path, std::uint32_t access = KEY_ALL_ACCESS_RW) {
        HKEY key = 0;
        EXPECT_EQ(reg->openKey(HKEY_CURRENT_USER, path, access, &key), ERROR_SUCCESS);
        return key;
    }
    TempHostFolder dir;
    std::string userText;
    std::unique_ptr<WineRegistry> reg;
};

TEST_F(DurabilityFixture, ClosingTheChangingHandleSaves) {
    HKEY changing = open("Environment");
    HKEY reading = open("Environment", KEY_READ);
    HKEY other = open("Environment");
    ASSERT_EQ(reg->setValue(changing, "KORVEX", REG_SZ, sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), userText);
    EXPECT_EQ(reg->closeKey(reading), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(other), ERROR_SUCCESS);
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), userText);
    EXPECT_EQ(reg->closeKey(changing), ERROR_SUCCESS);
    EXPECT_TRUE(onDisk("\n\"KORVEX\"=\"1\"\n"));

    // Setting what is already there changes nothing on disk.
    const ino_t inode = inodeOf(dir / "user.reg");
    HKEY again = open("environment");
    ASSERT_EQ(reg->setValue(again, "korvex", REG_SZ, sz("1")), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(again), ERROR_SUCCESS);
    EXPECT_EQ(inodeOf(dir / "user.reg"), inode);
}

TEST_F(DurabilityFixture, DeleteTreeFlushAndDestructionSave) {
    ASSERT_TRUE(onDisk("[Software\\\\Wine\\\\Fonts\\\\External Fonts]"));
    HKEY held = open("Software\\Wine");
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "Software\\Wine\\Fonts"), ERROR_SUCCESS);
    EXPECT_FALSE(onDisk("[Software\\\\Wine\\\\Fonts"));
    EXPECT_TRUE(onDisk("[Software\\\\Wine\\\\DllOverrides]"));

    ASSERT_EQ(reg->setValue(held, "Flushed", REG_SZ, sz("yes")), ERROR_SUCCESS);
    EXPECT_FALSE(onDisk("\"Flushed\"=\"yes\""));
    EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    EXPECT_TRUE(onDisk("\n[Software\\\\Wine] "));
    EXPECT_TRUE(onDisk("\"Flushed\"=\"yes\""));

    ASSERT_EQ(reg->setValue(held, "Destroyed", REG_SZ, sz("yes")), ERROR_SUCCESS);
    reg.reset();  // the handle was never closed
    EXPECT_TRUE(onDisk("\"Destroyed\"=\"yes\""));
}

TEST_F(DurabilityFixture, FilesRewrittenByOthers) {
    // With no handle open, the registry follows a file that Wine rewrote.
    std::string changed = userText + "\n[Software\\\\Vendor] 1796506643\n#time=1dd8500d04087b2\n\"Name\"=\"new\"\n";
    WriteHostFile(dir / "user.reg", changed);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // files are looked at once a second
    HKEY key = open("Software\\Vendor");
    std::string data;
    EXPECT_EQ(reg->queryValue(key, "Name", nullptr, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, sz("new"));
    ASSERT_EQ(reg->setValue(key, "Mine", REG_SZ, sz("1")), ERROR_SUCCESS);

    // Rewritten again while Korvex has a change pending: Korvex refuses to overwrite it.
    const std::string theirs = changed + "\"Theirs\"=\"2\"\n";
    WriteHostFile(dir / "user.reg", theirs);
    EXPECT_EQ(reg->setValue(key, "Other", REG_SZ, sz("1")), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(reg->writeRefusal(),
              "Another program changed " + (dir / "user.reg") +
                  " after Korvex read it. Close Korvex's window and try again: Korvex does not overwrite changes it "
                  "has not seen.");
    EXPECT_EQ(reg->closeKey(key), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(reg->flush(), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), theirs);
    reg.reset();
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), theirs);
}

TEST(WineRegistryOpen, BadPrefixes) {
    TempHostFolder dir;
    std::string error;
    EXPECT_FALSE(WineRegistry::open(dir / "missing", &error));
    EXPECT_EQ(error, dir / "missing" + " is not a folder.");
    WriteHostFile(dir / "system.reg", "REGEDIT4\n");
    EXPECT_FALSE(WineRegistry::open(dir.path(), &error));
    EXPECT_EQ(error, dir / "system.reg" + " is not a Wine registry file.");
}

}  // namespace
}  // namespace korvex::wine
