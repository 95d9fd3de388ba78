// Reading Wine's registry file format into a Hive. Every section and value keeps a
// view of its original text; lines the reader does not understand (comments, unknown
// options, malformed values) are kept as the lead text of the next item, so nothing
// of the file is lost when it is written back.
#pragma once

#include <string>
#include <string_view>

#include "platform/wine/reg_tree.h"

namespace korvex::wine {

// Parses text (moved into hive.text) into hive's tree. False, with a sentence in
// error, when the text is not a Wine registry file.
bool ParseHive(Hive& hive, std::string text, std::string* error);

// One value from its logical line (continuation lines already joined):
// "name"="text", @=dword:..., "x"=hex(2):..., and the other forms Wine writes.
bool ParseValueLine(std::string_view line, RegValue* value);

}  // namespace korvex::wine
