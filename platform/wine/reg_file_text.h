// Writing registry files in Wine's own text format (the form of system.reg and
// user.reg), for machines Korvex builds itself. Keys come out in Wine's order
// (sorted without regard to case, parents implied), and so do the values of a key.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvex::wine {

class RegFileText {
public:
    // root: "REGISTRY\\Machine" or "REGISTRY\\User\\S-1-5-21-0-0-0-1000" (the comment line).
    explicit RegFileText(std::string root) : root_(std::move(root)) {}

    // name "" is the key's default value.
    void setString(std::string_view key, std::string_view name, std::string_view text);
    void setExpandString(std::string_view key, std::string_view name, std::string_view text);
    void setDword(std::string_view key, std::string_view name, std::uint32_t value);

    std::string text(std::int64_t unixSeconds) const;

    // Wine's escaping of a string in a registry file (UTF-8 in, \xNNNN for non-ASCII).
    static std::string escape(std::string_view text, bool keyName);

private:
    struct Less {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::vector<std::pair<std::string, std::string>>& values(std::string_view key);
    std::string root_;
    std::map<std::string, std::vector<std::pair<std::string, std::string>>, Less> keys_;  // key -> (name, data line)
};

}  // namespace korvex::wine
