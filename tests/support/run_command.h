// Running programs (mostly korvex-cli) the way a user's shell would, for tests that
// check exit statuses and what a program printed.
#pragma once

#include <filesystem>
#include <string>

namespace korvex::test {

// One finished program: its exit status (-1 when it did not exit normally) and what it
// wrote to standard output and standard error.
struct CommandResult {
    int status = -1;
    std::string out, err;
};

// The text in single quotes, safe as one word of a shell command line.
std::string ShellQuote(const std::string& text);

// Runs a shell command line and gives its exit status, -1 when it did not exit normally.
int RunShell(const std::string& command);

// Runs a shell command line with no input, its output and errors caught in files in
// scratch (which must exist), and gives all three back.
CommandResult RunCommand(const std::string& command, const std::filesystem::path& scratch);

}  // namespace korvex::test
