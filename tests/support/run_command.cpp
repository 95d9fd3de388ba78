#include "tests/support/run_command.h"

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/host_files.h"

namespace korvex::test {

std::string ShellQuote(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

int RunShell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

CommandResult RunCommand(const std::string& command, const std::filesystem::path& scratch) {
    const std::filesystem::path out = scratch / "command.out", err = scratch / "command.err";
    CommandResult r;
    r.status = RunShell(command + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string()) + " </dev/null");
    r.out = ReadHostFile(out);
    r.err = ReadHostFile(err);
    return r;
}

}  // namespace korvex::test
