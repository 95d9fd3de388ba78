// RemoveFiles on a real Wine prefix while another process holds a file open: on an
// NT-family machine the file is scheduled in the machine's pending-rename list (Wine
// deletes it at the next start), the restart message shows and the result is false;
// on a 95-family machine nothing is scheduled and nothing is said.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/types.h>

#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "removal/remove_files.h"
#include "settings/settings_keys.h"
#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

// Another process that holds a file open until the object goes.
class Holder {
public:
    explicit Holder(const fs::path& file) {
        pipe_ = ::popen(("exec sh -c 'exec 3<\"$1\"; echo $$; exec sleep 60' sh " + test::ShellQuote(file.string())).c_str(),
                        "r");
        if (pipe_ && std::fscanf(pipe_, "%d", &pid_) != 1) pid_ = 0;
    }
    ~Holder() {
        if (pid_ > 0) ::kill(pid_, SIGKILL);
        if (pipe_) ::pclose(pipe_);
    }
    bool holding() const { return pid_ > 0; }

private:
    FILE* pipe_ = nullptr;
    int pid_ = 0;
};

TEST(RemoveFilesOnWine, AFileHeldOpenIsScheduledOnNtOnly) {
    struct Case {
        wine::WindowsVersion version;
        bool scheduled;
    } cases[] = {{wine::WindowsVersion::Win10, true}, {wine::WindowsVersion::Win98, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.scheduled ? "NT family" : "95 family");
        test::TempHostFolder folder{"korvex-inuse"};
        const fs::path prefix = fs::path(folder.path()) / "machine", c = prefix / "drive_c";
        std::string error;
        ASSERT_TRUE(wine::CreateMachine(prefix.string(), k.version, &error)) << error;
        std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(prefix.string(), &error);
        ASSERT_TRUE(machine) << error;
        test::WriteHostFile(c / "Program Files" / "NewApp" / "held.dll", "MZ");
        test::WriteHostFile(c / "Program Files" / "NewApp" / "free.txt", "x");
        Holder holder(c / "Program Files" / "NewApp" / "held.dll");
        ASSERT_TRUE(holder.holding());

        Services services = machine->services();
        ScriptedPrompt prompt;
        prompt.defaultAnswer = Answer::Yes;
        RegistryAccess registry(services.registry, prompt);
        const HKEY general = registry.CreateKey(HKEY_CURRENT_USER, settings::kGeneralKey);
        registry.SetValue(general, "DeleteMode", "1");
        registry.CloseKey(general);
        RemovalContext context{services, registry, prompt, "C:\\Korvex\\"};

        RemoveReport report;
        EXPECT_FALSE(RemoveFiles(context, {"C:\\Program Files\\NewApp"}, 0, RemovalMode::Normal, &report));
        EXPECT_TRUE(fs::exists(c / "Program Files" / "NewApp" / "held.dll"));
        // NT: the folder is cleared around the held file; 95: the shell's failure stands.
        EXPECT_EQ(fs::exists(c / "Program Files" / "NewApp" / "free.txt"), !k.scheduled);
        const bool restartMessage = !prompt.messages.empty() && prompt.messages.back().text == kRestartMessage;
        EXPECT_EQ(restartMessage, k.scheduled);
        ASSERT_EQ(registry.registry().flush(), ERROR_SUCCESS);
        machine.reset();
        const std::string systemReg = test::ReadHostFile(prefix / "system.reg");
        const std::string value =
            "\"PendingFileRenameOperations\"=str(7):\"\\\\??\\\\C:\\\\Program Files\\\\NewApp\\\\held.dll\\0\\0\"";
        EXPECT_EQ(systemReg.find(value) != std::string::npos, k.scheduled) << value;
        EXPECT_EQ(report.scheduled.size(), k.scheduled ? 1u : 0u);
    }
}

}  // namespace
}  // namespace korvex
