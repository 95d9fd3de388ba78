// The registry of a Wine prefix through the Registry calls: real prefix files, new
// files, names, data forms, links, and when changes reach the disk.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "platform/wine/reg_text.h"
#include "platform/wine/wine_registry.h"
#include "tests/support/host_files.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using korvex::testing::CopyFixtures;
using korvex::testing::inodeOf;
using korvex::testing::sz;
using korvex::testing::Lines;
using korvex::test::ReadHostFile;
using korvex::test::TempHostFolder;
using korvex::testing::WalkTree;

std::unique_ptr<WineRegistry> openPrefix(const std::string& dir) {
    std::string error;
    auto reg = WineRegistry::open(dir, &error);
    EXPECT_TRUE(reg) << error;
    return reg;
}

// Keys named in a file, with their implied parents and the root: counted from the
// section lines alone.
std::size_t countKeysOf(const std::string& fileText) {
    std::set<std::string> keys{""};
    for (const auto& line : Lines(fileText)) {
        if (line.empty() || line[0] != '[') continue;
        std::string path = line.substr(1, line.find("] ") - 1);
        std::string lower;
        for (char c : path) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (std::size_t at = lower.find("\\\\"); at != std::string::npos; at = lower.find("\\\\", at + 2))
            keys.insert(lower.substr(0, at));
        keys.insert(lower);
    }
    return keys.size();
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

std::string query(Registry& reg, HKEY root, const std::string& path, const std::string& name,
                  std::uint32_t* type = nullptr) {
    HKEY key = 0;
    if (reg.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    std::string data;
    long rc = reg.queryValue(key, name, type, &data);
    reg.closeKey(key);
    return rc == ERROR_SUCCESS ? data : "<no value>";
}

TEST(WineRegistry, RealPrefixIsReadWalkedAndLeftByteIdentical) {
    TempHostFolder dir;
    CopyFixtures(dir.path());
    const std::string system = ReadHostFile(dir / "system.reg"), user = ReadHostFile(dir / "user.reg");
    const ino_t systemInode = inodeOf(dir / "system.reg");
    {
        auto reg = openPrefix(dir.path());
        ASSERT_TRUE(reg);
        std::uint32_t type = 0;
        EXPECT_EQ(query(*reg, HKEY_LOCAL_MACHINE, "SOFTWARE\\borland\\Database Engine\\Settings\\SYSTEM\\INIT",
                        "SharedMemLocation", &type),
                  sz("9000"));
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(query(*reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"),
                  sz("6.1"));
        EXPECT_EQ(query(*reg, HKEY_CURRENT_USER, "Control Panel\\Accessibility\\AudioDescription", "Locale", &type),
                  std::string(4, '\0'));
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(query(*reg, HKEY_CLASSES_ROOT, ".bmp", "Content Type"), sz("image/bmp"));
        // The classes root itself is HKLM\Software\Classes, also when used as a handle.
        std::string first;
        EXPECT_EQ(reg->enumKey(HKEY_CLASSES_ROOT, 0, &first), ERROR_SUCCESS);
        EXPECT_EQ(first, "*");
        EXPECT_EQ(reg->queryValue(HKEY_CLASSES_ROOT, "Content Type", nullptr, nullptr), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(reg->enumKey(HKEY_LOCAL_MACHINE, 0, &first), ERROR_SUCCESS);
        EXPECT_EQ(first, "Software");

        // The whole machine hive walks to an end although it holds links, and every
        // key's sub keys come sorted without regard to case.
        std::size_t unsorted = 0;
        auto result = WalkTree(*reg, HKEY_LOCAL_MACHINE, "", 2000000, [&](const std::string& path) {
            HKEY key = 0;
            reg->openKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key);
            std::string prev, name;
            for (std::uint32_t i = 0; reg->enumKey(key, i, &name) == ERROR_SUCCESS; ++i) {
                if (i && CompareFolded(Fold(Utf8ToUtf16(prev)), Fold(Utf8ToUtf16(name))) >= 0) ++unsorted;
                prev = name;
            }
            reg->closeKey(key);
        });
        EXPECT_FALSE(result.endless);
        EXPECT_GT(result.keys, 9000u);
        EXPECT_EQ(unsorted, 0u);
        EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, "").keys, countKeysOf(user));
        EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), system);
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), user);
    EXPECT_EQ(inodeOf(dir / "system.reg"), systemInode);  // never rewritten
}

