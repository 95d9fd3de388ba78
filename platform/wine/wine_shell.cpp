// Confirmation, refusals, progress and errors of the shell's file operations, and the
// per-item work: to the Trash, deleted for good, or moved.
#include "platform/wine/wine_shell.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "platform/text.h"
#include "platform/wine/wine_files.h"
#include "platform/wine/wine_system.h"

namespace korvex::wine {

namespace {

constexpr int kCancelled = 0x4C7;  // ERROR_CANCELLED
constexpr int kFailed = 0x402;     // the shell's "unknown error"

std::string baseName(std::string_view windowsPath) {
    const std::size_t slash = windowsPath.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? windowsPath : windowsPath.substr(slash + 1));
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string errorText(int err) {
    switch (err) {
    case EACCES:
    case EPERM: return "permission was denied";
    case EROFS: return "the disk is read-only";
    case ENOSPC: return "the disk is full";
    case EBUSY: return "it is in use";
    case ENAMETOOLONG: return "its path is too long or its folders too deep";
    case ENOTSUP: return "it holds a device, pipe or socket that cannot be moved";
    default: return std::strerror(err);
    }
}

std::string treeError(const TreeResult& r) {
    if (r.inUse) return "a file in it is being used by another program";
    if (r.otherFileSystem) return "a folder in it is another disk mounted there";
    return errorText(r.error ? r.error : EIO);
}

}  // namespace

bool MakeHostFolders(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    if (!MakeHostFolders(path.substr(0, slash))) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

// One operation's shared state: the prompt, the flags, what is held open, progress.
struct WineShell::Run {
    Prompt& prompt;
    FileOperation& op;
    HeldFiles held;
    bool cancelled = false;
    std::uint64_t sinceYield = 0;
    TreeTick tick;
    explicit Run(Prompt& p, FileOperation& o) : prompt(p), op(o) {
        tick = [this](std::uint64_t) {
            if (++sinceYield >= 1024) {
                sinceYield = 0;
                prompt.yield();
            }
        };
    }
};

WineShell::WineShell(std::string prefixDir, WineFiles& files, WineSystem& system, Registry& registry)
    : prefix_(std::move(prefixDir)),
      files_(files),
      system_(system),
      registry_(registry),
      guard_(MachineLayout::Of(system)),
      bounds_(prefix_, files, system) {
    guard_.protect(system.programFolder());
}

void WineShell::protectFolder(std::string_view windowsPath) { guard_.protect(windowsPath); }

std::vector<Refusal> WineShell::takeRefusals() {
    std::vector<Refusal> r;
    r.swap(refusals_);
    return r;
}

void WineShell::refuse(std::string_view path, std::string why) { refusals_.push_back({std::string(path), std::move(why)}); }

WineShell::Found WineShell::locate(std::string_view windowsPath, Item& item) {
    item.windows = std::string(windowsPath);
    if (std::string why = guard_.check(windowsPath); !why.empty()) {
        refuse(windowsPath, std::move(why));
        return Found::Refused;
    }
    item.lexical = files_.hostPath(RemovalGuard::Normal(windowsPath));
    const std::size_t slash = item.lexical.find_last_of('/');
    if (item.lexical.empty() || slash == std::string::npos || slash + 1 == item.lexical.size()) {
        refuse(windowsPath, "not on one of this machine's drives");
        return Found::Refused;
    }
    item.name = item.lexical.substr(slash + 1);
    item.realParent = RealHostPath(slash == 0 ? "/" : item.lexical.substr(0, slash));
    if (item.realParent.empty()) return Found::Missing;
    if (std::string why = bounds_.check(item.realParent, item.name, item.lexical); !why.empty()) {
        refuse(windowsPath, std::move(why));
        return Found::Refused;
    }
    item.parent = OpenFolderNoLinks(item.realParent);
    if (!item.parent || ::fstatat(item.parent.get(), item.name.c_str(), &item.st, AT_SYMLINK_NOFOLLOW) != 0)
        return Found::Missing;
    return Found::Yes;
}

bool WineShell::confirm(const FileOperation& op, const std::vector<std::string>& items, Prompt& prompt) {
    const bool one = items.size() == 1;
    const std::string what = one ? quoted(baseName(items[0])) : "these " + std::to_string(items.size()) + " items";
    Message m{Icon::Question, Buttons::YesNo, 1, "", ""};
    if (op.wFunc == FO_MOVE) {
        m.title = one ? "Confirm File Move" : "Confirm Multiple File Move";
        m.text = "Are you sure you want to move " + what + " to " + quoted(op.to) + "?";
    } else if (op.fFlags & FOF_ALLOWUNDO) {
        m.title = one ? "Confirm File Delete" : "Confirm Multiple File Delete";
        m.text = "Are you sure you want to send " + what + " to the Recycle Bin?";
    } else {
        m.icon = Icon::Exclamation;
        m.title = one ? "Confirm File Delete" : "Confirm Multiple File Delete";
        m.text = "Are you sure you want to delete " + what + " for good? " +
                 (one ? "It does not go to the Recycle Bin." : "They do not go to the Recycle Bin.");
    }
    return prompt.messageBox(m) == Answer::Yes;
}

void WineShell::fail(Run& run, const std::string& path, const std::string& why) {
    if (run.op.fFlags & FOF_NOERRORUI) return;
    const bool move = run.op.wFunc == FO_MOVE;
    Message m{Icon::Exclamation, Buttons::OK, 1, move ? "Error Moving File or Folder" : "Error Deleting File or Folder",
              std::string(move ? "Cannot move " : "Cannot delete ") + quoted(path) + ": " + why + "."};
    run.prompt.messageBox(m);
}

int WineShell::fileOperation(FileOperation& op, Prompt& prompt) {
    op.fAnyOperationsAborted = false;
    std::vector<std::string> items;
    for (const std::string& p : op.from)
        if (!p.empty()) items.push_back(p);
    if (items.empty()) return 0;
    if (op.wFunc != FO_DELETE && op.wFunc != FO_MOVE) return kFailed;
    if (!(op.fFlags & FOF_NOCONFIRMATION) && !confirm(op, items, prompt)) {
        op.fAnyOperationsAborted = true;
        return kCancelled;
    }
    Run run(prompt, op);
    run.held.take();
    bounds_.refresh();

    Fd destination;
    std::string realDestination;
    if (op.wFunc == FO_MOVE) {
        const std::string to = RemovalGuard::Normal(op.to);
        const std::string host = files_.hostPath(to);
        if (!host.empty()) MakeHostFolders(host);
        realDestination = RealHostPath(host);
        destination = OpenFolderNoLinks(realDestination);
        if (!destination) {
            fail(run, op.to, "the destination folder cannot be made");
            return kFailed;
        }
    }
    bool allDone = true;
    prompt.busy(true);
    for (std::size_t i = 0; i < items.size() && !run.cancelled; ++i) {
        const std::string& path = items[i];
        prompt.status((op.wFunc == FO_MOVE ? "Moving " : "Deleting ") + path);
        prompt.progress(i, items.size());
        prompt.yield();
        Item item;
        const Found found = locate(path, item);
        if (found == Found::Refused) {
            allDone = false;
            continue;
        }
        if (found == Found::Missing) {
            fail(run, path, "it cannot be found");
            allDone = false;
            continue;
        }
        const bool done = op.wFunc == FO_MOVE ? moveOne(item, destination.get(), op.to, realDestination, run)
                                              : deleteOne(item, (op.fFlags & FOF_ALLOWUNDO) != 0, run);
        if (!done) allDone = false;
    }
    prompt.progress(items.size(), items.size());
    prompt.status("");
    prompt.busy(false);
    if (run.cancelled) return kCancelled;
    return allDone ? 0 : kFailed;
}

bool WineShell::deleteOne(Item& item, bool toTrash, Run& run) {
    const bool folder = S_ISDIR(item.st.st_mode);
    if ((!folder && S_ISREG(item.st.st_mode) && run.held.holds(item.st.st_dev, item.st.st_ino)) ||
        (folder && run.held.holdsUnder(item.real()))) {
        fail(run, item.windows, "it is being used by another program");
        return false;
    }
    if (toTrash) {
        const std::string why = Trash::Send(item.parent.get(), item.name, item.real(), item.st.st_dev);
        if (why.empty()) return true;
        fail(run, item.windows, "it cannot be sent to the Recycle Bin: " + why);
        return false;
    }
    const TreeResult r = RemoveTreeAt(item.parent.get(), item.name.c_str(), &run.held, run.tick);
    if (!r.done) fail(run, item.windows, treeError(r));
    return r.done;
}

bool WineShell::moveOne(Item& item, int destination, const std::string& destinationWindows,
                        const std::string& realDestination, Run& run) {
    const std::string real = item.real();
    if (HostUnder(realDestination, real)) {
        fail(run, item.windows, "the destination folder is inside it");
        return false;
    }
    const bool folder = S_ISDIR(item.st.st_mode);
    if ((!folder && S_ISREG(item.st.st_mode) && run.held.holds(item.st.st_dev, item.st.st_ino)) ||
        (folder && run.held.holdsUnder(real))) {
        fail(run, item.windows, "it is being used by another program");
        return false;
    }
    const char* name = item.name.c_str();
    // A clash: the shell's question, unless the caller said to replace without asking.
    std::string aside;
    struct stat there {};
    if (::fstatat(destination, name, &there, AT_SYMLINK_NOFOLLOW) == 0) {
        if (there.st_dev == item.st.st_dev && there.st_ino == item.st.st_ino) return true;  // already there
        std::string target = RemovalGuard::Normal(destinationWindows);
        target += (target.back() == '\\' ? "" : "\\") + baseName(item.windows);
        if (!(run.op.fFlags & FOF_NOCONFIRMATION)) {
            Message m{Icon::Question, Buttons::YesNoCancel, 1, "Confirm File Replace",
                      "The folder " + quoted(destinationWindows) + " already holds an item named " +
                          quoted(baseName(item.windows)) + ".\n\nReplace it with the one being moved?"};
            const Answer a = run.prompt.messageBox(m);
            if (a != Answer::Yes) {
                run.op.fAnyOperationsAborted = true;
                run.cancelled = a == Answer::Cancel;
                return false;
            }
        }
        Item old;
        if (locate(target, old) != Found::Yes) return false;  // refused: the old one stays
        aside = ".korvex-replaced-" + std::to_string(::getpid()) + "-" + item.name;
        if (::renameat2(destination, name, destination, aside.c_str(), RENAME_NOREPLACE) != 0) {
            fail(run, item.windows, "the item it would replace cannot be moved aside (" + errorText(errno) + ")");
            return false;
        }
    }
    const auto restore = [&] {
        if (!aside.empty()) ::renameat2(destination, aside.c_str(), destination, name, RENAME_NOREPLACE);
    };
    bool moved = ::renameat2(item.parent.get(), name, destination, name, RENAME_NOREPLACE) == 0;
    if (!moved && errno != EXDEV) {
        fail(run, item.windows, errorText(errno));
        restore();
        return false;
    }
    if (!moved) {
        // Another file system: a complete copy under a temporary name, then the source goes.
        const std::string partial = ".korvex-partial-" + std::to_string(::getpid()) + "-" + item.name;
        const TreeResult copied = CopyTreeAt(item.parent.get(), name, destination, partial.c_str(), run.tick);
        if (!copied.done || ::renameat2(destination, partial.c_str(), destination, name, RENAME_NOREPLACE) != 0) {
            RemoveTreeAt(destination, partial.c_str(), nullptr, {});
            fail(run, item.windows, copied.done ? errorText(errno) : treeError(copied));
            restore();
            return false;
        }
        const TreeResult removed = RemoveTreeAt(item.parent.get(), name, &run.held, run.tick);
        if (!removed.done) {
            fail(run, item.windows, "it was copied, but the original cannot be removed: " + treeError(removed));
            if (!aside.empty()) RemoveTreeAt(destination, aside.c_str(), nullptr, {});
            return false;
        }
    }
    if (!aside.empty()) RemoveTreeAt(destination, aside.c_str(), nullptr, {});
    return true;
}

}  // namespace korvex::wine
