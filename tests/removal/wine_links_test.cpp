// Uninstalling on a real Wine prefix an installation whose folder holds links to a
// file and a folder outside the machine, plus a linked folder in the profile, under
// every delete mode: the links go, everything they point to stays.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "removal/saved_file.h"
#include "removal/uninstall.h"
#include "settings/settings_keys.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

TEST(UninstallOnWine, LinksGoTheirTargetsStayUnderEveryDeleteMode) {
    for (const char* mode : {"0", "1", "2", "3"}) {
        SCOPED_TRACE(mode);
        test::TempHostFolder folder{"korvex-links"};
        const fs::path dir = folder.path(), prefix = dir / "machine", c = prefix / "drive_c";
        test::ScopedEnv trash("XDG_DATA_HOME", (dir / "data").string());
        std::string error;
        ASSERT_TRUE(wine::CreateMachine(prefix.string(), wine::WindowsVersion::Win10, &error)) << error;
        const std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(prefix.string(), &error);
        ASSERT_TRUE(machine) << error;

        // Outside the machine: a file, a folder, and the folder the profile links to.
        test::WriteHostFile(dir / "outside" / "target.txt", "keep me");
        test::WriteHostFile(dir / "outside" / "targetdir" / "inside.txt", "keep me too");
        test::WriteHostFile(dir / "outside" / "profiledir" / "photo.jpg", "mine");
        const fs::path app = c / "Program Files" / "LinkApp";
        test::WriteHostFile(app / "app.exe", "MZ");
        fs::create_symlink(dir / "outside" / "target.txt", app / "file-link");
        fs::create_directory_symlink(dir / "outside" / "targetdir", app / "dir-link");
        const std::string user = wine::MachineUserName();
        const fs::path profileLink = c / "users" / user / "LinkedStuff";
        fs::create_directory_symlink(dir / "outside" / "profiledir", profileLink);
        fs::create_directories(c / "Korvex");

        Services services = machine->services();
        ScriptedPrompt prompt;
        // The uninstall's question, and under mode 2 the shell's question before the move.
        prompt.answers = {Answer::Yes, Answer::Yes};
        RegistryAccess registry(services.registry, prompt);
        const HKEY general = registry.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
        registry.SetValue(general, "DeleteMode", mode);
        registry.CloseKey(general);

        SavedData data;
        data.files = {"C:\\Program Files\\LinkApp", "C:\\users\\" + user + "\\LinkedStuff"};
        ASSERT_TRUE(WriteSavedFile(services.files, "C:\\users\\LinkApp.kvu", data));
        RemovalContext context{services, registry, prompt, "C:\\Korvex\\"};
        InUseDll dll;
        const UninstallResult result = UninstallFromSavedFile(context, "C:\\users\\LinkApp.kvu", dll);
        EXPECT_EQ(result.outcome, UninstallOutcome::Uninstalled) << prompt.messages.back().text;
        EXPECT_TRUE(result.refusals.empty());

        EXPECT_FALSE(fs::exists(fs::symlink_status(app)));
        EXPECT_FALSE(fs::exists(fs::symlink_status(profileLink)));
        EXPECT_EQ(test::ReadHostFile(dir / "outside" / "target.txt"), "keep me");
        EXPECT_EQ(test::ReadHostFile(dir / "outside" / "targetdir" / "inside.txt"), "keep me too");
        EXPECT_EQ(test::ReadHostFile(dir / "outside" / "profiledir" / "photo.jpg"), "mine");
        if (std::string(mode) == "2") {
            EXPECT_TRUE(fs::is_symlink(c / "Korvex" / "LinkApp" / "dir-link"));
        }
    }
}

}  // namespace
}  // namespace korvex
