// CrlfLines: the text of a list file written out in a test, each line ended with CR LF
// the way Korvex writes its files.
#pragma once

#include <initializer_list>
#include <string>

namespace korvex::test {

inline std::string CrlfLines(std::initializer_list<const char*> items) {
    std::string text;
    for (const char* item : items) text += std::string(item) + "\r\n";
    return text;
}

}  // namespace korvex::test
