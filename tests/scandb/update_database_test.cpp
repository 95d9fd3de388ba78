#include <gtest/gtest.h>

#include <vector>

#include "scandb/update_database.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

constexpr const char* kData = "C:\\Program Files\\Korvex\\";
constexpr const char* kScanning = "HKCU\\Software\\Korvex!\\Scanning";
const char* const kDataFiles[] = {"Cdbase.kvd", "Ddbase.kvd", "hkcuReg.kvd", "hklmReg.kvd", "Autoexec.kvd",
                                  "configSys.kvd", "winIni.kvd", "systemIni.kvd"};
constexpr const char* kSystemPhase = "Updating System Files database...";
constexpr const char* kRegistryPhase = "Updating Registry Information database...";

// A machine with drives C: and D:, the four system files, an old scan database and
// a few registry keys.
struct Machine : test::MemoryMachine {
    bool stop = false;
    std::vector<std::string> drivesDone;

    Machine() {
        system.drives['D'] = FakeSystem::Drive{DRIVE_FIXED, "DATA"};
        files.put("C:\\autoexec.bat", "SET PATH=C:\\\r\n");
        files.put("C:\\config.sys", "FILES=40\r\n");
        files.put("C:\\windows\\win.ini", "[windows]\r\n");
        files.put("C:\\windows\\system.ini", "[boot]\r\n");
        files.put("D:\\data.bin", "");
        for (const char* name : kDataFiles) files.put(std::string(kData) + name, std::string("old ") + name);
        for (const char* name : {"AutoexecScan", "ConfigSysScan", "WinIniScan", "SystemIniScan"})
            registry.setString(kScanning, name, "1");
        registry.setString("HKLM\\Software\\Classes\\.kvu", "", "KorvexUninstall");
        registry.setString("HKLM\\Software\\Vendor", "v", "1");
    }

    scandb::UpdateOutcome run(std::string drives) {
        scandb::UpdateRequest request{kData, std::move(drives), [this] { drivesDone.push_back(prompt.statuses.back()); }};
        return scandb::UpdateDatabase(services, prompt, request, stop);
    }
    std::string data(std::string_view name) const { return files.contents(std::string(kData) + std::string(name)); }
    bool old(std::string_view name) const { return data(name) == "old " + std::string(name); }
    std::string setting(const char* name) const { return registry.text(kScanning, name).value_or("?"); }
    // The data files still as they were, and the work files left in C:\, as one line.
    std::string oldAndLeft() const {
        std::string out = "old:";
        for (const char* name : kDataFiles) out += old(name) ? std::string(" ") + name : "";
        out += "; left:";
        for (const char* work : {"C:\\dbstemp.kvd", "C:\\RegTemp.kvd", "C:\\RegTemp2.kvd"})
            out += files.exists(work) ? std::string(" ") + work : "";
        return out;
    }
};

TEST(UpdateDatabase, CompleteRunOverTwoDrives) {
    Machine m;
    EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Completed);
    EXPECT_EQ(m.oldAndLeft(), "old:; left:");
    EXPECT_EQ(m.data("Ddbase.kvd"), "D:\\{\r\ndata.bin\r\n}\r\n");
    const std::string c = m.data("Cdbase.kvd");
    EXPECT_EQ(c.substr(0, 4), "C:\\{");
    EXPECT_NE(c.find("\r\nC:\\windows\\{\r\nwin.ini\r\nsystem.ini\r\n}\r\n"), std::string::npos);
    // The drive's own work file was being written in C:\ while it was walked.
    EXPECT_NE(c.find("\r\ndbstemp.kvd\r\n"), std::string::npos);
    EXPECT_EQ(m.data("Autoexec.kvd") + m.data("configSys.kvd") + m.data("winIni.kvd") + m.data("systemIni.kvd"),
              "SET PATH=C:\\\r\nFILES=40\r\n[windows]\r\n[boot]\r\n");
    EXPECT_EQ(m.data("hkcuReg.kvd"), "\r\nSoftware\r\nSoftware\\Korvex!\r\nSoftware\\Korvex!\\Scanning\r\n");
    EXPECT_EQ(m.data("hklmReg.kvd"), "\r\nSoftware\r\nSoftware\\Vendor\r\n");
    for (const char* name : kDataFiles)
        EXPECT_EQ(m.files.info(std::string(kData) + name).attributes, FILE_ATTRIBUTE_HIDDEN) << name;
    EXPECT_EQ(m.system.beeps, 1);
    // The phase texts, in order, after the folders.
    const auto& s = m.prompt.statuses;
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(s.end() - 2, s.end()), (std::vector<std::string>{kSystemPhase, kRegistryPhase}));
}

