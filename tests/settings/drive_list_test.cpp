// The drive boxes' entries, the drives an entry stands for, and the last-scan text.
#include <gtest/gtest.h>

#include "settings/drive_list.h"
#include "tests/support/memory_machine.h"

namespace korvex {
namespace {

using Entries = std::vector<std::string>;

TEST(DriveList, FixedDisksInLetterOrderWithTheirLabelsCutThenAllOfThem) {
    FakeSystem system;
    system.drives.clear();
    system.drives['D'] = {DRIVE_FIXED, std::string("DATA\0JUNK", 9)};  // a label ends at its first NUL
    system.drives['A'] = {DRIVE_REMOVABLE, "FLOPPY"};
    system.drives['C'] = {DRIVE_FIXED, "TWELVE_CHARS"};                 // and holds 11 characters
    system.drives['E'] = {DRIVE_CDROM, "GAME_DISC"};
    system.drives['G'] = {DRIVE_FIXED, "ELEVENCHARS"};
    system.drives['Y'] = {DRIVE_REMOTE, ""};
    system.drives['Z'] = {DRIVE_FIXED, "/"};
    EXPECT_EQ(FillDriveList(system), (Entries{"(C:) TWELVE_CHAR", "(D:) DATA", "(G:) ELEVENCHARS", "(Z:) /",
                                              "Local hard drives (C:,D:,G:,Z:)"}));
    EXPECT_EQ(CurrentDrives("(C:) TWELVE_CHAR"), "C:");
    EXPECT_EQ(CurrentDrives("Local hard drives (C:,D:,G:,Z:)"), "C:,D:,G:,Z:");
    // A label with brackets of its own does not confuse the drive names.
    EXPECT_EQ(CurrentDrives("(C:) DISK(1)"), "C:");

    system.drives.clear();
    EXPECT_EQ(FillDriveList(system), (Entries{"Local hard drives ()"}));
    EXPECT_EQ(CurrentDrives("Local hard drives ()"), "");
    EXPECT_EQ(CurrentDrives(""), "");
}

TEST(DriveList, LastScanTextSpeaksOfTheFirstDrive) {
    test::MemoryMachine m;
    const std::string data = "C:\\Program Files\\Korvex\\";
    m.files.put(data + "Ddbase.kvd", "C:\\{\r\n}\r\n", 1700000000);

    EXPECT_EQ(LastScanText(m.services, data, "D:,C:"), "This drive was last scanned on 2023-11-14 22:13:20");
    // Another data folder has its own database; a folder of that name is no database.
    m.files.createFolder(data + "Edbase.kvd");
    const std::pair<std::string, const char*> notScanned[] = {
        {data, "C:,D:"}, {data, ""}, {"C:\\Other\\", "D:"}, {data, "E:"}};
    for (const auto& [folder, drives] : notScanned)
        EXPECT_EQ(LastScanText(m.services, folder, drives), "This drive has not been scanned.") << folder << drives;
}

}  // namespace
}  // namespace korvex
