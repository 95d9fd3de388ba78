// Shared libraries before removal: whether other installed programs are counted as
// using a library (the machine's "SharedDLLs" list), and the in-use DLL prompt's step
// that decides whether a candidate goes on the removal list. Responsible for the
// decision and the prompt's state; showing the prompt is the caller's (a window, or
// korvex-cli's answer).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "removal/removal_context.h"

namespace korvex {

// The files Korvex itself places in its program folder, separated by "^": never
// reported as shared, whatever the SharedDLLs list says.
std::string SupportFileList();

// True when the SharedDLLs list counts the library (the value whose name holds the
// full path) for more than one program.
bool SharedDllInUse(RemovalContext& c, std::string_view path);

// The in-use DLL prompt's state for one removal run, held by the caller. show puts up
// the prompt for InUseDllPath and sets the two flags from the user's answer (Delete:
// this one; Delete All: this one and every further library of the run without asking;
// Skip or closing the prompt: neither).
struct InUseDll {
    std::string InUseDllPath;
    bool DeleteThisDll = false;
    bool DeleteAllDlls = false;
    std::function<void(InUseDll&)> show;

    void clear() { DeleteThisDll = DeleteAllDlls = false; }
};

// Adds path to list unless it is a library other programs use and the user, asked,
// did not choose to delete it.
void AskSharedDll(RemovalContext& c, InUseDll& prompt, const std::string& path, std::vector<std::string>& list);

}  // namespace korvex
