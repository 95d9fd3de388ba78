// Where Korvex keeps its settings: the product key under HKEY_CURRENT_USER, its four
// sub keys, and the other keys that the first start registers. Every reader and writer
// of a setting uses these names, so a key is never spelt two ways.
#pragma once

#include <string_view>

namespace korvex::settings {

inline constexpr std::string_view kProductKey = "Software\\Korvex!";
inline constexpr std::string_view kGeneralKey = "Software\\Korvex!\\General";
inline constexpr std::string_view kScanningKey = "Software\\Korvex!\\Scanning";
inline constexpr std::string_view kSchedulerKey = "Software\\Korvex!\\Scheduler";
inline constexpr std::string_view kSysCleanKey = "Software\\Korvex!\\Sys Clean";

// The scheduler's start entry (under HKEY_CURRENT_USER).
inline constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValue = "Korvex Scheduler";
inline constexpr std::string_view kSchedulerProgram = "Korvex Scheduler.exe";

// File names beside the program.
inline constexpr std::string_view kProgramFile = "Korvex!.exe";
inline constexpr std::string_view kHelpFile = "Korvex.hlp";
inline constexpr std::string_view kIconFile = "uninst.ico";
inline constexpr std::string_view kAnimationFile = "scan.avi";

// The file type of saved uninstall data files (under HKEY_CLASSES_ROOT).
inline constexpr std::string_view kFileExtension = ".kvu";
inline constexpr std::string_view kFileTypeKey = "KorvexUninstall";

}  // namespace korvex::settings
