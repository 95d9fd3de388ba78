// The duplicate matching done the slow, obvious way, to hold the real finder against:
// pass after pass over the candidate list, the first folder's names against the rest
// of the list, every same-name line taken out whether its pair passed or not, the
// rest copied to the other work file, and the two work files swapping roles. Rows go
// through the same pair test; the current folder's file is listed once per run
// through a text of listed paths.
#pragma once

#include <string_view>

#include "cleanup/duplicates.h"

namespace korvex::test {

cleanup::StageEnd PlainFindDuplicates(cleanup::CleanUpScan& scan, std::string_view candidateFile,
                                      std::string_view workFile, const cleanup::DuplicatePairTest& test);

}  // namespace korvex::test
