// Whole find-changes runs on a machine in memory: Update database, an installation,
// then Find changes, checked through the change list files it leaves, the scan
// database it refreshes or keeps, the messages it shows and the work files it removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/find_changes.h"
#include "machine.h"
#include "tests/support/text_lines.h"

namespace korvex {
namespace {

using test::CrlfLines;

using test::IsChangeList;
using test::IsWorkFile;
using test::Machine;

const std::string kSep(1, '\x7f');

// What a typical installer does to the machine.
void install(Machine& m) {
    m.files.put("C:\\windows\\system32\\newlib.dll", "n");
    m.files.put("C:\\windows\\system32\\KERNEL32.DLL", "k");  // the same name in other case
    m.files.put("C:\\Program Files\\NewApp\\app.exe", "a");
    m.files.put("C:\\Program Files\\NewApp\\Sub\\x.dll", "x");
    m.files.put("C:\\windows\\win.ini", "[windows]\r\nload=C:\\NEW\\AGENT.EXE\r\n\r\n[mail]\r\nMAPI=1\r\n");
    m.files.put("C:\\autoexec.bat", "@ECHO OFF\r\nPATH=C:\\DOS\r\nSET TEMP=C:\\TEMP\r\n\r\nC:\\NEW\\TSR.EXE\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\App\\1.0", "v", "1");
    m.registry.setString("HKLM\\Software\\NewVendor\\App", "v", "1");
    m.registry.setString("HKLM\\Software\\Classes\\.new", "", "newfile");
}

std::vector<std::string> leftOver(Machine& m, bool (*which)(const std::string&)) {
    std::vector<std::string> found;
    for (const auto& path : m.files.tree("C:\\"))
        if (which(path)) found.push_back(path);
    return found;
}

TEST(FindChanges, MissingScanDatabaseStopsTheRunWithItsMessage) {
    Machine m;
    const auto before = m.files.tree("C:\\");
    EXPECT_EQ(m.find(), FindOutcome::MissingDatabase);
    ASSERT_EQ(m.prompt.messages.size(), 1u);
    const Message& message = m.prompt.messages[0];
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.title, "Error finding changes");
    EXPECT_EQ(message.text,
              "No scan database found for drive C:\\ To find changes in this drive, first create a scan database "
              "by clicking on the Update Database button in the main window.");
    EXPECT_EQ(m.files.tree("C:\\"), before);

