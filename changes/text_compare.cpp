#include "changes/text_compare.h"

#include <vector>

#include "changes/change_lists.h"
#include "changes/line_views.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "platform/types.h"
#include "scandb/scan_files.h"
#include "settings/settings_keys.h"

namespace korvex {

namespace {

// Stands for a blank line of the file being searched, so that it matches nothing.
constexpr std::string_view kBlank = "MMMMMM";

bool sameLine(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

// A file read line by line and kept open between searches, reopened at its start when
// it ends. Reading at the end gives an empty line.
class LineFile {
public:
    explicit LineFile(std::string_view text) : lines_(LineViews(text)) {}
    bool atEnd() const { return next_ >= lines_.size(); }
    void reopen() { next_ = 0; }
    std::string_view read() { return atEnd() ? std::string_view() : lines_[next_++]; }
    const std::vector<std::string_view>& lines() const { return lines_; }

private:
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
};

// The circular search of one line in a file, from where the previous search stopped.
class CircularSearch {
public:
    explicit CircularSearch(LineFile& file) : file_(file) {}

    bool find(std::string_view line) {
        if (scan(line, false)) return true;
        file_.reopen();
        return !remembered_.empty() && scan(line, true);
    }

private:
    // Reads on until the line turns up. The first pass remembers the last non-blank line
    // read; the pass after reopening gives up when it reaches that line again.
    bool scan(std::string_view line, bool wrapped) {
        while (!file_.atEnd()) {
            std::string_view read = file_.read();
            std::string_view seen = read.empty() ? kBlank : read;
            if (sameLine(seen, line)) {
                remembered_.assign(seen);
                return true;
            }
            if (wrapped) {
                if (seen == remembered_) return false;
            } else if (!read.empty()) {
                remembered_.assign(read);
            }
        }
        return false;
    }

    LineFile& file_;
    std::string remembered_;
};

// The next non-blank line after index at, or "" when none follows.
std::string_view successor(const std::vector<std::string_view>& lines, std::size_t at) {
    for (std::size_t i = at + 1; i < lines.size(); ++i)
        if (!lines[i].empty()) return lines[i];
    return {};
}

}  // namespace

void CompareTextFiles(std::string_view savedText, std::string_view liveText, std::string& added,
                      std::string& replaced) {
    std::vector<std::string_view> addedLines, removedLines;
    LineFile savedFile(savedText), liveFile(liveText);
    {
        CircularSearch search(savedFile);
        for (std::string_view line : liveFile.lines())
            if (!line.empty() && !search.find(line)) addedLines.push_back(line);
    }
    {
        CircularSearch search(liveFile);
        for (std::string_view line : savedFile.lines())
            if (!line.empty() && !search.find(line)) removedLines.push_back(line);
    }

    const std::vector<std::string_view>& live = liveFile.lines();
    const std::vector<std::string_view>& saved = savedFile.lines();
    // Where each removed line first stands in the copy, and what follows it there.
    std::vector<std::string_view> removedSuccessors;
    for (std::string_view r : removedLines) {
        std::string_view next;
        for (std::size_t i = 0; i < saved.size(); ++i)
            if (saved[i] == r) {
                next = successor(saved, i);
                break;
            }
        removedSuccessors.push_back(next);
    }

    std::size_t position = 0;  // next live line to read; carries over between added lines
    for (std::string_view x : addedLines) {
        // Read onward, round to the start once, until the line itself.
        std::string_view next;
        for (std::size_t step = 0; step < live.size(); ++step) {
            if (position >= live.size()) position = 0;
            std::size_t at = position++;
            if (live[at] == x) {
                next = successor(live, at);
                break;
            }
        }
        std::string_view match = " ";
        for (std::size_t k = 0; k < removedLines.size(); ++k)
            if (removedSuccessors[k] == next) {
                match = removedLines[k];
                break;
            }
        added.append(x);
        added += kListSeparator;
        replaced.append(match);
        replaced += kListSeparator;
    }
}

void CompareTextFiles(FileSystem& files, const std::string& savedPath, const std::string& livePath,
                      std::string& added, std::string& replaced) {
    std::string savedText, liveText;
    files.readFile(savedPath, savedText);
    files.readFile(livePath, liveText);
    CompareTextFiles(savedText, liveText, added, replaced);
}

void CompareSystemFiles(FileSystem& files, System& system, RegistryAccess& registry,
                        const std::string& dataFolder, const std::string& root, const RunHooks& hooks) {
    auto out = files.createFile(root + std::string(kSysChangesFile));
    hooks.yield();
    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kScanningKey);
    if (key == 0) {
        if (out) out->close();
        return;
    }
    const std::string windows = WindowsFolder(system);
    struct Row {
        std::string_view setting;
        std::string saved;
        std::string live;
        std::string_view header;
    };
    const Row rows[] = {
        {"AutoexecScan", dataFolder + std::string(scandb::kAutoexecCopy), root + "autoexec.bat", kAutoexecHeader},
        {"WinIniScan", dataFolder + std::string(scandb::kWinIniCopy), windows + "win.ini", kWinIniHeader},
        {"SystemIniScan", dataFolder + std::string(scandb::kSystemIniCopy), windows + "system.ini", kSystemIniHeader},
        {"ConfigSysScan", dataFolder + std::string(scandb::kConfigSysCopy), root + "config.sys", kConfigSysHeader},
    };
    for (const Row& row : rows) {
        if (registry.QueryValue(key, row.setting) != "1") continue;
        if (IsExistingFile(files, row.saved) && IsExistingFile(files, row.live)) {
            std::string added, replaced;
            CompareTextFiles(files, row.saved, row.live, added, replaced);
            std::string section;
            for (std::string_view line : {std::string_view(row.header), std::string_view(added),
                                          std::string_view(replaced), std::string_view("}")}) {
                section.append(line).append("\r\n");
            }
            if (out) out->write(section);
        }
        hooks.raise(1);
    }
    registry.CloseKey(key);
    if (out) out->close();
}

}  // namespace korvex
