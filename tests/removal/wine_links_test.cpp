// Uninstalling on a real Wine prefix an installation whose folder holds links to files
// and folders outside the machine and a link loop, plus a linked folder in the profile,
// under every delete mode: the links go, everything they point to stays.
#include <gtest/gtest.h>

#include "removal/uninstall.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

namespace fs = std::filesystem;
using wine::test::present;

TEST(UninstallOnWine, LinksGoTheirTargetsStayUnderEveryDeleteMode) {
    for (const char* mode : {"0", "1", "2", "3"}) {
        SCOPED_TRACE(mode);
        wine::test::ShellMachine m;
        m.makeInstallation();
        const std::string profileLink = m.c("users/" + m.user + "/LinkedStuff");
        fs::create_directory_symlink(m.outside + "/folder", profileLink);
        fs::create_directories(m.c("Korvex"));
        WineRemoval r(*m.machine, mode);
        // The uninstall's question, and under mode 2 the shell's question before the move.
        r.prompt.answers = {Answer::Yes, Answer::Yes};

        WriteHostFile(m.c("users/App.kvu"),
                      "Files{\r\nC:\\Program Files\\App\r\n" + m.profileWindows() + "\\LinkedStuff\r\n}\r\nRegistry{\r\n}\r\n");
        InUseDll dll;
        const UninstallResult result = UninstallFromSavedFile(r.context, "C:\\users\\App.kvu", dll);
        EXPECT_EQ(result.outcome, UninstallOutcome::Uninstalled) << r.prompt.messages.back().text;
        EXPECT_TRUE(result.refusals.empty());
        EXPECT_FALSE(present(m.c("Program Files/App")));
        EXPECT_FALSE(present(profileLink));
        EXPECT_TRUE(m.outsideIntact());
        EXPECT_EQ(fs::is_symlink(m.c("Korvex/App/folder-link")), std::string(mode) == "2");  // moved as a link
    }
}

}  // namespace
}  // namespace korvex::test
