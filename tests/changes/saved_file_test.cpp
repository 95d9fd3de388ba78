// The saved uninstall data file: its exact text, reading it back, the rewrite after a
// review, and the recent saved files list.
#include <gtest/gtest.h>

#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "removal/saved_file.h"

namespace korvex {
namespace {

const std::string kDel(1, '\x7f');

TEST(SavedFile, WritesSixSectionsInFixedOrderAndReadsThemBack) {
    SavedData keysOnly;
    keysOnly.registry = {"HKEY_CURRENT_USER\\Software\\NewVendor\\NewApp",
                         "HKEY_LOCAL_MACHINE\\Software\\NewVendor"};
    EXPECT_EQ(FormatSavedFile(keysOnly),
              "Files{\r\n}\r\nRegistry{\r\n"
              "HKEY_CURRENT_USER\\Software\\NewVendor\\NewApp\r\n"
              "HKEY_LOCAL_MACHINE\\Software\\NewVendor\r\n}\r\n"
              "Win.ini{\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");

    SavedData all;
    all.files = {"C:\\Program Files\\NewApp", "C:\\WINDOWS\\NewApp.ini"};
    all.registry = {"HKEY_LOCAL_MACHINE\\Software\\NewVendor"};
    all.linesOf(SavedSystemFile::WinIni) = {{"load=newapp.exe", "load="}, {"[NewApp]", " "}};
    all.linesOf(SavedSystemFile::ConfigSys) = {{"DEVICE=new.sys", " "}};
    all.linesOf(SavedSystemFile::AutoexecBat) = {{"SET NEWAPP=1", " "}};
    std::string text = FormatSavedFile(all);
    EXPECT_NE(text.find("Win.ini{\r\nload=newapp.exe" + kDel + "load=" + kDel + "\r\n[NewApp]" + kDel + " " +
                        kDel + "\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\nSET NEWAPP=1"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(0, 8), "Files{\r\n");

    bool valid = false;
    EXPECT_EQ(ParseSavedFile(text, &valid), all);
    EXPECT_TRUE(valid);

    // Lines ended by CR alone read the same; a file that does not start with the
    // files section is not a saved file.
    std::string crOnly;
    for (char c : text)
        if (c != '\n') crOnly += c;
    EXPECT_EQ(ParseSavedFile(crOnly), all);
    ParseSavedFile("Registry{\r\n}\r\n", &valid);
    EXPECT_FALSE(valid);
    ParseSavedFile("", &valid);
    EXPECT_FALSE(valid);

    // Written through the file system, replacing an older file, and read back.
    MemoryFiles files;
    files.put("C:\\saved\\app.kvu", "old contents");
    ASSERT_TRUE(WriteSavedFile(files, "C:\\saved\\app.kvu", all));
    EXPECT_EQ(files.contents("C:\\saved\\app.kvu"), text);
    auto back = ReadSavedFile(files, "C:\\saved\\app.kvu");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_FALSE(ReadSavedFile(files, "C:\\saved\\missing.kvu").has_value());

    // A file that cannot be replaced keeps its old contents.
    files.readOnly.insert("C:\\saved\\app.kvu");
    EXPECT_FALSE(WriteSavedFile(files, "C:\\saved\\app.kvu", keysOnly));
    EXPECT_EQ(files.contents("C:\\saved\\app.kvu"), text);
}

TEST(SavedFile, RewriteKeepsWhatRemainsAndDeletesAnEmptyFile) {
    MemoryFiles files;
    SavedData remaining;
    remaining.files = {"C:\\Program Files\\NewApp"};
    files.put("C:\\saved\\app.kvu", FormatSavedFile(SavedData{}));
    ASSERT_TRUE(RewriteSavedFile(files, "C:\\saved\\app.kvu", remaining));
    EXPECT_EQ(ReadSavedFile(files, "C:\\saved\\app.kvu").value(), remaining);

    ASSERT_TRUE(RewriteSavedFile(files, "C:\\saved\\app.kvu", SavedData{}));
    EXPECT_FALSE(files.exists("C:\\saved\\app.kvu"));
}

TEST(SavedFile, SavingPutsThePathInFrontOfTheRecentListAndRemembersItsFolder) {
    MemoryRegistry reg;
    ScriptedPrompt prompt;
    RegistryAccess access(reg, prompt);
    reg.setString("HKCU\\Software\\Korvex!\\General", "SavedForDeletion", "C:\\old.kvu" + kDel);

    RememberSavedFile(access, "C:\\saved\\App.kvu");
    RememberSavedFile(access, "D:\\Other\\b.kvu");
    RememberSavedFile(access, "C:\\saved\\App.kvu");
    EXPECT_EQ(reg.text("HKCU\\Software\\Korvex!\\General", "SavedForDeletion").value_or(""),
              "C:\\saved\\App.kvu" + kDel + "D:\\Other\\b.kvu" + kDel + "C:\\saved\\App.kvu" + kDel +
                  "C:\\old.kvu" + kDel);
    EXPECT_EQ(reg.text("HKCU\\Software\\Korvex!\\General", "OpenSavePath").value_or("?"), "C:\\saved");
    EXPECT_EQ(ReadOpenSavePath(access), "C:\\saved");

    // The title is looked for from the front, without regard to case.
    EXPECT_EQ(SavedFileFolder("C:\\Data\\x\\data"), "C:");
    EXPECT_EQ(SavedFileFolder("C:\\app.kvu"), "C:");
    EXPECT_EQ(SavedFileFolder("C:\\a\\b\\c.kvu"), "C:\\a\\b");
    EXPECT_EQ(reg.openCount, 0);
}

}  // namespace
}  // namespace korvex
