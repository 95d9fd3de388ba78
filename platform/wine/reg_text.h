// Text helpers of the Wine registry backend: UTF-8 <-> UTF-16 conversion (Wine keeps
// every name and string in UTF-16, Korvex hands out UTF-8), the case folding that
// orders and matches key and value names, and the string escapes of Wine's registry
// files. Nothing here knows about keys or files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvex::wine {

std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-16 code units as little-endian bytes, and back (an odd last byte is dropped).
std::string Utf16ToBytes(std::u16string_view text);
std::u16string BytesToUtf16(std::string_view bytes);

// Lower case of one UTF-16 code unit: names are matched and ordered this way, as
// Wine orders sub keys in its files ("_x" before "A").
char16_t FoldChar(char16_t c);
std::u16string Fold(std::u16string_view name);
// Order of folded names: code units, then the shorter first.
int CompareFolded(std::u16string_view a, std::u16string_view b);
bool NamesEqual(std::u16string_view a, std::u16string_view b);

// Appends text in the file's escaped form: "\\" for a backslash, a backslash before
// the two characters in escapeChars, \xNNNN above 127, C or octal escapes below 32.
// A final NUL is not written. Returns the number of characters appended.
std::size_t AppendEscaped(std::string& out, std::u16string_view text, std::string_view escapeChars);

// Reads escaped text up to an unescaped terminator, which is consumed. Raw UTF-8 is
// accepted. False when the terminator is missing.
bool ParseEscaped(std::string_view& in, char terminator, std::u16string* out);

}  // namespace korvex::wine
