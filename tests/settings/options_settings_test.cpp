// The Options dialog's settings: what each stored value shows, what "OK" writes and in
// which order, and what "Add to list..." accepts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_dump.h"
#include "settings/options_settings.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

using testing::DumpRegistry;

const char* const kScanning = "HKCU\\Software\\Korvex!\\Scanning";
const char* const kScheduler = "HKCU\\Software\\Korvex!\\Scheduler";
const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";
const char* const kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Machine : test::MemoryMachine {
    OptionsState load() { return LoadOptions(services, access); }
    std::string value(const char* key, const char* name) { return registry.text(key, name).value_or("<missing>"); }
};

TEST(OptionsSettings, StoredValuesAndWhatTheyShow) {
    struct Case {
        const char* key;
        const char* name;
        const char* value;  // nullptr: missing
        std::function<bool(const OptionsState&)> shows;
        const char* what;
    };
    const Case cases[] = {
        {kScanning, "ScanMode", "2", [](auto& o) { return o.scanMode == 2; }, "Windows folder only"},
        {kScanning, "ScanMode", "1", [](auto& o) { return o.scanMode == 1; }, "Windows and Program Files"},
        {kScanning, "ScanMode", "3", [](auto& o) { return o.scanMode == 3; }, "Program Files only"},
        {kScanning, "ScanMode", "02", [](auto& o) { return o.scanMode == 0; }, "all folders"},
        {kScanning, "RegScan", nullptr, [](auto& o) { return !o.scanRegistry; }, "registry not scanned"},
        {kScanning, "RegScan", "1", [](auto& o) { return o.scanRegistry; }, "registry scanned"},
        {kScanning, "RegFullScan", "0", [](auto& o) { return !o.completeRegistry; }, "\\Software only"},
        {kScanning, "RegFullScan", nullptr, [](auto& o) { return o.completeRegistry; }, "complete registry"},
        {kScanning, "WinIniScan", "0", [](auto& o) { return !o.scanSystemFiles; }, "system files not scanned"},
        {kScanning, "AutoUpdateDb", "", [](auto& o) { return o.autoUpdateDb; }, "database updated"},
        {kGeneral, "DeleteMode", "3", [](auto& o) { return o.deleteMode == 3; }, "zip"},
        {kGeneral, "DeleteMode", "x", [](auto& o) { return o.deleteMode == 0; }, "recycle bin"},
        {kScheduler, "Weekly", "1", [](auto& o) { return o.timing == SchedulerTiming::Weekly && o.dayOfWeek == "Sunday"; }, "weekly on Sunday"},
        {kScheduler, "Weekly", "7", [](auto& o) { return o.timing == SchedulerTiming::Weekly && o.dayOfWeek == "Saturday"; }, "weekly on Saturday"},
        {kScheduler, "Weekly", "0", [](auto& o) { return o.timing == SchedulerTiming::None && o.dayOfWeek == "Monday"; }, "Monday, not weekly"},
        {kScheduler, "Weekly", nullptr, [](auto& o) { return o.timing == SchedulerTiming::None && o.dayOfWeek == "Monday"; }, "Monday, not weekly"},
        {kScheduler, "Monthly", "0", [](auto& o) { return o.timing == SchedulerTiming::None && o.monthDays == "3"; }, "3 days, not monthly"},
        {kScheduler, "Monthly", "14", [](auto& o) { return o.timing == SchedulerTiming::Monthly && o.monthDays == "14"; }, "every 14 days"},
        {kScheduler, "EveryDay", "1", [](auto& o) { return o.timing == SchedulerTiming::EveryDay; }, "every day"},
        {kScheduler, "OldDelDays", "12", [](auto& o) { return o.oldDeleteDays == "12"; }, "12 days"},
        {kScheduler, "OldDelDays", "twelve", [](auto& o) { return o.oldDeleteDays.empty(); }, "no days"},
        {kScheduler, "SetupDetect", "", [](auto& o) { return o.setupDetect; }, "setup detection on"},
        {kScheduler, "DLLFiles", "", [](auto& o) { return !o.dllFiles; }, "no DLL scan"},
        {kScheduler, "Enabled", "0", [](auto& o) { return !o.enableScheduler; }, "scheduler not loaded"},
        {kScheduler, "DriveName", "(c:) ", [](auto& o) { return o.driveText == "(C:) "; }, "drive C:"},
        {kScheduler, "DriveName", "(Q:)", [](auto& o) { return o.driveText.empty(); }, "no drive"},
    };
    for (const Case& c : cases) {
        Machine m;
        if (c.value) m.registry.setString(c.key, c.name, c.value);
        const std::vector<std::string> before = DumpRegistry(m.registry);
        EXPECT_TRUE(c.shows(m.load())) << c.name << "=" << (c.value ? c.value : "<missing>") << ": " << c.what;
        EXPECT_EQ(DumpRegistry(m.registry), before) << "loading writes nothing";
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
    m.registry.setString(kScanning, "ScanMode", "0");
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
    const std::vector<std::string> before = DumpRegistry(m.registry);
    OptionsState o = m.load();
    EXPECT_EQ(DumpRegistry(m.registry), before) << "loading writes nothing, gone folders stay stored";
    EXPECT_EQ(o.foldersToIgnore, (std::vector<std::string>{"C:\\Keep\\", "C:\\Also kept\\"}));
    o.driveText = o.driveEntries.at(0);
    o.deleteMode = 2;
    o.scanSystemFiles = false;
    SaveOptions(m.services, m.access, o);
    using Names = std::vector<std::string>;
    EXPECT_EQ(m.registry.valueNames(kScanning),
              (Names{"ScanMode", "FoldersToIgnore", "AutoUpdateDb", "RegScan", "RegFullScan", "WinIniScan",
                     "SystemIniScan", "ConfigSysScan", "AutoexecScan"}));
    EXPECT_EQ(m.registry.valueNames(kScheduler),
              (Names{"Weekly", "SetupDetect", "TempFiles", "TempFolders", "DLLFiles", "ScanDisk", "Defragmentor",
                     "ChangesStartup", "Enabled", "Drive", "DriveName", "EveryDay", "Monthly", "OldDel", "OldDelDays",
                     "WindowsToIgnore", "WindowsToIgnoreInfo"}));
    struct Expect {
        const char* key;
        const char* name;
        std::string value;
    };
    const Expect values[] = {
        {kScanning, "ScanMode", "1"},     {kScanning, "AutoUpdateDb", "1"}, {kScanning, "RegScan", "0"},
        {kScanning, "RegFullScan", "1"},  {kScanning, "WinIniScan", "0"},   {kScanning, "AutoexecScan", "0"},
        {kScheduler, "Weekly", "3"},      {kScheduler, "EveryDay", "0"},    {kScheduler, "Monthly", "0"},
        {kScheduler, "Drive", "C:"},      {kScheduler, "DriveName", o.driveText},
        {kScheduler, "Enabled", "1"},     {kScheduler, "DLLFiles", "0"},    {kGeneral, "DeleteMode", "2"},
        {kRun, "Korvex Scheduler", "C:\\Program Files\\Korvex\\Korvex Scheduler.exe"},
        {kScanning, "FoldersToIgnore", "C:\\Keep\\\x7f" "C:\\Also kept\\\x7f"},
    };
    for (const Expect& e : values) EXPECT_EQ(m.value(e.key, e.name), e.value) << e.name;
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
    EXPECT_EQ(m.value(kGeneral, "DeleteMode"), "0");
    EXPECT_EQ(m.registry.valueNames(kRun), (std::vector<std::string>{"Other"}));
    EXPECT_EQ(m.registry.openCount, 0);
}

TEST(OptionsSettings, WhatAddToListAccepts) {
    const std::vector<std::string> listed = {"C:\\Games\\", "D:\\Data\\"};
    struct Case {
        const char* picked;
        std::optional<std::string> added;
    };
    const Case cases[] = {
        {"", std::nullopt},                      // cancelled
        {"C:\\", std::nullopt},                  // a drive root
        {"C:\\Games", std::nullopt},             // listed already
        {"c:\\games", std::string("c:\\games\\")},  // another letter case is another row
        {"C:\\Tools", std::string("C:\\Tools\\")},
        {"C:\\Tools\\", std::string("C:\\Tools\\")},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderToAdd(c.picked, listed), c.added) << c.picked;
}

}  // namespace
}  // namespace korvex
