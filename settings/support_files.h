// The files Korvex keeps beside the program: the help document "Korvex.hlp", the
// icon of saved uninstall data files "uninst.ico", the clean-up window's animation
// "scan.avi" and the launcher "Korvex!.exe" that the ".kvu" file type starts.
// Responsible for their contents and for placing them in the program's folder the
// first time; showing or running them is others' business.
#pragma once

#include <string>

#include "platform/services.h"

namespace korvex {

// Korvex's help as an HTML document. Each topic a window opens is an anchor
// <a name="..."> with the window's keyword: "Options", "Find Changes" and
// "System cleaner"; "Contents" lists every topic.
std::string HelpDocument();

// A 32 x 32 icon (32-bit colour with alpha) of a page struck through: the icon of
// ".kvu" files in the file manager.
std::string UninstallIcon();

// A short looping animation of a magnifying glass sweeping over a row of files, as
// an uncompressed RIFF AVI (one video stream of 24-bit DIB frames, no sound), the
// one kind that every animation player can show.
std::string ScanAnimation();

// "Korvex!.exe", the program that the ".kvu" file type names: a host shell script
// (Wine starts a host executable that stands at a Windows path, whatever its name)
// that finds the machine it lies in and starts the installed korvex on it with the
// arguments it was given. Lines end in LF alone: the host reads the "#!" line.
std::string ProgramLauncher();

// Writes each of the support files into the program's folder when it is not there
// yet, the launcher marked executable; an existing file is never touched, so a user's
// own help, icon or launcher stays.
void PlaceSupportFiles(Services& services);

}  // namespace korvex
