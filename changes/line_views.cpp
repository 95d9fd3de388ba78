#include "changes/line_views.h"

#include <cstring>

namespace korvex {

std::vector<std::string_view> LineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 16 + 1);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        // The next LF, then a CR before it (a line ends at CR LF, CR or LF).
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
        if (cr) {
            lines.emplace_back(p, static_cast<std::size_t>(cr - p));
            p = (cr + 1 < end && cr[1] == '\n') ? cr + 2 : cr + 1;
        } else if (lf) {
            lines.emplace_back(p, static_cast<std::size_t>(lf - p));
            p = lf + 1;
        } else {
            lines.emplace_back(p, static_cast<std::size_t>(end - p));
            break;
        }
    }
    return lines;
}

}  // namespace korvex

namespace korvex {

LineTable::LineTable(std::string_view text) : text_(text), wide_(text.size() > UINT32_MAX) {
    auto add = [this](std::size_t start) {
        if (wide_)
            wideStarts_.push_back(start);
        else
            starts_.push_back(static_cast<std::uint32_t>(start));
    };
    (wide_ ? void(wideStarts_.reserve(text.size() / 16 + 1)) : starts_.reserve(text.size() / 16 + 1));
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    while (p < end) {
        add(static_cast<std::size_t>(p - begin));
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
        if (cr)
            p = (cr + 1 < end && cr[1] == '\n') ? cr + 2 : cr + 1;
        else if (lf)
            p = lf + 1;
        else
            break;
    }
    starts_.shrink_to_fit();
}

}  // namespace korvex