    // Only the first drive without a database is named; nothing is written.
    Machine two;
    two.system.drives['D'] = FakeSystem::Drive{DRIVE_FIXED, ""};
    two.system.drives['E'] = FakeSystem::Drive{DRIVE_FIXED, ""};
    two.files.put("D:\\d.txt", "d");
    two.update("C:");
    two.prompt.messages.clear();
    const auto before2 = two.files.tree("C:\\");
    EXPECT_EQ(two.find("C:,D:,E:"), FindOutcome::MissingDatabase);
    ASSERT_EQ(two.prompt.messages.size(), 1u);
    EXPECT_EQ(two.prompt.messages[0].text.substr(0, 37), "No scan database found for drive D:\\ ");
    EXPECT_EQ(two.files.tree("C:\\"), before2);
}

// While Wine runs programs in the machine its registry files are out of date: both
// runs ask before they start, once per attempt, and on Cancel leave every file as it was.
TEST(FindChanges, WineRunningProgramsStopsBothRunsBeforeTheyStart) {
    Machine m;
    m.update();
    m.files.put("C:\\Program Files\\New\\new.exe", "n");
    auto snapshot = [&] {
        std::vector<std::string> all;
        for (const auto& path : m.files.tree("C:\\")) all.push_back(path + "=" + m.files.contents(path));
        return all;
    };
    const auto before = snapshot();
    m.system.inUse = "Wine is running programs in this machine (wineserver process 42).";
    m.prompt.messages.clear();
    m.prompt.defaultAnswer = Answer::Cancel;

    struct Run { const char* name; std::function<bool()> refused; };
    const Run runs[] = {
        {"find", [&] { return m.find() == FindOutcome::MachineInUse; }},
        {"update", [&] {
             bool noStop = false;
             return scandb::UpdateDatabase(m.services, m.prompt, {m.data, "C:", {}}, noStop) ==
                    scandb::UpdateOutcome::MachineInUse;
         }},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        m.prompt.messages.clear();
        EXPECT_TRUE(run.refused());
        ASSERT_EQ(m.prompt.messages.size(), 1u);
        EXPECT_EQ(m.prompt.messages[0].buttons, Buttons::RetryCancel);
        EXPECT_EQ(m.prompt.messages[0].icon, Icon::Exclamation);
        EXPECT_EQ(m.prompt.messages[0].text.rfind(m.system.inUse + " Wine brings", 0), 0u) << m.prompt.messages[0].text;
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(m.system.beeps, 1);  // only the first update's
    }

    // Retry once the programs are closed: the run goes on as usual.
    struct ClosingSystem : FakeSystem {
        int busy = 2;
        std::string machineInUse() override { return busy-- > 0 ? "Wine is running programs." : ""; }
    } closing;
    Services services{m.registry, m.files, closing, m.shell};
    m.prompt.messages.clear();
    m.prompt.answers = {Answer::Retry, Answer::Retry};
    EXPECT_EQ(FindChanges(services, m.access, m.prompt, m.data, "C:", m.stop, m.progress), FindOutcome::Completed);
    EXPECT_EQ(m.prompt.messages.size(), 2u);
    EXPECT_TRUE(m.files.exists("C:\\changes.kvd")) << "the run went on after Retry";
}

// With "AutoUpdateDb" on, a data folder that cannot be written does not hide what was
// found, but it is said once with the file and the reason, and no work file stays.
TEST(FindChanges, ScanDatabaseThatCannotBeRefreshedIsSaid) {
    Machine m;
    m.set("AutoUpdateDb", "1");
    m.update();
    m.files.put("C:\\Program Files\\New\\new.exe", "n");
    m.files.lockedFolders.insert("C:\\Korvex");
    m.prompt.messages.clear();
    EXPECT_EQ(m.find(), FindOutcome::Completed);
    ASSERT_EQ(m.prompt.messages.size(), 1u);
    EXPECT_EQ(m.prompt.messages[0].title, "Error finding changes");
    EXPECT_EQ(m.prompt.messages[0].text.rfind("Korvex could not write C:\\Korvex\\Cdbase.kvd (Permission denied), so "
                                              "the scan database in C:\\Korvex\\ was not brought up to date",
                                              0),
              0u)
        << m.prompt.messages[0].text;
    EXPECT_TRUE(m.files.exists("C:\\changes.kvd"));
    for (const auto& path : m.files.tree("C:\\")) EXPECT_FALSE(IsWorkFile(path)) << path;
}

TEST(FindChanges, NothingChangedGivesEmptyListsAndLeavesNoWorkFile) {
    Machine m;
    m.update();
    const std::string database = m.text("C:\\Korvex\\Cdbase.kvd");
    ASSERT_FALSE(database.empty());
    EXPECT_EQ(m.find(), FindOutcome::Completed);
    EXPECT_TRUE(m.prompt.messages.empty());
    EXPECT_EQ(m.text("C:\\changes.kvd"), "");
    EXPECT_EQ(m.text("C:\\SysChanges.kvd"),
              CrlfLines({"Autoexec.bat{", "", "", "}", "Win.ini{", "", "", "}", "System.ini{", "", "", "}", "Config.sys{",
                     "", "", "}"}));
    EXPECT_TRUE(m.files.exists("C:\\hkcuchanges.kvd"));
    EXPECT_EQ(m.text("C:\\hkcuchanges.kvd"), "");
    EXPECT_EQ(m.text("C:\\hklmchanges.kvd"), "");
    EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{});
    EXPECT_EQ(m.text("C:\\Korvex\\Cdbase.kvd"), database);  // "AutoUpdateDb" is off
    EXPECT_EQ(m.progress.position(), m.progress.maximum());
}

