// The registry backup written before keys are deleted is imported by Wine's own
// regedit and puts the keys back with their values (runs when Wine is installed).
#include <gtest/gtest.h>

#include "removal/remove_keys.h"
#include "tests/removal/removal_machine.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

TEST(RegistryBackup, WineRegeditPutsTheDeletedKeysBack) {
    test::TempHostFolder folder{"korvex-regedit"};
    const std::string prefix = folder.path() + "/prefix";
    if (!wine::test::MakeWinebootPrefix(prefix)) GTEST_SKIP() << "wine is not installed here, or wineboot failed";

    const struct { HKEY root; const char *key, *name; std::uint32_t type; std::string data; } values[] = {
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
        test::WineRemoval r(*machine, "0");
        for (const auto& v : values) {
            const HKEY key = r.registry.CreateKey(v.root, v.key);
            ASSERT_EQ(r.services.registry.setValue(key, v.name, v.type, v.data), ERROR_SUCCESS);
            r.registry.CloseKey(key);
        }
        r.services.files.createFolder("C:\\Korvex");
        Refusals refusals;
        const auto results = RemoveKeys(r.context, {"HKEY_CURRENT_USER\\Software\\NewVendor", "HKEY_LOCAL_MACHINE\\Software\\NewVendor"}, refusals);
        ASSERT_EQ(results, (std::vector<KeyResult>{KeyResult::Removed, KeyResult::Removed}));
        ASSERT_EQ(r.services.registry.flush(), ERROR_SUCCESS);
    }
    fs::path backup;
    for (const auto& e : fs::directory_iterator(prefix + "/drive_c/Korvex/Backups")) backup = e.path();
    const std::string file = "C:\\Korvex\\Backups\\" + backup.filename().string();
    ASSERT_EQ(wine::test::RunWine(prefix, "wine regedit /S " + test::ShellQuote(file)), 0);

    auto machine = wine::WineMachine::open(prefix, &error);
    ASSERT_TRUE(machine) << error;
    Services services = machine->services();
    for (const auto& v : values) {
        SCOPED_TRACE(std::string(v.key) + " " + v.name);
        HKEY key = 0;
        std::pair<std::uint32_t, std::string> read;  // type and data
        ASSERT_EQ(services.registry.openKey(v.root, v.key, KEY_READ, &key), ERROR_SUCCESS);
        services.registry.queryValue(key, v.name, &read.first, &read.second);
        services.registry.closeKey(key);
        EXPECT_EQ(read, std::pair(v.type, v.data));
    }
}

}  // namespace
}  // namespace korvex
