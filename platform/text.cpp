#include "platform/text.h"

namespace korvex {

std::string ToLower(std::string_view text) {
    std::string r(text);
    for (char& c : r) c = LowerAscii(c);
    return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(LowerAscii(a[i]));
        unsigned char y = static_cast<unsigned char>(LowerAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::size_t FindNoCase(std::string_view text, std::string_view part, std::size_t pos) {
    if (part.empty()) return pos <= text.size() ? pos : std::string_view::npos;
    for (std::size_t i = pos; i + part.size() <= text.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(part[0])) continue;
        if (EqualsNoCase(text.substr(i, part.size()), part)) return i;
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> r;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (i > start) r.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return r;
}

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> r;
    std::size_t start = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '\x7f') {
            r.emplace_back(list.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < list.size()) r.emplace_back(list.substr(start));
    return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> r;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            r.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) r.emplace_back(text.substr(start));
    return r;
}

}  // namespace korvex
