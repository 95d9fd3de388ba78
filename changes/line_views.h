// Splitting a whole file's text into its lines without copying them, the way every
// Korvex reader ends a line: at CR LF, CR or LF; a last line without an end counts.
// Lists of a million folders are read whole and handled as views into one buffer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace korvex {

std::vector<std::string_view> LineViews(std::string_view text);

// The lines of a text by number, keeping only where each line starts (four bytes a
// line instead of a view's sixteen). The text must outlive the table.
class LineTable {
public:
    explicit LineTable(std::string_view text);

    std::size_t size() const { return wide_ ? wideStarts_.size() : starts_.size(); }
    bool empty() const { return size() == 0; }
    std::string_view operator[](std::size_t i) const {
        const std::size_t start = startOf(i);
        std::size_t end = i + 1 < size() ? startOf(i + 1) : text_.size();
        if (end > start && text_[end - 1] == '\n') --end;
        if (end > start && text_[end - 1] == '\r') --end;
        return text_.substr(start, end - start);
    }

private:
    std::size_t startOf(std::size_t i) const { return wide_ ? wideStarts_[i] : starts_[i]; }

    std::string_view text_;
    bool wide_ = false;  // texts of 4 GiB and more
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint64_t> wideStarts_;
};

}  // namespace korvex
