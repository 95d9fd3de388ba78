// Writing a Hive back in Wine's registry file format. Sections and values that were
// read from the file and not changed are copied from their original text; new or
// changed ones are written the way Wine itself writes them.
#pragma once

#include <string>

#include "platform/wine/reg_tree.h"

namespace korvex::wine {

std::string SerializeHive(const Hive& hive);

// One value's lines in Wine's style, ending with a newline.
std::string FormatValue(const RegValue& value);

}  // namespace korvex::wine
