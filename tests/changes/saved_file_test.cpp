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
    SavedData all;
    all.files = {"C:\\Program Files\\NewApp", "C:\\WINDOWS\\NewApp.ini"};
    all.registry = {"HKEY_LOCAL_MACHINE\\Software\\NewVendor"};
    all.linesOf(SavedSystemFile::WinIni) = {{"load=newapp.exe", "load="}, {"[NewApp]", " "}};
    all.linesOf(SavedSystemFile::ConfigSys) = {{"DEVICE=new.sys", " "}};
    all.linesOf(SavedSystemFile::AutoexecBat) = {{"SET NEWAPP=1", " "}};
    const std::string text = FormatSavedFile(all);
    EXPECT_EQ(text, "Files{\r\nC:\\Program Files\\NewApp\r\nC:\\WINDOWS\\NewApp.ini\r\n}\r\nRegistry{\r\n"
                    "HKEY_LOCAL_MACHINE\\Software\\NewVendor\r\n}\r\nWin.ini{\r\nload=newapp.exe" + kDel + "load=" +
                        kDel + "\r\n[NewApp]" + kDel + " " + kDel + "\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n"
                        "SET NEWAPP=1" + kDel + " " + kDel + "\r\n}\r\nConfig.sys{\r\nDEVICE=new.sys" + kDel + " " +
                        kDel + "\r\n}\r\n");

    // Read back; lines ended by CR alone read the same; a file that does not start
    // with the files section is not a saved file.
    std::string crOnly = text;
    std::erase(crOnly, '\n');
    for (const auto& [read, good] : {std::pair{text, true}, {crOnly, true}, {std::string("Registry{\r\n}\r\n"), false},
                                     {std::string(), false}}) {
        bool valid = !good;
        const SavedData parsed = ParseSavedFile(read, &valid);
        EXPECT_EQ(valid, good) << read;
        if (good) {
            EXPECT_EQ(parsed, all);
        }
    }

    // Written through the file system, replacing an older file, and read back.
    MemoryFiles files;
    files.put("C:\\saved\\app.kvu", "old contents");
    ASSERT_TRUE(WriteSavedFile(files, "C:\\saved\\app.kvu", all));
    EXPECT_EQ(files.contents("C:\\saved\\app.kvu"), text);
    EXPECT_EQ(ReadSavedFile(files, "C:\\saved\\app.kvu"), std::optional<SavedData>(all));
    EXPECT_FALSE(ReadSavedFile(files, "C:\\saved\\missing.kvu").has_value());

    // A file that cannot be replaced keeps its old contents.
    files.readOnly.insert("C:\\saved\\app.kvu");
    EXPECT_FALSE(WriteSavedFile(files, "C:\\saved\\app.kvu", SavedData{}));
    EXPECT_EQ(files.contents("C:\\saved\\app.kvu"), text);

    // The rewrite after a review keeps what remains and deletes a file left empty.
    SavedData remaining;
    remaining.files = {"C:\\Program Files\\NewApp"};
    files.put("C:\\saved\\b.kvu", FormatSavedFile(SavedData{}));
    ASSERT_TRUE(RewriteSavedFile(files, "C:\\saved\\b.kvu", remaining));
    EXPECT_EQ(ReadSavedFile(files, "C:\\saved\\b.kvu"), std::optional<SavedData>(remaining));
    ASSERT_TRUE(RewriteSavedFile(files, "C:\\saved\\b.kvu", SavedData{}));
    EXPECT_FALSE(files.exists("C:\\saved\\b.kvu"));
}

TEST(SavedFile, SavingPutsThePathInFrontOfTheRecentListAndRemembersItsFolder) {
    MemoryRegistry reg;
    ScriptedPrompt prompt;
    RegistryAccess access(reg, prompt);
    reg.setString("HKCU\\Software\\Korvex!\\General", "SavedForDeletion", "C:\\old.kvu" + kDel);
    for (const char* path : {"C:\\saved\\App.kvu", "D:\\Other\\b.kvu", "C:\\saved\\App.kvu"})
        RememberSavedFile(access, path);
    EXPECT_EQ(reg.text("HKCU\\Software\\Korvex!\\General", "SavedForDeletion").value_or(""),
              "C:\\saved\\App.kvu" + kDel + "D:\\Other\\b.kvu" + kDel + "C:\\saved\\App.kvu" + kDel + "C:\\old.kvu" + kDel);
    EXPECT_EQ(ReadOpenSavePath(access), "C:\\saved");
    EXPECT_EQ(reg.openCount, 0);

    // The title is looked for from the front, without regard to case.
    EXPECT_EQ(SavedFileFolder("C:\\Data\\x\\data"), "C:");
    EXPECT_EQ(SavedFileFolder("C:\\app.kvu"), "C:");
    EXPECT_EQ(SavedFileFolder("C:\\a\\b\\c.kvu"), "C:\\a\\b");
}

}  // namespace
}  // namespace korvex
