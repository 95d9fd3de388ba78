// Not built yet: every operation fails, so nothing is removed by accident.
#include "platform/wine/wine_shell.h"

#include "platform/wine/wine_files.h"
#include "platform/wine/wine_system.h"

namespace korvex::wine {

WineShell::WineShell(std::string prefixDir, WineFiles& files, WineSystem& system)
    : prefix_(std::move(prefixDir)), files_(files), system_(system) {}

int WineShell::fileOperation(FileOperation&, Prompt&) { return 0x402; }
bool WineShell::deleteAtRestart(std::string_view) { return false; }
bool WineShell::packAndDelete(const std::vector<std::string>&, std::string_view, Prompt&) { return false; }
RecycleBinContents WineShell::recycleBinContents() { return {}; }
bool WineShell::emptyRecycleBin() { return false; }
void WineShell::protectFolder(std::string_view windowsPath) { protected_.emplace_back(windowsPath); }
std::vector<Refusal> WineShell::takeRefusals() {
    std::vector<Refusal> r;
    r.swap(refusals_);
    return r;
}

}  // namespace korvex::wine
