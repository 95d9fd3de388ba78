#include "removal/registry_backup.h"

#include <cstdio>

namespace korvex {

namespace {

constexpr int kMaxDepth = 512;

void appendCodePoint(std::string& out, std::uint32_t cp) {
    auto unit = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xff);
        out += static_cast<char>((u >> 8) & 0xff);
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        unit(0xd800 + (cp >> 10));
        unit(0xdc00 + (cp & 0x3ff));
    } else {
        unit(cp);
    }
}

std::string hexBytes(std::string_view bytes) {
    std::string out;
    char two[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i) out += ',';
        out += two;
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '\\' || ch == '"') out += '\\';
        out += ch;
    }
    return out + "\"";
}

// REG_SZ data the plain "name"="text" form can carry: ended by its NUL, no other
// NUL, no line breaks or other control characters.
bool plainText(std::string_view data) {
    if (data.empty() || data.back() != '\0') return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (static_cast<unsigned char>(data[i]) < 0x20) return false;
    return true;
}

std::string valueLine(const std::string& name, std::uint32_t type, const std::string& data) {
    std::string line = name.empty() ? "@" : quoted(name);
    line += '=';
    char buffer[32];
    if (type == REG_SZ && plainText(data)) {
        line += quoted(std::string_view(data).substr(0, data.size() - 1));
    } else if (type == REG_DWORD && data.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
        std::snprintf(buffer, sizeof buffer, "dword:%08x", v);
        line += buffer;
    } else if (type == REG_BINARY) {
        line += "hex:" + hexBytes(data);
    } else {
        // Text types are stored as UTF-16 by Windows; the others as they are.
        const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
        std::snprintf(buffer, sizeof buffer, "hex(%x):", type);
        line += buffer;
        line += hexBytes(text ? Utf16Le(data) : data);
    }
    return line;
}

void exportKey(Registry& registry, HKEY root, const std::string& rootName, const std::string& path, int depth,
               std::string& out) {
    HKEY key = 0;
    if (registry.openKey(root, path, KEY_READ, &key) != ERROR_SUCCESS || !key) return;
    out += "[" + rootName + "\\" + path + "]\r\n";
    std::string name, data;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0;; ++i) {
        name.clear();
        data.clear();
        if (registry.enumValue(key, i, &name, &type, &data) != ERROR_SUCCESS) break;
        out += valueLine(name, type, data) + "\r\n";
    }
    out += "\r\n";
    std::vector<std::string> subKeys;
    for (std::uint32_t i = 0;; ++i) {
        name.clear();
        if (registry.enumKey(key, i, &name) != ERROR_SUCCESS) break;
        subKeys.push_back(name);
    }
    registry.closeKey(key);
    if (depth >= kMaxDepth) return;
    for (const std::string& sub : subKeys) exportKey(registry, root, rootName, path + "\\" + sub, depth + 1, out);
}

}  // namespace

std::string Utf16Le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        int extra = b >= 0xf0 && b < 0xf8 ? 3 : b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : 0;
        if (b >= 0xf8) extra = 0;
        std::uint32_t cp = extra == 3 ? (b & 0x07) : extra == 2 ? (b & 0x0f) : extra == 1 ? (b & 0x1f) : b;
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= utf8.size()) {
                ok = false;
                break;
            }
            const unsigned char c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xc0) != 0x80) ok = false;
            cp = (cp << 6) | (c & 0x3f);
        }
        if (extra > 0 && ok) {
            appendCodePoint(out, cp);
            i += static_cast<std::size_t>(extra) + 1;
        } else {
            appendCodePoint(out, b);
            ++i;
        }
    }
    return out;
}

std::string RegistryExportText(RegistryAccess& registry, const std::vector<KeyName>& keys) {
    std::string body;
    for (const KeyName& k : keys) {
        const std::string rootName = k.hive == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
        exportKey(registry.registry(), k.hive, rootName, k.path, 0, body);
    }
    if (body.empty()) return {};
    return "Windows Registry Editor Version 5.00\r\n\r\n" + body;
}

bool BackUpKeys(RemovalContext& c, const std::vector<KeyName>& keys, std::string* path) {
    const std::string text = RegistryExportText(c.registry, keys);
    if (text.empty()) return true;
    const std::string folder = c.dataFolder + "Backups\\";
    c.services.files.createFolder(folder);
    const std::string file =
        DatedFileName(c.services.files, folder, "Registry", c.services.system.now(), ".reg");
    if (!c.services.files.replaceFile(file, "\xff\xfe" + Utf16Le(text))) return false;
    if (path) *path = file;
    return true;
}

}  // namespace korvex
