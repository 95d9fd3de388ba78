// Writer of Wine's registry files.
#include "platform/wine/reg_write.h"

#include <cstdio>

#include "platform/types.h"
#include "platform/wine/reg_text.h"

namespace korvex::wine {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;

// A string value is written as text only when it is whole UTF-16 ending in a NUL.
bool writableAsText(const RegValue& v) {
    if (v.type != REG_SZ && v.type != REG_EXPAND_SZ && v.type != REG_MULTI_SZ) return false;
    const std::string& d = v.data;
    return d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 && d[d.size() - 2] == 0;
}

void appendPath(std::string& out, const RegKey* key, const RegKey* top) {
    if (key->parent && key->parent != top) {
        appendPath(out, key->parent, top);
        out += "\\\\";
    }
    AppendEscaped(out, key->name, "[]");
}

void appendSectionHeader(std::string& out, const RegKey& key, const RegKey* top) {
    char buffer[64];
    out += "\n[";
    appendPath(out, &key, top);
    std::uint64_t t = key.modified ? key.modified : FileTimeNow();
    std::uint64_t seconds = t >= kUnixEpochTicks ? (t - kUnixEpochTicks) / kTicksPerSecond : 0;
    std::snprintf(buffer, sizeof buffer, "] %u\n#time=%x%08x\n", static_cast<unsigned>(seconds),
                  static_cast<unsigned>(t >> 32), static_cast<unsigned>(t & 0xFFFFFFFFu));
    out += buffer;
    if (key.className) {
        out += "#class=\"";
        AppendEscaped(out, *key.className, "\"\"");
        out += "\"\n";
    }
    if (key.isLink) out += "#link\n";
}

void appendKey(std::string& out, const RegKey& key, const RegKey* top) {
    bool isTop = &key == top;
    if (!key.header.empty()) {
        out += key.lead;
        out += key.header;
        if (out.back() != '\n') out += '\n';
    } else if (isTop ? !key.values.empty() : key.needsSection()) {
        if (!out.empty() && out.back() != '\n') out += '\n';
        appendSectionHeader(out, key, top);
    }
    for (const RegValue& v : key.values) {
        out += v.lead;
        if (!v.raw.empty()) {
            out += v.raw;
            if (out.back() != '\n') out += '\n';
        } else {
            out += FormatValue(v);
        }
    }
    for (const auto& child : key.children) appendKey(out, *child, top);
}

}  // namespace

std::string FormatValue(const RegValue& v) {
    std::string out;
    std::size_t count;
    if (!v.name.empty()) {
        out += '"';
        count = 1 + AppendEscaped(out, v.name, "\"\"");
        out += "\"=";
        count += 2;
    } else {
        out += "@=";
        count = 2;
    }
    char buffer[32];
    if (writableAsText(v)) {
        if (v.type != REG_SZ) {
            std::snprintf(buffer, sizeof buffer, "str(%x):", static_cast<unsigned>(v.type));
            out += buffer;
        }
        out += '"';
        AppendEscaped(out, BytesToUtf16(v.data), "\"\"");
        out += "\"\n";
        return out;
    }
    if (v.type == REG_DWORD && v.data.size() == 4) {
        std::uint32_t dw = 0;
        for (int i = 3; i >= 0; --i) dw = (dw << 8) | static_cast<unsigned char>(v.data[i]);
        std::snprintf(buffer, sizeof buffer, "dword:%08x\n", static_cast<unsigned>(dw));
        out += buffer;
        return out;
    }
    if (v.type == REG_BINARY) {
        out += "hex:";
        count += 4;
    } else {
        int n = std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(v.type));
        out += buffer;
        count += static_cast<std::size_t>(n);
    }
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(v.data[i]));
        out += buffer;
        count += 2;
        if (i + 1 < v.data.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
    return out;
}

std::string SerializeHive(const Hive& hive) {
    std::string out;
    out.reserve(hive.text.size() + 4096);
    if (hive.existed) {
        out += hive.header;
    } else {
        out += "WINE REGISTRY Version 2\n";
        out += hive.root.headerLine;
        out += "\n\n#arch=win64\n";
    }
    appendKey(out, *hive.top, hive.top.get());
    out += hive.trailer;
    return out;
}

}  // namespace korvex::wine
