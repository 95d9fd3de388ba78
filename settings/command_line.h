// What Korvex was asked to do when it started (update, find changes, uninstall from a
// saved file, or show the main window), and the recent saved files of the Uninstall
// menu. Responsible for reading the texts; running the work is the caller's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace korvex {

enum class StartAction { Normal, UpdateDatabase, FindChanges, Uninstall };

struct StartCommand {
    StartAction action = StartAction::Normal;
    std::string path;  // Windows path of the saved data file, for Uninstall
};

// The whole argument text as Windows hands it to a program: the arguments joined by
// one blank each.
std::string CommandLineText(const std::vector<std::string>& arguments);

// "\u" and "\f" exactly (letter case included) start a run; anything else loses its
// first and last character (the shell's double quotes) and, when it names an
// existing file, is uninstalled from. A host path inside one of the machine's drives
// counts as that file's Windows path.
StartCommand ParseCommandLine(Services& services, std::string_view commandLine);

struct RecentFile {
    std::string caption;  // the file name without its last four characters (".kvu")
    std::string path;
};

// Up to four entries of the recent saved files list ("SavedForDeletion") whose files
// still exist, newest first; missing files take no place.
std::vector<RecentFile> RecentFiles(Services& services, std::string_view savedForDeletion);

// The path behind a menu caption, found again in a fresh copy of the list: the entry
// around the caption's first occurrence (letter case counts). "" when absent.
std::string RecentFilePath(std::string_view savedForDeletion, std::string_view caption);

}  // namespace korvex
