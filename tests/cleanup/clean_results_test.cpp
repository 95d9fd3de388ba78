// Delete and Move of clean-up rows: the questions, the lists handed to the removal
// layer, and the rows taken out afterwards.
#include <gtest/gtest.h>

#include <tuple>

#include "cleanup/clean_results.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

using cleanup::DeleteHow;
using cleanup::ResultsKind;

// Ten rows C:\r\f0.bak ... f9.bak, rows 2, 5 and 9 selected; removal deletes what it is
// handed and logs each call as "delete" (or "delete for good", or "move to" where), its
// flags and the names of its files.
struct Results {
    CleanMachine m;
    cleanup::ResultRows rows;
    std::vector<std::string> calls;
    cleanup::CleanUpRemoval removal;

    void log(std::string call, std::uint16_t flags, const std::vector<std::string>& paths) {
        call += ", flags " + std::to_string(flags) + ":";
        for (const std::string& p : paths) call += " " + p.substr(p.rfind('\\') + 1);
        calls.push_back(call);
    }
    Results() {
        for (int i = 0; i < 10; ++i) {
            rows.paths.push_back("C:\\r\\f" + std::to_string(i) + ".bak");
            m.files.put(rows.paths.back(), "x");
            rows.selected.push_back(i == 2 || i == 5 || i == 9);
        }
        removal.removeFiles = [this](const std::vector<std::string>& paths, std::uint16_t flags, DeleteHow how) {
            log(how == DeleteHow::Permanent ? "delete for good" : "delete", flags, paths);
            for (const std::string& p : paths) m.files.deleteFile(p);
            return true;
        };
        removal.moveFiles = [this](const std::vector<std::string>& paths, std::string_view to, std::uint16_t flags) {
            log("move to " + std::string(to), flags, paths);
        };
    }
};

TEST(CleanResults, DeleteAndMoveOfRows2_5_9TakeOut9_5_2) {
    const std::vector<std::size_t> takenOut = {9, 5, 2};
    Results deleted;
    EXPECT_EQ(cleanup::DeleteResults(deleted.m.files, deleted.m.prompt, deleted.rows, ResultsKind::Junk,
                                     DeleteHow::Permanent, deleted.removal),
              takenOut);
    EXPECT_EQ(deleted.calls, std::vector<std::string>{"delete for good, flags 0: f9.bak f5.bak f2.bak"});
    EXPECT_TRUE(deleted.m.prompt.messages.empty());

    Results moved;
    moved.m.prompt.picks = {"D:\\Backup"};
    EXPECT_EQ(cleanup::MoveResults(moved.m.prompt, moved.rows, moved.removal), takenOut);
    EXPECT_EQ(moved.calls, std::vector<std::string>{"move to D:\\Backup, flags 0: f9.bak f5.bak f2.bak"});
}

TEST(CleanResults, QuestionsBeforeDeletingAndMoving) {
    struct Case {
        const char* what;
        ResultsKind kind;
        bool noneSelected;
        Answer answer;
        const char* title;  // all with the exclamation icon
        Buttons buttons;
        int defaultButton;
        const char* call;  // "": none
        std::vector<std::size_t> takenOut;
    } cases[] = {
        {"nothing selected", ResultsKind::Junk, true, Answer::OK, "Error deleting files", Buttons::OK, 1, "", {}},
        {"duplicates, Cancel", ResultsKind::Duplicates, false, Answer::Cancel, "Confirm delete", Buttons::OKCancel, 2,
         "", {}},
        {"duplicates, OK", ResultsKind::Duplicates, false, Answer::OK, "Confirm delete", Buttons::OKCancel, 2,
         "delete, flags 0: f9.bak f5.bak f2.bak", {9, 7, 5, 2}},
        {"DLLs, Cancel: a vanished row still goes", ResultsKind::UnusedDlls, false, Answer::Cancel,
         "Deleting DLL files not recommended", Buttons::OKCancel, 1, "", {7}},
        {"DLLs, OK: moved, never deleted", ResultsKind::UnusedDlls, false, Answer::OK,
         "Deleting DLL files not recommended", Buttons::OKCancel, 1, "move to E:\\Keep, flags 0: f9.bak f5.bak f2.bak",
         {9, 7, 5, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Results r;
        if (c.noneSelected) r.rows.selected.assign(10, false);
        r.m.files.deleteFile("C:\\r\\f7.bak");  // gone meanwhile
        r.m.prompt.answers = {c.answer};
        r.m.prompt.picks = {"E:\\Keep"};
        EXPECT_EQ(cleanup::DeleteResults(r.m.files, r.m.prompt, r.rows, c.kind, DeleteHow::DeleteMode, r.removal),
                  c.takenOut);
        const Message& shown = r.m.prompt.messages.at(0);
        EXPECT_EQ(std::tie(shown.title, shown.icon, shown.buttons, shown.defaultButton),
                  std::make_tuple(std::string(c.title), Icon::Exclamation, c.buttons, c.defaultButton));
        EXPECT_EQ(r.calls, *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
    }
    Results none;
    none.rows.selected.assign(10, false);
    EXPECT_TRUE(cleanup::MoveResults(none.m.prompt, none.rows, none.removal).empty());
    EXPECT_EQ(none.m.prompt.messages.at(0).title + ": " + none.m.prompt.messages.at(0).text,
              "Error moving files: No files selected to move. Select a file and then click on Move");
    Results cancelled;
    cancelled.m.prompt.picks = {""};
    EXPECT_TRUE(cleanup::MoveResults(cancelled.m.prompt, cancelled.rows, cancelled.removal).empty());
    EXPECT_TRUE(cancelled.calls.empty());
}

}  // namespace
}  // namespace korvex::test
