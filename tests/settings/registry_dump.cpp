#include "registry_dump.h"

#include <stdexcept>

namespace korvex::testing {
namespace {

void dumpKey(Registry& registry, HKEY key, const std::string& path, std::vector<std::string>& lines) {
    lines.push_back("[" + path + "]");
    std::string name, data;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; registry.enumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i) {
        if (type == REG_SZ && !data.empty() && data.back() == '\0') data.pop_back();
        std::string line = name.empty() ? "@" : name;
        if (type != REG_SZ) line += "(type " + std::to_string(type) + ")";
        lines.push_back(Readable(line + "=" + data));
    }
    for (std::uint32_t i = 0; registry.enumKey(key, i, &name) == ERROR_SUCCESS; ++i) {
        HKEY child = 0;
        if (registry.openKey(key, name, KEY_READ, &child) != ERROR_SUCCESS)
            throw std::runtime_error("cannot open " + path + "\\" + name);
        dumpKey(registry, child, path + "\\" + name, lines);
        registry.closeKey(child);
    }
}

}  // namespace

std::vector<std::string> DumpRegistry(Registry& registry) {
    std::vector<std::string> lines;
    for (auto [root, name] : {std::pair{HKEY_CURRENT_USER, "HKCU"}, std::pair{HKEY_LOCAL_MACHINE, "HKLM"}}) {
        HKEY key = 0;
        if (registry.openKey(root, "", KEY_READ, &key) != ERROR_SUCCESS) continue;
        dumpKey(registry, key, name, lines);
        registry.closeKey(key);
    }
    return lines;
}

std::string Readable(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\x7f') out += "<127>";
        else if (c == '\0') out += "<0>";
        else out += c;
    }
    return out;
}

std::string WithSeparators(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& e : entries) list += e + '\x7f';
    return list;
}

}  // namespace korvex::testing
