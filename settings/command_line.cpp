#include "settings/command_line.h"

#include "platform/folders.h"
#include "platform/types.h"

namespace korvex {
namespace {


bool isWindowsPath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string CommandLineText(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) text += ' ';
        text += argument;
    }
    return text;
}

StartCommand ParseCommandLine(Services& services, std::string_view commandLine) {
    if (commandLine == "\\u") return {StartAction::UpdateDatabase, ""};
    if (commandLine == "\\f") return {StartAction::FindChanges, ""};
    if (commandLine.size() <= 2) return {};
    std::string path(commandLine.substr(1, commandLine.size() - 2));
    if (!isWindowsPath(path) && path.front() == '/') path = services.system.windowsPath(path);
    if (!path.empty() && IsExistingFile(services.files, path)) return {StartAction::Uninstall, path};
    return {};
}

std::vector<RecentFile> RecentFiles(Services& services, std::string_view savedForDeletion) {
    std::vector<RecentFile> recent;
    std::string_view rest = savedForDeletion;
    while (!rest.empty() && recent.size() < 4) {
        const std::size_t end = rest.find(kListSeparator);
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (entry.empty() || !IsExistingFile(services.files, entry)) continue;
        const std::size_t slash = entry.rfind('\\');
        std::string_view name = slash == std::string_view::npos ? entry : entry.substr(slash + 1);
        name = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
        recent.push_back({std::string(name), std::string(entry)});
    }
    return recent;
}

std::string RecentFilePath(std::string_view savedForDeletion, std::string_view caption) {
    if (caption.empty()) return "";
    const std::size_t at = savedForDeletion.find(caption);
    if (at == std::string_view::npos) return "";
    std::string_view path = savedForDeletion.substr(0, at + caption.size() + 4);
    const std::size_t separator = path.rfind(kListSeparator);
    if (separator != std::string_view::npos) path.remove_prefix(separator + 1);
    return std::string(path);
}

}  // namespace korvex
