// Reading what korvex-cli find prints: sections of a title line followed by indented
// entry lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace korvex::test {

// The entry lines of the section whose title line begins with title.
inline std::vector<std::string> Section(const std::string& out, const std::string& title) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!inside) inside = line.rfind(title, 0) == 0;
        else if (line.rfind("  ", 0) == 0) lines.push_back(line.substr(2));
        else break;
    }
    return lines;
}

// The files and folders found, without Korvex's own data files.
inline std::vector<std::string> FoundFiles(const std::string& out) {
    std::vector<std::string> files;
    for (const std::string& f : Section(out, "Files and folders added"))
        if (f.rfind("C:\\Program Files\\Korvex\\", 0) != 0) files.push_back(f);
    return files;
}

}  // namespace korvex::test
