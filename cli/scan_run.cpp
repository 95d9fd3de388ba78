#include "cli/scan_run.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/text.h"
#include "settings/drive_list.h"
#include "settings/setting_value.h"
#include "settings/settings_keys.h"

namespace korvex::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int signal) {
    interrupted = 1;
    std::signal(signal, SIG_DFL);  // a second Ctrl-C ends the program at once
}

}  // namespace

std::string MachinePath(System& system, const std::string& file) {
    if (file.size() >= 3 && file[1] == ':' && file[2] == '\\') return file;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    if (error) return {};
    return system.windowsPath(absolute.lexically_normal().string());
}

std::string MachineFolder(System& system, const std::string& folder) {
    return folder.size() >= 2 && folder[1] == ':' ? folder : MachinePath(system, folder);
}

std::string CheckedDrives(System& system, std::string_view text, std::string& error) {
    std::string out;
    std::string seen;
    for (std::size_t i = 0;; i += 3) {
        const std::string_view name = text.substr(std::min(i, text.size()), 2);
        const char letter = name.empty() ? 0 : UpperAscii(name[0]);
        if (name.size() != 2 || name[1] != ':' || letter < 'A' || letter > 'Z' ||
            (i + 2 < text.size() && text[i + 2] != ',') || (i + 2 == text.size() - 1)) {
            error = "--drives takes drive names such as C: or C:,D: (got \"" + std::string(text) + "\")";
            return {};
        }
        if (system.driveType(letter) != DRIVE_FIXED) {
            error = std::string(1, letter) + ": is not a fixed drive of this machine";
            return {};
        }
        if (seen.find(letter) != std::string::npos) {
            error = std::string(1, letter) + ": is named twice in --drives";
            return {};
        }
        seen += letter;
        if (!out.empty()) out += ',';
        out += letter;
        out += ':';
        if (i + 2 >= text.size()) break;
    }
    return out;
}

std::string FixedDrives(System& system) {
    std::string list;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (system.driveType(letter) != DRIVE_FIXED) continue;
        if (!list.empty()) list += ", ";
        list += letter;
        list += ':';
    }
    return list.empty() ? "none" : list;
}

std::string CommandDrives(Services& services, RegistryAccess& registry, std::string_view given,
                          const char* command, const char* verb, const char* usage, int& status) {
    std::string drives;
    if (given.empty()) {
        drives = DefaultDrives(services, registry);
        if (drives.empty()) {
            std::fprintf(stderr, "korvex-cli %s: the machine has no fixed drive to %s\n", command, verb);
            status = 1;
        }
        return drives;
    }
    std::string error;
    drives = CheckedDrives(services.system, given, error);
    if (drives.empty()) {
        std::fprintf(stderr, "korvex-cli %s: %s (fixed drives: %s)\n%s", command, error.c_str(),
                     FixedDrives(services.system).c_str(), usage);
        status = 2;
    }
    return drives;
}

std::string DefaultDrives(Services& services, RegistryAccess& registry) {
    const std::vector<std::string> entries = FillDriveList(services.system);
    const std::string name = ReadSetting(registry, settings::kGeneralKey, "DriveName");
    for (const std::string& entry : entries)
        if (!name.empty() && entry == name) return CurrentDrives(entry);
    return entries.empty() ? std::string() : CurrentDrives(entries.front());
}

InterruptiblePrompt::InterruptiblePrompt(Prompt& inner, bool& stop) : inner_(inner), stop_(stop) {
    interrupted = 0;
    oldInt_ = std::signal(SIGINT, onInterrupt);
    oldTerm_ = std::signal(SIGTERM, onInterrupt);
}

InterruptiblePrompt::~InterruptiblePrompt() {
    std::signal(SIGINT, oldInt_ == SIG_ERR ? SIG_DFL : oldInt_);
    std::signal(SIGTERM, oldTerm_ == SIG_ERR ? SIG_DFL : oldTerm_);
}

void InterruptiblePrompt::yield() {
    if (interrupted) stop_ = true;
    inner_.yield();
}

}  // namespace korvex::cli
