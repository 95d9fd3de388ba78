// The rows a clean-up scan finds and the totals it shows, and the sink the rows go
// to: the clean-up window fills its result list from it, korvex-cli prints it. A scan
// owns the order of its rows; the sink owns how they are shown (size text, type name,
// icon), so the scans stay free of any window.
#pragma once

#include <cstdint>
#include <string>

namespace korvex {

struct CleanUpRow {
    std::string name;    // the file name
    std::string folder;  // its folder, with the trailing "\"
    std::uint64_t size = 0;

    std::string fullPath() const { return folder + name; }
};

// "Total files:" and "Total size:" of a scan: the rows it added and their bytes.
struct ScanTotals {
    std::uint64_t files = 0;
    double bytes = 0;
};

class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void addRow(const CleanUpRow& row) = 0;
    // The duplicate finder asks for its rows to be kept sorted by name while it
    // matches, so that rows of one name stand together in a window; a printed list
    // keeps the order the rows came in and ignores it.
    virtual void keepSorted(bool /*on*/) {}
};

// "Total files:12" and "Total size:1.5 MB", as the clean-up window shows its totals.
std::string TotalFilesText(const ScanTotals& totals);
std::string TotalBytesText(const ScanTotals& totals, char decimalSeparator);

}  // namespace korvex
