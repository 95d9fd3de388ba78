// The removal layer against the rest of the host: files other processes hold open,
// the Trash of another disk, GLib's trash bringing items back, and Wine itself
// carrying out a deletion scheduled for the machine's next start.
#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/shell/shell_machine.h"

namespace korvex::wine::test {
namespace {

TEST(WineShellHost, AFileAnotherProcessHoldsOpenIsInUse) {
    ShellMachine m;
    m.makeInstallation();
    const std::string held = m.c("Program Files/App/data/held.dll");
    WriteHostFile(held, "dll");
    // Another process holds it open: a child that inherits the descriptor and ends
    // after two minutes at the latest.
    const int fd = ::open(held.c_str(), O_RDONLY);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::alarm(120);
        ::pause();
    }
    ::close(fd);
    ASSERT_GT(holder, 0);
    const std::string file = "C:\\Program Files\\App\\data\\held.dll";
    EXPECT_NE(run(m, FO_DELETE, {file}, FOF_NOCONFIRMATION), 0);
    EXPECT_EQ(shown(m.prompt.messages),
              "Error Deleting File or Folder: Cannot delete \"" + file + "\": it is being used by another program.\n");
    EXPECT_NE(run(m, FO_MOVE, {file}, kQuiet, "C:\\Moved"), 0);
    // Its folder fails as a whole, trashed or packed: nothing in it is taken.
    EXPECT_NE(run(m, FO_DELETE, {"C:\\Program Files\\App"}, kQuiet | FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(m.shell().packAndDelete({"C:\\Program Files\\App"}, "C:\\Korvex\\Deleted.zip", m.prompt));
    EXPECT_TRUE(present(held));
    EXPECT_TRUE(present(m.c("Program Files/App/app.exe")));
    EXPECT_FALSE(present(m.c("Moved/held.dll")));
    EXPECT_TRUE(m.shell().takeRefusals().empty());
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::usleep(static_cast<useconds_t>(2 * kOpenFilesMaxAge.count() * 1000));  // the answer may be that old
    // Then it goes for good.
    EXPECT_EQ(run(m, FO_DELETE, {"C:\\Program Files\\App"}, kQuiet), 0);
    EXPECT_FALSE(present(m.c("Program Files/App")));
    EXPECT_TRUE(present(m.c("Program Files")));

    // A Wine process that maps a library of a folder and holds no descriptor of it (as
    // Wine's loader does) holds the folder too: a system library preloaded into a copy
    // of sleep named "wine-sleep" (LD_PRELOAD takes no spaces, hence C:\Tools).
    const std::string lib = "/lib/" + std::string(::access("/lib/x86_64-linux-gnu", F_OK) ? "aarch64" : "x86_64") +
                            "-linux-gnu/libm.so.6";
    if (!present(lib)) return;
    fs::create_directories(m.c("Tools"));
    fs::copy_file(lib, m.c("Tools/mapped.dll"));
    fs::copy_file("/bin/sleep", m.root + "/wine-sleep");
    const std::string preload = "LD_PRELOAD=" + m.c("Tools/mapped.dll");
    char* env[] = {const_cast<char*>(preload.c_str()), nullptr};
    char* argv[] = {const_cast<char*>("wine-sleep"), const_cast<char*>("120"), nullptr};
    pid_t mapper = 0;
    ASSERT_EQ(::posix_spawn(&mapper, (m.root + "/wine-sleep").c_str(), nullptr, nullptr, argv, env), 0);
    ::usleep(500000);  // the loader has mapped it, and the last answer about open files is too old
    EXPECT_NE(run(m, FO_DELETE, {"C:\\Tools"}, kQuiet), 0);
    EXPECT_TRUE(present(m.c("Tools/mapped.dll")));
    ::kill(mapper, SIGKILL);
    ::waitpid(mapper, nullptr, 0);
}

TEST(WineShellHost, AnotherDiskGetsCompleteCopiesAndItsOwnTrash) {
    struct stat shm {}, tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 || ::stat("/tmp", &tmp) != 0 ||
        shm.st_dev == tmp.st_dev)
        GTEST_SKIP() << "no second writable file system (/dev/shm) on this machine";
    const std::string topTrash = "/dev/shm/.Trash-" + std::to_string(::getuid());
    const bool hadTrash = present(topTrash) || present("/dev/shm/.Trash");
    korvex::test::TempHostFolder other("../dev/shm/korvex-shell-e");
    ShellMachine m;
    fs::create_symlink(other.path(), m.prefix + "/dosdevices/e:");
    m.reopen();
    m.makeInstallation();
    // Moving there copies completely, links as links, then deletes; a pipe cannot be
    // moved into a Windows folder, so while there is one nothing is deleted.
    ::mkfifo(m.c("Program Files/App/pipe").c_str(), 0600);
    EXPECT_NE(run(m, FO_MOVE, {"C:\\Program Files\\App"}, kQuiet, "E:\\Moved"), 0);
    EXPECT_TRUE(present(m.c("Program Files/App/app.exe")));
    EXPECT_FALSE(present(other.path() + "/Moved/App"));
    fs::remove(m.c("Program Files/App/pipe"));
    EXPECT_EQ(run(m, FO_MOVE, {"C:\\Program Files\\App"}, FOF_NOCONFIRMATION, "E:\\Moved"), 0);
    for (const Message& msg : m.prompt.messages) ADD_FAILURE() << msg.text;
    EXPECT_FALSE(present(m.c("Program Files/App")));
    EXPECT_TRUE(fs::is_symlink(other.path() + "/Moved/App/secret-link.txt"));
    EXPECT_EQ(fs::read_symlink(other.path() + "/Moved/App/data/loop"), "..");
    EXPECT_EQ(ReadHostFile(other.path() + "/Moved/App/data/deep/file.dat"), std::string(5000, 'd'));
    EXPECT_TRUE(m.outsideIntact());

    // Trashed there, it goes to that disk's Trash, which the Recycle Bin counts.
    EXPECT_EQ(run(m, FO_DELETE, {"E:\\Moved"}, kQuiet | FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(present(other.path() + "/Moved"));
    const std::string real = fs::canonical(other.path()).string() + "/Moved";
    bool found = false;
    for (const auto& info : fs::directory_iterator(topTrash + "/info"))
        if (ReadHostFile(info.path()).find("\nPath=" + real + "\n") != std::string::npos) found = true;
    EXPECT_TRUE(found);
    EXPECT_FALSE(present(m.trash + "/files/Moved"));
    EXPECT_EQ(m.shell().recycleBinContents().items, 1u);
    EXPECT_TRUE(m.shell().emptyRecycleBin());
    EXPECT_EQ(m.shell().recycleBinContents().items, 0u);
    EXPECT_TRUE(m.outsideIntact());
    if (!hadTrash) fs::remove_all(topTrash);
}

TEST(WineShellHost, GlibsTrashBringsTrashedItemsBackToTheirPlaces) {
    const std::string tools = "{ command -v gio && command -v dbus-run-session; } >/dev/null";
    if (korvex::test::RunShell(tools) != 0 || !present("/usr/libexec/gvfsd-trash"))
        GTEST_SKIP() << "gio, gvfs or dbus-run-session is not installed";
    ShellMachine m;
    m.makeInstallation();
    WriteHostFile(m.c("Program Files/Read Me.txt"), "read me");
    EXPECT_EQ(run(m, FO_DELETE, {"C:\\Program Files\\App", "C:\\Program Files\\Read Me.txt"}, kQuiet | FOF_ALLOWUNDO), 0);
    ASSERT_FALSE(present(m.c("Program Files/App")));
    const korvex::test::CommandResult restored = korvex::test::RunCommand(
        "timeout 120 dbus-run-session -- sh -c 'for u in $(gio trash --list | cut -f1); do gio trash --restore \"$u\" || exit 1; done'",
        m.root);
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(ReadHostFile(m.c("Program Files/Read Me.txt")), "read me");
    EXPECT_EQ(ReadHostFile(m.c("Program Files/App/app.exe")), "exe");
    EXPECT_EQ(fs::read_symlink(m.c("Program Files/App/data/loop")), "..");
    EXPECT_TRUE(fs::is_empty(m.trash + "/files"));
}

// Wine's own start-up (wineboot on a prefix it made) deletes what was scheduled.
TEST(WineStart, TheNextStartOfTheMachineCarriesOutAScheduledDeletion) {
    korvex::test::TempHostFolder folder("korvex-wine");
    const std::string prefix = folder.path() + "/prefix";
    if (!MakeWinebootPrefix(prefix)) GTEST_SKIP() << "wine is not installed here, or wineboot could not make a prefix";
    const std::string victim = prefix + "/drive_c/Program Files/App/in use.dll";
    WriteHostFile(victim, "dll");
    WriteHostFile(prefix + "/drive_c/Program Files/App/keep.txt", "keep");
    {
        std::string error;
        auto machine = WineMachine::open(prefix, &error);
        ASSERT_TRUE(machine) << error;
        ASSERT_TRUE(machine->shell().deleteAtRestart("C:\\Program Files\\App\\in use.dll"));
    }
    ASSERT_TRUE(present(victim));
    EXPECT_EQ(RunWine(prefix, "wineboot"), 0);
    EXPECT_FALSE(present(victim));
    EXPECT_TRUE(present(prefix + "/drive_c/Program Files/App/keep.txt"));
    EXPECT_EQ(ReadHostFile(prefix + "/system.reg").find("PendingFileRenameOperations"), std::string::npos);
}

}  // namespace
}  // namespace korvex::wine::test
