#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scandb/update_database.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

constexpr const char* kData = "C:\\Program Files\\Korvex\\";

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
        for (const char* name : {"Cdbase.kvd", "Ddbase.kvd", "hkcuReg.kvd", "hklmReg.kvd", "Autoexec.kvd",
                                 "configSys.kvd", "winIni.kvd", "systemIni.kvd"})
            files.put(std::string(kData) + name, std::string("old ") + name);
        registry.setString("HKCU\\Software\\Korvex!\\Scanning", "AutoexecScan", "1");
        registry.setString("HKCU\\Software\\Korvex!\\Scanning", "ConfigSysScan", "1");
        registry.setString("HKCU\\Software\\Korvex!\\Scanning", "WinIniScan", "1");
        registry.setString("HKCU\\Software\\Korvex!\\Scanning", "SystemIniScan", "1");
        registry.setString("HKLM\\Software\\Classes\\.kvu", "", "KorvexUninstall");
        registry.setString("HKLM\\Software\\Vendor", "v", "1");
    }

    scandb::UpdateOutcome run(std::string drives) {
        scandb::UpdateRequest request;
        request.dataFolder = kData;
        request.drives = std::move(drives);
        request.driveDone = [this] { drivesDone.push_back(prompt.statuses.back()); };
        return scandb::UpdateDatabase(services, prompt, request, stop);
    }
    std::string data(std::string_view name) const { return files.contents(std::string(kData) + std::string(name)); }
    std::uint32_t attributes(std::string_view name) {
        return files.info(std::string(kData) + std::string(name)).attributes;
    }
    bool old(std::string_view name) const { return data(name) == "old " + std::string(name); }
};

TEST(UpdateDatabase, CompleteRunOverTwoDrives) {
    Machine m;
    EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Completed);

    EXPECT_EQ(m.data("Ddbase.kvd"), "D:\\{\r\ndata.bin\r\n}\r\n");
    const std::string c = m.data("Cdbase.kvd");
    EXPECT_EQ(c.substr(0, 4), "C:\\{");
    EXPECT_NE(c.find("\r\nC:\\windows\\{\r\nwin.ini\r\nsystem.ini\r\n}\r\n"), std::string::npos);
    // The drive's own work file was being written in C:\ while it was walked.
    EXPECT_NE(c.find("\r\ndbstemp.kvd\r\n"), std::string::npos);
    EXPECT_EQ(m.drivesDone.size(), 2u);

    EXPECT_EQ(m.data("Autoexec.kvd"), "SET PATH=C:\\\r\n");
    EXPECT_EQ(m.data("configSys.kvd"), "FILES=40\r\n");
    EXPECT_EQ(m.data("winIni.kvd"), "[windows]\r\n");
    EXPECT_EQ(m.data("systemIni.kvd"), "[boot]\r\n");
    EXPECT_EQ(m.data("hkcuReg.kvd"), "\r\nSoftware\r\nSoftware\\Korvex!\r\nSoftware\\Korvex!\\Scanning\r\n");
    EXPECT_EQ(m.data("hklmReg.kvd"), "\r\nSoftware\r\nSoftware\\Vendor\r\n");
    for (const char* name : {"Cdbase.kvd", "Ddbase.kvd", "hkcuReg.kvd", "hklmReg.kvd", "Autoexec.kvd",
                             "configSys.kvd", "winIni.kvd", "systemIni.kvd"})
        EXPECT_EQ(m.attributes(name), FILE_ATTRIBUTE_HIDDEN) << name;

    // No work file is left in the Windows drive root; nothing else was added there.
    for (const char* work : {"C:\\dbstemp.kvd", "C:\\RegTemp.kvd", "C:\\RegTemp2.kvd"})
        EXPECT_FALSE(m.files.exists(work)) << work;
    EXPECT_EQ(m.registry.text("HKCU\\Software\\Korvex!\\Scanning", "ConfigSysScan"), "1");
    EXPECT_EQ(m.system.beeps, 1);
    // The phase texts, in order, after the folders.
    const auto& s = m.prompt.statuses;
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s[s.size() - 2], "Updating System Files database...");
    EXPECT_EQ(s.back(), "Updating Registry Information database...");
    EXPECT_EQ(m.registry.openCount, 0);
}

TEST(UpdateDatabase, MissingSystemFileTurnsItsComparisonOff) {
    Machine m;
    m.files.deleteFile("C:\\config.sys");
    m.files.deleteFile("C:\\windows\\system.ini");
    EXPECT_EQ(m.run("C:"), scandb::UpdateOutcome::Completed);
    EXPECT_TRUE(m.old("configSys.kvd"));
    EXPECT_TRUE(m.old("systemIni.kvd"));
    EXPECT_TRUE(m.old("Ddbase.kvd"));  // only C: was asked for
    EXPECT_EQ(m.registry.text("HKCU\\Software\\Korvex!\\Scanning", "ConfigSysScan"), "0");
    EXPECT_EQ(m.registry.text("HKCU\\Software\\Korvex!\\Scanning", "SystemIniScan"), "0");
    EXPECT_EQ(m.registry.text("HKCU\\Software\\Korvex!\\Scanning", "AutoexecScan"), "1");
    EXPECT_EQ(m.registry.text("HKCU\\Software\\Korvex!\\Scanning", "WinIniScan"), "1");
    EXPECT_EQ(m.data("Autoexec.kvd"), "SET PATH=C:\\\r\n");
    EXPECT_EQ(m.data("winIni.kvd"), "[windows]\r\n");
    EXPECT_EQ(m.registry.openCount, 0);
}

