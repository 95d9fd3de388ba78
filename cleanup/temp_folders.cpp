#include "cleanup/temp_folders.h"

#include "platform/folders.h"
#include "platform/text.h"

namespace korvex::cleanup {

// Chromium-based browsers keep three caches in each profile; Firefox-based ones one.
const std::vector<BrowserCache> kBrowserCaches = {
    {"Firefox", "Mozilla\\Firefox\\Profiles\\*\\cache2"},
    {"Pale Moon", "Moonchild Productions\\Pale Moon\\Profiles\\*\\cache2"},
    {"Waterfox", "Waterfox\\Profiles\\*\\cache2"},
    {"Google Chrome", "Google\\Chrome\\User Data\\*\\Cache"},
    {"Google Chrome", "Google\\Chrome\\User Data\\*\\Code Cache"},
    {"Google Chrome", "Google\\Chrome\\User Data\\*\\GPUCache"},
    {"Chromium", "Chromium\\User Data\\*\\Cache"},
    {"Chromium", "Chromium\\User Data\\*\\Code Cache"},
    {"Chromium", "Chromium\\User Data\\*\\GPUCache"},
    {"Microsoft Edge", "Microsoft\\Edge\\User Data\\*\\Cache"},
    {"Microsoft Edge", "Microsoft\\Edge\\User Data\\*\\Code Cache"},
    {"Microsoft Edge", "Microsoft\\Edge\\User Data\\*\\GPUCache"},
    {"Brave", "BraveSoftware\\Brave-Browser\\User Data\\*\\Cache"},
    {"Brave", "BraveSoftware\\Brave-Browser\\User Data\\*\\Code Cache"},
    {"Brave", "BraveSoftware\\Brave-Browser\\User Data\\*\\GPUCache"},
    {"Vivaldi", "Vivaldi\\User Data\\*\\Cache"},
    {"Vivaldi", "Vivaldi\\User Data\\*\\Code Cache"},
    {"Vivaldi", "Vivaldi\\User Data\\*\\GPUCache"},
    {"Opera", "Opera Software\\Opera Stable\\Cache"},
    {"Opera", "Opera Software\\Opera Stable\\Code Cache"},
    {"Opera", "Opera Software\\Opera Stable\\GPUCache"},
    {"Opera GX", "Opera Software\\Opera GX Stable\\Cache"},
    {"Opera GX", "Opera Software\\Opera GX Stable\\Code Cache"},
    {"Opera GX", "Opera Software\\Opera GX Stable\\GPUCache"},
    {"Steam (its built-in browser)", "Steam\\htmlcache\\Cache"},
    {"Steam (its built-in browser)", "Steam\\htmlcache\\Code Cache"},
    {"Steam (its built-in browser)", "Steam\\htmlcache\\GPUCache"},
};

namespace {

bool isFolder(FileSystem& files, const std::string& path) {
    const FileInfo info = files.info(path);
    return info.exists && info.isFolder;
}

// Adds base + rest (with "*" standing for each sub folder) when it is a folder.
void expand(FileSystem& files, const std::string& base, std::string_view rest, std::vector<std::string>& out) {
    if (rest.empty()) {
        if (isFolder(files, base)) out.push_back(base);
        return;
    }
    const std::size_t cut = rest.find('\\');
    const std::string_view element = rest.substr(0, cut);
    const std::string_view after = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (element != "*") {
        expand(files, base + std::string(element) + "\\", after, out);
        return;
    }
    std::vector<std::string> subs;
    files.listFolder(base, [&subs](std::string_view name, bool folder) {
        if (folder) subs.emplace_back(name);
    });
    for (const std::string& sub : subs) expand(files, base + sub + "\\", after, out);
}

}  // namespace

std::string NetscapeCacheFolders(FileSystem& files, System& system, Prompt& prompt) {
    const std::string programFiles = ProgramFilesFolder(system);
    if (programFiles.empty()) return {};
    const std::string base = programFiles + "Netscape\\Users\\";
    std::string result;
    files.listFolder(base, [&](std::string_view name, bool folder) {
        if (folder) (((result += base) += name) += "\\cache\\") += kListSeparator;
        prompt.yield();
    });
    return result;
}

std::string LocalAppDataFolder(System& system) {
    std::string appData = AppDataFolder(system);
    if (EndsWithNoCase(appData, "\\AppData\\Roaming\\"))
        return appData.substr(0, appData.size() - 8) + "Local\\";
    if (EndsWithNoCase(appData, "\\Application Data\\"))
        return appData.substr(0, appData.size() - 17) + "Local Settings\\Application Data\\";
    return {};
}

std::vector<std::string> BrowserCacheFolders(FileSystem& files, System& system) {
    std::vector<std::string> found;
    const std::string local = LocalAppDataFolder(system);
    if (local.empty()) return found;
    for (const BrowserCache& cache : kBrowserCaches) expand(files, local, cache.folder, found);
    return found;
}

bool EmptyRecycleBinOfMachine(Shell& shell, Prompt& prompt, char decimalSeparator) {
    const RecycleBinContents contents = shell.recycleBinContents();
    if (contents.items == 0) return true;
    Message ask;
    ask.icon = Icon::Question;
    ask.buttons = Buttons::YesNo;
    ask.defaultButton = 2;
    ask.title = "Confirm Recycle Bin delete";
    const std::string items = contents.items == 1 ? "1 item" : std::to_string(contents.items) + " items";
    ask.text = "The Recycle Bin holds " + items + " from this machine, taking " +
               FormatSize(static_cast<double>(contents.bytes), true, decimalSeparator) +
               ". Are you sure you want to delete " + (contents.items == 1 ? "it" : "them") +
               " permanently?\r\n\r\nItems that other folders and machines put in the Recycle Bin stay there.";
    if (prompt.messageBox(ask) != Answer::Yes) return false;
    prompt.busy(true);
    const bool emptied = shell.emptyRecycleBin();
    prompt.busy(false);
    return emptied;
}

void ScanTempFolders(Services& services, CleanUpScan& scan, const CleanUpChoices& choices,
                     std::string_view tempFolder) {
    const JunkPattern everything(kMatchEverything);
    auto walk = [&](std::string_view folder) {
        if (!folder.empty()) WalkCleanUpFolder(scan, folder, everything, {});  // "" would mean "\"
    };
    if (choices.tempFolder) walk(tempFolder);
    if (choices.cacheFolder) {
        walk(InternetCacheFolder(services.system));
        for (const std::string& folder : SplitList(NetscapeCacheFolders(services.files, services.system, scan.prompt)))
            walk(folder);
        for (const std::string& folder : BrowserCacheFolders(services.files, services.system)) walk(folder);
    }
    if (choices.recycleBin) {
        EmptyRecycleBinOfMachine(services.shell, scan.prompt, services.system.decimalSeparator());
        scan.prompt.yield();
    }
    for (const std::string& folder : choices.alsoScanFolders)
        if (!folder.empty()) walk(folder + "\\");
}

}  // namespace korvex::cleanup
