#include "removal/remove_files.h"

#include <charconv>

#include "platform/folders.h"
#include "platform/text.h"
#include "settings/settings_keys.h"

namespace korvex {

namespace {

bool isNtFamily(System& system) { return system.platformId() == VER_PLATFORM_WIN32_NT; }

void takeRefusals(RemovalContext& c, RemoveReport& report) {
    for (Refusal& r : c.services.shell.takeRefusals()) report.refusals.push_back(std::move(r));
}

bool refused(const RemoveReport& report, std::string_view path) {
    for (const Refusal& r : report.refusals)
        if (EqualsNoCase(r.path, path)) return true;
    return false;
}

}  // namespace

DeleteMode ReadDeleteMode(RegistryAccess& registry, bool* generalOpened) {
    const HKEY key = registry.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (generalOpened) *generalOpened = key != 0;
    if (!key) return DeleteMode::RecycleBin;
    const std::string text = registry.QueryValue(key, "DeleteMode");
    registry.CloseKey(key);
    int value = 0;
    const char* begin = text.data();
    while (begin != text.data() + text.size() && *begin == ' ') ++begin;
    std::from_chars(begin, text.data() + text.size(), value);
    if (value < 0 || value > 3) return DeleteMode::RecycleBin;
    return static_cast<DeleteMode>(value);
}

bool RemoveFiles(RemovalContext& c, const std::vector<std::string>& list, std::uint16_t flags, RemovalMode mode,
                 RemoveReport* report) {
    RemoveReport local;
    RemoveReport& out = report ? *report : local;
    bool generalOpened = false;
    const DeleteMode deleteMode = ReadDeleteMode(c.registry, &generalOpened);
    Shell& shell = c.services.shell;

    FileOperation op;
    op.wFunc = FO_DELETE;
    op.from = list;
    if (mode != RemovalMode::Permanent && deleteMode == DeleteMode::RecycleBin) {
        op.fFlags = flags ? flags : static_cast<std::uint16_t>(FOF_MULTIDESTFILES | FOF_ALLOWUNDO);
        if (!generalOpened) op.fFlags |= FOF_ALLOWUNDO;
    } else if (mode == RemovalMode::Permanent || deleteMode == DeleteMode::DeleteFromDisk) {
        op.fFlags = flags ? flags : FOF_MULTIDESTFILES;
    } else if (deleteMode == DeleteMode::MoveToDataFolder) {
        MoveFiles(c, list, c.dataFolder, 0);
        return true;
    } else {
        // Packing is all or nothing: when the archive cannot be made and read back,
        // every item stays, and nothing is deleted one by one behind the user's back.
        std::vector<std::string> items;
        for (const std::string& p : list)
            if (!p.empty()) items.push_back(p);
        if (items.empty()) return true;
        c.services.files.createFolder(c.dataFolder);
        out.archive = DatedFileName(c.services.files, c.dataFolder, "Removed files", c.services.system.now(), ".zip");
        out.archived = shell.packAndDelete(items, out.archive, c.prompt);
        takeRefusals(c, out);
        return out.archived;
    }

    const bool nt = isNtFamily(c.services.system);
    if (nt) op.fFlags |= FOF_NOERRORUI;
    const int status = shell.fileOperation(op, c.prompt);
    // A refused item is never tried again piece by piece: clearing the inside of a
    // folder the shell would not delete whole is exactly what must not happen.
    takeRefusals(c, out);
    if (status == 0 || op.fAnyOperationsAborted) return true;

    op.fFlags |= FOF_NOCONFIRMATION;
    bool scheduled = false;
    if (nt) {
        for (const std::string& path : list) {
            c.prompt.yield();
            if (path.empty() || !c.services.files.info(path).exists || refused(out, path)) continue;
            FileOperation one;
            one.wFunc = op.wFunc;
            one.from = {path};
            one.fFlags = op.fFlags;
            const int retry = shell.fileOperation(one, c.prompt);
            takeRefusals(c, out);
            if (retry == 0 || refused(out, path)) continue;
            if (IsExistingFile(c.services.files, path)) {
                if (shell.deleteAtRestart(path)) out.scheduled.push_back(path);
            } else {
                std::string folder = path;
                if (folder.back() != '\\') folder += '\\';
                RemoveFolderContents(c, folder, one, &out);
            }
            scheduled = true;
        }
    }
    if (scheduled && mode != RemovalMode::Quiet)
        c.prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Korvex!", std::string(kRestartMessage)});
    return false;
}

void RemoveFolderContents(RemovalContext& c, const std::string& folder, const FileOperation& record,
                          RemoveReport* report) {
    RemoveReport local;
    RemoveReport* const out = report ? report : &local;
    struct Entry {
        std::string name;
        bool isFolder;
    };
    std::vector<Entry> entries;
    // Links to folders are listed as files: they are removed as links, never entered.
    // A linked profile folder (Desktop...) is listed as a folder; the shell refuses it
    // whole, so only what is inside it can go.
    c.services.files.listFolder(folder, [&](std::string_view name, bool isFolder) {
        entries.push_back({std::string(name), isFolder});
    });
    std::vector<std::string> stayed;
    for (const Entry& e : entries) {
        c.prompt.yield();
        FileOperation op = record;
        op.from = {folder + e.name};
        op.fAnyOperationsAborted = false;
        const int status = c.services.shell.fileOperation(op, c.prompt);
        takeRefusals(c, *out);
        if (status == 0 || refused(*out, op.from[0])) continue;
        if (e.isFolder) {
            stayed.push_back(e.name);
        } else if (c.services.shell.deleteAtRestart(folder + e.name)) {
            out->scheduled.push_back(folder + e.name);
        }
    }
    for (const std::string& name : stayed) RemoveFolderContents(c, folder + name + "\\", record, out);
}

void MoveFiles(RemovalContext& c, const std::vector<std::string>& list, std::string_view destination,
               std::uint16_t flags) {
    if (list.empty() || IsFileInUse(c.services.files, list.front())) return;
    FileOperation op;
    op.wFunc = FO_MOVE;
    op.from = list;
    op.to = std::string(destination);
    op.fFlags = flags ? flags : FOF_MULTIDESTFILES;
    c.services.shell.fileOperation(op, c.prompt);
}

void RemoveLine(RemovalContext& c, std::string_view path, std::string_view added, std::string_view replaced) {
    FileSystem& files = c.services.files;
    std::string text;
    if (!files.readFile(path, text)) return;
    std::string out;
    out.reserve(text.size());
    bool changed = false;
    for (const std::string& line : SplitLines(text)) {
        if (line == added) {
            changed = true;
            if (replaced != " ") {
                out += replaced;
                out += "\r\n";
            }
            continue;
        }
        out += line;
        out += "\r\n";
    }
    if (!changed) return;
    if (!files.replaceFile(path, out)) return;
    files.setAttributes(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

}  // namespace korvex
