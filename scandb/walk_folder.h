// The walk of one drive for Update database: writes the drive's file list (see
// folder_list.h) into an open output file. Responsible for the order of the blocks,
// for leaving out folders whose name begins with ".", for showing each folder and
// yielding once per folder, and for stopping at the next folder once the stop flag
// is set. Not for filtering by the folders-to-ignore setting (Find changes does that
// in its own walk) nor for choosing or moving files.
#pragma once

#include <string_view>

#include "platform/filesystem.h"
#include "platform/prompt.h"

namespace korvex::scandb {

// Writes the blocks of folder (a path ending in "\", such as C:\) and of every
// folder below it: a folder's block, then the complete blocks of each of its sub
// folders in listing order, depth first. A folder that cannot be listed gets an
// empty block. For each folder, before anything is written: prompt.yield(), then
// the stop test (nothing more is written once stop is true), then
// prompt.status(folder path). The walk keeps its pending folders in one flat stack,
// so no depth of tree can exhaust the call stack.
void WalkFolder(FileSystem& files, Prompt& prompt, std::string_view folder, OutputFile& out,
                const bool& stop);

}  // namespace korvex::scandb
