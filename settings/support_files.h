// The files Korvex keeps beside the program: the help document "Korvex.hlp", the
// icon of saved uninstall data files "uninst.ico" and the clean-up window's
// animation "scan.avi". Responsible for their contents and for placing them in the
// program's folder the first time; showing them is the windows' business.
#pragma once

#include <string>
#include <string_view>

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

// Whether a bare file name is one of Korvex's own files beside the program: the
// program, the scheduler and the three files above. The unused shared DLL scan never
// offers these, whatever their shared count says.
bool IsSupportFileName(std::string_view name);

// Writes each of the three files into the program's folder when it is not there
// yet; an existing file is never touched, so a user's own help or icon stays.
void PlaceSupportFiles(Services& services);

}  // namespace korvex
