// Whole find-changes runs on a machine in memory: Update database, an installation,
// then Find changes, checked through the change list files it leaves, the scan
// database it refreshes or keeps, the messages it shows and the work files it removes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine.h"
#include "tests/support/text_lines.h"

namespace korvex::test {
namespace {

using V = std::vector<std::string>;

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

// While Wine runs programs in the machine its registry files are out of date: both
// runs ask before they start, once per attempt, and on Cancel leave every file as it was.
TEST(FindChanges, WineRunningProgramsStopsBothRunsBeforeTheyStart) {
    Machine m;
    m.update();
    m.files.put("C:\\Program Files\\New\\new.exe", "n");
    auto snapshot = [&] {
        std::string all;
        for (const auto& path : m.files.tree("C:\\")) all += path + "=" + m.files.contents(path) + "\n";
        return all;
    };
    const std::string before = snapshot();
    m.system.inUse = "Wine is running programs in this machine (wineserver process 42).";
    m.prompt.defaultAnswer = Answer::Cancel;
    bool noStop = false;
    EXPECT_EQ(m.find(), FindOutcome::MachineInUse);
    EXPECT_EQ(scandb::UpdateDatabase(m.services, m.prompt, {m.data, "C:", {}}, noStop),
              scandb::UpdateOutcome::MachineInUse);
    const std::string shown = "Exclamation RetryCancel | Korvex! | " + m.system.inUse +
                              " Wine brings the machine's registry files up to date only when its programs end, so "
                              "Korvex would miss what they changed.\n\nClose the machine's Windows programs (or run "
                              "\"wineserver -k\"), then click Retry. Click Cancel to stop without scanning.";
    ASSERT_EQ(m.prompt.messages.size(), 2u);
    for (const Message& message : m.prompt.messages) EXPECT_EQ(Shown(message), shown);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(m.system.beeps, 1);  // only the first update's

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

TEST(FindChanges, NothingChangedGivesEmptyListsThenAnInstallationIsFoundEverywhere) {
    Machine m;
    m.set("FoldersToIgnore", "C:\\users\\user\\Temp\\" + kSep);
    m.update();
    const std::string noSystemChanges = CrlfLines({"System.ini{", "", "", "}", "Config.sys{", "", "", "}"});
    EXPECT_EQ(m.find(), FindOutcome::Completed);
    EXPECT_EQ(m.leftOver(IsChangeList), (V{"C:\\SysChanges.kvd", "C:\\changes.kvd", "C:\\hkcuchanges.kvd",
                                           "C:\\hklmchanges.kvd"}));
    EXPECT_EQ(m.text("C:\\changes.kvd") + m.text("C:\\hkcuchanges.kvd") + m.text("C:\\hklmchanges.kvd"), "");
    EXPECT_EQ(m.text("C:\\SysChanges.kvd"),
              CrlfLines({"Autoexec.bat{", "", "", "}", "Win.ini{", "", "", "}"}) + noSystemChanges);
    EXPECT_EQ(m.progress.position(), m.progress.maximum());

    install(m);
    // Ignored folders, recycle bins and the history folder are not walked.
    m.files.put("C:\\users\\user\\Temp\\new.tmp", "t");
    m.files.put("C:\\Recycled\\gone.txt", "r");
    m.files.put("C:\\windows\\History\\h2.dat", "h");
    ASSERT_EQ(m.find(), FindOutcome::Completed);
    EXPECT_EQ(m.text("C:\\changes.kvd"),
              CrlfLines({"C:\\windows\\system32\\{", "newlib.dll", "}", "!C:\\Program Files\\NewApp\\{", "}"}));
    EXPECT_EQ(m.text("C:\\hkcuchanges.kvd") + m.text("C:\\hklmchanges.kvd"),
              CrlfLines({"Software\\NewVendor", "Software\\NewVendor"}));
    EXPECT_EQ(m.text("C:\\SysChanges.kvd"), "Autoexec.bat{\r\nC:\\NEW\\TSR.EXE" + kSep + "\r\n " + kSep +
                                               "\r\n}\r\nWin.ini{\r\nload=C:\\NEW\\AGENT.EXE" + kSep + "\r\nload=" + kSep +
                                               "\r\n}\r\n" + noSystemChanges);
    EXPECT_TRUE(m.prompt.messages.empty());
    EXPECT_EQ(m.leftOver(IsWorkFile), V{});
}

TEST(FindChanges, ScanModeChoosesWhatIsWalked) {
    const std::string root = "C:\\{\r\nroot.txt\r\n}\r\n", windows = "C:\\windows\\{\r\nw.txt\r\n}\r\n",
                      programs = "C:\\Program Files\\{\r\np.txt\r\n}\r\n";
    // The bar's maximum: the folders walked (nine on C:, History is ignored) + 93; with
    // "1" the Windows folder's one + 93, less 4, plus the Program Files folder's two.
    const struct {
        const char* mode;
        std::string expected;
        std::uint64_t maximum;
    } cases[] = {{"0", root + windows + programs, 102}, {"1", windows + programs, 92}, {"2", windows, 94},
                 {"3", programs, 95}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("ScanMode ") + c.mode);
        Machine m;
        m.set("ScanMode", c.mode);
        m.update();
        m.files.put("C:\\root.txt", "r");
        m.files.put("C:\\windows\\w.txt", "w");
        m.files.put("C:\\Program Files\\p.txt", "p");
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_EQ(m.text("C:\\changes.kvd"), c.expected);
        EXPECT_EQ(m.prompt.lastTotal, c.maximum);
    }
}

TEST(FindChanges, TheProgressBarIgnoresPositionsBeyondItsMaximum) {
    FindProgress bar;
    std::vector<std::pair<double, double>> seen;
    bar.onChange = [&](double position, double maximum) { seen.emplace_back(position, maximum); };
    bar.setPosition(150);  // beyond the maximum of 100: ignored
    bar.setPosition(60);
    bar.setMaximum(50);    // below the position: ignored
    bar.raise(40);
    bar.raise(1);          // 101: ignored
    EXPECT_EQ(seen, (std::vector<std::pair<double, double>>{{60, 100}, {100, 100}}));
    FindProgress unseen;  // nothing shows it: it still keeps its position
    unseen.setPosition(7);
    EXPECT_EQ(unseen.position(), 7);
}

// What a run refreshes and what it says, by the settings and the data folder.
// "AutoUpdateDb" on: the drive's database is replaced (hidden) only after a walk over
// whole drives; the registry dumps and system-file copies whenever the registry is
// scanned. Troubles after the walk are said once and do not hide what was found: a
// missing registry database leaves the registry out; a data folder that cannot be
// written is named with the file and the reason. No work file stays after a whole walk.
TEST(FindChanges, WhatIsRefreshedAndSaidFollowsTheSettingsAndTheDataFolder) {
    const struct {
        const char *name, *autoUpdate, *scanMode, *regScan;
        void (*spoil)(Machine&);
        std::string expected;
    } cases[] = {
        {"partial walk", "1", "1", "1", nullptr,
         "Cdbase old, winIni new, hkcuReg new, hkcuchanges yes, left C:\\0current.kvd "},
        {"whole drives", "1", "0", "1", nullptr, "Cdbase new, winIni new, hkcuReg new, hkcuchanges yes, left "},
        {"registry not scanned", "1", "0", "0", nullptr, "Cdbase new, winIni old, hkcuReg old, hkcuchanges no, left "},
        {"missing registry database", "0", "0", "1", [](Machine& m) { m.files.deleteFile("C:\\Korvex\\hklmReg.kvd"); },
         "Cdbase old, winIni old, hkcuReg old, hkcuchanges no, left | Critical OK | Error scanning Registry | Unable to "
         "find the Registry Information database. You may have to update the Scan Database again to find changes in "
         "the Registry."},
        {"data folder locked", "1", "0", "1", [](Machine& m) { m.files.lockedFolders.insert("C:\\Korvex"); },
         "Cdbase old, winIni old, hkcuReg old, hkcuchanges yes, left | Exclamation OK | Error finding changes | Korvex "
         "could not write C:\\Korvex\\Cdbase.kvd (Permission denied), so the scan database in C:\\Korvex\\ was not "
         "brought up to date: the next search also lists what this one found. Make the folder writable, or choose "
         "another data folder in Options."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.set("AutoUpdateDb", c.autoUpdate);
        m.set("ScanMode", c.scanMode);
        m.set("RegScan", c.regScan);
        m.update();
        if (c.spoil) c.spoil(m);
        // Each file "new" (it holds what was installed), "old" (as it was) or "?".
        const std::string names[] = {"Cdbase", "winIni", "hkcuReg"};
        const std::string marks[] = {"\r\nnewlib.dll\r\n", "AGENT.EXE", "Software\\NewVendor\\App\\1.0\r\n"};
        std::string before[3];
        for (int i = 0; i < 3; ++i) before[i] = m.text("C:\\Korvex\\" + names[i] + ".kvd");
        install(m);
        ASSERT_EQ(m.find(), FindOutcome::Completed);
        EXPECT_EQ(m.text("C:\\changes.kvd"),
                  CrlfLines({"C:\\windows\\system32\\{", "newlib.dll", "}", "!C:\\Program Files\\NewApp\\{", "}"}));
        std::string state;
        for (int i = 0; i < 3; ++i) {
            const std::string now = m.text("C:\\Korvex\\" + names[i] + ".kvd");
            state += names[i] + (now.find(marks[i]) != std::string::npos ? " new, " : now == before[i] ? " old, " : " ?, ");
        }
        state += std::string("hkcuchanges ") + (m.files.exists("C:\\hkcuchanges.kvd") ? "yes" : "no") + ", left ";
        for (const auto& path : m.leftOver(IsWorkFile)) state += path + " ";
        for (const Message& message : m.prompt.messages) state += "| " + Shown(message);
        EXPECT_EQ(state, c.expected);
        if (state.starts_with("Cdbase new")) {
            EXPECT_EQ(m.files.info("C:\\Korvex\\Cdbase.kvd").attributes & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
        }
    }
}

// Without a scan database for a drive the run stops before it writes anything, naming
// only the first such drive. With all three: each drive is walked into its own list and
// refreshes its own database; meanwhile root "dbase.kvd" holds the databases joined in
// drive order.
TEST(FindChanges, EveryDriveNeedsItsOwnDatabaseAndIsWalkedIntoIt) {
    Machine m;
    m.set("AutoUpdateDb", "1");
    for (char letter : {'D', 'E'}) {
        m.system.drives[letter] = FakeSystem::Drive{DRIVE_FIXED, ""};
        m.files.put(std::string(1, letter) + ":\\old.txt", "o");
        m.files.put(std::string(1, letter) + ":\\Folder\\f.txt", "f");
    }
    m.update("C:");
    const auto before = m.files.tree("C:\\");
    EXPECT_EQ(m.find("C:,D:,E:"), FindOutcome::MissingDatabase);
    ASSERT_EQ(m.prompt.messages.size(), 1u);
    EXPECT_EQ(Shown(m.prompt.messages[0]),
              "Exclamation OK | Error finding changes | No scan database found for drive D:\\ To find changes in this "
              "drive, first create a scan database by clicking on the Update Database button in the main window.");
    EXPECT_EQ(m.files.tree("C:\\"), before);

    m.update("C:,D:,E:");
    const std::string databases = m.text("C:\\Korvex\\Cdbase.kvd") + m.text("C:\\Korvex\\Ddbase.kvd") +
                                  m.text("C:\\Korvex\\Edbase.kvd");
    std::string joined;
    m.prompt.onYield = [&] {
        if (m.files.exists("C:\\dbase.kvd")) joined = m.text("C:\\dbase.kvd");
    };
    m.files.put("D:\\Folder\\new.txt", "n");
    m.files.put("E:\\NewFolder\\x.txt", "x");
    ASSERT_EQ(m.find("C:,D:,E:"), FindOutcome::Completed);
    EXPECT_EQ(joined, databases);
    EXPECT_EQ(m.text("C:\\changes.kvd"), CrlfLines({"D:\\Folder\\{", "new.txt", "}", "!E:\\NewFolder\\{", "}"}));
    EXPECT_NE(m.text("C:\\Korvex\\Ddbase.kvd").find("new.txt"), std::string::npos);
    EXPECT_EQ(m.text("C:\\Korvex\\Edbase.kvd"),
              CrlfLines({"E:\\{", "old.txt", "}", "E:\\Folder\\{", "f.txt", "}", "E:\\NewFolder\\{", "x.txt", "}"}));
    // The bar's maximum: the nine folders of C: + 93, one more for D:, two more for E:.
    EXPECT_EQ(m.prompt.lastTotal, 102u + 1 + 2);
    EXPECT_EQ(m.leftOver(IsWorkFile), V{});
}

// Closing the window at any yield of the run: nothing of the run stays behind and the
// scan database is as it was.
TEST(FindChanges, CancellingAtAnyStepRemovesEveryWorkFile) {
    for (const char* autoUpdate : {"0", "1"}) {
        std::uint64_t total = 0;
        for (std::uint64_t at = 0; at == 0 || at <= total; ++at) {
            SCOPED_TRACE("AutoUpdateDb " + std::string(autoUpdate) + ", yield " + std::to_string(at));
            Machine m;
            m.set("AutoUpdateDb", autoUpdate);
            m.update();
            install(m);
            const std::string database = m.text("C:\\Korvex\\Cdbase.kvd");
            m.prompt.yields = 0;
            m.prompt.onYield = [&] { m.stop = m.stop || m.prompt.yields == at; };
            if (at == 0) {  // a whole run first, to count its yields
                ASSERT_EQ(m.find(), FindOutcome::Completed);
                total = m.prompt.yields;
                ASSERT_GT(total, 40u);
                continue;
            }
            EXPECT_EQ(m.find(), FindOutcome::Cancelled);
            EXPECT_EQ(m.leftOver(IsWorkFile), V{});
            EXPECT_EQ(m.leftOver(IsChangeList), V{});
            if (std::string(autoUpdate) == "0") {
                EXPECT_EQ(m.text("C:\\Korvex\\Cdbase.kvd"), database);
            }
        }
    }
}

}  // namespace
}  // namespace korvex::test