TEST(FindChanges, AnInstallationIsFoundInFilesRegistryAndSystemFiles) {
    Machine m;
    m.update();
    install(m);
    ASSERT_EQ(m.find(), FindOutcome::Completed);
    EXPECT_TRUE(m.prompt.messages.empty());
    EXPECT_EQ(m.text("C:\\changes.kvd"),
              CrlfLines({"C:\\windows\\system32\\{", "newlib.dll", "}", "!C:\\Program Files\\NewApp\\{", "}"}));
    EXPECT_EQ(m.text("C:\\hkcuchanges.kvd"), CrlfLines({"Software\\NewVendor"}));
    EXPECT_EQ(m.text("C:\\hklmchanges.kvd"), CrlfLines({"Software\\NewVendor"}));

    const ChangeLists lists = m.lists();
    ASSERT_EQ(lists.systemFiles.size(), 4u);
    EXPECT_EQ(lists.systemFiles[0].header, "Autoexec.bat{");
    EXPECT_EQ(lists.systemFiles[0].added, std::vector<std::string>{"C:\\NEW\\TSR.EXE"});
    EXPECT_EQ(lists.systemFiles[0].replaced, std::vector<std::string>{" "});
    EXPECT_EQ(lists.systemFiles[1].header, "Win.ini{");
    EXPECT_EQ(lists.systemFiles[1].added, std::vector<std::string>{"load=C:\\NEW\\AGENT.EXE"});
    EXPECT_EQ(lists.systemFiles[1].replaced, std::vector<std::string>{"load="});
    EXPECT_EQ(m.text("C:\\SysChanges.kvd").substr(0, 36), "Autoexec.bat{\r\nC:\\NEW\\TSR.EXE" + kSep + "\r\n \x7f\r\n");
    EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{});
}

TEST(FindChanges, FoldersToIgnoreRecycleBinsAndHistoryAreNotWalked) {
    Machine m;
    m.set("FoldersToIgnore", ("C:\\users\\user\\Temp\\" + kSep).c_str());
    m.update();
    m.files.put("C:\\users\\user\\Temp\\new.tmp", "t");
    m.files.put("C:\\Recycled\\gone.txt", "r");
    m.files.put("C:\\windows\\History\\h2.dat", "h");
    m.files.put("C:\\users\\user\\kept.txt", "k");
    ASSERT_EQ(m.find(), FindOutcome::Completed);
    EXPECT_EQ(m.text("C:\\changes.kvd"), CrlfLines({"C:\\users\\user\\{", "kept.txt", "}"}));
}

TEST(FindChanges, ScanModeChoosesWhatIsWalked) {
    struct Case {
        const char* mode;
        const char* expected;
    };
    const Case cases[] = {
        {"0", "C:\\{\r\nroot.txt\r\n}\r\nC:\\windows\\{\r\nw.txt\r\n}\r\nC:\\Program Files\\{\r\np.txt\r\n}\r\n"},
        {"1", "C:\\windows\\{\r\nw.txt\r\n}\r\nC:\\Program Files\\{\r\np.txt\r\n}\r\n"},
        {"2", "C:\\windows\\{\r\nw.txt\r\n}\r\n"},
        {"3", "C:\\Program Files\\{\r\np.txt\r\n}\r\n"},
        {"", "C:\\{\r\nroot.txt\r\n}\r\nC:\\windows\\{\r\nw.txt\r\n}\r\nC:\\Program Files\\{\r\np.txt\r\n}\r\n"},
    };
    for (const Case& c : cases) {
        Machine m;
        m.set("ScanMode", c.mode);
        m.update();
        m.files.put("C:\\root.txt", "r");
        m.files.put("C:\\windows\\w.txt", "w");
        m.files.put("C:\\Program Files\\p.txt", "p");
        ASSERT_EQ(m.find(), FindOutcome::Completed) << c.mode;
        EXPECT_EQ(m.text("C:\\changes.kvd"), c.expected) << "ScanMode " << c.mode;
        // Only a run over whole drives moves or deletes its numbered lists.
        const std::vector<std::string> kept =
            std::string(c.mode) == "0" ? std::vector<std::string>{} : std::vector<std::string>{"C:\\0current.kvd"};
        EXPECT_EQ(leftOver(m, IsWorkFile), kept) << c.mode;
    }
}

