#include "removal/saved_file.h"

#include "platform/text.h"
#include "settings/setting_value.h"
#include "settings/settings_keys.h"

namespace korvex {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSavedForDeletion = "SavedForDeletion";
constexpr std::string_view kOpenSavePath = "OpenSavePath";

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(kCrLf);
}

// Splits "added<127>replaced<127>" into its two texts; an entry without its second
// separator keeps whatever follows the first.
SavedLine parseLineEntry(std::string_view entry) {
    SavedLine line;
    std::size_t first = entry.find(kListSeparator);
    if (first == std::string_view::npos) {
        line.added = std::string(entry);
        line.wellFormed = false;
        return line;
    }
    line.added = std::string(entry.substr(0, first));
    std::string_view rest = entry.substr(first + 1);
    std::size_t second = rest.find(kListSeparator);
    line.replaced = std::string(second == std::string_view::npos ? rest : rest.substr(0, second));
    return line;
}

}  // namespace

std::size_t SavedData::entryCount() const {
    std::size_t n = files.size() + registry.size();
    for (const auto& l : lines) n += l.size();
    return n;
}

std::string FormatSavedFile(const SavedData& data) {
    std::string out;
    appendLine(out, kSavedFilesHeader);
    for (const auto& f : data.files) appendLine(out, f);
    appendLine(out, kSavedSectionEnd);
    appendLine(out, kSavedRegistryHeader);
    for (const auto& k : data.registry) appendLine(out, k);
    appendLine(out, kSavedSectionEnd);
    for (std::size_t i = 0; i < kSavedLineHeaders.size(); ++i) {
        appendLine(out, kSavedLineHeaders[i]);
        for (const auto& l : data.lines[i]) {
            std::string entry = l.added;
            entry += kListSeparator;
            entry += l.replaced;
            entry += kListSeparator;
            appendLine(out, entry);
        }
        appendLine(out, kSavedSectionEnd);
    }
    return out;
}

SavedData ParseSavedFile(std::string_view text, bool* valid) {
    SavedData data;
    std::vector<std::string> lines = SplitLines(text);
    if (valid) *valid = !lines.empty() && lines.front().find(kSavedFilesHeader) != std::string::npos;

    // -1 outside a section, 0 files, 1 registry, 2..5 the system text files.
    int section = -1;
    for (const auto& line : lines) {
        if (section < 0) {
            if (EqualsNoCase(line, kSavedFilesHeader)) section = 0;
            else if (EqualsNoCase(line, kSavedRegistryHeader)) section = 1;
            for (std::size_t i = 0; i < kSavedLineHeaders.size(); ++i)
                if (EqualsNoCase(line, kSavedLineHeaders[i])) section = static_cast<int>(2 + i);
            continue;
        }
        if (line == kSavedSectionEnd) {
            section = -1;
            continue;
        }
        if (line.empty()) continue;
        if (section == 0) data.files.push_back(line);
        else if (section == 1) data.registry.push_back(line);
        else data.lines[static_cast<std::size_t>(section - 2)].push_back(parseLineEntry(line));
    }
    return data;
}

bool WriteSavedFile(FileSystem& files, std::string_view path, const SavedData& data) {
    return files.replaceFile(path, FormatSavedFile(data));
}

bool RewriteSavedFile(FileSystem& files, std::string_view path, const SavedData& remaining) {
    if (remaining.entryCount() == 0) return files.deleteFile(path);
    return WriteSavedFile(files, path, remaining);
}

std::optional<SavedData> ReadSavedFile(FileSystem& files, std::string_view path) {
    std::string text;
    if (!files.readFile(path, text)) return std::nullopt;
    return ParseSavedFile(text);
}

std::string ReadOpenSavePath(RegistryAccess& registry) {
    return ReadSetting(registry, settings::kGeneralKey, kOpenSavePath);
}

std::string SavedFileFolder(std::string_view path) {
    // The folder ends before the "\" that precedes the file title, and the title is
    // looked for from the front: a folder named like the file cuts the path early,
    // exactly as the open dialog's folder has always been remembered.
    std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {};
    std::string_view title = path.substr(slash + 1);
    std::size_t at = title.empty() ? std::string_view::npos : FindNoCase(path, title);
    if (at == std::string_view::npos || at == 0) at = slash + 1;
    return std::string(path.substr(0, at - 1));
}

void RememberSavedFile(RegistryAccess& registry, std::string_view path) {
    HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (key == 0) key = registry.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (key == 0) return;
    registry.SetValue(key, kOpenSavePath, SavedFileFolder(path));
    std::string recent(path);
    recent += kListSeparator;
    recent += registry.QueryValue(key, kSavedForDeletion);
    registry.SetValue(key, kSavedForDeletion, recent);
    registry.CloseKey(key);
}

}  // namespace korvex
