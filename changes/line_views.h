// Splitting a whole file's text into its lines without copying them, the way every
// Korvex reader ends a line: at CR LF, CR or LF; a last line without an end counts.
// Lists of a million folders are read whole and handled as views into one buffer.
#pragma once

#include <string_view>
#include <vector>

namespace korvex {

std::vector<std::string_view> LineViews(std::string_view text);

}  // namespace korvex
