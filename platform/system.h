// The rest of the machine: drives, version, well-known folders, the program's own
// folder, starting programs and opening documents, the locale, the clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace korvex {

class System {
public:
    virtual ~System() = default;

    // Empty while no Windows program runs in the machine; otherwise why, in words for
    // the user. While Wine runs programs it holds the registry in memory and brings the
    // registry files up to date only now and then, so a scan would read an old state.
    virtual std::string machineInUse() = 0;

    // GetDriveType of letter + ":\" (DRIVE_* numbers); DRIVE_NO_ROOT_DIR when absent.
    virtual unsigned driveType(char letter) = 0;
    // Volume label of the drive, "" when it has none.
    virtual std::string volumeLabel(char letter) = 0;
    // VER_PLATFORM_WIN32_WINDOWS for the Windows 95 family, VER_PLATFORM_WIN32_NT otherwise.
    virtual int platformId() = 0;

    // SHGetFolderPath: the folder of a CSIDL without a trailing "\", or "".
    virtual std::string shellFolder(int csidl) = 0;
    // GetTempPath: the temporary folder with a trailing "\", or "".
    virtual std::string tempPath() = 0;
    // GetLongPathName: the long form of an existing path, or "".
    virtual std::string longPathName(std::string_view path) = 0;
    // Korvex's own folder inside the machine (Windows path, no trailing "\").
    virtual std::string programFolder() = 0;

    // Host path of a Windows path ("" when it names no drive), and the Windows path of
    // a host path ("" when it lies on none of the machine's drives).
    virtual std::string hostPath(std::string_view windowsPath) = 0;
    virtual std::string windowsPath(std::string_view hostPath) = 0;

    // Starts a Windows command line of the machine (through Wine); false when it cannot.
    virtual bool startProgram(std::string_view commandLine) = 0;
    // ShellExecute "open" on a document path or an address (https:, mailto:).
    virtual bool openWithShell(std::string_view documentOrAddress) = 0;
    virtual void beep() = 0;

    virtual std::int64_t now() = 0;  // seconds since the Unix epoch
    // The user's general date and time format, and the locale's decimal separator.
    virtual std::string formatDateTime(std::int64_t unixSeconds) = 0;
    virtual char decimalSeparator() = 0;
};

}  // namespace korvex
