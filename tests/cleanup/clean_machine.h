// An in-memory machine for the clean-up tests: drive C: with C:\windows\system32 (and D:
// when asked), Korvex's settings keys, a scripted user, and scans that keep their rows.
#pragma once

#include <string>
#include <vector>

#include "cleanup/junk_scan.h"
#include "tests/support/memory_machine.h"

namespace korvex::test {

inline constexpr const char* kSysClean = "HKCU\\Software\\Korvex!\\Sys Clean";
inline constexpr const char* kScanningKey = "HKCU\\Software\\Korvex!\\Scanning";

struct CleanMachine : MemoryMachine {
    bool stop = false;
    std::vector<cleanup::CleanUpRow> rows;  // in the order the scan added them

    CleanMachine() {
        files.createFolder("C:\\windows\\system32");
        registry.setString(kScanningKey, "FoldersToIgnore", "");
    }

    cleanup::CleanUpScan scan() {
        return cleanup::CleanUpScan{files, prompt, stop, [this](const cleanup::CleanUpRow& row) { rows.push_back(row); },
                                    cleanup::LocalDay(system.now()), {}};
    }

    // The junk-file scan of drives with these choices; gives the totals.
    cleanup::CleanUpTotals junk(const cleanup::CleanUpChoices& choices, const std::string& drives = "C:") {
        cleanup::CleanUpScan s = scan();
        cleanup::ScanForJunkFiles(services, access, s, choices, drives);
        return s.totals;
    }

    // The rows as "C:\A\x.txt", or as "C:\A\x.txt 5" with their sizes.
    std::vector<std::string> paths(bool withSizes = false) const {
        std::vector<std::string> out;
        for (const cleanup::CleanUpRow& row : rows)
            out.push_back(row.folder + row.name + (withSizes ? " " + std::to_string(row.bytes) : ""));
        return out;
    }
    std::vector<std::string> lines() const { return paths(true); }

    // A REG_DWORD value (below 256) under HKEY_LOCAL_MACHINE.
    void setDword(std::string_view key, std::string_view name, std::uint8_t value) {
        HKEY handle = 0;
        registry.createKey(HKEY_LOCAL_MACHINE, key, &handle);
        registry.setValue(handle, name, REG_DWORD, std::string{static_cast<char>(value), 0, 0, 0});
        registry.closeKey(handle);
    }
};

// Choices with only the given categories checked.
inline cleanup::CleanUpChoices Only(std::initializer_list<cleanup::JunkType> types) {
    cleanup::CleanUpChoices c;
    c.junk.fill(false);
    for (cleanup::JunkType t : types) c[t] = true;
    return c;
}

}  // namespace korvex::test
