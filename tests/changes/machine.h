// A small Windows machine in memory for the find-changes tests: drive C: in the Wine
// prefix layout, the four system text files, Korvex's settings, a data folder, and
// helpers to take the scan database, run Find changes on it and read what it left.
#pragma once

#include <string>
#include <vector>

#include "changes/change_lists.h"
#include "changes/find_changes.h"
#include "removal/found_lists.h"
#include "scandb/update_database.h"
#include "tests/support/memory_machine.h"

namespace korvex::test {

inline constexpr const char* kScanning = "HKCU\\Software\\Korvex!\\Scanning";

struct Machine : MemoryMachine {
    std::string data = "C:\\Korvex\\";
    bool stop = false;
    FindProgress progress;  // shown through the prompt

    Machine() {
        files.put("C:\\windows\\win.ini", "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n");
        files.put("C:\\windows\\system.ini", "[boot]\r\nshell=explorer.exe\r\n");
        files.put("C:\\autoexec.bat", "@ECHO OFF\r\nPATH=C:\\DOS\r\nSET TEMP=C:\\TEMP\r\n");
        files.put("C:\\config.sys", "FILES=40\r\n");
        for (const char* path : {"C:\\windows\\system32\\kernel32.dll", "C:\\windows\\History\\h1.dat",
                                 "C:\\Program Files\\Common Files\\shared.dll", "C:\\Program Files\\Old App\\old.exe",
                                 "C:\\users\\user\\Temp\\t.tmp"})
            files.put(path, "x");
        files.createFolder("C:\\Korvex");
        for (const char* name : {"AutoUpdateDb", "RegFullScan", "ScanMode"}) set(name, "0");
        for (const char* name : {"RegScan", "AutoexecScan", "WinIniScan", "SystemIniScan", "ConfigSysScan"})
            set(name, "1");
        set("FoldersToIgnore", "");
        for (const char* key : {"HKCU\\Software\\Vendor\\Tool", "HKLM\\Software\\Vendor\\Tool", "HKLM\\System\\Setup"})
            registry.setString(key, "v", "1");
        registry.setString("HKLM\\Software\\Classes\\.txt", "", "txtfile");
    }

    void set(const char* name, const std::string& value) { registry.setString(kScanning, name, value); }

    // Update database for the drives, as the main window's button does.
    void update(const std::string& drives = "C:") {
        bool noStop = false;
        scandb::UpdateDatabase(services, prompt, {data, drives, {}}, noStop);
    }

    FindOutcome find(const std::string& drives = "C:") {
        return FindChanges(services, access, prompt, data, drives, stop, progress);
    }

    std::string text(const std::string& path) const { return files.contents(path); }

    // The paths under C:\ that which() picks.
    std::vector<std::string> leftOver(bool (*which)(const std::string&)) const {
        std::vector<std::string> found;
        for (const auto& path : files.tree("C:\\"))
            if (which(path)) found.push_back(path);
        return found;
    }
};

// A row of the found-changes lists.
inline FoundRow Row(std::string text, std::string sub1 = {}, bool selected = false) {
    return FoundRow{std::move(text), std::move(sub1), {}, {}, {}, false, selected};
}

// A message box as one line: "Icon Buttons | title | text".
inline std::string Shown(const Message& m) {
    const char* icon = m.icon == Icon::Critical ? "Critical" : m.icon == Icon::Exclamation ? "Exclamation" : "Other";
    const char* buttons = m.buttons == Buttons::OK ? "OK" : m.buttons == Buttons::RetryCancel ? "RetryCancel" : "Other";
    return std::string(icon) + " " + buttons + " | " + m.title + " | " + m.text;
}

inline bool IsChangeList(const std::string& path) {
    return path == "C:\\changes.kvd" || path == "C:\\SysChanges.kvd" || path == "C:\\hkcuchanges.kvd" ||
           path == "C:\\hklmchanges.kvd";
}

// What else a run may leave in the drive root: its work files and numbered lists.
inline bool IsWorkFile(const std::string& path) {
    return path.find('\\', 3) == std::string::npos && path.ends_with(".kvd") && !IsChangeList(path);
}

}  // namespace korvex::test
