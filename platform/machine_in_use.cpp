#include "platform/machine_in_use.h"

namespace korvex {

std::string MachineInUseText(const std::string& reason) {
    return reason +
           " Wine brings the machine's registry files up to date only when its programs end, so Korvex would "
           "miss what they changed.\n\nClose the machine's Windows programs (or run \"wineserver -k\"), then click "
           "Retry. Click Cancel to stop without scanning.";
}

bool WaitForFreeMachine(System& system, Prompt& prompt) {
    for (;;) {
        const std::string reason = system.machineInUse();
        if (reason.empty()) return true;
        Message message;
        message.icon = Icon::Exclamation;
        message.buttons = Buttons::RetryCancel;
        message.title = "Korvex!";
        message.text = MachineInUseText(reason);
        if (prompt.messageBox(message) != Answer::Retry) return false;
    }
}

}  // namespace korvex
