#include "changes/file_compare.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "changes/change_lists.h"
#include "changes/line_views.h"
#include "changes/work_files.h"
#include "platform/text.h"
#include "platform/types.h"
#include "scandb/scan_files.h"

namespace korvex {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Without regard to case; most names compare equal byte for byte, which is cheap.
bool sameName(std::string_view a, std::string_view b) { return a == b || EqualsNoCase(a, b); }

// Lower-case keys looked up by view, without making a string per lookup.
struct ViewHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
struct ViewEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
};
using LowerSet = std::unordered_set<std::string, ViewHash, ViewEqual>;

// A header as the walkers write it has its only ":" right after the drive letter.
// When both a header and a line are of that form, the line contains the header only
// as its beginning, which lets a sorted index answer "which lines contain C".
bool colonOnlyAtDrive(std::string_view text) {
    if (text.size() < 2 || text[1] != ':') return false;
    return text.find(':', 2) == npos;
}

// Answers the two questions of the ring search over the joined database without
// walking it: the first line in a range that contains a header, and the first line
// exactly equal to a given text. Built on first use only, so a run in which every
// section is found where expected never pays for it.
class DatabaseIndex {
public:
    explicit DatabaseIndex(const LineTable& lines) : lines_(lines) {}

    // First index in [from, to) whose line contains c without regard to case; npos if none.
    std::size_t firstContaining(std::string_view c, std::size_t from, std::size_t to) {
        if (from >= to) return npos;
        if (!colonOnlyAtDrive(c)) {
            for (std::size_t i = from; i < to; ++i)
                if (ContainsNoCase(lines_[i], c)) return i;
            return npos;
        }
        build();
        std::size_t best = npos;
        LowerInto(key_, c);
        auto it = std::lower_bound(headers_.begin(), headers_.end(), std::string_view(key_),
                                   [](const Entry& e, std::string_view k) { return e.text < k; });
        for (; it != headers_.end() && it->text.substr(0, key_.size()) == key_; ++it)
            if (it->index >= from && it->index < to && it->index < best) best = it->index;
        // Lines with a ":" elsewhere are rare; test them as they are.
        for (auto o = std::lower_bound(odd_.begin(), odd_.end(), from); o != odd_.end() && *o < to && *o < best; ++o)
            if (ContainsNoCase(lines_[*o], c)) {
                best = *o;
                break;
            }
        return best;
    }

    // First index whose line is exactly text; the number of lines if none.
    std::size_t firstEqual(std::string_view text) {
        const std::size_t n = lines_.size();
        if (text == "}") {
            for (std::size_t i = 0; i < n; ++i)
                if (lines_[i] == "}") return i;
            return n;
        }
        if (colonOnlyAtDrive(text)) {
            build();
            std::size_t best = n;
            LowerInto(key_, text);
            auto it = std::lower_bound(headers_.begin(), headers_.end(), std::string_view(key_),
                                       [](const Entry& e, std::string_view k) { return e.text < k; });
            for (; it != headers_.end() && it->text == key_; ++it)
                if (it->index < best && lines_[it->index] == text) best = it->index;
            return best;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (lines_[i] == text) return i;
        return n;
    }

private:
    struct Entry {
        std::string_view text;  // lower case, in lower_
        std::uint32_t index;
    };

    void build() {
        if (built_) return;
        built_ = true;
        std::size_t total = 0;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            std::string_view line = lines_[i];
            if (line.size() >= 2 && line[1] == ':') total += line.size();
        }
        lower_.reserve(total);
        std::vector<std::pair<std::size_t, std::uint32_t>> spans;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            std::string_view line = lines_[i];
            if (line.find(':') == npos) continue;
            if (!colonOnlyAtDrive(line)) {
                odd_.push_back(static_cast<std::uint32_t>(i));
                continue;
            }
            spans.emplace_back(lower_.size(), static_cast<std::uint32_t>(i));
            for (char ch : line) lower_.push_back(LowerAscii(ch));
        }
        headers_.reserve(spans.size());
        for (const auto& [offset, index] : spans)
            headers_.push_back({std::string_view(lower_).substr(offset, lines_[index].size()), index});
        std::sort(headers_.begin(), headers_.end(), [](const Entry& a, const Entry& b) {
            return a.text != b.text ? a.text < b.text : a.index < b.index;
        });
    }

    const LineTable& lines_;
    bool built_ = false;
    std::string lower_;
    std::vector<Entry> headers_;
    std::vector<std::uint32_t> odd_;
    std::string key_;
};

