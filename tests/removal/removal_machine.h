// An in-memory machine for the removal tests: drive C: in the Wine prefix layout, the
// system text files, Korvex's General settings with a delete mode, a data folder, and
// a removal context over them. And the same context over a real Wine machine.
#pragma once

#include <string>

#include "removal/removal_context.h"
#include "removal/shared_dll.h"
#include "settings/settings_keys.h"
#include "tests/shell/shell_machine.h"
#include "tests/support/memory_machine.h"

namespace korvex::test {

using wine::test::shown;

inline constexpr const char* kGeneral = "HKCU\\Software\\Korvex!\\General";
inline constexpr const char* kSharedDlls = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

struct RemovalMachine : MemoryMachine {
    RemovalContext context{services, access, prompt, "C:\\Korvex\\"};
    InUseDll dll;
    std::vector<std::string> asked;  // libraries the DLL prompt was shown for
    std::deque<int> dllAnswers;      // 0 Delete, 1 Delete All, 2 Skip, 3 close box

    RemovalMachine() {
        files.put("C:\\windows\\win.ini", "[windows]\r\nload=\r\n\r\n[mail]\r\nMAPI=1\r\n");
        files.put("C:\\windows\\system.ini", "[boot]\r\nshell=explorer.exe\r\n");
        files.put("C:\\autoexec.bat", "@ECHO OFF\r\n");
        files.put("C:\\config.sys", "FILES=40\r\n");
        files.put("C:\\windows\\system32\\kernel32.dll", "k");
        files.createFolder("C:\\Korvex");
        deleteMode("0");
        registry.setString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "x", "y");
        dll.show = [this](InUseDll& state) {
            asked.push_back(state.InUseDllPath);
            const int answer = dllAnswers.empty() ? 3 : dllAnswers.front();
            if (!dllAnswers.empty()) dllAnswers.pop_front();
            state.DeleteThisDll = answer == 0 || answer == 1;
            state.DeleteAllDlls = answer == 1;
        };
    }

    void deleteMode(const char* mode) { registry.setString(kGeneral, "DeleteMode", mode); }

    // A SharedDLLs count, as installers write it (a little-endian REG_DWORD; the counts
    // of the tests fit in its first byte).
    void sharedCount(const std::string& path, std::uint32_t count) {
        HKEY key = 0;
        registry.createKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", &key);
        registry.setValue(key, path, REG_DWORD, std::string{static_cast<char>(count), 0, 0, 0});
        registry.closeKey(key);
    }

    // An installation: a folder with files, a library in the system folder, keys in
    // both hives and a win.ini line.
    void install() {
        files.put("C:\\Program Files\\NewApp\\app.exe", std::string(3000, 'a'));
        files.put("C:\\Program Files\\NewApp\\data\\d.dat", "dd");
        files.put("C:\\windows\\system32\\newapp.dll", "lib");
        registry.setString("HKCU\\Software\\NewVendor\\NewApp", "v", "1");
        registry.setString("HKLM\\Software\\NewVendor\\NewApp\\Sub", "w", "2");
        files.put("C:\\windows\\win.ini", "[windows]\r\nload=newapp.exe\r\n\r\n[mail]\r\nMAPI=1\r\n");
    }
};

// A removal context on a real machine, with Korvex's delete mode set as the user chose it.
struct WineRemoval {
    Services services;
    ScriptedPrompt prompt;
    RegistryAccess registry{services.registry, prompt};
    RemovalContext context{services, registry, prompt, "C:\\Korvex\\"};

    WineRemoval(wine::WineMachine& machine, const char* deleteMode) : services(machine.services()) {
        const HKEY general = registry.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
        registry.SetValue(general, "DeleteMode", deleteMode);
        registry.CloseKey(general);
    }
};

}  // namespace korvex::test
