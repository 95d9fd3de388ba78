// Shared pieces of the scan database tests: an output file that keeps what it was
// given, and a prompt that does nothing (for walks too large to record).
#pragma once

#include <string>
#include <string_view>

#include "platform/filesystem.h"
#include "platform/prompt.h"

namespace korvex::test {

class StringOutput : public OutputFile {
public:
    void write(std::string_view data) override { text += data; }
    bool close() override {
        closed = true;
        return true;
    }
    std::string text;
    bool closed = false;
};

class SilentPrompt : public Prompt {
public:
    Answer messageBox(const Message&) override { return Answer::OK; }
    std::optional<std::string> inputBox(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::string pickFolder(std::string_view) override { return {}; }
    std::string pickOpenFile(std::string_view, std::string_view, std::string_view) override { return {}; }
    std::string pickSaveFile(std::string_view, std::string_view, std::string_view, std::string_view) override {
        return {};
    }
    void yield() override { ++yields; }
    void status(std::string_view) override { ++statuses; }
    void progress(std::uint64_t, std::uint64_t) override {}
    void busy(bool) override {}
    std::uint64_t yields = 0, statuses = 0;
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