// The added-folder list: folder paths (header without its "{") reported new so far.
// A current header containing one of them lies under a new folder. Paths of the
// walkers' form can only be contained as a beginning that ends at a "\", so a set
// of lower-case paths answers; anything else is tested entry by entry.
class AddedFolders {
public:
    void add(std::string_view header) {
        std::string path(header.substr(0, header.empty() ? 0 : header.size() - 1));
        if (!(colonOnlyAtDrive(path) && path.back() == '\\')) plain_ = false;
        paths_.push_back(path);
        std::string lower;
        LowerInto(lower, path);
        set_.insert(std::move(lower));
    }

    bool covers(std::string_view c) {
        if (paths_.empty()) return false;
        if (plain_ && colonOnlyAtDrive(c)) {
            LowerInto(key_, c);
            for (std::size_t j = key_.find('\\'); j != npos; j = key_.find('\\', j + 1))
                if (set_.find(std::string_view(key_).substr(0, j + 1)) != set_.end()) return true;
            return false;
        }
        for (const auto& p : paths_)
            if (ContainsNoCase(c, p)) return true;
        return false;
    }

private:
    std::vector<std::string> paths_;
    LowerSet set_;
    bool plain_ = true;
    std::string key_;
};

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

// The file names of one database section; tells whether a current line is listed.
// Matches are tried in order first (the lists are usually in step), then by set.
class SectionNames {
public:
    void reset(const LineTable& lines, std::size_t begin, std::size_t end) {
        lines_ = &lines;
        begin_ = begin;
        end_ = end;
        next_ = begin;
        setBuilt_ = false;
    }

    bool present(std::string_view line) {
        if (next_ != end_ && sameName(line, (*lines_)[next_])) {
            ++next_;
            return true;
        }
        if (!setBuilt_) buildSet();
        if (line.empty() || line.find(kListSeparator) != npos || odd_) return literal(line);
        LowerInto(key_, line);
        return set_.find(std::string_view(key_)) != set_.end();
    }

private:
    void buildSet() {
        setBuilt_ = true;
        set_.clear();
        odd_ = false;
        for (std::size_t i = begin_; i != end_; ++i) {
            std::string_view name = (*lines_)[i];
            if (name.find(kListSeparator) != npos) odd_ = true;
            std::string lower;
            LowerInto(lower, name);
            set_.insert(std::move(lower));
        }
    }

    // The name set as one text, each name enclosed in characters 127.
    bool literal(std::string_view line) {
        std::string names;
        for (std::size_t i = begin_; i != end_; ++i) {
            names += kListSeparator;
            names.append((*lines_)[i]);
            names += kListSeparator;
        }
        std::string pattern;
        pattern += kListSeparator;
        pattern.append(line);
        pattern += kListSeparator;
        return ContainsNoCase(names, pattern);
    }

    const LineTable* lines_ = nullptr;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::size_t next_ = 0;
    bool setBuilt_ = false;
    bool odd_ = false;
    LowerSet set_;
    std::string key_;
};

}  // namespace

