// Opening a prefix: checks, then the registry, the files and the system facts.
#include "platform/wine/wine_machine.h"

#include <filesystem>

namespace korvex::wine {

namespace fs = std::filesystem;

WineMachine::~WineMachine() = default;

std::unique_ptr<WineMachine> WineMachine::open(const std::string& dir, std::string* error) {
    const auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return std::unique_ptr<WineMachine>();
    };
    std::error_code ec;
    if (dir.empty()) return fail("No machine folder was given.");
    if (!fs::exists(dir, ec)) return fail("The machine folder " + dir + " does not exist.");
    if (!fs::is_directory(dir, ec)) return fail(dir + " is a file, not a Wine prefix folder.");
    const std::string prefix = fs::absolute(dir, ec).lexically_normal().string();
    const bool devices = fs::is_directory(prefix + "/dosdevices", ec);
    const bool driveC = fs::is_directory(prefix + "/drive_c", ec);
    const bool systemReg = fs::is_regular_file(prefix + "/system.reg", ec);
    if (!devices && !driveC)
        return fail("The folder " + dir +
                    " is not a Wine prefix: it has neither a dosdevices nor a drive_c folder. "
                    "Choose a folder made by wineboot (WINEPREFIX) or by Korvex.");
    if (!systemReg && !driveC)
        return fail("The folder " + dir +
                    " is not a Wine prefix: it has no drive_c folder and no system.reg. "
                    "Choose a folder made by wineboot (WINEPREFIX) or by Korvex.");

    std::unique_ptr<WineMachine> machine(new WineMachine());
    machine->prefix_ = prefix;
    std::string why;
    machine->registry_ = WineRegistry::open(prefix, &why);
    if (!machine->registry_) return fail(why.empty() ? "The registry of " + dir + " cannot be read." : why);
    machine->files_ = std::make_unique<WineFiles>(prefix);
    if (machine->files_->drives().empty())
        return fail("The Wine prefix " + dir + " has no drives: dosdevices holds no drive link and drive_c is missing.");
    machine->system_ = std::make_unique<WineSystem>(prefix, *machine->registry_, *machine->files_);
    machine->files_->setShellFolderSource([system = machine->system_.get()] { return system->linkedShellFolderPaths(); });
    machine->shell_ = std::make_unique<WineShell>(prefix, *machine->files_, *machine->system_, *machine->registry_);
    return machine;
}

}  // namespace korvex::wine
