// The registry of a Wine prefix through the Registry calls: real prefix files, new
// files, names, data forms, links, when changes reach the disk, and files rewritten
// by others.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "platform/wine/reg_text.h"
#include "platform/wine/wine_registry.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using namespace korvex::testing;

std::unique_ptr<WineRegistry> openPrefix(const std::string& dir) {
    std::string error;
    auto reg = WineRegistry::open(dir, &error);
    EXPECT_TRUE(reg) << error;
    return reg;
}

// A file's text with the time stamps of its sections blanked: "] <s>" for the Unix
// seconds (of this century: "17..."), "#time=<t>" for the file time.
std::string withoutTimes(const std::string& text) {
    const std::string seconds = std::regex_replace(text, std::regex("\\] 17[0-9]{8}\n"), "] <s>\n");
    return std::regex_replace(seconds, std::regex("\n#time=[0-9a-f]+\n"), "\n#time=<t>\n");
}

TEST(WineRegistry, RealPrefixIsLeftByteIdenticalAndChangesTouchOnlyTheirOwnLines) {
    TempHostFolder dir;
    CopyFixtures(dir.path());
    const std::string system = ReadHostFile(dir / "system.reg"), user = ReadHostFile(dir / "user.reg");
    const ino_t systemInode = inodeOf(dir / "system.reg"), userInode = inodeOf(dir / "user.reg");
    {
        auto reg = openPrefix(dir.path());
        ASSERT_TRUE(reg);
        EXPECT_EQ(Query(*reg, HKEY_CURRENT_USER, "Control Panel\\Accessibility\\AudioDescription", "Locale"),
                  std::string(4, '\0'));
        // The classes root itself is HKLM\Software\Classes, also when used as a handle.
        std::string first;
        EXPECT_EQ(reg->enumKey(HKEY_CLASSES_ROOT, 0, &first), ERROR_SUCCESS);
        EXPECT_EQ(first, "*");

        // Both hives walk to an end although the machine's holds links; every key of the
        // user's file is there, with the parents its sections imply.
        EXPECT_EQ(WalkTree(*reg, HKEY_LOCAL_MACHINE, ""), 10484u);
        EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, ""), 73u);
        EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), system);
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), user);
    EXPECT_EQ(inodeOf(dir / "system.reg"), systemInode);  // never rewritten

    // A change touches only its own lines.
    auto reg = openPrefix(dir.path());
    ASSERT_TRUE(reg);
    const std::string avi = "Software\\Classes\\.avi";
    // The value's line (the only one of its kind in the file) is all that changes.
    std::string changed = system;
    const std::string line = "\"Content Type\"=\"video/avi\"\n";
    const std::size_t at = changed.find(line);
    ASSERT_NE(at, std::string::npos);
    changed.replace(at, line.size(), "\"Content Type\"=\"video/x-msvideo\"\n");
    ASSERT_EQ(Write(*reg, HKEY_LOCAL_MACHINE, avi, "content type", "video/x-msvideo"), ERROR_SUCCESS);
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), changed);
    EXPECT_EQ(inodeOf(dir / "user.reg"), userInode);

    // A new value goes after the key's last value; deleting it gives the file back exactly.
    ASSERT_EQ(Write(*reg, HKEY_LOCAL_MACHINE, avi, "PerceivedType", "video"), ERROR_SUCCESS);
    std::string added = changed;
    added.insert(changed.find('\n', at) + 1, "\"PerceivedType\"=\"video\"\n");
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), added);
    HKEY key = 0;
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, avi, KEY_ALL_ACCESS_RW, &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->deleteValue(key, "perceivedtype"), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), changed);
}

