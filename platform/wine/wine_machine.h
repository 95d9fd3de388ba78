// One opened Wine prefix as Korvex's machine: owns the prefix's registry, files and
// system facts and hands them out as Services. Responsible for checking that a folder
// is a prefix at all; not for finding it (machine_locator) or making it (machine_builder).
#pragma once

#include <memory>
#include <string>

#include "platform/services.h"
#include "platform/wine/wine_files.h"
#include "platform/wine/wine_registry.h"
#include "platform/wine/wine_shell.h"
#include "platform/wine/wine_system.h"

namespace korvex::wine {

class WineMachine {
public:
    // Nothing when dir is not a usable prefix; error then says why in words for the user.
    static std::unique_ptr<WineMachine> open(const std::string& dir, std::string* error = nullptr);
    ~WineMachine();

    Services services() { return Services{*registry_, *files_, *system_, *shell_}; }
    const std::string& prefix() const { return prefix_; }
    Registry& registry() { return *registry_; }
    WineFiles& files() { return *files_; }
    WineSystem& system() { return *system_; }
    WineShell& shell() { return *shell_; }

private:
    WineMachine() = default;
    std::string prefix_;
    std::unique_ptr<WineRegistry> registry_;
    std::unique_ptr<WineFiles> files_;
    std::unique_ptr<WineSystem> system_;
    std::unique_ptr<WineShell> shell_;
};

}  // namespace korvex::wine
