// korvex-cli update on a real machine folder: the scan database lands in the data
// folder with the hidden attribute Wine reads, no work file is left, and a --drives
// value that names no fixed drive is a usage error that changes nothing.
#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <filesystem>
#include <string>

#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace {

namespace fs = std::filesystem;

struct CliMachine {
    // Runs korvex-cli with the arguments; gives its exit status, standard error in *err.
    int run(const std::string& args, std::string* err = nullptr) const {
        const korvex::test::CommandResult r = korvex::test::RunCommand(
            korvex::test::ShellQuote(KORVEX_CLI) + " --machine " + korvex::test::ShellQuote(machine.string()) + " " + args,
            dir);
        if (err) *err = r.err;
        return r.status;
    }
    std::string read(const fs::path& path) const { return korvex::test::ReadHostFile(path); }
    korvex::test::TempHostFolder temp{"korvex-cli-update"};
    fs::path dir = temp.path(), machine = dir / "machine";
};

TEST(KorvexCliUpdate, WritesTheScanDatabaseAndRefusesBadDrives) {
    CliMachine m;
    ASSERT_EQ(m.run("init"), 0);
    const fs::path c = m.machine / "drive_c";
    const fs::path data = c / "Program Files" / "Korvex";
    korvex::test::WriteHostFile(c / "Apps" / "Tool" / "tool.exe", "MZ");

    std::string err;
    EXPECT_EQ(m.run("update --drives Q:", &err), 2);
    EXPECT_NE(err.find("Q: is not a fixed drive"), std::string::npos) << err;
    EXPECT_EQ(m.run("update --drives C:D:", &err), 2);
    EXPECT_EQ(m.run("update --bogus", &err), 2);
    EXPECT_FALSE(fs::exists(data / "Cdbase.kvd"));

    ASSERT_EQ(m.run("update --drives c:", &err), 0) << err;
    const std::string list = m.read(data / "Cdbase.kvd");
    EXPECT_EQ(list.substr(0, 5), "C:\\{\r");
    EXPECT_NE(list.find("\r\nC:\\Apps\\Tool\\{\r\ntool.exe\r\n}\r\n"), std::string::npos);
    for (const char* name : {"Cdbase.kvd", "hkcuReg.kvd", "hklmReg.kvd", "winIni.kvd", "systemIni.kvd"}) {
        EXPECT_TRUE(fs::exists(data / name)) << name;
        char value[32] = {};
        const ssize_t n = getxattr((data / name).c_str(), "user.DOSATTRIB", value, sizeof value - 1);
        if (n >= 0) {
            EXPECT_EQ(std::string(value, static_cast<std::size_t>(n)).substr(0, 3), "0x2") << name;
        }
    }
    EXPECT_EQ(m.read(data / "winIni.kvd"), m.read(c / "windows" / "win.ini"));
    EXPECT_EQ(m.read(data / "hkcuReg.kvd").substr(0, 2), "\r\n");
    for (const char* work : {"dbstemp.kvd", "RegTemp.kvd", "RegTemp2.kvd"}) EXPECT_FALSE(fs::exists(c / work)) << work;

    // Without --drives: the drive the main window would choose (here the only one).
    fs::remove(data / "Cdbase.kvd");
    EXPECT_EQ(m.run("update", &err), 0) << err;
    EXPECT_TRUE(fs::exists(data / "Cdbase.kvd"));
}

}  // namespace