TEST(WineRegistry, MissingFilesAreEmptyHivesCreatedOnFirstWriteAndHandlesOutliveDeletedKeys) {
    TempHostFolder dir;
    auto reg = openPrefix(dir.path());
    ASSERT_TRUE(reg);
    EXPECT_EQ(SubKeys(*reg, HKEY_CURRENT_USER, ""), std::vector<std::string>{});
    HKEY key = 0;
    EXPECT_EQ(reg->openKey(HKEY_CLASSES_ROOT, "", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(dir / "user.reg"));

    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\Korvex!\\General", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "DefaultPath", REG_SZ, sz("C:\\Program Files\\Korvex\\")), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(withoutTimes(ReadHostFile(dir / "user.reg")),
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
              "[Software\\\\Korvex!\\\\General] <s>\n#time=<t>\n\"DefaultPath\"=\"C:\\\\Program Files\\\\Korvex\\\\\"\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "system.reg"));

    ASSERT_EQ(reg->createKey(HKEY_CLASSES_ROOT, "KorvexUninstall\\shell\\Uninstall", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(withoutTimes(ReadHostFile(dir / "system.reg")),
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
              "[Software\\\\Classes\\\\KorvexUninstall\\\\shell\\\\Uninstall] <s>\n#time=<t>\n");

    // Handles: access rights, and keys deleted while handles to them are open.
    HKEY child = 0, readOnly = 0;
    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\Vendor\\App", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "v", REG_SZ, sz("1")), ERROR_SUCCESS);
    ASSERT_EQ(reg->openKey(HKEY_CURRENT_USER, "Software\\Vendor", KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(reg->setValue(readOnly, "v", REG_SZ, sz("1")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg->deleteTree(readOnly, "App"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(reg->openKey(readOnly, "app", KEY_READ, &child), ERROR_SUCCESS);
    EXPECT_EQ(reg->deleteValue(key, "missing"), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "software\\VENDOR"), ERROR_SUCCESS);
    EXPECT_EQ(reg->queryValue(key, "v", nullptr, nullptr), 1018);  // ERROR_KEY_DELETED
    EXPECT_EQ(reg->setValue(child, "v", REG_SZ, sz("2")), 1018);
    EXPECT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(readOnly), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(readOnly), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "Software\\Vendor"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, ""), 4u);  // the root, Software, Korvex! and General

    // Keys nest at most 512 deep, as in Windows; a deeper path creates nothing.
    std::string deep = "Software";
    for (int i = 0; i < 600; ++i) deep += "\\k";
    EXPECT_EQ(reg->createKey(HKEY_CURRENT_USER, deep, &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, ""), 4u);
}

// Links: opening through them, enumerating them, and walks over link cycles that must end.
// A link key's section: its target in UTF-16 as hex.
std::string linkKey(const std::string& path, const std::string& target) {
    std::string text = "\n[" + path + "] 1796505343\n#time=1dd84fdc9c6a996\n#link\n\"SymbolicLinkValue\"=hex(6):";
    char hex[8];
    for (unsigned char ch : target) {
        std::snprintf(hex, sizeof hex, "%02x,00,", ch);
        text += hex;
    }
    text.back() = '\n';
    return text;
}

// A machine hive with Wow6432Node-style links, a link back that closes a cycle of two
// links, a link to itself, a link to its parent, a dangling link and one into the
// user's hive.
std::string machineWithLinks() {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n" +
           linkKey("Software\\\\Classes\\\\Wow6432Node\\\\Back", "\\Registry\\Machine\\Software\\Wow6432Node") +
           "\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{X}] 1796505343\n#time=1dd84fdc9c6a996\n@=\"x32\"\n" +
           linkKey("Software\\\\Dangling", "\\Registry\\Machine\\Software\\Nowhere") +
           "\n[Software\\\\Loop] 1796505343\n#time=1dd84fdc9c6a996\n\"In\"=\"loop\"\n" +
           linkKey("Software\\\\Loop\\\\Self", "\\Registry\\Machine\\Software\\Loop\\Self") +
           linkKey("Software\\\\Loop\\\\Up", "\\REGISTRY\\MACHINE\\software\\loop") +
           linkKey("Software\\\\ToUser", "\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software") +
           linkKey("Software\\\\Wow6432Node\\\\Classes", "\\Registry\\Machine\\Software\\Classes\\Wow6432Node");
}

using Names = std::vector<std::string>;

struct LinksFixture : ::testing::Test {
    void SetUp() override {
        WriteHostFile(dir / "system.reg", machineWithLinks());
        WriteHostFile(dir / "user.reg",
                      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n"
                      "\n[Software\\\\Korvex!\\\\General] 1796505343\n#time=1dd84fdc9c6a996\n\"DefaultPath\"=\"C:\\\\K\\\\\"\n");
        reg = openPrefix(dir.path());
    }
    TempHostFolder dir;
    std::unique_ptr<WineRegistry> reg;
};

TEST_F(LinksFixture, OpeningFollowsLinksUnlessTheyLeadBackOntoThePathAndWalksEnd) {
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software"), (Names{"Classes", "Dangling", "Loop", "ToUser", "Wow6432Node"}));
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node"), (Names{"Classes"}));
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "software\\wow6432node\\classes"), (Names{"Back", "CLSID"}));

    // Back points at Software\Wow6432Node: reached from there it would go round, so
    // the link key itself is opened, which has no sub keys.
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\Back"), Names{});
    EXPECT_EQ(Query(*reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\Back", "SymbolicLinkValue"),
              Utf16ToBytes(u"\\Registry\\Machine\\Software\\Wow6432Node"));
    // Reached the other way round it is followed once, then no more.
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\Back"), (Names{"Classes"}));
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\Back\\Classes"), Names{});

    EXPECT_EQ(Query(*reg, HKEY_LOCAL_MACHINE, "Software\\Dangling", "In"), "<no key>");
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\ToUser"), (Names{"Korvex!"}));

    // A whole walk ends: each link is followed once per path, never round a cycle.
    EXPECT_EQ(WalkTree(*reg, HKEY_LOCAL_MACHINE, "", 10000), 19u);
}

TEST_F(LinksFixture, WritesGoToTheTargetAndDeletingRemovesOnlyTheLink) {
    ASSERT_EQ(Write(*reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\New", "v", "1", true), ERROR_SUCCESS);
    std::string text = ReadHostFile(dir / "system.reg");
    EXPECT_NE(text.find("\n[Software\\\\Classes\\\\Wow6432Node\\\\New] "), std::string::npos);

    EXPECT_EQ(reg->deleteTree(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node"), Names{});
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node"), (Names{"Back", "CLSID", "New"}));
    EXPECT_EQ(reg->deleteTree(HKEY_LOCAL_MACHINE, "Software\\Loop\\Up"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(*reg, HKEY_LOCAL_MACHINE, "Software\\Loop"), (Names{"Self"}));
    text = ReadHostFile(dir / "system.reg");
    EXPECT_EQ(text.find("[Software\\\\Wow6432Node\\\\Classes]"), std::string::npos);
    EXPECT_NE(text.find("\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{X}] "), std::string::npos);
    EXPECT_NE(text.find("\n[Software\\\\Loop] "), std::string::npos);
}

// When changes reach the disk, and files rewritten by others.
struct DurabilityFixture : ::testing::Test {
    void SetUp() override {
        CopyFixtures(dir.path());
        userText = ReadHostFile(dir / "user.reg");
        reg = openPrefix(dir.path());
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
    ASSERT_EQ(reg->setValue(changing, "KORVEX", REG_SZ, sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(reading), ERROR_SUCCESS);
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
    EXPECT_EQ(Query(*reg, HKEY_CURRENT_USER, "Software\\Vendor", "Name"), sz("new"));
    HKEY key = open("Software\\Vendor");
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
