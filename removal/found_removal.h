// The found-changes window's Delete selected and Move selected on its lists: which
// rows go to which removal primitive, in which order, and which rows are taken out
// afterwards. The window supplies the lists as shown and redraws them from the result.
#pragma once

#include <string>

#include "removal/found_lists.h"
#include "removal/removal_context.h"
#include "removal/saved_file.h"
#include "removal/shared_dll.h"

namespace korvex {

// The system text file of a line list (win.ini, system.ini, autoexec.bat, config.sys).
std::string SystemFilePath(System& system, SavedSystemFile which);

// Delete selected. permanent: Shift was held at the button's last mouse-down. The
// lists keep what is still there; the refusals are returned for the window to show.
Refusals DeleteSelected(RemovalContext& c, FoundLists& lists, bool permanent, InUseDll& dll);

// Move selected: the selected files and folders go into a folder the user picks; rows
// whose paths are gone afterwards leave the list.
Refusals MoveSelected(RemovalContext& c, FoundLists& lists);

}  // namespace korvex
