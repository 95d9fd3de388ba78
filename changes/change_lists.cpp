// Formats and parsers of the change list files.
#include "changes/change_lists.h"

#include "platform/text.h"
#include "platform/types.h"

namespace korvex {

namespace {

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(kLineEnd);
}

std::string folderHeader(std::string_view folder) {
    std::string header(folder);
    header += '{';
    return header;
}

}  // namespace

std::string NewFolderLine(std::string_view folderHeader) {
    std::string line = "!";
    line.append(folderHeader);
    return line;
}

std::string JoinList(const std::vector<std::string>& elements) {
    std::string out;
    for (const auto& element : elements) {
        out += element;
        out += kListSeparator;
    }
    return out;
}

std::vector<std::string> ListElements(std::string_view list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == kListSeparator) {
            out.emplace_back(list.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

std::string FormatChangesFile(const std::vector<FolderChange>& folders) {
    std::string out;
    for (const auto& section : folders) {
        if (section.newFolder) {
            appendLine(out, NewFolderLine(folderHeader(section.folder)));
        } else {
            appendLine(out, folderHeader(section.folder));
            for (const auto& name : section.files) appendLine(out, name);
        }
        appendLine(out, "}");
    }
    return out;
}

std::string FormatSystemFileSection(const SystemFileChange& section) {
    std::string out;
    appendLine(out, section.header);
    appendLine(out, JoinList(section.added));
    appendLine(out, JoinList(section.replaced));
    appendLine(out, "}");
    return out;
}

std::string FormatKeysFile(const std::vector<std::string>& keys) {
    std::string out;
    for (const auto& key : keys) appendLine(out, key);
    return out;
}

std::vector<FolderChange> ParseChangesFile(std::string_view text) {
    std::vector<FolderChange> out;
    auto lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size()) {
        std::string header = lines[i++];
        FolderChange section;
        if (!header.empty() && header.back() == '{') header.pop_back();
        if (!header.empty() && header.front() == '!') {
            section.newFolder = true;
            header.erase(0, 1);
        }
        section.folder = header;
        // Lines up to and including "}" belong to the section; a new folder has none
        // of its own, but whatever stands there is skipped, not taken as a header.
        while (i < lines.size() && lines[i] != "}") {
            if (!section.newFolder) section.files.push_back(lines[i]);
            ++i;
        }
        if (i < lines.size()) ++i;  // the "}"
        out.push_back(std::move(section));
    }
    return out;
}

std::vector<SystemFileChange> ParseSysChangesFile(std::string_view text) {
    std::vector<SystemFileChange> out;
    auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line != kAutoexecHeader && line != kWinIniHeader && line != kSystemIniHeader &&
            line != kConfigSysHeader)
            continue;
        SystemFileChange section;
        section.header = line;
        std::string added = i + 1 < lines.size() ? lines[i + 1] : std::string();
        std::string replaced = i + 2 < lines.size() ? lines[i + 2] : std::string();
        section.added = ListElements(added);
        section.replaced = ListElements(replaced);
        // The two lists are parallel; a damaged file gets blanks rather than a shift.
        if (section.replaced.size() < section.added.size()) section.replaced.resize(section.added.size());
        if (section.replaced.size() > section.added.size()) section.replaced.resize(section.added.size());
        out.push_back(std::move(section));
        i += 3;
    }
    return out;
}

std::vector<std::string> ParseKeysFile(std::string_view text) {
    return SplitLines(text);
}

bool WriteChangeLists(FileSystem& files, const std::string& root, const ChangeLists& lists) {
    std::string sys;
    for (const auto& section : lists.systemFiles) sys += FormatSystemFileSection(section);
    bool ok = true;
    auto write = [&](std::string_view name, const std::string& text) {
        auto out = files.createFile(root + std::string(name));
        if (!out) {
            ok = false;
            return;
        }
        out->write(text);
        if (!out->close()) ok = false;
    };
    write(kChangesFile, FormatChangesFile(lists.folders));
    write(kSysChangesFile, sys);
    write(kHkcuChangesFile, FormatKeysFile(lists.hkcuKeys));
    write(kHklmChangesFile, FormatKeysFile(lists.hklmKeys));
    return ok;
}

ChangeLists ReadChangeLists(FileSystem& files, const std::string& root) {
    ChangeLists lists;
    std::string text;
    if (files.readFile(root + std::string(kChangesFile), text)) lists.folders = ParseChangesFile(text);
    text.clear();
    if (files.readFile(root + std::string(kSysChangesFile), text)) lists.systemFiles = ParseSysChangesFile(text);
    text.clear();
    lists.hkcuFileExists = files.info(root + std::string(kHkcuChangesFile)).exists;
    if (files.readFile(root + std::string(kHkcuChangesFile), text)) lists.hkcuKeys = ParseKeysFile(text);
    text.clear();
    if (files.readFile(root + std::string(kHklmChangesFile), text)) lists.hklmKeys = ParseKeysFile(text);
    return lists;
}

}  // namespace korvex
