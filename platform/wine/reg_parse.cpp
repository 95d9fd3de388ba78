// Reader of Wine's registry files.
#include "platform/wine/reg_parse.h"

#include "platform/types.h"
#include "platform/wine/reg_text.h"

namespace korvex::wine {

namespace {

constexpr std::size_t kMaxDepth = 512;  // as deep as Windows lets keys nest

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

void skipBlanks(std::string_view& s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads hex digits; false when there are none.
bool parseHexNumber(std::string_view& s, std::uint64_t* value) {
    std::size_t n = 0;
    *value = 0;
    while (n < s.size() && hexDigit(s[n]) >= 0) *value = (*value << 4) | static_cast<unsigned>(hexDigit(s[n++]));
    s.remove_prefix(n);
    return n > 0;
}

bool parseHexBytes(std::string_view s, std::string* data) {
    for (;;) {
        skipBlanks(s);
        if (s.empty()) return true;
        int hi = hexDigit(s.front());
        if (hi < 0) return false;
        s.remove_prefix(1);
        int byte = hi;
        if (!s.empty() && hexDigit(s.front()) >= 0) {
            byte = hi * 16 + hexDigit(s.front());
            s.remove_prefix(1);
        }
        *data += static_cast<char>(byte);
        skipBlanks(s);
        if (s.empty()) return true;
        if (s.front() != ',') return false;
        s.remove_prefix(1);
    }
}

std::string_view withoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string_view trimmedRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool ParseValueLine(std::string_view s, RegValue* value) {
    value->name.clear();
    value->data.clear();
    if (startsWith(s, "@")) {
        s.remove_prefix(1);
    } else if (startsWith(s, "\"")) {
        s.remove_prefix(1);
        if (!ParseEscaped(s, '"', &value->name)) return false;
    } else {
        return false;
    }
    skipBlanks(s);
    if (!startsWith(s, "=")) return false;
    s.remove_prefix(1);
    skipBlanks(s);

    std::uint32_t type = REG_SZ;
    bool isString = false;
    if (startsWith(s, "\"")) {
        s.remove_prefix(1);
        isString = true;
    } else if (startsWith(s, "str:\"")) {
        s.remove_prefix(5);
        isString = true;
    } else if (startsWith(s, "str(")) {
        s.remove_prefix(4);
        std::uint64_t n;
        if (!parseHexNumber(s, &n) || !startsWith(s, "):\"")) return false;
        s.remove_prefix(3);
        type = static_cast<std::uint32_t>(n);
        isString = true;
    }
    if (isString) {
        thread_local std::u16string text;
        text.clear();
        if (!ParseEscaped(s, '"', &text)) return false;
        text += u'\0';
        value->type = type;
        value->data = Utf16ToBytes(text);
        return true;
    }
    if (startsWith(s, "dword:")) {
        s.remove_prefix(6);
        std::uint64_t n;
        if (!parseHexNumber(s, &n)) return false;
        value->type = REG_DWORD;
        for (int i = 0; i < 4; ++i) value->data += static_cast<char>((n >> (8 * i)) & 0xFF);
        return true;
    }
    if (startsWith(s, "hex:")) {
        s.remove_prefix(4);
        type = REG_BINARY;
    } else if (startsWith(s, "hex(")) {
        s.remove_prefix(4);
        std::uint64_t n;
        if (!parseHexNumber(s, &n) || !startsWith(s, "):")) return false;
        s.remove_prefix(2);
        type = static_cast<std::uint32_t>(n);
    } else {
        return false;
    }
    value->type = type;
    return parseHexBytes(s, &value->data);
}

bool ParseHive(Hive& hive, std::string text, std::string* error) {
    hive.text = std::move(text);
    hive.top = std::make_unique<RegKey>();
    hive.removed.clear();
    const std::string_view all = hive.text;

    std::size_t pos = 0;
    auto readLine = [&](std::string_view* line) {
        std::size_t nl = all.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? all.size() : nl + 1;
        *line = withoutCr(all.substr(pos, (nl == std::string_view::npos ? all.size() : nl) - pos));
        pos = end;
    };

    std::string_view line;
    readLine(&line);
    if (line != "WINE REGISTRY Version 2") {
        if (error) *error = hive.path + " is not a Wine registry file.";
        return false;
    }

    std::size_t consumed = pos;  // everything before this belongs to an item already read
    bool inHeader = true;
    RegKey* current = nullptr;
    bool headerOpen = false;  // option lines right after a section header extend it
    std::vector<RegKey*> lastChain;
    std::vector<std::u16string> lastParts;
    std::u16string path;
    std::vector<std::u16string_view> parts;

    while (pos < all.size()) {
        const std::size_t lineStart = pos;
        readLine(&line);
        std::string_view body = line;
        skipBlanks(body);
        const char first = body.empty() ? '\0' : body.front();

        if (first == '[') {
            std::string_view rest = body.substr(1);
            path.clear();
            if (!ParseEscaped(rest, ']', &path)) continue;
            parts.clear();
            std::size_t start = 0;
            for (std::size_t i = 0; i <= path.size(); ++i) {
                if (i == path.size() || path[i] == u'\\') {
                    if (i > start) parts.push_back(std::u16string_view(path).substr(start, i - start));
                    start = i + 1;
                }
            }
            if (parts.size() > kMaxDepth) continue;
            // Sections come in order, so most of a path is the previous section's.
            std::size_t common = 0;
            while (common < parts.size() && common < lastParts.size() && parts[common] == lastParts[common]) ++common;
            lastChain.resize(common);
            lastParts.resize(common);
            RegKey* key = common ? lastChain.back() : hive.top.get();
            for (std::size_t i = common; i < parts.size(); ++i) {
                key = key->child(parts[i]);
                lastChain.push_back(key);
                lastParts.emplace_back(parts[i]);
            }
            if (inHeader) {
                hive.header = all.substr(0, consumed);
                inHeader = false;
            }
            current = key;
            skipBlanks(rest);
            std::uint64_t seconds = 0;
            bool haveSeconds = false;
            while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
                seconds = seconds * 10 + static_cast<unsigned>(rest.front() - '0');
                rest.remove_prefix(1);
                haveSeconds = true;
            }
            if (haveSeconds) key->modified = seconds * kTicksPerSecond + kUnixEpochTicks;
            // A second section for the same key stays in the text as lead of what follows.
            if (key->header.empty()) {
                key->lead = all.substr(consumed, lineStart - consumed);
                key->header = all.substr(lineStart, pos - lineStart);
                consumed = pos;
                headerOpen = true;
            } else {
                headerOpen = false;
            }
        } else if (first == '#') {
            if (inHeader) {
                consumed = pos;
                continue;
            }
            if (!current) continue;
            std::string_view option = body.substr(1);
            if (startsWith(option, "time=")) {
                option.remove_prefix(5);
                std::uint64_t t;
                if (parseHexNumber(option, &t)) current->modified = t;
            } else if (startsWith(option, "class=\"")) {
                option.remove_prefix(7);
                std::u16string cls;
                if (ParseEscaped(option, '"', &cls)) current->className = std::move(cls);
            } else if (startsWith(option, "link")) {
                current->isLink = true;
            }
            if (headerOpen && consumed == lineStart) {
                current->header = all.substr(current->header.data() - all.data(), pos - (current->header.data() - all.data()));
                consumed = pos;
            }
        } else if ((first == '"' || first == '@') && !inHeader && current) {
            headerOpen = false;
            // Hex data may go on over lines that end in a backslash.
            std::string joined;
            std::string_view logicalView = body;
            if (!trimmedRight(body).empty() && trimmedRight(body).back() == '\\' &&
                body.find("=hex") != std::string_view::npos) {
                joined = body;
                while (!trimmedRight(joined).empty() && trimmedRight(joined).back() == '\\' && pos < all.size()) {
                    joined.resize(trimmedRight(joined).size() - 1);
                    std::string_view next;
                    readLine(&next);
                    skipBlanks(next);
                    joined += next;
                }
                logicalView = joined;
            }
            RegValue value;
            if (!ParseValueLine(logicalView, &value)) continue;
            value.lead = all.substr(consumed, lineStart - consumed);
            value.raw = all.substr(lineStart, pos - lineStart);
            consumed = pos;
            if (RegValue* existing = current->findValue(value.name)) {
                existing->type = value.type;
                existing->data = std::move(value.data);
                existing->raw = {};
            } else {
                current->values.push_back(std::move(value));
            }
        } else if (inHeader && !body.empty()) {
            consumed = pos;
        }
    }
    if (inHeader) hive.header = all.substr(0, consumed);
    hive.trailer = all.substr(consumed);
    return true;
}

}  // namespace korvex::wine
