// Small text helpers shared by the logic and the platform layer: comparisons without
// regard to case (ASCII letters; other UTF-8 bytes compare as they are), splitting
// character-127 lists, and CR LF lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Strict weak order without regard to case, as Windows sorts registry sub keys.
int CompareNoCase(std::string_view a, std::string_view b);
struct LessNoCase {
    bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
    using is_transparent = void;
};
// Position of part in text without regard to case, from pos; npos when absent.
std::size_t FindNoCase(std::string_view text, std::string_view part, std::size_t pos = 0);
// Whether text contains part without regard to case; equal texts answer at once.
inline bool ContainsNoCase(std::string_view text, std::string_view part) {
    return text == part || FindNoCase(text, part) != std::string_view::npos;
}
// The lower case of text into out, reusing out's buffer: no allocation per call once
// it has grown, for loops over millions of lines.
inline void LowerInto(std::string& out, std::string_view text) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = LowerAscii(text[i]);
}

// The names of a Windows or registry path ("C:\\a\\b", "Software\\X"); empty names
// (doubled, leading or trailing "\\") are skipped.
std::vector<std::string_view> SplitPath(std::string_view path);

// Entries of a character-127 list; empty entries are kept (readers decide to skip them).
std::vector<std::string> SplitList(std::string_view list);
// Lines of a text file: a line ends at CR LF, CR or LF; a final line without an end counts.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace korvex
