// RemoveFiles on a real Wine prefix while another process holds a file open: on an
// NT-family machine the file is scheduled in the machine's pending-rename list (Wine
// deletes it at the next start), the restart message shows and the result is false;
// on a 95-family machine nothing is scheduled and nothing is said.
#include <gtest/gtest.h>

#include "platform/wine/machine_builder.h"
#include "removal/remove_files.h"
#include "tests/removal/removal_machine.h"
#include "tests/shell/shell_machine.h"

namespace korvex::test {
namespace {

namespace fs = std::filesystem;

TEST(RemoveFilesOnWine, AFileHeldOpenIsScheduledOnNtOnly) {
    for (const auto version : {wine::WindowsVersion::Win10, wine::WindowsVersion::Win98}) {
        const bool nt = version == wine::WindowsVersion::Win10;
        SCOPED_TRACE(nt ? "NT family" : "95 family");
        TempHostFolder folder{"korvex-inuse"};
        const fs::path prefix = fs::path(folder.path()) / "machine", app = prefix / "drive_c/Program Files/NewApp";
        std::string error;
        ASSERT_TRUE(wine::CreateMachine(prefix.string(), version, &error)) << error;
        std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(prefix.string(), &error);
        ASSERT_TRUE(machine) << error;
        WriteHostFile(app / "held.dll", "MZ");
        WriteHostFile(app / "free.txt", "x");
        wine::test::Holder holder(app / "held.dll");
        ASSERT_TRUE(holder.holding());
        WineRemoval r(*machine, "1");
        r.prompt.defaultAnswer = Answer::Yes;

        RemoveReport report;
        EXPECT_FALSE(RemoveFiles(r.context, {"C:\\Program Files\\NewApp"}, 0, RemovalMode::Normal, &report));
        EXPECT_TRUE(fs::exists(app / "held.dll"));
        // NT: the folder is cleared around the held file; 95: the shell's failure stands.
        EXPECT_EQ(fs::exists(app / "free.txt"), !nt);
        const bool restartMessage = !r.prompt.messages.empty() && r.prompt.messages.back().text == kRestartMessage;
        EXPECT_EQ(restartMessage, nt);
        ASSERT_EQ(r.services.registry.flush(), ERROR_SUCCESS);
        machine.reset();
        const std::string value =
            "\"PendingFileRenameOperations\"=str(7):\"\\\\??\\\\C:\\\\Program Files\\\\NewApp\\\\held.dll\\0\\0\"";
        EXPECT_EQ(ReadHostFile(prefix / "system.reg").find(value) != std::string::npos, nt) << value;
        EXPECT_EQ(report.scheduled.size(), nt ? 1u : 0u);
    }
}

}  // namespace
}  // namespace korvex::test
