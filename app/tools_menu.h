// The Windows maintenance tools of the Tools menu: which program each item starts,
// whether the machine has it, and the command line that starts it. The menu itself
// (enabling, clicks) is frmMain's.
#pragma once

#include <string>
#include <string_view>

#include "platform/services.h"

namespace korvex {

enum class Tool { Cleanup, SysFileChecker, Defrag, DrvSpace, MaintainWiz };

struct ToolItem {
    Tool tool;
    std::string_view item;     // object name of the menu item
    std::string_view program;  // file name of the program
    bool inSystemFolder;       // System folder, else the Windows folder
};

inline constexpr ToolItem kToolItems[] = {
    {Tool::Defrag, "mnuDefrag", "defrag.exe", false},
    {Tool::Cleanup, "mnuCleanup", "cleanmgr.exe", false},
    {Tool::MaintainWiz, "mnuMaintainWiz", "tuneup.exe", false},
    {Tool::DrvSpace, "mnuDrvSpace", "drvspace.exe", false},
    {Tool::SysFileChecker, "mnuSysFileChecker", "sfc.exe", true},
};

const ToolItem& ToolItemOf(Tool tool);
// Full Windows path of the tool's program ("" when the machine names no such folder).
std::string ToolProgramPath(System& system, Tool tool);
// True when the program exists as a file (hidden, system and read-only ones count).
bool ToolProgramExists(Services& services, Tool tool);
// What to start: the program, and for System File Checker on NT-family systems " /scannow".
std::string ToolCommandLine(System& system, Tool tool);

}  // namespace korvex
