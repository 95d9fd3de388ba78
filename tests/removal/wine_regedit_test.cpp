// The registry backup written before keys are deleted is imported by Wine's own
// regedit and puts the keys back with their values (runs when Wine is installed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/wine_machine.h"
#include "removal/remove_keys.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;
using test::RunShell;
using test::ShellQuote;

std::string rawValue(Registry& registry, HKEY root, const char* key, const char* name, std::uint32_t* type) {
    HKEY h = 0;
    std::string data;
    if (registry.openKey(root, key, KEY_READ, &h) == ERROR_SUCCESS) {
        registry.queryValue(h, name, type, &data);
        registry.closeKey(h);
    }
    return data;
}

TEST(RegistryBackup, WineRegeditPutsTheDeletedKeysBack) {
    if (RunShell("command -v wineboot >/dev/null && command -v wine >/dev/null") != 0)
        GTEST_SKIP() << "wine is not installed here";
    test::TempHostFolder folder{"korvex-regedit"};
    const std::string prefix = folder.path() + "/prefix";
    const std::string env = "WINEPREFIX=" + ShellQuote(prefix) +
                            " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY= HOME=" +
                            ShellQuote(folder.path()) + " ";
    if (RunShell("timeout 600 env " + env + "wineboot --init >/dev/null 2>&1; env " + env +
                 "timeout 120 wineserver -w") != 0 ||
        !fs::exists(prefix + "/system.reg"))
        GTEST_SKIP() << "wineboot could not make a prefix";

    struct Value {
        HKEY root;
        const char* key;
        const char* name;
        std::uint32_t type;
        std::string data;
    };
    const Value values[] = {
        {HKEY_CURRENT_USER, "Software\\NewVendor\\NewApp", "Path", REG_SZ, std::string("C:\\Caf\xe2\x82\xac \"q\"\0", 14)},
        {HKEY_CURRENT_USER, "Software\\NewVendor\\NewApp", "", REG_SZ, std::string("default\0", 8)},
        {HKEY_CURRENT_USER, "Software\\NewVendor\\NewApp\\Deep", "Count", REG_DWORD, std::string("\x03\0\0\0", 4)},
        {HKEY_CURRENT_USER, "Software\\NewVendor\\NewApp\\Deep", "Bin", REG_BINARY, std::string("\x01\x02\xff", 3)},
        {HKEY_LOCAL_MACHINE, "Software\\NewVendor", "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        {HKEY_LOCAL_MACHINE, "Software\\NewVendor", "Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11)},
    };
    std::string error;
    {
        auto machine = wine::WineMachine::open(prefix, &error);
        ASSERT_TRUE(machine) << error;
        Services services = machine->services();
        ScriptedPrompt prompt;
        RegistryAccess registry(services.registry, prompt);
        for (const Value& v : values) {
            const HKEY key = registry.CreateKey(v.root, v.key);
            ASSERT_EQ(services.registry.setValue(key, v.name, v.type, v.data), ERROR_SUCCESS);
            registry.CloseKey(key);
        }
        services.files.createFolder("C:\\Korvex");
        RemovalContext context{services, registry, prompt, "C:\\Korvex\\"};
        Refusals refusals;
        const auto results = RemoveKeys(context, {"HKEY_CURRENT_USER\\Software\\NewVendor", "HKEY_LOCAL_MACHINE\\Software\\NewVendor"}, refusals);
        ASSERT_EQ(results, (std::vector<KeyResult>{KeyResult::Removed, KeyResult::Removed}));
        ASSERT_EQ(services.registry.flush(), ERROR_SUCCESS);
    }
    fs::path backup;
    for (const auto& e : fs::directory_iterator(prefix + "/drive_c/Korvex/Backups")) backup = e.path();
    ASSERT_FALSE(backup.empty());
    ASSERT_EQ(RunShell("timeout 300 env " + env + "wine regedit /S " +
                       ShellQuote("C:\\Korvex\\Backups\\" + backup.filename().string()) +
                       " >/dev/null 2>&1; env " + env + "timeout 120 wineserver -w"),
              0);

    auto machine = wine::WineMachine::open(prefix, &error);
    ASSERT_TRUE(machine) << error;
    Services services = machine->services();
    for (const Value& v : values) {
        SCOPED_TRACE(std::string(v.key) + " " + v.name);
        std::uint32_t type = 0;
        EXPECT_EQ(rawValue(services.registry, v.root, v.key, v.name, &type), v.data);
        EXPECT_EQ(type, v.type);
    }
}

}  // namespace
}  // namespace korvex
