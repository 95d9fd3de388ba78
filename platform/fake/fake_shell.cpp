#include "platform/fake/fake_shell.h"

#include "platform/text.h"

namespace korvex {

bool FakeShell::fails(std::string_view path) const {
    // A folder holding a failing item fails whole and keeps everything, as the fake's
    // simplest stand-in for a shell that stops at the item in use.
    for (const auto& f : failing)
        if (EqualsNoCase(f, path) || (f.size() > path.size() && StartsWithNoCase(f, path) && f[path.size()] == '\\'))
            return true;
    return false;
}

bool FakeShell::isRefused(std::string_view path) {
    for (const auto& r : refused)
        if (EqualsNoCase(r, path)) {
            refusals_.push_back({std::string(path), "refused in a test"});
            return true;
        }
    if (std::string why = guard.check(path); !why.empty()) {
        refusals_.push_back({std::string(path), std::move(why)});
        return true;
    }
    return false;
}

std::uint64_t FakeShell::sizeOf(const std::string& path) {
    FileInfo info = files_.info(path);
    if (!info.isFolder) return info.size;
    std::uint64_t total = 0;
    for (const auto& p : files_.tree(path))
        if (p.empty() || p.back() != '\\') total += files_.info(p).size;
    return total;
}

int FakeShell::fileOperation(FileOperation& op, Prompt& prompt) {
    operations.push_back(op);
    std::vector<std::string> items;
    for (const auto& p : op.from)
        if (!p.empty()) items.push_back(p);
    if (!(op.fFlags & FOF_NOCONFIRMATION) && !items.empty()) {
        Message m{Icon::Question, Buttons::YesNo, 1, op.wFunc == FO_MOVE ? "Confirm Multiple File Move" : "Confirm File Delete",
                  "Are you sure you want to " + std::string(op.wFunc == FO_MOVE ? "move" : "delete") + " these " +
                      std::to_string(items.size()) + " items?"};
        if (prompt.messageBox(m) != Answer::Yes) {
            op.fAnyOperationsAborted = true;
            return 0x4c7;  // ERROR_CANCELLED
        }
    }
    bool allDone = true;
    for (const auto& path : items) {
        if (isRefused(path)) {
            allDone = false;
            continue;
        }
        if (!files_.exists(path) || fails(path)) {
            allDone = false;
            continue;
        }
        if (op.wFunc == FO_MOVE) {
            files_.createFolder(op.to);
            std::string dest = op.to;
            if (dest.empty() || dest.back() != '\\') dest += '\\';
            std::string name = path.substr(path.find_last_of('\\') + 1);
            if (files_.exists(dest + name)) files_.erase(dest + name);
            if (!files_.relocate(path, dest + name)) allDone = false;
        } else {
            std::uint64_t bytes = sizeOf(path);
            if (!files_.erase(path)) {
                allDone = false;
                continue;
            }
            if (op.fFlags & FOF_ALLOWUNDO) trash.push_back({path, bytes});
        }
    }
    return allDone ? 0 : 0x402;  // a generic failure code
}

bool FakeShell::deleteAtRestart(std::string_view path) {
    if (isRefused(path) || !scheduleSucceeds) return false;
    scheduled.emplace_back(path);
    return true;
}

bool FakeShell::packAndDelete(const std::vector<std::string>& paths, std::string_view archive, Prompt&) {
    archives.emplace_back(archive);
    // Refused items stay where they are and make the result false; the rest is packed.
    std::vector<std::string> items;
    bool anyRefused = false;
    for (const auto& p : paths) {
        if (p.empty()) continue;
        if (isRefused(p)) {
            anyRefused = true;
        } else {
            items.push_back(p);
        }
    }
    for (const auto& p : items)
        if (!files_.exists(p) || fails(p)) return false;
    if (items.empty()) return !anyRefused;
    files_.put(archive, "PK");
    for (const auto& p : items) files_.erase(p);
    return !anyRefused;
}

RecycleBinContents FakeShell::recycleBinContents() {
    RecycleBinContents c;
    for (const auto& e : trash) {
        ++c.items;
        c.bytes += e.bytes;
    }
    return c;
}

bool FakeShell::emptyRecycleBin() {
    trash.clear();
    return true;
}

std::vector<Refusal> FakeShell::takeRefusals() {
    std::vector<Refusal> r;
    r.swap(refusals_);
    return r;
}

}  // namespace korvex
