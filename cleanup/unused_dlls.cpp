#include "cleanup/unused_dlls.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/folders.h"
#include "platform/text.h"
#include "settings/support_files.h"

namespace korvex::cleanup {
namespace {

struct SharedFile {
    std::string path;
    bool unused = true;  // every view that names it counts exactly "0"
};

// Where a path of the 32-bit view lies: system32 there is the 32-bit system folder.
std::string realPath32(std::string_view path, const std::string& system32, const std::string& syswow64) {
    if (syswow64.empty() || system32.empty() || !StartsWithNoCase(path, system32)) return std::string(path);
    return syswow64 + std::string(path.substr(system32.size()));
}

// Reads one view's values into files; a path met before keeps its place.
void readView(Registry& registry, HKEY key, bool view32, const std::string& system32, const std::string& syswow64,
              std::vector<SharedFile>& files, std::unordered_map<std::string, std::size_t>& index) {
    std::string name, data;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; registry.enumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i) {
        const std::string text = ValueToText(reinterpret_cast<const unsigned char*>(data.data()), data.size(), type);
        std::string path = view32 ? realPath32(name, system32, syswow64) : name;
        const auto [at, added] = index.try_emplace(ToLower(path), files.size());
        if (added) files.push_back({std::move(path), true});
        if (text != "0") files[at->second].unused = false;
    }
}

// Adds the row of a shared file that still exists and is not one of Korvex's own.
void listIfPresent(CleanUpScan& scan, const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    CleanUpRow row;
    row.folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    row.name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (IsSupportFileName(row.name)) return;
    const FileInfo info = scan.files.info(path);
    if (!info.exists || info.isFolder) return;
    row.bytes = info.size;
    ++scan.totals.files;
    scan.totals.bytes += static_cast<double>(info.size);
    scan.onRow(row);
}

}  // namespace

void ScanUnusedDlls(Services& services, RegistryAccess& registry, CleanUpScan& scan) {
    scan.prompt.status("Scanning for unused DLL files. Please wait...");

    const std::string system32 = SystemFolder(services.system);
    std::string syswow64 = WindowsFolder(services.system);
    if (!syswow64.empty()) syswow64 += "syswow64\\";
    if (syswow64.empty() || !services.files.info(syswow64).isFolder) syswow64.clear();

    std::vector<SharedFile> files;
    std::unordered_map<std::string, std::size_t> index;
    for (const bool view32 : {false, true}) {
        const HKEY key = registry.OpenKey(HKEY_LOCAL_MACHINE, view32 ? kSharedDllsKey32 : kSharedDllsKey);
        if (key == 0) continue;
        readView(registry.registry(), key, view32, system32, syswow64, files, index);
        registry.CloseKey(key);
    }

    // The counts are read whole first (a file is unused only when no view uses it);
    // the files are then looked at one by one, and Stop keeps the rows found so far.
    for (const SharedFile& file : files) {
        if (file.unused) listIfPresent(scan, file.path);
        scan.prompt.yield();
        if (scan.stop) break;
    }
}

}  // namespace korvex::cleanup
