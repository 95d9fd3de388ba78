// The duplicate file finder of the clean-up window: files of the same name in
// different folders of one drive, optionally only those of equal size, equal date and
// time, a name pattern or a given content. It works in two stages per drive: a walk
// writes every candidate name into the work file "duplicate1.kvd" in the Windows
// drive root, then the matching reads it back and adds the rows. Not responsible for
// deleting or moving what it finds.
//
// Matching: each folder in turn takes the files that later folders hold under one of
// its names and tests them against its own; a later file is never compared again,
// whether it passed or not. So every name comes down to its first folder against each
// later one. The finder groups the candidates by name once and replays those
// decisions in the same order, which keeps the rows and their order and makes the
// cost grow with the drive instead of with folders x files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cleanup/scan_rows.h"
#include "platform/prompt.h"
#include "platform/services.h"

namespace korvex::cleanup {

inline constexpr std::string_view kCandidateFile = "duplicate1.kvd";
inline constexpr std::string_view kMatchWorkFile = "temp.kvd";

// The duplicate tab's choices (the four rules are stored with the window's choices).
struct DuplicateOptions {
    std::string named;       // name filter, such as "readme.txt", ".dll" or "" for any
    std::string containing;  // when not empty, the later file of a pair must hold a line with it
    bool sameSize = true;
    bool sameDateTime = true;
    bool skipZeroLength = true;  // the later file of a pair must not be empty
    bool skipSysbckup = true;    // neither folder may lie in the Windows folder's Sysbckup
};

// The name filter split at its first ".": the name part and the extension part, "*"
// when missing or empty.
struct NameFilter {
    std::string name = "*";
    std::string extension = "*";
};
NameFilter SplitNameFilter(std::string_view filter);
// Whether a file name passes: each part other than "*" occurs (ignoring case) in the
// matching part of the name; a name without "." passes only a filter without an
// extension part, held against its name part.
bool MatchesNameFilter(const NameFilter& filter, std::string_view fileName);

// Whether the candidate file can carry the name as a line of its own: a line "}" or
// one ending in "{" would read as the end or start of a folder, and line breaks or
// character 127 would split it. Such files are left out of the candidates.
bool IsCandidateName(std::string_view fileName);

enum class StageEnd { Done, Stopped, Failed };

// Stage 1: walks the drive below root (such as "C:\") depth first, subfolders in the
// reverse of their listing order, and writes the candidate file: per folder a line
// of its path (ending in "\") followed by "{", its matching file names, and "}".
// Stopped: the candidate file is deleted. Failed: it could not be written.
StageEnd ListDuplicateCandidates(CleanUpScan& scan, std::string_view root, const NameFilter& filter,
                                 std::string_view candidateFile);

// The test of one same-name pair: the current folder's file against the later one.
// Both files must still be there as files.
class DuplicatePairTest {
public:
    DuplicatePairTest(FileSystem& files, const DuplicateOptions& options, std::string_view windowsFolder);
    // Sizes are taken from the same look at the files as the test.
    struct Outcome {
        bool passed = false;
        std::uint64_t currentSize = 0;
        std::uint64_t otherSize = 0;
    };
    Outcome test(std::string_view currentFolder, const FileInfo& current, std::string_view otherFolder,
                 std::string_view otherPath) const;

private:
    bool holdsText(std::string_view path) const;
    FileSystem& files_;
    DuplicateOptions options_;
    std::string sysbckup_;  // WindowsFolder + "Sysbckup", "" when the rule is off
};

// Stage 2: reads the candidate file and hands the rows of the passing pairs to
// scan.onRow: a current folder's file once, a later folder's file each time. Stopped:
// returns at once, the rows so far stay.
StageEnd FindDuplicates(CleanUpScan& scan, std::string_view candidateFile, const DuplicatePairTest& test);

// The whole scan: for each drive of drives ("C:" or "C:,D:"), both stages with the
// work files in the Windows drive root, which are deleted when the drive is done or
// the scan stopped. Duplicates are looked for within one drive only. A folder's turn
// gives the rows of all its names, mixed in the order of the later folders' files: a
// window that wants the rows of one name side by side sorts its list by name.
void ScanDuplicates(Services& services, CleanUpScan& scan, const DuplicateOptions& options, std::string_view drives);

}  // namespace korvex::cleanup
