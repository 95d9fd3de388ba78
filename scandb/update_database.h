// Update database: the snapshot that Find changes later compares against. Walks each
// chosen drive into its file list, copies the four system text files and dumps both
// registry hives, writing every list into a work file in the Windows drive root and
// moving it into the data folder only once it is complete. Responsible for the order
// of these steps and for leaving the old scan files untouched when stopped; not for
// the window that shows it (frmUpdateDBase) nor for choosing the drives.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/services.h"

namespace korvex::scandb {

enum class UpdateOutcome {
    Completed,  // every drive, the system files and both key lists are in place
    Stopped,    // the stop flag ended the run; work files deleted, later steps not run
    MachineInUse,  // Wine runs programs in the machine and the user cancelled; nothing done
    Failed,     // a scan database file could not be written; the user was told which and why
};

struct UpdateRequest {
    std::string dataFolder;              // ends in "\"
    std::string drives;                  // "C:" or "C:,D:", as the drive list gives them
    std::function<void()> driveDone;     // after each drive's file list is in place (may be empty)
};

// Runs the whole update. prompt.status shows each folder being read and the phase
// texts "Updating System Files database..." and "Updating Registry Information
// database..."; prompt.yield is called at least once per folder and per key, and stop
// is tested after each. Sounds the beep when complete. A data folder that cannot be
// written ends the run before it starts; a file that cannot be written later ends it
// there. Either way one message names the file or folder and the reason, no work file
// stays in the drive root, and the outcome is Failed.
UpdateOutcome UpdateDatabase(Services& services, Prompt& prompt, const UpdateRequest& request,
                             const bool& stop);

}  // namespace korvex::scandb
