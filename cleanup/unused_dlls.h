// The unused shared DLL scan of the clean-up window: the files that the machine's
// shared-library counts (the "SharedDLLs" values) say no installed program uses any
// more, and that are still on disk. It only lists them; what the user then does with
// them (Korvex advises moving, never deleting) is the window's and the CLI's business.
#pragma once

#include <string_view>

#include "cleanup/scan_rows.h"
#include "platform/prompt.h"
#include "platform/registry_access.h"
#include "platform/services.h"

namespace korvex::cleanup {

// Under HKEY_LOCAL_MACHINE: the count key, and its view for 32-bit programs that a
// 64-bit machine keeps beside it.
inline constexpr std::string_view kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr std::string_view kSharedDllsKey32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Adds a row for every shared file whose count is exactly "0" in each view that names
// it and which still exists, leaving out Korvex's own files; each file once, in the
// order the values come (the main view first). The 32-bit view names the 32-bit
// system folder as system32, as 32-bit programs see it: such a path is read in
// syswow64. Each row goes to scan.onRow and into scan.totals. Yields after each file
// it looks at and ends early when the stop flag is set, keeping the rows so far.
void ScanUnusedDlls(Services& services, RegistryAccess& registry, CleanUpScan& scan);

}  // namespace korvex::cleanup
