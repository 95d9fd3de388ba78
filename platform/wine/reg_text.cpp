// Text conversion, name folding and the escapes of Wine's registry files.
#include "platform/wine/reg_text.h"

#include <algorithm>
#include <cstdio>
#include <locale.h>
#include <wctype.h>

#include "platform/wine/utf8.h"

namespace korvex::wine {

namespace {

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

// Decodes one UTF-8 sequence at in[i]; a malformed byte gives U+FFFD and is skipped alone.
char32_t decodeUtf8(std::string_view in, std::size_t& i) {
    auto b0 = static_cast<unsigned char>(in[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = b0 >= 0xF0 && b0 < 0xF5 ? 3 : b0 >= 0xE0 && b0 < 0xF0 ? 2 : b0 >= 0xC2 && b0 < 0xE0 ? 1 : -1;
    if (extra < 0 || i + extra >= in.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto b = static_cast<unsigned char>(in[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += extra + 1;
    if ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))
        return 0xFFFD;
    return c;
}

locale_t unicodeLocale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l;
    }();
    return loc;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
        } else {
            appendUtf16(out, decodeUtf8(text, i));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf16ToBytes(std::u16string_view text) {
    std::string out;
    out.resize(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<char>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return out;
}

std::u16string BytesToUtf16(std::string_view bytes) {
    std::u16string out;
    out.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

char16_t FoldChar(char16_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xD800 && c < 0xE000) return c;
    locale_t loc = unicodeLocale();
    if (!loc) return c;
    wint_t lower = towlower_l(static_cast<wint_t>(c), loc);
    return lower < 0x10000 ? static_cast<char16_t>(lower) : c;
}

std::u16string Fold(std::u16string_view name) {
    std::u16string out(name);
    for (auto& c : out) c = FoldChar(c);
    return out;
}

int CompareFolded(std::u16string_view a, std::u16string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i])) return false;
    return true;
}

std::size_t AppendEscaped(std::string& out, std::u16string_view text, std::string_view escapeChars) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    const std::size_t start = out.size();
    char buffer[16];
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        bool more = i + 1 < text.size();
        if (c > 127) {
            // The short form would swallow a following hex digit, so it is padded then.
            bool padded = more && text[i + 1] < 128 && isHex(static_cast<char>(text[i + 1]));
            std::snprintf(buffer, sizeof buffer, padded ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
            out += buffer;
        } else if (c < 32) {
            if (c == 0 && !more) continue;
            if (escapes[c] != '.') {
                out += '\\';
                out += escapes[c];
            } else {
                bool padded = more && text[i + 1] >= '0' && text[i + 1] <= '7';
                std::snprintf(buffer, sizeof buffer, padded ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
                out += buffer;
            }
        } else {
            char a = static_cast<char>(c);
            if (a == '\\' || escapeChars.find(a) != std::string_view::npos) out += '\\';
            out += a;
        }
    }
    return out.size() - start;
}

bool ParseEscaped(std::string_view& in, char terminator, std::u16string* out) {
    std::size_t i = 0;
    while (i < in.size() && in[i] != terminator) {
        char c = in[i];
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x80) {
                *out += static_cast<char16_t>(c);
                ++i;
            } else {
                appendUtf16(*out, decodeUtf8(in, i));
            }
            continue;
        }
        if (++i >= in.size()) return false;
        c = in[i++];
        switch (c) {
            case 'a': *out += u'\a'; break;
            case 'b': *out += u'\b'; break;
            case 'e': *out += u'\x1b'; break;
            case 'f': *out += u'\f'; break;
            case 'n': *out += u'\n'; break;
            case 'r': *out += u'\r'; break;
            case 't': *out += u'\t'; break;
            case 'v': *out += u'\v'; break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && i < in.size() && isHex(in[i])) value = value * 16 + hexValue(in[i++]), ++digits;
                *out += digits ? static_cast<char16_t>(value) : u'x';
                break;
            }
            case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
                unsigned value = static_cast<unsigned>(c - '0');
                int digits = 1;
                while (digits < 3 && i < in.size() && in[i] >= '0' && in[i] <= '7')
                    value = value * 8 + static_cast<unsigned>(in[i++] - '0'), ++digits;
                *out += static_cast<char16_t>(value);
                break;
            }
            default:
                if (static_cast<unsigned char>(c) < 0x80) {
                    *out += static_cast<char16_t>(c);
                } else {
                    --i;
                    appendUtf16(*out, decodeUtf8(in, i));
                }
        }
    }
    if (i >= in.size()) return false;
    in.remove_prefix(i + 1);
    return true;
}

}  // namespace korvex::wine
