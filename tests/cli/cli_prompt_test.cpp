// korvex-cli's answers to Korvex's questions and the form of its messages.
#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

// The prompt is part of the program, not of a library; its one source is built here too.
#include "../../cli/cli_prompt.cpp"

namespace korvex::cli {
namespace {

TEST(CliPrompt, AnswersYesOnlyWhenToldTo) {
    std::vector<Answer> answers;
    for (Buttons buttons : {Buttons::YesNo, Buttons::OKCancel, Buttons::YesNoCancel, Buttons::OK, Buttons::RetryCancel})
        for (bool yes : {false, true}) answers.push_back(CliPrompt::AnswerFor(buttons, yes));
    EXPECT_EQ(answers, (std::vector<Answer>{Answer::No, Answer::Yes, Answer::Cancel, Answer::OK, Answer::Cancel,
                                            Answer::Yes, Answer::OK, Answer::OK, Answer::Cancel, Answer::Cancel}));
}

// What a prompt writes into a terminal or a pipe for a status, a question, a long status
// and the pickers (which pick nothing).
std::string Shown(bool terminal) {
    int ends[2];  // read, write
    EXPECT_EQ(terminal ? ::openpty(&ends[0], &ends[1], nullptr, nullptr, nullptr) : ::pipe(ends), 0);
    std::FILE* out = ::fdopen(ends[1], "w");
    {
        CliPrompt prompt(false, out);
        prompt.status("C:\\windows\\");
        EXPECT_EQ(prompt.messageBox({Icon::Question, Buttons::YesNo, 2, "Confirm uninstall", "Remove GameX?"}), Answer::No);
        prompt.status(std::string(200, 'x'));
        EXPECT_EQ(prompt.pickFolder("Choose") + prompt.pickOpenFile("Open", "*.kvu", "C:\\") +
                      prompt.pickSaveFile("Save", "*.kvu", "C:\\", "x.kvu"), "");
        EXPECT_FALSE(prompt.inputBox("Extension", "Add", "tmp").has_value());
    }
    std::fclose(out);
    std::string shown;
    char buffer[512];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<std::size_t>(n));
    ::close(ends[0]);
    return shown;
}

// A message is a "Title: text" line. Only a terminal (which turns "\n" into "\r\n") gets
// a progress line: a message box first ends it; a long status is cut to one line of the
// terminal, keeping its start and end; the line is cleared at the end.
TEST(CliPrompt, MessageLinesAndAProgressLineOnlyOnATerminal) {
    EXPECT_EQ(Shown(false), "Confirm uninstall: Remove GameX?\n");
    const std::string clear = "\r\x1b[K";
    EXPECT_EQ(Shown(true), clear + "C:\\windows\\" + clear + "Confirm uninstall: Remove GameX?\r\n" + clear +
                               std::string(30, 'x') + "..." + std::string(46, 'x') + clear);
}

}  // namespace
}  // namespace korvex::cli
