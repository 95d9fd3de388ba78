// korvex-cli update and find from end to end on a machine made by korvex-cli init:
// update writes the scan database and refuses drives that are not fixed disks;
// after it, exactly the folder, the registry key and the win.ini line added by hand are
// found; --save writes a saved data file that reads back (a bad one is refused before
// the run); each run that finds something keeps a dated copy; --keep-lists leaves the
// change list files; a missing scan database is reported as "Title: text".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli_output.h"
#include "removal/saved_file.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace korvex {
namespace {

using Result = test::CommandResult;
using test::FoundFiles;
using test::ReadHostFile;
using test::Section;
using test::ShellQuote;

class FindCli : public ::testing::Test {
protected:
    Result cli(const std::string& args) {
        return test::RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine_.string()) + " " + args,
                                dir_);
    }

    void append(const fs::path& p, const std::string& text) {
        std::ofstream out(p, std::ios::binary | std::ios::app);
        out << text;
    }

    test::TempHostFolder temp_{"korvex-find"};
    fs::path dir_ = temp_.path(), machine_ = dir_ / "machine";
};

TEST_F(FindCli, FindsExactlyWhatWasAddedSavesAndKeepsIt) {
    ASSERT_EQ(cli("init").status, 0);

    // Without a scan database the run stops with the window's message as "Title: text"
    // (its words are pinned in find_changes_test).
    Result missing = cli("find");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Error finding changes: No scan database found for drive C:\\ "), std::string::npos)
        << missing.err;
    EXPECT_EQ(missing.out, "");

    // Drives that are no fixed disk, and unknown options, are usage errors that write nothing.
    const fs::path driveC = machine_ / "drive_c", korvexData = driveC / "Program Files" / "Korvex";
    for (const char* args : {"update --drives Q:", "update --drives C:D:", "update --bogus"})
        EXPECT_EQ(cli(args).status, 2) << args;
    EXPECT_NE(cli("update --drives Q:").err.find("Q: is not a fixed drive"), std::string::npos);
    EXPECT_FALSE(fs::exists(korvexData / "Cdbase.kvd"));

    test::WriteHostFile(driveC / "Apps" / "Tool" / "tool.exe", "MZ");
    Result updated = cli("update --drives c:");
    ASSERT_EQ(updated.status, 0) << updated.err;
    EXPECT_NE(ReadHostFile(korvexData / "Cdbase.kvd").find("\r\nC:\\Apps\\Tool\\{\r\ntool.exe\r\n}\r\n"), std::string::npos);

    fs::create_directories(driveC / "Program Files" / "NewApp" / "data");
    append(driveC / "Program Files" / "NewApp" / "app.exe", "MZ program");
    append(driveC / "Program Files" / "NewApp" / "data" / "big.bin", std::string(5000, 'x'));
    append(machine_ / "user.reg", "\n[Software\\\\NewVendor\\\\NewApp] 1796507600\n\"Installed\"=\"1\"\n");
    append(driveC / "windows" / "win.ini", "load=newapp.exe\r\n");

    // What a run finds is never lost: a --save into a folder that does not exist is
    // refused before the run (which would replace the scan database).
    const std::string database = ReadHostFile(korvexData / "Cdbase.kvd");
    Result refused = cli("find --save " + ShellQuote((driveC / "missing" / "new.kvu").string()));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("the folder C:\\missing does not exist; nothing was searched"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(ReadHostFile(korvexData / "Cdbase.kvd"), database);
    EXPECT_FALSE(fs::exists(korvexData / "Found changes"));

    const fs::path saved = dir_ / "machine" / "drive_c" / "users" / "newapp.kvu";
    Result found = cli("find --save " + ShellQuote(saved.string()));
    ASSERT_EQ(found.status, 0) << found.err;
    // Every run that finds something leaves a dated copy in the data folder's "Found changes".
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(korvexData / "Found changes")) kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(found.out.find("Kept in C:\\Program Files\\Korvex\\Found changes\\" + kept[0].filename().string()),
              std::string::npos)
        << found.out;
    EXPECT_EQ(ReadHostFile(kept[0]), ReadHostFile(saved));

    // What a run found and which change list files it left, as one line.
    auto summary = [&](const Result& r) {
        std::string out = "files:";
        for (const std::string& f : FoundFiles(r.out)) out += " " + f;
        for (const char* title : {"Registry keys added", "Lines added to Win.ini", "Lines added to System.ini",
                                  "Lines added to Autoexec.bat", "Lines added to Config.sys"})
            for (const std::string& line : Section(r.out, title)) out += std::string("; ") + title + ": " + line;
        for (const char* f : {"changes.kvd", "SysChanges.kvd", "hkcuchanges.kvd", "hklmchanges.kvd"})
            out += fs::exists(driveC / f) ? std::string("; kept ") + f : "";
        return out;
    };
    // The change list files were read and deleted, as the window does.
    EXPECT_EQ(summary(found), "files: C:\\Program Files\\NewApp\\  (folder, 4KB); Registry keys added: "
                             "HKEY_CURRENT_USER\\Software\\NewVendor; Lines added to Win.ini: load=newapp.exe")
        << found.out;

    // The saved file holds what was found and is first in the recent list.
    bool valid = false;
    SavedData data = ParseSavedFile(ReadHostFile(saved), &valid);
    EXPECT_TRUE(valid);
    EXPECT_NE(std::find(data.files.begin(), data.files.end(), "C:\\Program Files\\NewApp"), data.files.end());
    EXPECT_EQ(data.registry, (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\NewVendor"}));
    EXPECT_NE(ReadHostFile(machine_ / "user.reg").find("\"SavedForDeletion\"=\"C:\\\\users\\\\newapp.kvu"),
              std::string::npos);

    // The scan database was refreshed ("AutoUpdateDb"): a second run finds nothing and,
    // asked to, leaves the four change list files in the drive root.
    Result again = cli("find --keep-lists --save 'C:\\users\\second.kvu'");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(summary(again), "files:; kept changes.kvd; kept SysChanges.kvd; kept hkcuchanges.kvd; kept hklmchanges.kvd")
        << again.out;
    EXPECT_TRUE(fs::exists(driveC / "users" / "second.kvu"));
    // Nothing new: nothing kept, and the kept copy is not itself a change.
    EXPECT_EQ(again.out.find("Found changes"), std::string::npos) << again.out;
    EXPECT_EQ(std::distance(fs::directory_iterator(korvexData / "Found changes"), fs::directory_iterator()), 1);

    // A file outside every drive of the machine is refused.
    Result outside = cli("find --save " + ShellQuote((dir_ / "outside.kvu").string()));
    EXPECT_EQ(outside.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "outside.kvu"));
    EXPECT_NE(outside.err.find("not on any drive"), std::string::npos) << outside.err;
}

}  // namespace
}  // namespace korvex
