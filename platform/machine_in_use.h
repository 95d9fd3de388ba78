// The check Update database and Find changes make before they start: a machine that
// Wine is running programs in has registry files that are out of date, so a scan of it
// would miss what was just installed and could not be recorded safely. Responsible for
// the one message and the user's Retry/Cancel decision; not for finding out whether
// Wine runs (System::machineInUse does that).
#pragma once

#include <string>

#include "platform/prompt.h"
#include "platform/system.h"

namespace korvex {

// The message shown while the machine is in use; reason is System::machineInUse().
std::string MachineInUseText(const std::string& reason);

// True when the machine is free. Otherwise shows the message (Retry/Cancel) and asks
// again after each Retry; false once the user cancels.
bool WaitForFreeMachine(System& system, Prompt& prompt);

}  // namespace korvex
