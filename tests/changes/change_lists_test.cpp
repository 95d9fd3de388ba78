// The change list files byte for byte, and the reader the found-changes window uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "platform/fake/memory_files.h"

namespace korvex {
namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : "|") + item;
    return "[" + out + "]";
}

// What the reader made of the files, one line per section.
std::string Describe(const ChangeLists& lists) {
    std::string out;
    for (const auto& f : lists.folders) out += (f.newFolder ? "new " : "") + f.folder + " " + Joined(f.files) + "\n";
    for (const auto& s : lists.systemFiles) out += s.header + " " + Joined(s.added) + " " + Joined(s.replaced) + "\n";
    return out + "hkcu " + Joined(lists.hkcuKeys) + (lists.hkcuFileExists ? "" : " (no file)") + ", hklm " +
           Joined(lists.hklmKeys);
}

TEST(ChangeLists, WritesTheFourFilesByteForByte) {
    MemoryFiles files;
    files.createFolder("C:\\");
    ChangeLists lists;
    lists.folders = {{true, "C:\\Program Files\\NewApp\\", {}},
                     {false, "C:\\WINDOWS\\SYSTEM\\", {"newlib.dll", "newctl.ocx"}}};
    lists.systemFiles = {{"Autoexec.bat{", {"C:\\NEW\\TSR.EXE", "SET X=1"}, {" ", " "}}, {"Config.sys{", {}, {}}};
    lists.hkcuKeys = {"Software\\NewVendor", "Software\\Other"};
    ASSERT_TRUE(WriteChangeLists(files, "C:\\", lists));
    std::string all;
    for (const char* name : {"changes.kvd", "SysChanges.kvd", "hkcuchanges.kvd", "hklmchanges.kvd"}) {
        const std::string path = std::string("C:\\") + name;
        all += std::string(name) + ":" + (files.exists(path) ? files.contents(path) : "?") + "|";
    }
    EXPECT_EQ(all, "changes.kvd:!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\WINDOWS\\SYSTEM\\{\r\nnewlib.dll\r\nnewctl.ocx\r\n}\r\n|"
                   "SysChanges.kvd:Autoexec.bat{\r\nC:\\NEW\\TSR.EXE\x7fSET X=1\x7f\r\n \x7f \x7f\r\n}\r\nConfig.sys{\r\n\r\n\r\n}\r\n|"
                   "hkcuchanges.kvd:Software\\NewVendor\r\nSoftware\\Other\r\n|hklmchanges.kvd:|");
    EXPECT_EQ(Describe(ReadChangeLists(files, "C:\\")),
              "new C:\\Program Files\\NewApp\\ []\nC:\\WINDOWS\\SYSTEM\\ [newlib.dll|newctl.ocx]\n"
              "Autoexec.bat{ [C:\\NEW\\TSR.EXE|SET X=1] [ | ]\nConfig.sys{ [] []\n"
              "hkcu [Software\\NewVendor|Software\\Other], hklm []");
    EXPECT_TRUE(files.exists("C:\\changes.kvd"));  // reading does not delete
}

TEST(ChangeLists, ReaderTakesAnyLineEndAnySectionOrderAndMissingFiles) {
    MemoryFiles files;
    files.createFolder("C:\\");
    EXPECT_EQ(Describe(ReadChangeLists(files, "C:\\")), "hkcu [] (no file), hklm []");

    // Lone CR and lone LF end lines too; a last line without an end counts. Text after
    // the last character 127 is no element; the lists stay parallel.
    files.put("C:\\changes.kvd", "C:\\A\\{\ra.txt\n}\r\n!C:\\B\\{\r\n}");
    files.put("C:\\syschanges.kvd",
              "junk\r\nConfig.sys{\r\nDEVICE=X\x7f\r\n \x7f\r\n}\r\nAutoexec.bat{\r\nA\x7f" "B\x7ftail\r\nR\x7f\r\n}\r\n");
    files.put("C:\\HKLMCHANGES.KVD", "Software\\X\r\nSoftware\\Y");
    EXPECT_EQ(Describe(ReadChangeLists(files, "C:\\")),
              "C:\\A\\ [a.txt]\nnew C:\\B\\ []\nConfig.sys{ [DEVICE=X] [ ]\nAutoexec.bat{ [A|B] [R|]\n"
              "hkcu [] (no file), hklm [Software\\X|Software\\Y]");
}

}  // namespace
}  // namespace korvex
