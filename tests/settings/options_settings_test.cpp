// The Options dialog's settings: what each stored value shows, what "OK" writes and in
// which order, and what "Add to list..." accepts.
#include <gtest/gtest.h>

#include "registry_dump.h"
#include "settings/options_settings.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

const char* const kScanning = "HKCU\\Software\\Korvex!\\Scanning";
const char* const kScheduler = "HKCU\\Software\\Korvex!\\Scheduler";
const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";
const char* const kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Machine : test::MemoryMachine {
    OptionsState load() { return LoadOptions(services, access); }
    std::string value(const char* key, const char* name) { return registry.text(key, name).value_or("<missing>"); }
    // Every value of the key in stored order: "Name=value|..." (character 127 as "<127>").
    std::string values(const char* key) {
        std::string out;
        for (const std::string& name : registry.valueNames(key))
            out += testing::Readable(name + "=" + value(key, name.c_str())) + "|";
        return out;
    }
};

TEST(OptionsSettings, StoredValuesAndWhatTheyShow) {
    struct Case { const char *key, *name, *value; std::function<bool(const OptionsState&)> shows; const char* what; };
    const Case cases[] = {
        {kScanning, "ScanMode", "2", [](auto& o) { return o.scanMode == 2; }, "Windows folder only"},
        {kScanning, "ScanMode", "3", [](auto& o) { return o.scanMode == 3; }, "Program Files only"},
        {kScanning, "ScanMode", "02", [](auto& o) { return o.scanMode == 0; }, "all folders"},
        {kScanning, "RegScan", "1", [](auto& o) { return o.scanRegistry; }, "registry scanned"},
        {kScanning, "RegFullScan", "0", [](auto& o) { return !o.completeRegistry; }, "\\Software only"},
        {kScanning, "WinIniScan", "0", [](auto& o) { return !o.scanSystemFiles; }, "system files not scanned"},
        {kGeneral, "DeleteMode", "3", [](auto& o) { return o.deleteMode == 3; }, "zip"},
        {kScheduler, "Weekly", "1", [](auto& o) { return o.timing == SchedulerTiming::Weekly && o.dayOfWeek == "Sunday"; }, "weekly on Sunday"},
        {kScheduler, "Weekly", "7", [](auto& o) { return o.timing == SchedulerTiming::Weekly && o.dayOfWeek == "Saturday"; }, "weekly on Saturday"},
        {kScheduler, "Weekly", "0", [](auto& o) { return o.timing == SchedulerTiming::None && o.dayOfWeek == "Monday"; }, "Monday, not weekly"},
        {kScheduler, "Monthly", "0", [](auto& o) { return o.timing == SchedulerTiming::None && o.monthDays == "3"; }, "3 days, not monthly"},
        {kScheduler, "EveryDay", "1", [](auto& o) { return o.timing == SchedulerTiming::EveryDay; }, "every day"},
        {kScheduler, "OldDelDays", "12", [](auto& o) { return o.oldDeleteDays == "12"; }, "12 days"},
        {kScheduler, "OldDelDays", "twelve", [](auto& o) { return o.oldDeleteDays.empty(); }, "no days"},
        {kScheduler, "Enabled", "0", [](auto& o) { return !o.enableScheduler; }, "scheduler not loaded"},
        {kScheduler, "DriveName", "(c:) ", [](auto& o) { return o.driveText == "(C:) "; }, "drive C:"},
        {kScheduler, "DriveName", "(Q:)", [](auto& o) { return o.driveText.empty(); }, "no drive"},
    };
    for (const Case& c : cases) {
        Machine m;
        m.registry.setString(c.key, c.name, c.value);
        const std::vector<std::string> before = testing::DumpRegistry(m.registry);
        EXPECT_TRUE(c.shows(m.load())) << c.name << "=" << c.value << ": " << c.what;
        EXPECT_EQ(testing::DumpRegistry(m.registry), before) << "loading writes nothing";
    }
}

TEST(OptionsSettings, TheLastTimingStoredWins) {
    Machine m;
    m.registry.setString(kScheduler, "EveryDay", "1");
    m.registry.setString(kScheduler, "Monthly", "5");
    EXPECT_EQ(m.load().timing, SchedulerTiming::Monthly);
    m.registry.setString(kScheduler, "Weekly", "4");
    const OptionsState o = m.load();
    EXPECT_EQ(o.timing, SchedulerTiming::Weekly);
    EXPECT_EQ(o.dayOfWeek, "Wednesday");
    EXPECT_EQ(o.monthDays, "5");
}

