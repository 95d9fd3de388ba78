// Making a new Windows machine in Wine's prefix layout: the drive_c tree with the
// Windows, Program Files and user folders, the boot and ini files, and the registry
// files system.reg and user.reg as Wine writes them, so that Wine can run the machine
// later. Used for Korvex's built-in demo machine and by tests. Not responsible for
// running Wine or for changing an existing machine.
#pragma once

#include <string>

namespace korvex::wine {

enum class WindowsVersion { Win98, Win7, Win10 };

// True when dir looks like a prefix: system.reg and a dosdevices/ or drive_c/ folder.
bool IsMachineFolder(const std::string& dir);

// Creates the machine in dir (made when missing, or empty). An existing machine is
// left as it is and counts as success; any other non-empty folder is refused. The
// machine appears at once or not at all: it is built beside dir and renamed into
// place. error (when given) receives a sentence for the user on failure.
bool CreateMachine(const std::string& dir, WindowsVersion version, std::string* error = nullptr);

// The name of the user folder the builder makes under C:\users ($USER, else "user").
std::string MachineUserName();

}  // namespace korvex::wine
