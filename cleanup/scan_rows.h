// What every clean-up scan works with: the machine's files, the prompt that shows its
// progress, the window's stop flag, where each listed file goes (the clean-up window
// adds a row to its list, korvex-cli prints a line), and the totals so far. A scan
// owns the order of its rows; the receiver owns how they look (size text, type name,
// icon), so the scans stay free of any window.
//
// These are the shapes the junk-file scan gives its rows in; when both scans are in
// one tree they are defined once, with the junk-file scan.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/filesystem.h"
#include "platform/prompt.h"

namespace korvex::cleanup {

// One listed file: its name and its folder (with a trailing "\").
struct CleanUpRow {
    std::string name;
    std::string folder;
    std::uint64_t bytes = 0;
};

struct CleanUpTotals {
    std::uint64_t files = 0;
    double bytes = 0;
};

struct CleanUpScan {
    FileSystem& files;
    Prompt& prompt;
    const bool& stop;
    std::function<void(const CleanUpRow&)> onRow;
    std::int64_t today = 0;
    CleanUpTotals totals;
};

}  // namespace korvex::cleanup
