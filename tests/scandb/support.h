// Shared pieces of the scan database tests: an output file that keeps what it was
// given, and the lines of a CR LF text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"

namespace korvex::test {

class StringOutput : public OutputFile {
public:
    void write(std::string_view data) override { text += data; }
    bool close() override { return true; }
    std::string text;
};

// The lines of a CR LF text; fails the calling test (through the returned flag) when
// a line ends in a lone CR or LF.
inline bool SplitCrLf(std::string_view text, std::vector<std::string>& lines) {
    lines.clear();
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t at = text.find("\r\n", from);
        if (at == std::string_view::npos) return false;  // last line without CR LF
        std::string_view line = text.substr(from, at - from);
        if (line.find_first_of("\r\n") != std::string_view::npos) return false;
        lines.emplace_back(line);
        from = at + 2;
    }
    return true;
}

}  // namespace korvex::test
