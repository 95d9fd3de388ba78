// The change list files byte for byte, and the reader the found-changes window uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "platform/fake/memory_files.h"

namespace korvex {
namespace {

using V = std::vector<std::string>;

TEST(ChangeLists, WritesTheFourFilesByteForByte) {
    const std::vector<FolderChange> folders = {
        {true, "C:\\Program Files\\NewApp\\", {}},
        {false, "C:\\WINDOWS\\SYSTEM\\", {"newlib.dll", "newctl.ocx"}},
    };
    EXPECT_EQ(FormatChangesFile(folders),
              "!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\WINDOWS\\SYSTEM\\{\r\nnewlib.dll\r\nnewctl.ocx\r\n}\r\n");
    EXPECT_EQ(FormatChangesFile({}), "");

    EXPECT_EQ(FormatSystemFileSection({"Win.ini{", {"load=C:\\NEW\\AGENT.EXE"}, {"load="}}),
              "Win.ini{\r\nload=C:\\NEW\\AGENT.EXE\x7f\r\nload=\x7f\r\n}\r\n");
    EXPECT_EQ(FormatSystemFileSection({"Autoexec.bat{", {"C:\\NEW\\TSR.EXE", "SET X=1"}, {" ", " "}}),
              "Autoexec.bat{\r\nC:\\NEW\\TSR.EXE\x7fSET X=1\x7f\r\n \x7f \x7f\r\n}\r\n");
    EXPECT_EQ(FormatSystemFileSection({"Config.sys{", {}, {}}), "Config.sys{\r\n\r\n\r\n}\r\n");

    EXPECT_EQ(FormatKeysFile({"Software\\NewVendor", "Software\\Other"}), "Software\\NewVendor\r\nSoftware\\Other\r\n");

    MemoryFiles files;
    files.createFolder("C:\\");
    ChangeLists lists;
    lists.folders = folders;
    lists.systemFiles = {{"Win.ini{", {"a"}, {"b"}}, {"System.ini{", {}, {}}};
    lists.hkcuKeys = {"Software\\A"};
    ASSERT_TRUE(WriteChangeLists(files, "C:\\", lists));
    EXPECT_EQ(files.contents("C:\\SysChanges.kvd"), "Win.ini{\r\na\x7f\r\nb\x7f\r\n}\r\nSystem.ini{\r\n\r\n\r\n}\r\n");
    EXPECT_EQ(files.contents("C:\\hklmchanges.kvd"), "");
    EXPECT_TRUE(files.exists("C:\\hklmchanges.kvd"));

    const ChangeLists back = ReadChangeLists(files, "C:\\");
    ASSERT_EQ(back.folders.size(), 2u);
    EXPECT_TRUE(back.folders[0].newFolder);
    EXPECT_EQ(back.folders[0].folder, "C:\\Program Files\\NewApp\\");
    EXPECT_EQ(back.folders[1].files, (V{"newlib.dll", "newctl.ocx"}));
    ASSERT_EQ(back.systemFiles.size(), 2u);
    EXPECT_EQ(back.systemFiles[0].added, V{"a"});
    EXPECT_EQ(back.systemFiles[0].replaced, V{"b"});
    EXPECT_EQ(back.hkcuKeys, V{"Software\\A"});
    EXPECT_TRUE(back.hklmKeys.empty());
    EXPECT_TRUE(back.hkcuFileExists);
    // Reading does not delete.
    EXPECT_TRUE(files.exists("C:\\changes.kvd"));
}

TEST(ChangeLists, ReaderTakesAnyLineEndAnySectionOrderAndMissingFiles) {
    MemoryFiles files;
    files.createFolder("C:\\");
    EXPECT_FALSE(ReadChangeLists(files, "C:\\").hkcuFileExists);
    EXPECT_TRUE(ReadChangeLists(files, "C:\\").folders.empty());

    // Lone CR and lone LF end lines too; a last line without an end counts.
    files.put("C:\\changes.kvd", "C:\\A\\{\ra.txt\n}\r\n!C:\\B\\{\r\n}");
    files.put("C:\\syschanges.kvd",
              "junk\r\nConfig.sys{\r\nDEVICE=X\x7f\r\n \x7f\r\n}\r\nAutoexec.bat{\r\nA\x7f" "B\x7ftail\r\nR\x7f\r\n}\r\n");
    files.put("C:\\HKLMCHANGES.KVD", "Software\\X\r\nSoftware\\Y");
    const ChangeLists lists = ReadChangeLists(files, "C:\\");
    ASSERT_EQ(lists.folders.size(), 2u);
    EXPECT_EQ(lists.folders[0].folder, "C:\\A\\");
    EXPECT_EQ(lists.folders[0].files, V{"a.txt"});
    EXPECT_TRUE(lists.folders[1].newFolder);
    EXPECT_EQ(lists.folders[1].folder, "C:\\B\\");
    ASSERT_EQ(lists.systemFiles.size(), 2u);
    EXPECT_EQ(lists.systemFiles[0].header, "Config.sys{");
    EXPECT_EQ(lists.systemFiles[0].replaced, V{" "});
    // Text after the last character 127 is no element; the lists stay parallel.
    EXPECT_EQ(lists.systemFiles[1].added, (V{"A", "B"}));
    EXPECT_EQ(lists.systemFiles[1].replaced, (V{"R", ""}));
    EXPECT_EQ(lists.hklmKeys, (V{"Software\\X", "Software\\Y"}));
}

}  // namespace
}  // namespace korvex
