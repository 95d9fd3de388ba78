// Packing items into a zip archive before they are deleted for good ("Zip files to
// default folder"), and reading the archive back to prove every entry arrived: the
// entry list, each size and CRC, and every entry's data read through. Files are opened
// only when the archive is written, each through its real folder without passing a
// link; links are stored as links (never followed), devices and pipes are left out,
// and another disk mounted inside an item stops the packing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvex::wine {

struct PackItem {
    std::string realParent;  // the real folder holding the item
    std::string name;        // the item's name in it
    std::string entry;       // the item's name in the archive ("C/Program Files/App")
};

// Packs items into archive (a host path; made when missing, added to when present) and
// verifies it. "" on success, else why not, in words for the user; the items are never
// touched. progress gets the share done (0..1) while the archive is written.
std::string PackIntoZip(const std::string& archive, const std::vector<PackItem>& items,
                        const std::function<void(double)>& progress);

// The CRC-32 of zip archives, continued from crc.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

}  // namespace korvex::wine
