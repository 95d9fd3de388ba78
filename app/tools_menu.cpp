#include "app/tools_menu.h"

#include "platform/folders.h"

namespace korvex {

const ToolItem& ToolItemOf(Tool tool) {
    for (const ToolItem& item : kToolItems)
        if (item.tool == tool) return item;
    return kToolItems[0];
}

std::string ToolProgramPath(System& system, Tool tool) {
    const ToolItem& item = ToolItemOf(tool);
    const std::string folder = item.inSystemFolder ? SystemFolder(system) : WindowsFolder(system);
    if (folder.empty()) return {};
    return folder + std::string(item.program);
}

bool ToolProgramExists(Services& services, Tool tool) {
    const std::string path = ToolProgramPath(services.system, tool);
    if (path.empty()) return false;
    return IsExistingFile(services.files, path);
}

std::string ToolCommandLine(System& system, Tool tool) {
    std::string line = ToolProgramPath(system, tool);
    if (tool == Tool::SysFileChecker && system.platformId() == VER_PLATFORM_WIN32_NT) line += " /scannow";
    return line;
}

}  // namespace korvex
