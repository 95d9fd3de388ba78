// korvex-cli's answers to Korvex's questions and the form of its messages.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// The prompt is part of the program, not of a library; its one source is built here too.
#include "../../cli/cli_prompt.cpp"

namespace korvex::cli {
namespace {

TEST(CliPrompt, AnswersYesOnlyWhenToldTo) {
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::YesNo, false), Answer::No);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::YesNo, true), Answer::Yes);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::OKCancel, false), Answer::Cancel);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::OKCancel, true), Answer::OK);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::YesNoCancel, false), Answer::Cancel);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::YesNoCancel, true), Answer::Yes);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::OK, false), Answer::OK);
    EXPECT_EQ(CliPrompt::AnswerFor(Buttons::RetryCancel, true), Answer::Cancel);
}

TEST(CliPrompt, MessagesAreTitleColonTextLinesAndPickersCancel) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    {
        CliPrompt prompt(false, out);
        EXPECT_EQ(prompt.messageBox({Icon::Question, Buttons::YesNo, 2, "Confirm uninstall", "Remove GameX?"}), Answer::No);
        prompt.status("C:\\windows\\system32\\");  // not a terminal: no progress line at all
        prompt.progress(5, 10);
        EXPECT_EQ(prompt.pickFolder("Choose") + prompt.pickOpenFile("Open", "*.kvu", "C:\\") +
                      prompt.pickSaveFile("Save", "*.kvu", "C:\\", "x.kvu"),
                  "");
        EXPECT_FALSE(prompt.inputBox("Extension", "Add", "tmp").has_value());
    }
    std::fclose(out);
    EXPECT_EQ(std::string(text, size), "Confirm uninstall: Remove GameX?\n");
    std::free(text);
}

TEST(CliPrompt, ProgressLineOnlyOnATerminal) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::FILE* terminal = ::fdopen(slave, "w");
    ASSERT_NE(terminal, nullptr);
    {
        CliPrompt prompt(false, terminal);
        prompt.status("C:\\windows\\");
        prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Korvex!", "Stopped."});
        prompt.status(std::string(200, 'x'));
    }
    std::fclose(terminal);
    std::string shown;
    char buffer[512];
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<std::size_t>(n));
    ::close(master);
    // The terminal turns "\n" into "\r\n". A message box first ends the progress line; a
    // long status is cut to one line of the terminal, keeping its start and end; the
    // line is cleared at the end.
    const std::string clear = "\r\x1b[K";
    EXPECT_EQ(shown, clear + "C:\\windows\\" + clear + "Korvex!: Stopped.\r\n" + clear + std::string(30, 'x') + "..." +
                         std::string(46, 'x') + clear);
}

}  // namespace
}  // namespace korvex::cli
