// Delete and Move of clean-up rows: the questions, the lists handed to the removal
// layer, and the rows taken out afterwards.
#include <gtest/gtest.h>

#include "cleanup/clean_results.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

using cleanup::DeleteHow;
using cleanup::ResultsKind;

// Ten rows C:\r\f0.bak ... f9.bak, rows 2, 5 and 9 selected; removal deletes what it is handed.
struct Results {
    CleanMachine m;
    cleanup::ResultRows rows;
    std::vector<std::vector<std::string>> removed, moved;
    std::vector<DeleteHow> hows;
    std::vector<std::string> destinations;
    cleanup::CleanUpRemoval removal;

    Results() {
        for (int i = 0; i < 10; ++i) {
            rows.paths.push_back("C:\\r\\f" + std::to_string(i) + ".bak");
            m.files.put(rows.paths.back(), "x");
            rows.selected.push_back(i == 2 || i == 5 || i == 9);
        }
        removal.removeFiles = [this](const std::vector<std::string>& paths, std::uint16_t flags, DeleteHow how) {
            EXPECT_EQ(flags, 0);
            removed.push_back(paths);
            hows.push_back(how);
            for (const std::string& p : paths) m.files.deleteFile(p);
            return true;
        };
        removal.moveFiles = [this](const std::vector<std::string>& paths, std::string_view to, std::uint16_t flags) {
            EXPECT_EQ(flags, 0);
            moved.push_back(paths);
            destinations.emplace_back(to);
        };
    }
};

const std::vector<std::string> kLastFirst = {"C:\\r\\f9.bak", "C:\\r\\f5.bak", "C:\\r\\f2.bak"};
const std::vector<std::size_t> kTakenOut = {9, 5, 2};

TEST(CleanResults, DeleteAndMoveOfRows2_5_9TakeOut9_5_2) {
    {
        Results r;
        EXPECT_EQ(cleanup::DeleteResults(r.m.files, r.m.prompt, r.rows, ResultsKind::Junk, DeleteHow::Permanent,
                                         r.removal),
                  kTakenOut);
        EXPECT_EQ(r.removed, std::vector<std::vector<std::string>>{kLastFirst});
        EXPECT_EQ(r.hows, std::vector<DeleteHow>{DeleteHow::Permanent});
        EXPECT_TRUE(r.m.prompt.messages.empty());
    }
    {
        Results r;
        r.m.prompt.picks = {"D:\\Backup"};
        EXPECT_EQ(cleanup::MoveResults(r.m.prompt, r.rows, r.removal), kTakenOut);
        EXPECT_EQ(r.moved, std::vector<std::vector<std::string>>{kLastFirst});
        EXPECT_EQ(r.destinations, std::vector<std::string>{"D:\\Backup"});
    }
}

TEST(CleanResults, QuestionsBeforeDeletingAndMoving) {
    struct Case {
        const char* what;
        ResultsKind kind;
        bool noneSelected;
        Answer answer;
        std::string pick;
        const char* title;
        Icon icon;
        Buttons buttons;
        int defaultButton;
        std::size_t removals, moves;
        std::vector<std::size_t> takenOut;
    } cases[] = {
        {"nothing selected", ResultsKind::Junk, true, Answer::OK, "", "Error deleting files", Icon::Exclamation,
         Buttons::OK, 1, 0, 0, {}},
        {"duplicates, Cancel", ResultsKind::Duplicates, false, Answer::Cancel, "", "Confirm delete",
         Icon::Exclamation, Buttons::OKCancel, 2, 0, 0, {}},
        {"duplicates, OK", ResultsKind::Duplicates, false, Answer::OK, "", "Confirm delete", Icon::Exclamation,
         Buttons::OKCancel, 2, 1, 0, {9, 7, 5, 2}},
        {"DLLs, Cancel: a vanished row still goes", ResultsKind::UnusedDlls, false, Answer::Cancel, "",
         "Deleting DLL files not recommended", Icon::Exclamation, Buttons::OKCancel, 1, 0, 0, {7}},
        {"DLLs, OK: moved, never deleted", ResultsKind::UnusedDlls, false, Answer::OK, "E:\\Keep",
         "Deleting DLL files not recommended", Icon::Exclamation, Buttons::OKCancel, 1, 0, 1, {9, 7, 5, 2}},
    };
    for (const Case& c : cases) {
        Results r;
        if (c.noneSelected) r.rows.selected.assign(10, false);
        r.m.files.deleteFile("C:\\r\\f7.bak");  // gone meanwhile
        r.m.prompt.answers = {c.answer};
        r.m.prompt.picks = {c.pick};
        std::vector<std::size_t> out = cleanup::DeleteResults(r.m.files, r.m.prompt, r.rows, c.kind,
                                                              DeleteHow::DeleteMode, r.removal);
        EXPECT_EQ(out, c.takenOut) << c.what;
        ASSERT_FALSE(r.m.prompt.messages.empty()) << c.what;
        const Message& shown = r.m.prompt.messages[0];
        EXPECT_EQ(shown.title, c.title) << c.what;
        EXPECT_EQ(shown.icon, c.icon) << c.what;
        EXPECT_EQ(shown.buttons, c.buttons) << c.what;
        EXPECT_EQ(shown.defaultButton, c.defaultButton) << c.what;
        EXPECT_EQ(r.removed.size(), c.removals) << c.what;
        EXPECT_EQ(r.moved.size(), c.moves) << c.what;
        if (c.moves) {
            EXPECT_EQ(r.destinations[0], "E:\\Keep");
        }
    }
    Results r;
    r.rows.selected.assign(10, false);
    EXPECT_TRUE(cleanup::MoveResults(r.m.prompt, r.rows, r.removal).empty());
    EXPECT_EQ(r.m.prompt.messages.at(0).title, "Error moving files");
    EXPECT_EQ(r.m.prompt.messages.at(0).text, "No files selected to move. Select a file and then click on Move");
    Results cancelled;
    cancelled.m.prompt.picks = {""};
    EXPECT_TRUE(cleanup::MoveResults(cancelled.m.prompt, cancelled.rows, cancelled.removal).empty());
    EXPECT_TRUE(cancelled.moved.empty());
}

}  // namespace
}  // namespace korvex::test
