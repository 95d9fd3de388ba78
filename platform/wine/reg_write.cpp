// Writer of Wine's registry files.
#include "platform/wine/reg_write.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/types.h"
#include "platform/wine/reg_text.h"

namespace korvex::wine {

namespace {

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
    // Text from the file goes out as it was, even a last line without its newline;
    // new text starts on a line of its own.
    auto newLine = [&out] {
        if (!out.empty() && out.back() != '\n') out += '\n';
    };
    if (!key.header.empty()) {
        out += key.lead;
        out += key.header;
    } else {
        newLine();
        appendSectionHeader(out, key, top);
    }
    for (const RegValue& v : key.values) {
        if (!v.raw.empty()) {
            out += v.lead;
            out += v.raw;
        } else {
            out += v.lead;
            newLine();
            out += FormatValue(v);
        }
    }
}

// Where a section goes: sections from the file keep their place in it (pos is their
// offset + 1); a new one goes right after the section that precedes it in key order.
struct Placed {
    std::size_t pos;
    std::size_t sub;  // 0 for sections from the file, then increasing in key order
    const RegKey* key;
    bool operator<(const Placed& o) const { return pos != o.pos ? pos < o.pos : sub < o.sub; }
};

void place(const RegKey& key, const RegKey* top, const char* base, std::vector<Placed>& out, std::size_t& lastPos,
           std::size_t& counter) {
    if (!key.header.empty()) {
        lastPos = static_cast<std::size_t>(key.header.data() - base) + 1;
        out.push_back({lastPos, 0, &key});
    } else if (&key == top ? !key.values.empty() : key.needsSection()) {
        out.push_back({lastPos, ++counter, &key});
    }
    for (const auto& child : key.children) place(*child, top, base, out, lastPos, counter);
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
    std::vector<Placed> sections;
    std::size_t lastPos = 0, counter = 0;
    place(*hive.top, hive.top.get(), hive.text.data(), sections, lastPos, counter);
    // Wine writes keys in order, so only a file edited by hand needs sorting here.
    if (!std::is_sorted(sections.begin(), sections.end())) std::stable_sort(sections.begin(), sections.end());
    for (const Placed& p : sections) appendKey(out, *p.key, hive.top.get());
    out += hive.trailer;
    return out;
}

}  // namespace korvex::wine
