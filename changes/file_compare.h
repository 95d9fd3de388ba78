// The file comparison of a find-changes run (first half of subFileFindChanges): joins
// the selected drives' scan databases, merges the current list against them section
// by section and writes "changes.kvd". Only additions count: a folder whose header no
// database line contains is new (one "!" section that hides everything under it); a
// file is added when its name equals no line of its folder's database section, names
// compared without regard to case. Not responsible for walking (scan_folder.h) or for
// the system text files (text_compare.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "changes/line_views.h"
#include "changes/run_hooks.h"
#include "platform/filesystem.h"
#include "settings/drive_list.h"

namespace korvex {

// The merge on lines already read. Appends the lines of "changes.kvd" (CR LF ended) to
// changes. Follows the ring search of the database exactly, but answers each search
// from an index instead of a pass over the database, so it stays linear when the
// lists are in step and costs little per new folder. Yields once per current section;
// returns false when the stop flag was seen (changes then holds a partial result).
bool MergeFolderLists(const LineTable& current, const LineTable& database, std::string& changes,
                      const RunHooks& hooks);

// The file comparison on files: reads root "current.kvd" and the data folder's
// letter + "dbase.kvd" of every drive in drives (the CurrentDrives text), joined in
// that order; writes root "changes.kvd"; deletes root "current.kvd" and root
// "dbase.kvd" at the end. Returns false when stopped (the caller removes the rest).
bool CompareFolderLists(FileSystem& files, const std::string& root, const std::string& dataFolder,
                        std::string_view drives, const RunHooks& hooks);

}  // namespace korvex