TEST(UpdateDatabase, ClosedDuringTheSecondDriveKeepsItsOldList) {
    Machine m;
    m.files.put("D:\\Sub\\x.txt", "");
    m.prompt.onYield = [&] {
        if (!m.prompt.statuses.empty() && m.prompt.statuses.back() == "D:\\") m.stop = true;
    };
    EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Stopped);
    EXPECT_FALSE(m.old("Cdbase.kvd"));
    EXPECT_EQ(m.data("Cdbase.kvd").substr(0, 4), "C:\\{");
    EXPECT_TRUE(m.old("Ddbase.kvd"));
    EXPECT_FALSE(m.files.exists("C:\\dbstemp.kvd"));
    for (const char* name : {"hkcuReg.kvd", "hklmReg.kvd", "Autoexec.kvd", "configSys.kvd", "winIni.kvd",
                             "systemIni.kvd"})
        EXPECT_TRUE(m.old(name)) << name;
    EXPECT_EQ(m.drivesDone.size(), 1u);
    EXPECT_EQ(m.system.beeps, 0);
}

TEST(UpdateDatabase, ClosedDuringTheMachineHiveDumpKeepsBothKeyLists) {
    Machine m;
    m.prompt.onYield = [&] {
        if (m.files.exists("C:\\RegTemp2.kvd")) m.stop = true;
    };
    EXPECT_EQ(m.run("C:"), scandb::UpdateOutcome::Stopped);
    EXPECT_TRUE(m.old("hkcuReg.kvd"));
    EXPECT_TRUE(m.old("hklmReg.kvd"));
    EXPECT_FALSE(m.files.exists("C:\\RegTemp.kvd"));
    EXPECT_FALSE(m.files.exists("C:\\RegTemp2.kvd"));
    // The drive and the system files had been done before.
    EXPECT_FALSE(m.old("Cdbase.kvd"));
    EXPECT_EQ(m.data("winIni.kvd"), "[windows]\r\n");
    EXPECT_EQ(m.system.beeps, 0);
    EXPECT_EQ(m.registry.openCount, 0);

    // Closed during the user hive: the same, and the machine hive is never read.
    Machine u;
    u.prompt.onYield = [&] {
        if (u.files.exists("C:\\RegTemp.kvd")) u.stop = true;
    };
    EXPECT_EQ(u.run("C:"), scandb::UpdateOutcome::Stopped);
    EXPECT_TRUE(u.old("hkcuReg.kvd"));
    EXPECT_TRUE(u.old("hklmReg.kvd"));
    EXPECT_FALSE(u.files.exists("C:\\RegTemp.kvd"));
    EXPECT_FALSE(u.files.exists("C:\\RegTemp2.kvd"));

    // Closed while the system files are being copied: the copies still all happen, the
    // run ends in the user hive's dump and neither key list changes.
    Machine s;
    s.files.deleteFile("C:\\config.sys");
    s.prompt.onYield = [&] {
        if (!s.prompt.statuses.empty() && s.prompt.statuses.back() == "Updating System Files database...")
            s.stop = true;
    };
    EXPECT_EQ(s.run("C:"), scandb::UpdateOutcome::Stopped);
    EXPECT_EQ(s.data("Autoexec.kvd"), "SET PATH=C:\\\r\n");
    EXPECT_EQ(s.data("systemIni.kvd"), "[boot]\r\n");
    EXPECT_EQ(s.registry.text("HKCU\\Software\\Korvex!\\Scanning", "ConfigSysScan"), "0");
    EXPECT_EQ(s.prompt.statuses.back(), "Updating Registry Information database...");
    EXPECT_TRUE(s.old("hkcuReg.kvd"));
    EXPECT_TRUE(s.old("hklmReg.kvd"));
    EXPECT_FALSE(s.files.exists("C:\\RegTemp.kvd"));
    EXPECT_FALSE(s.files.exists("C:\\RegTemp2.kvd"));
    EXPECT_EQ(s.system.beeps, 0);
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
    struct Case {
        const char* name;
        void (*spoil)(Machine&);
        const char* named;  // the path the message names
    } cases[] = {
        {"locked data folder", [](Machine& m) { m.files.lockedFolders.insert("C:\\Program Files\\Korvex"); },
         "Korvex cannot write in its data folder C:\\Program Files\\Korvex\\ (Permission denied)"},
        {"missing data folder", [](Machine& m) { m.files.erase("C:\\Program Files\\Korvex"); },
         "Korvex cannot write in its data folder C:\\Program Files\\Korvex\\ (the folder does not exist)"},
        {"one file read-only", [](Machine& m) { m.files.readOnly.insert(std::string(kData) + "hklmReg.kvd"); },
         "Korvex could not write C:\\Program Files\\Korvex\\hklmReg.kvd (Permission denied)"},
        {"drive root locked", [](Machine& m) { m.files.lockedFolders.insert("C:\\"); },
         "Korvex could not write C:\\dbstemp.kvd (Permission denied)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        c.spoil(m);
        EXPECT_EQ(m.run("C:,D:"), scandb::UpdateOutcome::Failed);
        ASSERT_EQ(m.prompt.messages.size(), 1u);
        EXPECT_EQ(m.prompt.messages[0].title, "Error updating database");
        EXPECT_EQ(m.prompt.messages[0].text.rfind(c.named, 0), 0u) << m.prompt.messages[0].text;
        EXPECT_EQ(m.system.beeps, 0);
        for (const char* work : {"C:\\dbstemp.kvd", "C:\\RegTemp.kvd", "C:\\RegTemp2.kvd"})
            EXPECT_FALSE(m.files.exists(work)) << work;
    }
}

}  // namespace
}  // namespace korvex