bool MergeFolderLists(const LineTable& current, const LineTable& database,
                      std::string& changes, const RunHooks& hooks) {
    const std::size_t curSize = current.size();
    const std::size_t dbSize = database.size();
    std::size_t ci = 0;   // next current line
    std::size_t pos = 0;  // next database line
    DatabaseIndex index(database);
    AddedFolders added;
    SectionNames names;

    // Reads the rest of the current section, up to and including its "}".
    auto skipCurrentSection = [&] {
        while (ci < curSize)
            if (current[ci++] == "}") break;
    };

    while (ci < curSize) {
        if (pos >= dbSize) pos = 0;
        std::string_view d;
        if (pos < dbSize) d = database[pos++];

        std::string_view c;
        bool finished = false;
        for (;;) {
            if (ci >= curSize) {
                finished = true;
                break;
            }
            c = current[ci++];
            if (ci >= curSize) {
                finished = true;
                break;
            }
            if (!added.covers(c)) break;
            skipCurrentSection();
            hooks.raise(1);
        }
        if (finished) break;
        if (hooks.yieldAndTest()) return false;

        bool found = ContainsNoCase(d, c);
        if (!found) {
            // The ring search: forward to the end, then from the start up to the
            // first line equal to the line the search began on.
            std::size_t f = index.firstContaining(c, pos, dbSize);
            if (f != npos) {
                pos = f + 1;
                found = true;
            } else {
                std::size_t stopAt = index.firstEqual(d);
                f = index.firstContaining(c, 0, stopAt);
                if (f != npos) {
                    pos = f + 1;
                    found = true;
                } else {
                    pos = std::min(stopAt + 1, dbSize);
                }
            }
        }

        if (!found) {
            added.add(c);
            appendLine(changes, std::string("!").append(c));
            appendLine(changes, "}");
            skipCurrentSection();
            while (pos < dbSize)
                if (database[pos++] == "}") break;
            hooks.raise(1);
            continue;
        }

        hooks.raise(1);
        std::size_t sectionStart = pos;
        while (pos < dbSize)
            if (database[pos++] == "}") break;
        names.reset(database, sectionStart, pos);
        bool headerWritten = false;
        while (ci < curSize) {
            std::string_view line = current[ci++];
            if (!names.present(line)) {
                if (!headerWritten) {
                    appendLine(changes, c);
                    headerWritten = true;
                }
                appendLine(changes, line);
            }
            if (line == "}") break;
        }
        if (headerWritten) appendLine(changes, "}");
    }
    return true;
}

bool CompareFolderLists(FileSystem& files, const std::string& root, const std::string& dataFolder,
                        std::string_view drives, const RunHooks& hooks) {
    const std::string currentPath = root + std::string(work::kCurrentList);
    const std::string changesPath = root + std::string(kChangesFile);
    std::string currentText;
    files.readFile(currentPath, currentText);
    auto out = files.createFile(changesPath);

    // The joined database: every drive's lines, in drive order, written to root
    // "dbase.kvd" (a work file of the run, removed below or by the driver on cancel)
    // and compared from the copy already in memory.
    std::vector<std::string> texts;
    for (char letter : DriveLetters(drives)) {
        texts.emplace_back();
        files.readFile(dataFolder + scandb::DriveListName(letter), texts.back());
    }
    std::string joined;
    if (texts.size() > 1) {
        for (const auto& text : texts) {
            joined += text;
            if (!text.empty() && text.back() != '\n' && text.back() != '\r') joined += "\r\n";
        }
        texts.clear();
    }
    const std::string_view joinedText = texts.size() == 1 ? std::string_view(texts[0]) : std::string_view(joined);
    if (auto dbase = files.createFile(root + std::string(work::kJoinedDatabase))) {
        dbase->write(joinedText);
        dbase->close();
    }
    const LineTable database(joinedText);
    const LineTable current(currentText);

    std::string changes;
    bool completed = MergeFolderLists(current, database, changes, hooks);
    if (out) {
        out->write(changes);
        out->close();
    }
    if (!completed) return false;
    files.deleteFile(root + std::string(work::kJoinedDatabase));
    files.deleteFile(currentPath);
    return true;
}

}  // namespace korvex