TEST(FindChanges, TheProgressBarFollowsTheFoldersWalked) {
    FindProgress bar;
    std::vector<std::pair<double, double>> seen;
    bar.onChange = [&](double position, double maximum) { seen.emplace_back(position, maximum); };
    bar.setPosition(150);  // beyond the maximum of 100: ignored
    bar.setPosition(60);
    bar.setMaximum(50);    // below the position: ignored
    bar.raise(40);
    bar.raise(1);          // 101: ignored
    EXPECT_EQ(seen, (std::vector<std::pair<double, double>>{{60, 100}, {100, 100}}));

    // "ScanMode" "1": the Windows folder's count + 93, less 4, plus the Program Files count.
    Machine m;
    m.set("ScanMode", "1");
    m.update();
    m.maxima.clear();
    ASSERT_EQ(m.find(), FindOutcome::Completed);
    // C:\windows holds system32 and History (ignored); Program Files holds two folders.
    ASSERT_GE(m.maxima.size(), 3u);
    EXPECT_EQ(std::vector<double>(m.maxima.begin(), m.maxima.begin() + 3), (std::vector<double>{94, 90, 92}));
    EXPECT_EQ(m.progress.position(), m.progress.maximum());
}

TEST(FindChanges, AutoUpdateReplacesTheDatabaseOnlyWhenWholeDrivesWereWalked) {
    // "ScanMode" "1": the drive's database stays as it was, the registry dumps and
    // system-file copies are refreshed.
    {
        Machine m;
        m.set("AutoUpdateDb", "1");
        m.set("ScanMode", "1");
        m.update();
        const std::string database = m.text("C:\\Korvex\\Cdbase.kvd");
        const std::string winIni = m.text("C:\\Korvex\\winIni.kvd");
        install(m);
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_EQ(m.text("C:\\Korvex\\Cdbase.kvd"), database);
        EXPECT_NE(m.text("C:\\Korvex\\winIni.kvd"), winIni);
        EXPECT_EQ(m.text("C:\\Korvex\\winIni.kvd"), m.text("C:\\windows\\win.ini"));
        EXPECT_NE(m.text("C:\\Korvex\\hkcuReg.kvd").find("Software\\NewVendor\\App\\1.0\r\n"), std::string::npos);
        // A partial walk's list is neither moved nor deleted; the next run overwrites it.
        EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{"C:\\0current.kvd"});
    }
    // "ScanMode" "0": the new list becomes the database, hidden; a second run finds nothing.
    {
        Machine m;
        m.set("AutoUpdateDb", "1");
        m.update();
        install(m);
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_NE(m.text("C:\\Korvex\\Cdbase.kvd").find("\r\nnewlib.dll\r\n"), std::string::npos);
        EXPECT_EQ(m.files.info("C:\\Korvex\\Cdbase.kvd").attributes & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_EQ(m.text("C:\\changes.kvd"), "");
        EXPECT_EQ(m.text("C:\\hkcuchanges.kvd"), "");
        EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{});
    }
    // "RegScan" off: the drive's database is replaced, the dumps and copies are not.
    {
        Machine m;
        m.set("AutoUpdateDb", "1");
        m.set("RegScan", "0");
        m.update();
        const std::string hkcu = m.text("C:\\Korvex\\hkcuReg.kvd");
        const std::string winIni = m.text("C:\\Korvex\\winIni.kvd");
        install(m);
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_NE(m.text("C:\\Korvex\\Cdbase.kvd").find("\r\nnewlib.dll\r\n"), std::string::npos);
        EXPECT_EQ(m.text("C:\\Korvex\\hkcuReg.kvd"), hkcu);
        EXPECT_EQ(m.text("C:\\Korvex\\winIni.kvd"), winIni);
        EXPECT_FALSE(m.files.exists("C:\\hkcuchanges.kvd"));
    }
}

