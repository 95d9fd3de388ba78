// An in-memory machine for the clean-up tests: drive C: (and D: when asked), Korvex's
// settings keys, a scripted user, and a scan that collects its rows as "C:\a\b.bak".
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
    std::vector<std::string> rows;  // full paths, in the order the scan added them
    std::vector<std::uint64_t> sizes;

    CleanMachine() { registry.setString(kScanningKey, "FoldersToIgnore", ""); }

    cleanup::CleanUpScan scan() {
        return cleanup::CleanUpScan{files, prompt, stop,
                                    [this](const cleanup::CleanUpRow& row) {
                                        rows.push_back(row.folder + row.name);
                                        sizes.push_back(row.bytes);
                                    },
                                    cleanup::LocalDay(system.now()),
                                    {}};
    }

    // The junk-file scan of drives with these choices; gives the totals.
    cleanup::CleanUpTotals junk(const cleanup::CleanUpChoices& choices, const std::string& drives = "C:") {
        cleanup::CleanUpScan s = scan();
        cleanup::ScanForJunkFiles(services, access, s, choices, drives);
        return s.totals;
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
