// The registry comparison of a find-changes run (subRegFindChanges): which keys of a
// current registry dump are not in the saved dump. A key is present when some saved
// line contains it, without regard to case (a substring test, not equality); the
// saved dump is read as a ring, each search starting where the previous one stopped;
// a key that begins with a key already reported is skipped. Writes the added keys in
// the order of the current dump. Not responsible for taking the dumps (scandb).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "changes/line_views.h"
#include "changes/run_hooks.h"
#include "platform/filesystem.h"

namespace korvex {

// The comparison on lines already read; appends the added keys (CR LF ended) to out.
// Answers each ring search from an index built on first need, so keys found where
// expected cost nothing extra and a new key costs no pass over the saved dump.
// Yields once per key; returns false when the stop flag was seen.
bool CompareKeyLists(const LineTable& saved, const LineTable& current,
                     std::string& out, const RunHooks& hooks);

// subRegFindChanges on files: reads savedPath and currentPath (missing ones are
// empty), writes outputPath anew. Returns false when stopped (the output then holds
// the keys found so far; the driver deletes it).
bool RegFindChanges(FileSystem& files, const std::string& savedPath, const std::string& currentPath,
                    const std::string& outputPath, const RunHooks& hooks);

}  // namespace korvex