// Closing the window at a step keeps every list that step had not finished, removes
// its work file, and the run says nothing more. config.sys and system.ini are missing:
// their old copies stay and their comparisons are turned off, so Find changes does not
// report every line of an old copy as gone.
TEST(UpdateDatabase, ClosedAtAStepKeepsTheListsNotYetDone) {
    const char* kHives = "old: hkcuReg.kvd hklmReg.kvd configSys.kvd systemIni.kvd; left:";
    struct Case { const char* name; std::function<bool(Machine&)> stopWhen; const char* expected; std::size_t drives; };
    const Case cases[] = {
        {"second drive", [](Machine& m) { return !m.prompt.statuses.empty() && m.prompt.statuses.back() == "D:\\"; },
         "old: Ddbase.kvd hkcuReg.kvd hklmReg.kvd Autoexec.kvd configSys.kvd winIni.kvd systemIni.kvd; left:", 1},
        {"user hive", [](Machine& m) { return m.files.exists("C:\\RegTemp.kvd"); }, kHives, 2},
        {"machine hive", [](Machine& m) { return m.files.exists("C:\\RegTemp2.kvd"); }, kHives, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.files.put("D:\\Sub\\x.txt", "");
        m.files.deleteFile("C:\\config.sys");
        m.files.deleteFile("C:\\windows\\system.ini");
        m.prompt.onYield = [&] { m.stop = m.stop || c.stopWhen(m); };
        EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Stopped);
        EXPECT_EQ(m.oldAndLeft(), c.expected);
        EXPECT_EQ(m.drivesDone.size(), c.drives);
        EXPECT_EQ(m.system.beeps, 0);
        EXPECT_EQ(m.registry.openCount, 0);
        if (m.old("winIni.kvd")) continue;
        EXPECT_EQ(m.data("Autoexec.kvd") + m.data("winIni.kvd"), "SET PATH=C:\\\r\n[windows]\r\n");
        EXPECT_EQ(m.setting("ConfigSysScan") + m.setting("SystemIniScan") + m.setting("AutoexecScan") +
                      m.setting("WinIniScan"),
                  "0011");
        EXPECT_EQ(m.prompt.statuses.back(), kRegistryPhase);
    }
}

TEST(UpdateDatabase, WorkFileInUseIsNotMoved) {
    Machine m;
    m.files.inUse.insert("C:\\dbstemp.kvd");
    EXPECT_EQ(m.run("C:"), scandb::UpdateOutcome::Completed);
    EXPECT_TRUE(m.old("Cdbase.kvd"));
    EXPECT_EQ(m.data("hkcuReg.kvd").substr(0, 2), "\r\n");  // the rest went on
}

// A scan database that cannot be written is a failure the user is told about, with the
// file or folder and the reason; it is never "complete", and no work file stays in C:\.
TEST(UpdateDatabase, UnwritableDataFolderIsAFailureThatNamesFolderAndReason) {
    // Each spoils the machine; the message begins with the path it names and the reason.
    const struct { const char* name; void (*spoil)(Machine&); const char* named; } cases[] = {
        {"locked data folder", [](Machine& m) { m.files.lockedFolders.insert("C:\\Program Files\\Korvex"); },
         "Korvex cannot write in its data folder C:\\Program Files\\Korvex\\ (Permission denied)"},
        {"missing data folder", [](Machine& m) { m.files.erase("C:\\Program Files\\Korvex"); },
         "Korvex cannot write in its data folder C:\\Program Files\\Korvex\\ (the folder does not exist)"},
        {"one file read-only", [](Machine& m) { m.files.readOnly.insert(std::string(kData) + "hklmReg.kvd"); },
         "Korvex could not write C:\\Program Files\\Korvex\\hklmReg.kvd (Permission denied)"},
        {"drive root locked", [](Machine& m) { m.files.lockedFolders.insert("C:\\"); },
         "Korvex could not write C:\\dbstemp.kvd (Permission denied)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        c.spoil(m);
        EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Failed);
        ASSERT_EQ(m.prompt.messages.size(), 1u);
        EXPECT_EQ(m.prompt.messages[0].title, "Error updating database");
        EXPECT_EQ(m.prompt.messages[0].text.rfind(c.named, 0), 0u) << m.prompt.messages[0].text;
        EXPECT_EQ(m.system.beeps, 0);
        EXPECT_TRUE(m.oldAndLeft().ends_with("; left:")) << m.oldAndLeft();
    }
}

}  // namespace
}  // namespace korvex
