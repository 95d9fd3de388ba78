// What a start-up argument asks for, and the recent saved files of the Uninstall menu.
#include <gtest/gtest.h>

#include "settings/command_line.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

TEST(CommandLine, SwitchesQuotedFilesAndEverythingElse) {
    test::MemoryMachine m;
    m.files.put("C:\\saved\\GameX.kvu", "data");
    auto parse = [&](std::string_view text) { return ParseCommandLine(m.services, text); };
    EXPECT_EQ(parse("\\u").action, StartAction::UpdateDatabase);
    EXPECT_EQ(parse("\\f").action, StartAction::FindChanges);
    // A quoted saved file; a host path inside the machine's drive C: becomes its Windows path.
    for (const char* text : {"\"C:\\saved\\GameX.kvu\"", "\"/machine/drive_c/saved/GameX.kvu\""}) {
        const StartCommand command = parse(text);
        EXPECT_EQ(command.action, StartAction::Uninstall) << text;
        EXPECT_EQ(command.path, "C:\\saved\\GameX.kvu") << text;
    }
    // Everything else starts normally: the switches are exact (another case or anything
    // around them is a path); without quotes the first and last characters are lost and
    // nothing is found; missing files, folders and host paths outside the machine.
    for (const char* text : {"\\U", " \\u", "", "\"\"", "C:\\saved\\GameX.kvu", "\"C:\\saved\\Other.kvu\"",
                             "\"C:\\saved\"", "\"/home/user/GameX.kvu\""})
        EXPECT_EQ(parse(text).action, StartAction::Normal) << text;

    EXPECT_EQ(CommandLineText({"\"C:\\My", "Files\\a.kvu\""}), "\"C:\\My Files\\a.kvu\"");
    EXPECT_EQ(CommandLineText({}), "");
}

TEST(RecentFiles, FirstFourExistingFilesNewestFirst) {
    test::MemoryMachine m;
    std::string list;
    for (int i = 1; i <= 6; ++i) {
        const std::string path = "C:\\Saved logs\\Program " + std::to_string(i) + ".kvu";
        if (i != 2) m.files.put(path, "x");
        list += path + '\x7f';
    }
    std::string captions;
    for (const RecentFile& recent : RecentFiles(m.services, list)) {
        captions += recent.caption + "|";
        EXPECT_EQ(recent.path, "C:\\Saved logs\\" + recent.caption + ".kvu");
        // Choosing the menu item finds the same file again in the stored list.
        EXPECT_EQ(RecentFilePath(list, recent.caption), recent.path);
    }
    EXPECT_EQ(captions, "Program 1|Program 3|Program 4|Program 5|");

    EXPECT_TRUE(RecentFiles(m.services, "\x7f\x7f").empty());
    // A last entry without its separator still counts.
    m.files.put("D:\\x\\Tool.kvu", "x");
    EXPECT_EQ(RecentFiles(m.services, "D:\\x\\Tool.kvu").at(0).caption, "Tool");
    // The caption is matched with its letter case.
    EXPECT_EQ(RecentFilePath(list, "program 1"), "");
}

}  // namespace
}  // namespace korvex
