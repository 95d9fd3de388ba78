// Name rules shared by the host file mapping: Windows-valid names and case folding.
#include "platform/wine/host_names.h"

#include <cstdint>
#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

#include "platform/wine/utf8.h"

namespace korvex::wine {

namespace {

// Decodes one UTF-8 sequence at text[pos]; returns its length, 0 when it is invalid
// (bad lead byte, missing continuation, overlong form, surrogate, beyond U+10FFFF).
std::size_t decode(std::string_view text, std::size_t pos, char32_t* out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length;
    char32_t cp;
    if (lead < 0x80) {
        *out = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *out = cp;
    return length;
}

char32_t fold(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
    if (cp < 0x80) return cp;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;                 // Latin-1
    if (cp >= 0x100 && cp <= 0x137 && (cp & 1) == 0 && cp != 0x130) return cp + 1;  // Latin Extended-A
    if (cp >= 0x139 && cp <= 0x148 && (cp & 1) == 1) return cp + 1;
    if (cp >= 0x14A && cp <= 0x177 && (cp & 1) == 0) return cp + 1;
    if (cp == 0x178) return 0xFF;
    if (cp >= 0x179 && cp <= 0x17E && (cp & 1) == 1) return cp + 1;
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 0x20;             // Greek
    if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;                             // Cyrillic
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    return cp;
}

}  // namespace

bool IsWindowsName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t cp;
        const std::size_t length = decode(name, pos, &cp);
        if (length == 0) return false;
        if (cp < 32 || cp == 127) return false;
        switch (cp) {
        case '\\': case '<': case '>': case ':': case '"': case '/': case '|': case '?': case '*':
            return false;
        default:
            break;
        }
        pos += length;
    }
    return true;
}

std::string FoldName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t cp;
        const std::size_t length = decode(name, pos, &cp);
        if (length == 0) {
            out += name[pos++];
            continue;
        }
        AppendUtf8(out, fold(cp));
        pos += length;
    }
    return out;
}

std::string WineUserName() {
    std::string name;
    if (const char* user = std::getenv("USER"); user && *user) {
        name = user;
    } else if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_name) {
        name = account->pw_name;
    }
    return IsWindowsName(name) ? name : "user";
}

}  // namespace korvex::wine
