// Saving safely: atomic replacement that keeps the old file on any failure, and no
// writes while a wineserver runs for the prefix.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <regex>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/wine/atomic_file.h"
#include "platform/wine/wine_registry.h"
#include "platform/wine/wineserver.h"
#include "tests/support/fake_wineserver.h"
#include "tests/support/scoped_env.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using namespace korvex::testing;

TEST(AtomicFile, ReplacesKeepingPermissions) {
    TempHostFolder dir;
    const std::string path = dir / "system.reg";
    WriteHostFile(path, "old");
    ::chmod(path.c_str(), 0444);  // written through a temporary file the owner can write
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(path, "third", &error)) << error;
    EXPECT_EQ(ReadHostFile(path), "third");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0444));

    EXPECT_FALSE(ReplaceFileAtomically(dir / "no/such/folder.reg", "x", &error));
    EXPECT_NE(error.find(dir / "no/such/folder.reg"), std::string::npos);
}

TEST(WineRegistrySave, FailureMidwayKeepsTheOldFileAndTheChange) {
    TempHostFolder dir;
    CopyFixtures(dir.path());
    const std::string system = ReadHostFile(dir / "system.reg");
    // The child's files cannot grow past 64 KiB, so a save fails midway as on a full disk.
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        auto reg = WineRegistry::open(dir.path(), nullptr);
        const std::string avi = "Software\\Classes\\.avi";
        if (Write(*reg, HKEY_LOCAL_MACHINE, avi, "Content Type", "changed") != ERROR_WRITE_FAULT) ::_exit(12);
        if (reg->lastSaveError().find("system.reg") == std::string::npos) ::_exit(13);
        // The change is still pending, for a later attempt.
        if (Query(*reg, HKEY_LOCAL_MACHINE, avi, "Content Type") != sz("changed")) ::_exit(14);
        ::_exit(reg->flush() == ERROR_WRITE_FAULT ? 0 : 15);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);  // exited normally with code 0
    EXPECT_EQ(ReadHostFile(dir / "system.reg"), system);
    // No temporary file is left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// A process killed at any moment of its saves leaves system.reg whole: the file Wine
// wrote or one of Korvex's complete saves, never a mixture or a cut-off file.
TEST(WineRegistrySave, KilledAtAnyMomentLeavesAWholeFile) {
    TempHostFolder dir;
    CopyFixtures(dir.path());
    const std::string before = ReadHostFile(dir / "system.reg");
    // The first such line of the file is the .avi key's value; each save writes a new one.
    const std::regex value("\"Content Type\"=\"video/(avi|[0-9]+-[0-9]+)\"\n");

    std::set<std::string> seen;
    for (int round = 0; round < 16; ++round) {
        const ino_t inode = inodeOf(dir / "system.reg");
        const pid_t pid = ::fork();
        if (pid == 0) {
            auto reg = WineRegistry::open(dir.path(), nullptr);
            if (!reg) ::_exit(1);
            for (unsigned i = 0;; ++i)
                if (Write(*reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", "Content Type",
                          "video/" + std::to_string(round) + "-" + std::to_string(i)))
                    ::_exit(2);
        }
        ASSERT_GT(pid, 0);
        if (round < 8) {
            // Early kills land while the file is read or during the first save.
            std::this_thread::sleep_for(std::chrono::milliseconds(5 + 5 * round));
        } else {
            // Later ones once a save has replaced the file, somewhere in the next saves.
            for (int wait = 0; wait < 10000 && inodeOf(dir / "system.reg") == inode; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(3 * (round - 8)));
        }
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process stopped by itself: " << status;

        const std::string after = ReadHostFile(dir / "system.reg");
        std::smatch saved;
        ASSERT_TRUE(std::regex_search(after, saved, value)) << "round " << round;
        seen.insert(saved.str());
        const std::string back = std::regex_replace(after, value, "\"Content Type\"=\"video/avi\"\n",
                                                    std::regex_constants::format_first_only);
        ASSERT_TRUE(back == before) << "round " << round;
    }
    EXPECT_GT(seen.size(), 1u);  // the kills did land between saves
}

