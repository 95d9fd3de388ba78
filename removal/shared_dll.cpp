#include "removal/shared_dll.h"

#include "platform/text.h"
#include "settings/settings_keys.h"

namespace korvex {

std::string SupportFileList() {
    std::string list;
    for (std::string_view name : {settings::kProgramFile, settings::kHelpFile, settings::kIconFile,
                                  settings::kAnimationFile, settings::kSchedulerProgram}) {
        if (!list.empty()) list += '^';
        list += name;
    }
    return list;
}

bool SharedDllInUse(RemovalContext& c, std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!name.empty() && ContainsNoCase(SupportFileList(), name)) return false;
    const HKEY key = c.registry.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
    if (!key) return false;
    bool used = false;
    std::string valueName, data;
    std::uint32_t type = 0;
    for (std::uint32_t index = 0; !used; ++index) {
        valueName.clear();
        data.clear();
        if (c.registry.registry().enumValue(key, index, &valueName, &type, &data) != ERROR_SUCCESS) break;
        const std::string count =
            ValueToText(reinterpret_cast<const unsigned char*>(data.data()), data.size(), type);
        used = ContainsNoCase(valueName, path) && count > "1";
    }
    c.registry.CloseKey(key);
    return used;
}

void AskSharedDll(RemovalContext& c, InUseDll& prompt, const std::string& path, std::vector<std::string>& list) {
    const bool library = path.size() > 1 && (FindNoCase(path, ".dll", 1) != std::string::npos ||
                                             FindNoCase(path, ".ocx", 1) != std::string::npos);
    if (prompt.DeleteAllDlls || !library || !SharedDllInUse(c, path)) {
        list.push_back(path);
        return;
    }
    prompt.InUseDllPath = path;
    prompt.DeleteThisDll = false;
    if (prompt.show) prompt.show(prompt);
    if (prompt.DeleteThisDll) {
        list.push_back(path);
        prompt.DeleteThisDll = false;
    }
}

}  // namespace korvex
