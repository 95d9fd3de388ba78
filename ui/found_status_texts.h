// Status-bar help texts of the found-changes window, by control name.
#pragma once

#include "ui/status_texts.h"

namespace korvex {

inline constexpr ControlStatusText kFoundChangesStatusTexts[] = {
    {"cmdOk", " Return to the main screen"},
    {"cmdSelectAll", " Select all the new additions made to your system"},
    {"cmdSave", " Save the selected change(s) for future deletion"},
    {"cmdDelete", " Delete all the selected changes made"},
    {"cmdMove", " Move the selected files to a different folder"},
    {"cmdHelp", " Launch the Korvex! Help file"},
    {"lvwFilesAdded", " Shows you what new files have been added"},
    {"lvwRegAdded", " Shows you what new keys have been added to your registry"},
    {"lvwWinIniLinesAdded", " Shows you what new lines have been added to your Win.ini file"},
    {"lvwSysIniLinesAdded", " Shows you what new lines have been added to your System.ini file"},
    {"lvwAutoexecBatLinesAdded", " Shows you what new lines have been added to your Autoexec.bat files"},
    {"lvwConfigSysLinesAdded", " Shows you what new lines have been added to your Config.sys file"},
    {"tabChangesMade", " Shows you what new files have been added, as well as changes to system files"},
};

}  // namespace korvex