TEST(Wineserver, RunningServerRefusesEveryWrite) {
    TempHostFolder prefix, tmp;
    ScopedEnv override("TMPDIR", tmp.path());
    CopyFixtures(prefix.path());
    // Where the server's lock is looked for: Wine's default, then also the folders named
    // by the prefix's "wineserver" file, under $TMPDIR first. (That the folder's name is
    // the one Wine uses, the real wineserver's test shows.)
    const std::vector<std::string> standard = WineserverDirectories(prefix.path());
    ASSERT_EQ(standard.size(), 1u);
    const std::string name = standard[0].substr(standard[0].rfind('/'));
    EXPECT_TRUE(std::regex_match(standard[0], std::regex("/tmp/\\.wine-" + std::to_string(::getuid()) + "/server-[0-9a-f]+-[0-9a-f]+")));
    WriteHostFile(prefix / "wineserver", "wine-korvex1\n");
    const std::string serverDir = tmp / "wine-korvex1" + name;
    EXPECT_EQ(WineserverDirectories(prefix.path()), (std::vector<std::string>{serverDir, "/tmp/wine-korvex1" + name, standard[0]}));
    std::filesystem::create_directories(serverDir);
    const std::string system = ReadHostFile(prefix / "system.reg"), user = ReadHostFile(prefix / "user.reg");

    auto reg = WineRegistry::open(prefix.path(), nullptr);
    ASSERT_TRUE(reg);
    HKEY pending = 0;
    ASSERT_EQ(reg->openKey(HKEY_CURRENT_USER, "Environment", KEY_ALL_ACCESS_RW, &pending), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(pending, "Before", REG_SZ, sz("1")), ERROR_SUCCESS);
    EXPECT_EQ(reg->writeRefusal(), "");

    FakeWineserver server(serverDir + "/lock");
    ASSERT_TRUE(server.locked());
    EXPECT_EQ(reg->writeRefusal(), "Wine is running programs in this machine (wineserver process " +
                                       std::to_string(server.pid()) +
                                       "). Close them, or run \"wineserver -k\", then try again: Korvex does not "
                                       "change the registry while Wine is using it.");

    HKEY key = 0;
    // Every call that would change a file is refused (the list is evaluated in order).
    const std::vector<long> refused = {reg->setValue(pending, "During", REG_SZ, sz("1")), reg->deleteValue(pending, "TEMP"),
                                       reg->createKey(HKEY_CURRENT_USER, "Software\\New", &key),
                                       reg->deleteTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi"),
                                       reg->closeKey(pending), reg->flush()};
    EXPECT_EQ(refused, std::vector<long>(6, ERROR_LOCK_VIOLATION));
    EXPECT_EQ(key, 0u);
    // Reading goes on, and creating a key that exists only opens it.
    ASSERT_EQ(reg->createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", &key), ERROR_SUCCESS);
    EXPECT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(Query(*reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\.avi", "Content Type"), sz("video/avi"));
    EXPECT_EQ(ReadHostFile(prefix / "system.reg"), system);
    EXPECT_EQ(ReadHostFile(prefix / "user.reg"), user);

    server.stop();
    EXPECT_EQ(reg->flush(), ERROR_SUCCESS);
    const std::string after = ReadHostFile(prefix / "user.reg");
    EXPECT_NE(after.find("\n\"Before\"=\"1\"\n"), std::string::npos);
    EXPECT_EQ(after.find("During"), std::string::npos);
    EXPECT_EQ(ReadHostFile(prefix / "system.reg"), system);
}

// Asks until the answer is the one wanted, for at most tries * 50 ms; the last answer.
bool waitFor(bool wanted, int tries, const std::function<bool()>& ask) {
    for (int i = 0; i < tries && ask() != wanted; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ask();
}

// Wine's own server, when Wine is installed here.
TEST(Wineserver, RealWineserverIsSeen) {
    if (::access("/usr/bin/wineserver", X_OK) != 0) GTEST_SKIP() << "wineserver is not installed";
    TempHostFolder prefix;
    const std::string env = "WINEPREFIX='" + prefix.path() + "' WINEDEBUG=-all ";
    ASSERT_EQ(std::system((env + "/usr/bin/wineserver -p >/dev/null 2>&1").c_str()), 0);
    const auto running = [&] { return FindWineserver(prefix.path()).running; };
    const bool seen = waitFor(true, 100, running);
    auto reg = WineRegistry::open(prefix.path(), nullptr);
    HKEY key = 0;
    long created = reg ? reg->createKey(HKEY_CURRENT_USER, "Software\\Korvex!", &key) : -1;
    const std::string recorded = ReadHostFile(prefix / "wineserver"), folder = recorded.substr(0, recorded.find('\n'));
    std::system((env + "/usr/bin/wineserver -k >/dev/null 2>&1").c_str());
    EXPECT_TRUE(seen);
    EXPECT_EQ(created, ERROR_LOCK_VIOLATION);
    EXPECT_FALSE(waitFor(false, 200, running));  // gone after "-k"
    std::error_code ec;  // the server's folder that Wine named there goes too
    if (!folder.empty() && folder.find('/') == std::string::npos) std::filesystem::remove_all("/tmp/" + folder, ec);
}

}  // namespace
}  // namespace korvex::wine
