// The in-memory form of one Wine registry file (a hive): a tree of keys with their
// values, plus the original text of every section and value that came from the file,
// so that what was not changed is written back byte for byte. Knows nothing of
// handles, links or when to save.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

struct RegValue {
    std::u16string name;     // "" is the default value
    std::uint32_t type = 0;
    std::string data;        // as Wine keeps it: strings as UTF-16LE with their NUL
    std::string_view lead;   // comment or blank lines before it in the file
    std::string_view raw;    // its lines as read; empty when new or changed
};

struct RegKey {
    std::u16string name;
    std::u16string folded;   // lower-cased name: the order and identity of sub keys
    RegKey* parent = nullptr;
    std::vector<std::unique_ptr<RegKey>> children;  // sorted by folded
    std::vector<RegValue> values;                   // in creation order
    std::string_view lead;    // text between the previous item of the file and this section
    std::string_view header;  // "[path] secs" and its #time/#class/#link lines; empty when not from the file
    std::optional<std::u16string> className;
    bool isLink = false;
    bool deleted = false;
    std::uint64_t modified = 0;  // FILETIME: 100 ns ticks since 1601

    RegKey* findChild(std::u16string_view foldedName) const;
    // The child with this name, made when missing (*added tells which).
    RegKey* child(std::u16string_view name, bool* added = nullptr);
    RegValue* findValue(std::u16string_view name);
    // Whether Wine would write a section for this key (keys with only sub keys are implied).
    bool needsSection() const { return !values.empty() || children.empty() || className || isLink; }
};

// The keys below which a hive's paths are written in its file and named by links.
struct HiveRoot {
    std::string fileName;      // "system.reg"
    std::u16string linkPath;   // L"\\Registry\\Machine"
    std::string headerLine;    // ";; All keys relative to \\\\Machine" as written for a new file
};

struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

struct Hive {
    HiveRoot root;
    std::string path;       // host path of the file
    std::string text;       // the file as read; every raw view points into it
    bool existed = false;   // the file was there when read
    std::string_view header, trailer;
    std::unique_ptr<RegKey> top = std::make_unique<RegKey>();
    std::vector<std::unique_ptr<RegKey>> removed;  // deleted keys, kept while handles may name them
    bool dirty = false;
    FileStamp stamp;        // the file as last read or written by us
};

// Key times count 100-nanosecond ticks since 1601, as Windows file times do.
inline constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
inline constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;  // 1970-01-01
std::uint64_t FileTimeNow();

}  // namespace korvex::wine
