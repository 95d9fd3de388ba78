// An in-memory machine for the clean-up scans' tests, and a row sink that keeps
// what it is given.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "cleanup/scan_rows.h"
#include "tests/support/memory_machine.h"

namespace korvex::test {

struct CleanUpMachine : MemoryMachine {
    bool stop = false;

    CleanUpMachine() { files.createFolder("C:\\windows\\system32"); }

    // A value of type REG_DWORD or REG_SZ under HKEY_LOCAL_MACHINE.
    void setDword(std::string_view key, std::string_view name, std::uint32_t value) {
        std::string data;
        for (int i = 0; i < 4; ++i) data += static_cast<char>((value >> (8 * i)) & 0xFF);
        setRaw(key, name, REG_DWORD, data);
    }
    void setText(std::string_view key, std::string_view name, std::string_view text) {
        setRaw(key, name, REG_SZ, std::string(text) + '\0');
    }
    void setRaw(std::string_view key, std::string_view name, std::uint32_t type, std::string_view data) {
        HKEY handle = 0;
        registry.createKey(HKEY_LOCAL_MACHINE, key, &handle);
        registry.setValue(handle, name, type, data);
        registry.closeKey(handle);
    }
};

// The rows a scan hands on, and the scan that hands them here.
struct RecordedRows {
    std::vector<cleanup::CleanUpRow> rows;

    cleanup::CleanUpScan scan(CleanUpMachine& m) {
        return cleanup::CleanUpScan{m.files, m.prompt, m.stop,
                                    [this](const cleanup::CleanUpRow& row) { rows.push_back(row); }, 0, {}};
    }
    // "C:\A\x.txt 5" per row, for readable failures.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const cleanup::CleanUpRow& row : rows) out.push_back(row.folder + row.name + " " + std::to_string(row.bytes));
        return out;
    }
};

}  // namespace korvex::test
