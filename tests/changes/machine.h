// A small Windows machine in memory for the find-changes tests: drive C: in the Wine
// prefix layout, the four system text files, Korvex's settings, a data folder, and
// helpers to take the scan database and run Find changes on it.
#pragma once

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/find_changes.h"
#include "scandb/update_database.h"
#include "tests/support/memory_machine.h"

namespace korvex::test {

inline constexpr const char* kScanning = "HKCU\\Software\\Korvex!\\Scanning";

struct Machine : MemoryMachine {
    std::string data = "C:\\Korvex\\";
    bool stop = false;
    FindProgress progress;
    std::vector<double> maxima;  // every maximum the progress bar was given

    Machine() {
        files.put("C:\\windows\\win.ini", "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n");
        files.put("C:\\windows\\system.ini", "[boot]\r\nshell=explorer.exe\r\n");
        files.put("C:\\windows\\system32\\kernel32.dll", "k");
        files.put("C:\\windows\\History\\h1.dat", "h");
        files.put("C:\\autoexec.bat", "@ECHO OFF\r\nPATH=C:\\DOS\r\nSET TEMP=C:\\TEMP\r\n");
        files.put("C:\\config.sys", "FILES=40\r\n");
        files.put("C:\\Program Files\\Common Files\\shared.dll", "s");
        files.put("C:\\Program Files\\Old App\\old.exe", "o");
        files.put("C:\\users\\user\\Temp\\t.tmp", "t");
        files.createFolder("C:\\Korvex");
        for (const char* name : {"AutoUpdateDb", "RegFullScan"}) registry.setString(kScanning, name, "0");
        for (const char* name : {"RegScan", "AutoexecScan", "WinIniScan", "SystemIniScan", "ConfigSysScan"})
            registry.setString(kScanning, name, "1");
        registry.setString(kScanning, "ScanMode", "0");
        registry.setString(kScanning, "FoldersToIgnore", "");
        registry.setString("HKCU\\Software\\Vendor\\Tool", "v", "1");
        registry.setString("HKLM\\Software\\Vendor\\Tool", "v", "1");
        registry.setString("HKLM\\Software\\Classes\\.txt", "", "txtfile");
        registry.setString("HKLM\\System\\Setup", "v", "1");
        progress.onChange = [this](double, double maximum) {
            if (maxima.empty() || maxima.back() != maximum) maxima.push_back(maximum);
        };
    }

    void set(const char* name, const char* value) { registry.setString(kScanning, name, value); }

    // Update database for the drives, as the main window's button does.
    void update(const std::string& drives = "C:") {
        bool noStop = false;
        scandb::UpdateRequest request{data, drives, {}};
        scandb::UpdateDatabase(services, prompt, request, noStop);
    }

    FindOutcome find(const std::string& drives = "C:") {
        return FindChanges(services, access, prompt, data, drives, stop, progress);
    }

    ChangeLists lists() { return ReadChangeLists(files, "C:\\"); }
    std::string text(const std::string& path) const { return files.contents(path); }
};

// The names the drive root must not hold once a run is over.
inline bool IsWorkFile(const std::string& path) {
    static const char* names[] = {"C:\\current.kvd", "C:\\dbase.kvd", "C:\\hkcutmp.kvd", "C:\\hklmtmp.kvd"};
    for (const char* name : names)
        if (path == name) return true;
    // The numbered lists: a decimal index followed by current.kvd.
    const std::string suffix = "current.kvd";
    if (path.size() > 3 + suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        path.find('\\', 3) == std::string::npos) {
        std::string index = path.substr(3, path.size() - 3 - suffix.size());
        return index.find_first_not_of("0123456789") == std::string::npos;
    }
    return false;
}

inline bool IsChangeList(const std::string& path) {
    return path == "C:\\changes.kvd" || path == "C:\\SysChanges.kvd" || path == "C:\\hkcuchanges.kvd" ||
           path == "C:\\hklmchanges.kvd";
}

}  // namespace korvex::test
