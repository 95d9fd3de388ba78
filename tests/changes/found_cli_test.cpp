// korvex-cli update and find from end to end on a machine made by korvex-cli init:
// update writes the scan database and refuses drives that are not fixed disks;
// after it, exactly the folder, the registry key and the win.ini line added by hand are
// found; --save writes a saved data file that reads back (a bad one is refused before
// the run); each run that finds something keeps a dated copy; --keep-lists leaves the
// change list files; without a scan database the run fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace korvex::test {
namespace {

void Append(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary | std::ios::app) << text; }

TEST(FindCli, FindsExactlyWhatWasAddedSavesAndKeepsIt) {
    TempHostFolder temp{"korvex-find"};
    const fs::path dir = temp.path(), machine = dir / "machine";
    auto cli = [&](const std::string& args) {
        return RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine.string()) + " " + args, dir);
    };
    ASSERT_EQ(cli("init").status, 0);

    // Without a scan database the run stops and fails; the message's words are
    // find_changes_test's, its "Title: text" form the prompt's.
    const auto missing = cli("find");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");

    // Drives that are no fixed disk or not drive names, and unknown options, are usage
    // errors that write nothing.
    const fs::path driveC = machine / "drive_c", korvexData = driveC / "Program Files" / "Korvex";
    for (const auto& [args, why] : {std::pair{"update --drives C:,Q:", "Q: is not a fixed drive"},
                                    {"update --drives C:D:", "takes drive names such as"}, {"update --bogus", "usage"}}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(korvexData / "Cdbase.kvd"));

    // The database written here is what the run below compares with (its text is the
    // update's own test).
    ASSERT_EQ(cli("update --drives c:").status, 0);

    fs::create_directories(driveC / "Program Files" / "NewApp" / "data");
    Append(driveC / "Program Files" / "NewApp" / "app.exe", "MZ program");
    Append(driveC / "Program Files" / "NewApp" / "data" / "big.bin", std::string(5000, 'x'));
    Append(machine / "user.reg", "\n[Software\\\\NewVendor\\\\NewApp] 1796507600\n\"Installed\"=\"1\"\n");
    Append(driveC / "windows" / "win.ini", "load=newapp.exe\r\n");

    // What a run finds is never lost: a --save into a folder that does not exist is
    // refused before the run (which would replace the scan database).
    const std::string database = ReadHostFile(korvexData / "Cdbase.kvd");
    const auto refused = cli("find --save " + ShellQuote((driveC / "missing" / "new.kvu").string()));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("the folder C:\\missing does not exist; nothing was searched"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(ReadHostFile(korvexData / "Cdbase.kvd"), database);
    EXPECT_FALSE(fs::exists(korvexData / "Found changes"));

    const fs::path saved = driveC / "users" / "newapp.kvu";
    const auto found = cli("find --save " + ShellQuote(saved.string()));
    ASSERT_EQ(found.status, 0) << found.err;
    // Every run that finds something leaves a dated copy in the data folder's "Found changes".
    const std::vector<fs::path> kept(fs::directory_iterator(korvexData / "Found changes"), {});
    ASSERT_EQ(kept.size(), 1u);
    const std::string noLines = "Lines added to System.ini (0):\nLines added to Autoexec.bat (0):\n"
                                "Lines added to Config.sys (0):\n";
    EXPECT_EQ(found.out, "Changes found  (Total size: 4.8 KB)\nFiles and folders added (1):\n"
                         "  C:\\Program Files\\NewApp\\  (folder, 4KB)\nRegistry keys added (1):\n"
                         "  HKEY_CURRENT_USER\\Software\\NewVendor\nLines added to Win.ini (1):\n  load=newapp.exe\n" +
                             noLines + "Kept in C:\\Program Files\\Korvex\\Found changes\\" +
                             kept[0].filename().string() + "\nSaved to C:\\users\\newapp.kvu\n");
    // The saved file holds every row found, as the kept copy does (the file's text is
    // saved_file_test's and kept_findings_test's); the saved file is first in the recent list.
    EXPECT_EQ(ReadHostFile(saved), ReadHostFile(kept[0]));
    EXPECT_NE(ReadHostFile(machine / "user.reg").find("\"SavedForDeletion\"=\"C:\\\\users\\\\newapp.kvu"),
              std::string::npos);
    // The change list files were read and deleted, as the window does.
    const char* const lists[] = {"changes.kvd", "SysChanges.kvd", "hkcuchanges.kvd", "hklmchanges.kvd"};
    for (const char* f : lists) EXPECT_FALSE(fs::exists(driveC / f)) << f;

    // The scan database was refreshed ("AutoUpdateDb"): a second run finds nothing and,
    // asked to, leaves the four change list files in the drive root. Nothing new:
    // nothing kept, and the kept copy is not itself a change.
    const auto again = cli("find --keep-lists --save 'C:\\users\\second.kvu'");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "Changes found  (Total size: 0KB)\nFiles and folders added (0):\nRegistry keys added (0):\n"
                         "Lines added to Win.ini (0):\n" + noLines + "Saved to C:\\users\\second.kvu\n");
    for (const char* f : lists) EXPECT_TRUE(fs::exists(driveC / f)) << f;
    EXPECT_TRUE(fs::exists(driveC / "users" / "second.kvu"));

    // A file outside every drive of the machine is refused.
    const auto outside = cli("find --save " + ShellQuote((dir / "outside.kvu").string()));
    EXPECT_EQ(outside.status, 1);
    EXPECT_FALSE(fs::exists(dir / "outside.kvu"));
    EXPECT_NE(outside.err.find("not on any drive"), std::string::npos) << outside.err;
}

}  // namespace
}  // namespace korvex::test