TEST(FindChanges, EveryDriveIsWalkedIntoItsOwnListAndItsOwnDatabase) {
    Machine m;
    m.set("AutoUpdateDb", "1");
    for (char letter : {'D', 'E'}) {
        m.system.drives[letter] = FakeSystem::Drive{DRIVE_FIXED, ""};
        m.files.put(std::string(1, letter) + ":\\old.txt", "o");
        m.files.put(std::string(1, letter) + ":\\Folder\\f.txt", "f");
    }
    m.update("C:,D:,E:");
    m.files.put("D:\\Folder\\new.txt", "n");
    m.files.put("E:\\NewFolder\\x.txt", "x");
    m.maxima.clear();
    ASSERT_EQ(m.find("C:,D:,E:"), FindOutcome::Completed);
    EXPECT_EQ(m.text("C:\\changes.kvd"), CrlfLines({"D:\\Folder\\{", "new.txt", "}", "!E:\\NewFolder\\{", "}"}));
    EXPECT_NE(m.text("C:\\Korvex\\Ddbase.kvd").find("new.txt"), std::string::npos);
    EXPECT_EQ(m.text("C:\\Korvex\\Edbase.kvd"), CrlfLines({"E:\\{", "old.txt", "}", "E:\\Folder\\{", "f.txt", "}",
                                                      "E:\\NewFolder\\{", "x.txt", "}"}));
    // The bar's maximum: folders of C: + 93, then one folder more for D:, two for E:.
    ASSERT_GE(m.maxima.size(), 3u);
    const double first = m.maxima[0];
    EXPECT_EQ(std::vector<double>(m.maxima.begin(), m.maxima.begin() + 3),
              (std::vector<double>{first, first + 1, first + 3}));
    EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{});
}

TEST(FindChanges, MissingRegistryDatabaseIsReportedAndTheFileResultsStay) {
    Machine m;
    m.update();
    m.files.deleteFile("C:\\Korvex\\hklmReg.kvd");
    install(m);
    ASSERT_EQ(m.find(), FindOutcome::Completed);
    ASSERT_EQ(m.prompt.messages.size(), 1u);
    const Message& message = m.prompt.messages[0];
    EXPECT_EQ(message.icon, Icon::Critical);
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.title, "Error scanning Registry");
    EXPECT_EQ(message.text,
              "Unable to find the Registry Information database. You may have to update the Scan Database again to "
              "find changes in the Registry.");
    EXPECT_NE(m.text("C:\\changes.kvd"), "");
    EXPECT_FALSE(m.files.exists("C:\\hkcuchanges.kvd"));
    EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{});
}

// Closing the window at any yield of the run: nothing of the run stays behind and the
// scan database is as it was.
TEST(FindChanges, CancellingAtAnyStepRemovesEveryWorkFile) {
    for (const char* autoUpdate : {"0", "1"}) {
        std::uint64_t total = 0;
        {
            Machine m;
            m.set("AutoUpdateDb", autoUpdate);
            m.update();
            install(m);
            m.prompt.yields = 0;
            ASSERT_EQ(m.find(), FindOutcome::Completed);
            total = m.prompt.yields;
        }
        ASSERT_GT(total, 40u);
        for (std::uint64_t at = 1; at <= total; ++at) {
            Machine m;
            m.set("AutoUpdateDb", autoUpdate);
            m.update();
            install(m);
            const std::string database = m.text("C:\\Korvex\\Cdbase.kvd");
            m.prompt.yields = 0;
            m.prompt.onYield = [&] {
                if (m.prompt.yields == at) m.stop = true;
            };
            EXPECT_EQ(m.find(), FindOutcome::Cancelled) << "yield " << at;
            EXPECT_EQ(leftOver(m, IsWorkFile), std::vector<std::string>{}) << "yield " << at;
            EXPECT_EQ(leftOver(m, IsChangeList), std::vector<std::string>{}) << "yield " << at;
            if (std::string(autoUpdate) == "0") {
                EXPECT_EQ(m.text("C:\\Korvex\\Cdbase.kvd"), database);
            }
        }
    }
}

}  // namespace
}  // namespace korvex
