// Wine's registry file text: header, key sections with times, escaped names and data.
#include "platform/wine/reg_file_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/text.h"

namespace korvex::wine {

namespace {

// UTF-8 to UTF-16 code units; a bad byte stands for itself (Latin-1).
std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = c;
        std::size_t length = 1;
        if (c >= 0xC0 && c < 0xE0 && i + 1 < text.size()) {
            cp = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F);
            length = 2;
        } else if (c >= 0xE0 && c < 0xF0 && i + 2 < text.size()) {
            cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            length = 3;
        } else if (c >= 0xF0 && i + 3 < text.size()) {
            cp = ((c & 0x07) << 18) | ((text[i + 1] & 0x3F) << 12) | ((text[i + 2] & 0x3F) << 6) | (text[i + 3] & 0x3F);
            length = 4;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += length;
    }
    return out;
}

bool isHexDigit(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::string quoted(std::string_view text) { return "\"" + RegFileText::escape(text, false) + "\""; }

std::string keyPath(std::string_view key) {
    std::string out;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos) end = key.size();
        if (end > start) {
            if (!out.empty()) out += "\\\\";
            out += RegFileText::escape(key.substr(start, end - start), true);
        }
        start = end + 1;
    }
    return out;
}

}  // namespace

std::string RegFileText::escape(std::string_view text, bool keyName) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    const std::u16string units = toUtf16(text);
    std::string out;
    char buffer[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        const bool more = i + 1 < units.size();
        if (c > 127) {
            std::snprintf(buffer, sizeof buffer, (more && units[i + 1] < 128 && isHexDigit(units[i + 1])) ? "\\x%04x" : "\\x%x",
                          static_cast<unsigned>(c));
            out += buffer;
        } else if (c < 32) {
            if (escapes[c] != '.') {
                out += '\\';
                out += escapes[c];
            } else {
                std::snprintf(buffer, sizeof buffer, (more && units[i + 1] >= '0' && units[i + 1] <= '7') ? "\\%03o" : "\\%o",
                              static_cast<unsigned>(c));
                out += buffer;
            }
        } else {
            if (c == '\\' || (keyName ? (c == '[' || c == ']') : c == '"')) out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool RegFileText::Less::operator()(const std::string& a, const std::string& b) const {
    // Component by component, so that a key comes right before its sub keys.
    const auto split = [](const std::string& path) {
        std::vector<std::string_view> parts;
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string::npos) end = path.size();
            if (end > start) parts.push_back(std::string_view(path).substr(start, end - start));
            start = end + 1;
        }
        return parts;
    };
    const auto pa = split(a), pb = split(b);
    for (std::size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        const int c = CompareNoCase(pa[i], pb[i]);
        if (c != 0) return c < 0;
    }
    return pa.size() < pb.size();
}

std::vector<std::pair<std::string, std::string>>& RegFileText::values(std::string_view key) { return keys_[std::string(key)]; }

void RegFileText::setString(std::string_view key, std::string_view name, std::string_view text) {
    values(key).emplace_back(std::string(name), quoted(text));
}

void RegFileText::setExpandString(std::string_view key, std::string_view name, std::string_view text) {
    values(key).emplace_back(std::string(name), "str(2):" + quoted(text));
}

void RegFileText::setDword(std::string_view key, std::string_view name, std::uint32_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value));
    values(key).emplace_back(std::string(name), buffer);
}

std::string RegFileText::text(std::int64_t unixSeconds) const {
    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to " + keyPath(root_) + "\n\n#arch=win64\n";
    const unsigned long long filetime = (static_cast<unsigned long long>(unixSeconds) + 11644473600ull) * 10000000ull;
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "] %lld\n#time=%x%08x\n", static_cast<long long>(unixSeconds),
                  static_cast<unsigned>(filetime >> 32), static_cast<unsigned>(filetime & 0xffffffffu));
    for (const auto& [key, entries] : keys_) {
        out += "\n[" + keyPath(key) + stamp;
        // Wine keeps a key's values sorted by name without regard to case, and writes them so.
        auto sorted = entries;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return ToLower(a.first) < ToLower(b.first); });
        for (const auto& [name, data] : sorted) out += (name.empty() ? std::string("@") : quoted(name)) + "=" + data + "\n";
    }
    return out;
}

}  // namespace korvex::wine