TEST(WineRegistry, ChangesTouchOnlyTheirOwnLines) {
    TempHostFolder dir;
    CopyFixtures(dir.path());
    const auto before = Lines(ReadHostFile(dir / "system.reg"));
    const std::string user = ReadHostFile(dir / "user.reg");
    const ino_t userInode = inodeOf(dir / "user.reg");
    auto reg = openPrefix(dir.path());
    ASSERT_TRUE(reg);

    HKEY key = 0;
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", KEY_ALL_ACCESS_RW, &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "content type", REG_SZ, sz("video/x-msvideo")), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    auto after = Lines(ReadHostFile(dir / "system.reg"));
    ASSERT_EQ(after.size(), before.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) differing.push_back(i);
    ASSERT_EQ(differing.size(), 1u);
    EXPECT_EQ(before[differing[0]], "\"Content Type\"=\"video/avi\"");
    EXPECT_EQ(after[differing[0]], "\"Content Type\"=\"video/x-msvideo\"");
    EXPECT_EQ(ReadHostFile(dir / "user.reg"), user);
    EXPECT_EQ(inodeOf(dir / "user.reg"), userInode);

    // A new value goes after the key's last value; nothing else moves.
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", KEY_ALL_ACCESS_RW, &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "PerceivedType", REG_SZ, sz("video")), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    auto added = Lines(ReadHostFile(dir / "system.reg"));
    ASSERT_EQ(added.size(), after.size() + 1);
    added.erase(added.begin() + static_cast<long>(differing[0]) + 1);
    EXPECT_EQ(added, after);

    // Deleting it gives the previous file back exactly.
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", KEY_ALL_ACCESS_RW, &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->deleteValue(key, "perceivedtype"), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(Lines(ReadHostFile(dir / "system.reg")), after);

    // A new key gets a section of its own in sorted place, with a time stamp.
    ASSERT_EQ(reg->createKey(HKEY_CLASSES_ROOT, ".kvu", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "", REG_SZ, sz("KorvexUninstall")), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    const std::string text = ReadHostFile(dir / "system.reg");
    auto at = text.find("\n[Software\\\\Classes\\\\.kvu] ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(text.find("\n[Software\\\\Classes\\\\.ico]"), at);
    EXPECT_GT(text.find("\n[Software\\\\Classes\\\\.lnk]"), at);
    auto section = Lines(text.substr(at + 1, 200));
    EXPECT_EQ(section[1].substr(0, 6), "#time=");
    EXPECT_EQ(section[2], "@=\"KorvexUninstall\"");
    EXPECT_EQ(section[3], "");
    EXPECT_EQ(Lines(text).size(), after.size() + 4);
}

TEST(WineRegistry, MissingFilesAreEmptyHivesCreatedOnFirstWrite) {
    TempHostFolder dir;
    auto reg = openPrefix(dir.path());
    ASSERT_TRUE(reg);
    std::string name;
    EXPECT_EQ(reg->enumKey(HKEY_CURRENT_USER, 0, &name), ERROR_NO_MORE_ITEMS);
    HKEY key = 0;
    EXPECT_EQ(reg->openKey(HKEY_CLASSES_ROOT, "", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(dir / "user.reg"));

    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\Korvex!\\General", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "DefaultPath", REG_SZ, sz("C:\\Program Files\\Korvex\\")), ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(dir / "user.reg"));  // not before the handle is closed
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    auto lines = Lines(ReadHostFile(dir / "user.reg"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "WINE REGISTRY Version 2");
    EXPECT_EQ(lines[1], ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "#arch=win64");
    EXPECT_EQ(lines[4], "");
    EXPECT_TRUE(startsWith(lines[5], "[Software\\\\Korvex!\\\\General] 17")) << lines[5];  // Unix seconds
    EXPECT_EQ(lines[6].substr(0, 6), "#time=");
    EXPECT_EQ(lines[7], "\"DefaultPath\"=\"C:\\\\Program Files\\\\Korvex\\\\\"");
    EXPECT_FALSE(std::filesystem::exists(dir / "system.reg"));

    ASSERT_EQ(reg->createKey(HKEY_CLASSES_ROOT, "KorvexUninstall\\shell\\Uninstall", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    lines = Lines(ReadHostFile(dir / "system.reg"));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], ";; All keys relative to \\\\Machine");
    EXPECT_TRUE(startsWith(lines[5], "[Software\\\\Classes\\\\KorvexUninstall\\\\shell\\\\Uninstall] ")) << lines[5];
    reg.reset();

    auto again = openPrefix(dir.path());
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "software\\korvex!\\general", "defaultpath"),
              sz("C:\\Program Files\\Korvex\\"));
    EXPECT_EQ(query(*again, HKEY_LOCAL_MACHINE, "Software\\Classes\\KorvexUninstall\\Shell", "x"), "<no value>");
}

TEST(WineRegistry, NamesOrderAndDataForms) {
    TempHostFolder dir;
    auto reg = openPrefix(dir.path());
    HKEY key = 0;
    // Sub keys sort without regard to case (checked on every backend by the contract tests).
    ASSERT_EQ(reg->createKey(HKEY_CURRENT_USER, "Software\\Test", &key), ERROR_SUCCESS);
    HKEY child = 0;
    ASSERT_EQ(reg->createKey(key, "ALPHA\\Child", &child), ERROR_SUCCESS);
    reg->closeKey(child);
    std::string name;

    const std::string longText(5000, 'x');
    ASSERT_EQ(reg->setValue(key, "Zeta", REG_SZ, sz("Caf\xc3\xa9 \xe2\x82\xac")), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "alpha", REG_DWORD, std::string("\x2a\0\0\0", 4)), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "Long", REG_SZ, sz(longText)), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "ZETA", REG_SZ, sz("Caf\xc3\xa9 \xe2\x82\xac!")), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)), ERROR_SUCCESS);
    std::vector<std::string> valueNames;
    std::uint32_t type = 0;
    std::string data;
    for (std::uint32_t i = 0; reg->enumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i)
        valueNames.push_back(name);
    EXPECT_EQ(valueNames, (std::vector<std::string>{"Zeta", "alpha", "Long", "Multi"}));
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);

    const std::string text = ReadHostFile(dir / "user.reg");
    EXPECT_NE(text.find("\n\"Zeta\"=\"Caf\\xe9 \\x20ac!\"\n\"alpha\"=dword:0000002a\n\"Long\"=\"xxx"), std::string::npos);
    EXPECT_NE(text.find("\n\"Multi\"=str(7):\"a\\0b\\0\"\n"), std::string::npos);

    auto again = openPrefix(dir.path());
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "SOFTWARE\\TEST", "zeta", &type), sz("Caf\xc3\xa9 \xe2\x82\xac!"));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "Software\\Test", "ALPHA", &type), std::string("\x2a\0\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "Software\\Test", "long"), sz(longText));
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "Software\\Test", "multi"), std::string("a\0b\0\0", 5));
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "Software\\Test\\alpha\\CHILD", "x"), "<no value>");
    EXPECT_EQ(query(*again, HKEY_CURRENT_USER, "Software\\Test\\Delta", "x"), "<no key>");
}

TEST(WineRegistry, HandlesAccessAndDeletedKeys) {
    TempHostFolder dir;
    auto reg = openPrefix(dir.path());
    HKEY key = 0, child = 0, readOnly = 0;
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
    EXPECT_EQ(reg->closeKey(child), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(readOnly), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(readOnly), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->closeKey(0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->queryValue(0, "v", nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, "Software\\Vendor"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->deleteTree(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, "").keys, 2u);  // the root and Software

    // Keys nest at most 512 deep, as in Windows; a deeper path creates nothing.
    std::string deep = "Software";
    for (int i = 0; i < 600; ++i) deep += "\\k";
    EXPECT_EQ(reg->createKey(HKEY_CURRENT_USER, deep, &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WalkTree(*reg, HKEY_CURRENT_USER, "").keys, 2u);
}

}  // namespace
}  // namespace korvex::wine
