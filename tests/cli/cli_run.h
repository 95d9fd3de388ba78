// korvex-cli run the way a user's shell runs it, on machine folders in a temporary
// folder, with a home of its own so that no machine of the user's is ever found.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace korvex::test {

namespace fs = std::filesystem;

class CliRun : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(home_); }

    // korvex-cli with these arguments; environment holds more NAME=value words for env.
    CommandResult run(const std::vector<std::string>& args, const std::string& environment = "") {
        std::string command = "env -u KORVEX_MACHINE -u WINEPREFIX -u XDG_DATA_HOME HOME=" + ShellQuote(home_) + " " +
                              environment + " " + ShellQuote(KORVEX_CLI);
        for (const std::string& a : args) command += " " + ShellQuote(a);
        return RunCommand(command, root_);
    }
    // The same with --machine, on the folder machine_ unless another is given.
    CommandResult onMachine(std::vector<std::string> args, const std::string& dir = "") {
        args.insert(args.begin(), {"--machine", dir.empty() ? machine_ : dir});
        return run(args);
    }

    std::string machine(const std::string& name) const { return (root_ / name).string(); }
    fs::path driveC() const { return fs::path(machine_) / "drive_c"; }

    TempHostFolder temp_{"korvex-cli-test"};
    fs::path root_ = temp_.path();
    std::string home_ = machine("home");
    std::string machine_ = machine("machine");
};

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace korvex::test
