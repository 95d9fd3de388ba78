#include "changes/line_views.h"

#include <cstring>

namespace korvex {

std::vector<std::string_view> LineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 24 + 1);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n') ++q;
        lines.emplace_back(p, static_cast<std::size_t>(q - p));
        if (q == end) break;
        p = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
    }
    return lines;
}

}  // namespace korvex
