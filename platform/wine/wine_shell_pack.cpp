// Delete mode "Zip files to default folder": pack, verify, then delete for good.
#include "platform/wine/wine_files.h"
#include "platform/wine/wine_shell.h"
#include "platform/wine/zip_pack.h"

namespace korvex::wine {

bool WineShell::packAndDelete(const std::vector<std::string>& paths, std::string_view archive, Prompt& prompt) {
    bounds_.refresh();
    HeldFiles held;
    held.take();
    bool all = true;
    std::vector<Item> items;
    std::vector<PackItem> pack;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        Item item;
        if (locate(path, item) != Found::Yes) {
            all = false;
            continue;
        }
        const bool folder = S_ISDIR(item.st.st_mode);
        if ((!folder && held.holds(item.st.st_dev, item.st.st_ino)) || (folder && held.holdsUnder(item.real()))) {
            all = false;  // in use: it stays, as a delete of it would fail
            continue;
        }
        std::string entry = RemovalGuard::Normal(path);
        entry.erase(1, 1);  // "C:\x" -> "C\x"
        for (char& c : entry)
            if (c == '\\') c = '/';
        pack.push_back({item.realParent, item.name, entry});
        items.push_back(std::move(item));
    }
    if (items.empty()) return all;

    const std::string target = RemovalGuard::Normal(archive);
    const std::string host = files_.hostPath(target);
    const std::size_t hostSlash = host.find_last_of('/');
    if (hostSlash != std::string::npos && hostSlash > 0) MakeHostFolders(host.substr(0, hostSlash));
    const std::string realFolder = hostSlash == std::string::npos ? std::string() : RealHostPath(host.substr(0, hostSlash));
    std::string why = realFolder.empty() ? "its folder cannot be made" : std::string();
    for (const Item& item : items)
        if (why.empty() && HostUnder(realFolder, item.real())) why = "it would lie inside an item being deleted";
    if (why.empty()) {
        prompt.busy(true);
        prompt.status("Packing into " + target);
        why = PackIntoZip(realFolder + "/" + host.substr(hostSlash + 1), pack, [&prompt](double done) {
            prompt.progress(static_cast<std::uint64_t>(done * 1000), 1000);
            prompt.yield();
        });
        prompt.busy(false);
    }
    if (!why.empty()) {
        prompt.messageBox({Icon::Exclamation, Buttons::OK, 1, "Error Packing Files",
                           "The files could not be packed into \"" + target + "\": " + why + ". Nothing was deleted."});
        return false;
    }
    prompt.status("Deleting the packed files");
    for (Item& item : items)
        if (!RemoveTreeAt(item.parent.get(), item.name.c_str(), &held, {}).done) all = false;
    prompt.status("");
    return all;
}

}  // namespace korvex::wine