TEST(OptionsSettings, ProgramsToIgnoreComeFromTwoParallelListsAndGoBackTheSameWay) {
    Machine m;
    m.registry.setString(kScheduler, "WindowsToIgnore", "setup.exe\x7f" "1024\x7f" "inst.exe\x7f" "77\x7f");
    m.registry.setString(kScheduler, "WindowsToIgnoreInfo", "C:\\Tools\\\x7f" "2026-01-02\x7f" "C:\\X\\\x7f" "2026-03-04\x7f");
    OptionsState o = m.load();
    ASSERT_EQ(o.programs, (std::vector<IgnoredProgram>{{"setup.exe", "C:\\Tools\\", "2026-01-02", "1024"},
                                                       {"inst.exe", "C:\\X\\", "2026-03-04", "77"}}));
    o.programs.erase(o.programs.begin());
    SaveOptions(m.services, m.access, o);
    EXPECT_EQ(m.value(kScheduler, "WindowsToIgnore"), "inst.exe\x7f" "77\x7f");
    EXPECT_EQ(m.value(kScheduler, "WindowsToIgnoreInfo"), "C:\\X\\\x7f" "2026-03-04\x7f");
}

TEST(OptionsSettings, OkWritesEveryValueInOrderAndDropsFoldersThatNoLongerExist) {
    Machine m;
    m.files.createFolder("C:\\Keep");
    m.files.createFolder("C:\\Also kept");
    m.files.put("C:\\a file", "x");
    m.registry.setString(kScanning, "ScanMode", "1");  // the key exists
    m.registry.setString(kScanning, "FoldersToIgnore", "C:\\Keep\\\x7f\x7f" "C:\\Deleted\\\x7f" "C:\\a file\x7f" "C:\\Also kept\\\x7f");
    m.registry.setString(kScheduler, "Weekly", "3");
    const std::vector<std::string> before = testing::DumpRegistry(m.registry);
    OptionsState o = m.load();
    EXPECT_EQ(testing::DumpRegistry(m.registry), before) << "loading writes nothing, gone folders stay stored";
    EXPECT_EQ(o.foldersToIgnore, (std::vector<std::string>{"C:\\Keep\\", "C:\\Also kept\\"}));
    o.driveText = o.driveEntries.at(0);
    o.deleteMode = 2;
    o.scanSystemFiles = false;
    SaveOptions(m.services, m.access, o);
    EXPECT_EQ(m.values(kScanning), "ScanMode=1|FoldersToIgnore=C:\\Keep\\<127>C:\\Also kept\\<127>|AutoUpdateDb=1|"
                                   "RegScan=0|RegFullScan=1|WinIniScan=0|SystemIniScan=0|ConfigSysScan=0|AutoexecScan=0|");
    EXPECT_EQ(m.values(kScheduler), "Weekly=3|SetupDetect=1|TempFiles=1|TempFolders=1|DLLFiles=0|ScanDisk=0|"
                                    "Defragmentor=0|ChangesStartup=0|Enabled=1|Drive=C:|DriveName=(C:) |EveryDay=0|"
                                    "Monthly=0|OldDel=0|OldDelDays=|WindowsToIgnore=|WindowsToIgnoreInfo=|");
    EXPECT_EQ(m.values(kGeneral) + m.values(kRun),
              "DeleteMode=2|Korvex Scheduler=C:\\Program Files\\Korvex\\Korvex Scheduler.exe|");
}

TEST(OptionsSettings, MissingScanningAndSchedulerKeysAreNotMadeAndAClearedBoxDeletesTheRunEntry) {
    Machine m;
    m.registry.setString(kRun, "Korvex Scheduler", "C:\\old\\Korvex Scheduler.exe");
    m.registry.setString(kRun, "Other", "x");
    OptionsState o = m.load();
    o.enableScheduler = false;
    SaveOptions(m.services, m.access, o);
    EXPECT_FALSE(m.registry.keyExists(kScanning));
    EXPECT_FALSE(m.registry.keyExists(kScheduler));
    EXPECT_EQ(m.values(kGeneral) + m.values(kRun), "DeleteMode=0|Other=x|");
    EXPECT_EQ(m.registry.openCount, 0);
}

TEST(OptionsSettings, WhatAddToListAccepts) {
    const std::vector<std::string> listed = {"C:\\Games\\", "D:\\Data\\"};
    // Cancelled, a drive root, listed already; another letter case is another row.
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"", std::nullopt},           {"C:\\", std::nullopt},       {"C:\\Games", std::nullopt},
        {"c:\\games", "c:\\games\\"}, {"C:\\Tools", "C:\\Tools\\"}, {"C:\\Tools\\", "C:\\Tools\\"}};
    for (const auto& [picked, added] : cases) EXPECT_EQ(FolderToAdd(picked, listed), added) << picked;
}

}  // namespace
}  // namespace korvex
