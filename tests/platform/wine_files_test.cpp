// The prefix's files under Windows paths, on real temporary prefixes.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/folders.h"
#include "platform/wine/wine_files.h"
#include "tests/support/host_files.h"

namespace korvex::wine {
namespace {

namespace fs = std::filesystem;
using namespace korvex::test;

// Sets a host file's modification time.
void setModified(const std::string& path, std::time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// A prefix in a temporary folder: C: is drive_c, D: a folder outside the prefix, Z:
// the host's root; device entries beside them.
class WineFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root + "/drive_c/windows/system32");
        fs::create_directories(root + "/dosdevices");
        const std::pair<std::string, const char*> links[] = {
            {"../drive_c", "c:"}, {driveD, "d:"}, {"/", "z:"},                       // the drives
            {"/dev/sda1", "c::"}, {"/dev/ttyS0", "com1"}, {"/dev/lp0", "lpt1"}};  // device entries
        for (const auto& [target, name] : links) fs::create_symlink(target, root + "/dosdevices/" + name);
        files = std::make_unique<WineFiles>(root);
    }
    std::string c(const std::string& relative) const { return root + "/drive_c/" + relative; }
    // A folder's entries, which must be listable.
    std::vector<std::pair<std::string, bool>> list(const std::string& folder) {
        std::vector<std::pair<std::string, bool>> out;
        EXPECT_TRUE(files->listFolder(folder, [&](std::string_view name, bool isFolder) {
            out.emplace_back(std::string(name), isFolder);
        })) << folder;
        return out;
    }

    TempHostFolder rootFolder{"korvex-files"}, driveDFolder{"korvex-d"};
    std::string root = rootFolder.path(), driveD = driveDFolder.path();
    std::unique_ptr<WineFiles> files;
};

TEST_F(WineFilesTest, WindowsPathsMapToHostPathsInAnyLetterCase) {
    std::string letters;  // drives come from the dosdevices links named like "c:" only
    for (const Drive& d : files->drives()) letters += d.letter;
    EXPECT_EQ(letters, "CDZ");
    WriteHostFile(c("Program Files/App/Data.DLL"), "x");
    EXPECT_EQ(files->hostPath("c:\\PROGRAM FILES\\app\\data.dll"), c("Program Files/App/Data.DLL"));
    EXPECT_EQ(files->hostPath("c:/program files/APP/"), c("Program Files/App"));
    // Missing parts are kept as written, below the parts that exist.
    EXPECT_EQ(files->hostPath("C:\\PROGRAM FILES\\New Dir\\x.TXT"), c("Program Files/New Dir/x.TXT"));
    EXPECT_EQ(files->hostPath("C:\\"), root + "/drive_c");
    EXPECT_EQ(files->hostPath("C:\\windows\\..\\Program Files\\.\\App"), c("Program Files/App"));
    EXPECT_EQ(files->hostPath("d:\\x"), driveD + "/x");
    EXPECT_EQ(files->hostPath("Q:\\x"), "");
    EXPECT_EQ(files->hostPath("relative\\x"), "");

    // An exact name wins over one that differs only in case.
    WriteHostFile(c("case/ab"), "lower");
    WriteHostFile(c("case/AB"), "upper");
    EXPECT_EQ(files->hostPath("C:\\case\\AB"), c("case/AB"));
    EXPECT_EQ(files->hostPath("C:\\case\\ab"), c("case/ab"));

    // Letters beyond ASCII fold too.
    WriteHostFile(c("Ünïcode Ω/x"), "u");
    EXPECT_EQ(files->hostPath("C:\\üNÏCODE ω\\X"), c("Ünïcode Ω/x"));

    EXPECT_EQ(files->longPathName("c:\\program files\\app\\"), "C:\\Program Files\\App\\");
    EXPECT_EQ(files->longPathName("c:\\program files\\app\\data.dll"), "C:\\Program Files\\App\\Data.DLL");
    EXPECT_EQ(files->longPathName("c:\\program files\\missing"), "");
}

TEST_F(WineFilesTest, HostPathsMapToWindowsPaths) {
    EXPECT_EQ(files->windowsPath(root + "/drive_c"), "C:\\");
    EXPECT_EQ(files->windowsPath(root + "/dosdevices/c:/windows"), "C:\\windows");  // through the drive link
    EXPECT_EQ(files->windowsPath(root + "/drive_c/windows/../users"), "C:\\users");
    EXPECT_EQ(files->windowsPath(driveD + "/Sub/x.txt"), "D:\\Sub\\x.txt");  // never Z: when D: holds it
    EXPECT_EQ(files->windowsPath("/etc/passwd"), "Z:\\etc\\passwd");
    EXPECT_EQ(files->windowsPath(c("bad\\name")), "");  // no Windows path can carry it
    EXPECT_EQ(files->windowsPath("relative/x"), "");

    fs::remove(root + "/dosdevices/z:");
    files->reloadDrives();
    EXPECT_EQ(files->windowsPath("/etc/passwd"), "");
}

TEST_F(WineFilesTest, ListingSkipsBadNamesReportsLinksAsFilesAndEnds) {
    WriteHostFile(c("tree/a.txt"), "aaaa");
    WriteHostFile(c("tree/sub/b.txt"), "bb");
    WriteHostFile(c("tree/sub/deeper/c.txt"), "c");
    WriteHostFile(c("tree/ünï.txt"), "u");
    fs::create_symlink(".", c("tree/loop"));          // a link to its own folder
    fs::create_symlink("/etc", c("tree/outside"));    // a link to a folder outside the drive
    for (const char* bad : {"line\nbreak", "bad\xff\xfeutf8", "del\x7f", "q?"})
        WriteHostFile(c("tree/") + bad, "bad");
    ::mkfifo(c("tree/fifo").c_str(), 0600);

    auto entries = list("C:\\TREE");
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, bool>>{{"a.txt", false}, {"fifo", false},
                                                                  {"loop", false}, {"outside", false}, {"sub", true},
                                                                  {"ünï.txt", false}}));

    // Links are never entered, not even when named directly.
    EXPECT_FALSE(files->listFolder("C:\\tree\\loop", [](std::string_view, bool) {}));

    // A whole walk ends and counts each real file once (links count their own size).
    EXPECT_EQ(FolderSize(*files, "C:\\tree"), 4 + 2 + 1 + 1 + 1 + 4);  // the links "." and "/etc" last
    std::string contents;
    EXPECT_FALSE(files->readFile("C:\\tree\\fifo", contents));  // never blocks on a FIFO
}

TEST_F(WineFilesTest, PseudoFileSystemsAreUnlistable) {
    fs::create_symlink("/", c("hostroot"));
    for (const char* folder : {"Z:\\proc\\self", "z:\\SYS", "C:\\hostroot\\proc"})
        EXPECT_FALSE(files->listFolder(folder, [&](std::string_view name, bool) { ADD_FAILURE() << folder << name; }));
    const auto rootEntries = list("Z:\\");
    EXPECT_NE(std::find(rootEntries.begin(), rootEntries.end(), std::make_pair(std::string("proc"), true)), rootEntries.end());
    EXPECT_TRUE(files->listFolder("Z:\\etc", [](std::string_view, bool) {}));

    // Nothing is written, made, moved or deleted there either.
    EXPECT_FALSE(files->replaceFile("Z:\\dev\\shm\\korvex-refused.txt", "x"));
    EXPECT_FALSE(files->createFolder("Z:\\dev\\shm\\korvex-refused"));
    EXPECT_EQ(files->createFile("Z:\\dev\\shm\\korvex-refused.txt"), nullptr);
    EXPECT_FALSE(files->deleteFile("Z:\\dev\\korvex-never-there"));
    EXPECT_FALSE(files->setAttributes("Z:\\proc\\self\\comm", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(fs::exists("/dev/shm/korvex-refused.txt"));
    EXPECT_FALSE(fs::exists("/dev/shm/korvex-refused"));
    std::error_code ec;
    fs::remove("/dev/shm/korvex-refused.txt", ec);
    fs::remove("/dev/shm/korvex-refused", ec);
}

TEST_F(WineFilesTest, InfoReportsSizeTimeAndWineAttributesAndSetAttributesWritesWinesFormat) {
    WriteHostFile(c("x.txt"), "hello");
    setModified(c("x.txt"), 1600000000);
    FileInfo i = files->info("C:\\X.TXT");
    EXPECT_EQ(i.size, 5u);
    EXPECT_EQ(i.modified, 1600000000);
    EXPECT_EQ(i.attributes, FILE_ATTRIBUTE_ARCHIVE);

    EXPECT_EQ(files->info("C:\\windows").attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(files->info("C:\\nothing").exists);
    EXPECT_FALSE(files->info("Q:\\x").exists);

    WriteHostFile(c(".hidden"), "h");
    EXPECT_EQ(files->info("C:\\.HIDDEN").attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

    ::chmod(c("x.txt").c_str(), 0444);
    EXPECT_EQ(files->info("C:\\x.txt").attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);

    // Written: Wine's own spelling of the extended attribute, read back.
    WriteHostFile(c("kvd/Cdbase.kvd"), "C:\\{\r\n}\r\n");
    ASSERT_TRUE(files->setAttributes("C:\\KVD\\cdbase.kvd", FILE_ATTRIBUTE_HIDDEN));
    char value[16] = {};
    ASSERT_EQ(::getxattr(c("kvd/Cdbase.kvd").c_str(), "user.DOSATTRIB", value, sizeof value), 3);
    EXPECT_EQ(std::string(value, 3), "0x2");
    EXPECT_EQ(files->info("C:\\kvd\\Cdbase.kvd").attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(files->setAttributes("C:\\kvd\\Cdbase.kvd", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(files->info("C:\\kvd\\Cdbase.kvd").attributes,
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(fs::status(c("kvd/Cdbase.kvd")).permissions() & fs::perms(0222), fs::perms::none);

    ASSERT_TRUE(files->setAttributes("C:\\kvd\\Cdbase.kvd", 0));
    EXPECT_EQ(files->info("C:\\kvd\\Cdbase.kvd").attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_LT(::getxattr(c("kvd/Cdbase.kvd").c_str(), "user.DOSATTRIB", value, sizeof value), 0);
    EXPECT_NE(fs::status(c("kvd/Cdbase.kvd")).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadHostFile(c("kvd/Cdbase.kvd")), "C:\\{\r\n}\r\n");

    EXPECT_FALSE(files->setAttributes("C:\\kvd\\missing.kvd", FILE_ATTRIBUTE_HIDDEN));
    fs::create_symlink("/etc/hostname", c("kvd/link"));
    EXPECT_FALSE(files->setAttributes("C:\\kvd\\link", FILE_ATTRIBUTE_HIDDEN));

    // Read: Samba's spelling, with its NUL, and one that is no number.
    WriteHostFile(c("samba.txt"), "s");
    WriteHostFile(c("junk.txt"), "j");
    ::setxattr(c("samba.txt").c_str(), "user.DOSATTRIB", "0x6", 4, 0);
    ::setxattr(c("junk.txt").c_str(), "user.DOSATTRIB", "junk", 4, 0);
    EXPECT_EQ(files->info("C:\\samba.txt").attributes,
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(files->info("C:\\junk.txt").attributes, FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(WineFilesTest, WritingMovingCopyingDeleting) {
    // A large streamed file arrives whole.
    std::string expected;
    for (int i = 0; i < 60000; ++i) expected += "C:\\folder number " + std::to_string(i) + "\\{\r\n";
    auto out = files->createFile("C:\\WINDOWS\\dbstemp.kvd");
    ASSERT_NE(out, nullptr);
    for (std::size_t at = 0; at < expected.size(); at += 25) out->write(expected.substr(at, 25));  // many small writes
    out->write(std::string(3 << 20, 'x'));  // and one larger than any buffer
    expected += std::string(3 << 20, 'x');
    EXPECT_TRUE(out->close());
    EXPECT_TRUE(ReadHostFile(c("windows/dbstemp.kvd")) == expected);
    EXPECT_EQ(files->createFile("C:\\no such folder\\x.kvd"), nullptr);
    fs::create_symlink("/tmp/korvex-should-not-exist", c("windows/link.kvd"));
    EXPECT_EQ(files->createFile("C:\\windows\\link.kvd"), nullptr);
    EXPECT_FALSE(fs::exists("/tmp/korvex-should-not-exist"));

    // Move: rename, a change of case only, and to another drive.
    EXPECT_TRUE(files->moveFile("C:\\windows\\dbstemp.kvd", "C:\\windows\\Cdbase.kvd"));
    EXPECT_TRUE(files->moveFile("C:\\windows\\cdbase.kvd", "C:\\windows\\CDBASE.KVD"));
    EXPECT_TRUE(fs::exists(c("windows/CDBASE.KVD")));
    EXPECT_FALSE(fs::exists(c("windows/Cdbase.kvd")));
    WriteHostFile(driveD + "/old.kvd", "old");
    EXPECT_TRUE(files->moveFile("C:\\windows\\CDBASE.KVD", "D:\\OLD.KVD"));
    EXPECT_TRUE(ReadHostFile(driveD + "/old.kvd") == expected);
    EXPECT_FALSE(files->moveFile("C:\\windows\\gone.kvd", "C:\\x.kvd"));

    // Copy replaces the destination and keeps the modification time.
    WriteHostFile(c("a.txt"), "new contents");
    setModified(c("a.txt"), 1500000000);
    WriteHostFile(c("b.txt"), "old");
    EXPECT_TRUE(files->copyFile("C:\\A.txt", "C:\\B.TXT"));
    EXPECT_EQ(ReadHostFile(c("b.txt")), "new contents");
    EXPECT_EQ(files->info("C:\\b.txt").modified, 1500000000);
    EXPECT_FALSE(files->copyFile("C:\\missing.txt", "C:\\c.txt"));

    // Delete: gone files count as deleted; empty folders go too; nothing else is left.
    EXPECT_TRUE(files->deleteFile("C:\\B.txt"));
    EXPECT_FALSE(fs::exists(c("b.txt")));
    EXPECT_TRUE(files->deleteFile("C:\\never\\was.txt"));
    fs::create_symlink(c("a.txt"), c("alink"));
    EXPECT_TRUE(files->deleteFile("C:\\alink"));
    EXPECT_TRUE(fs::exists(c("a.txt")));  // the link went, not its target

    // Folders: missing parents are made, existing ones keep their case.
    EXPECT_TRUE(files->createFolder("C:\\WINDOWS\\New\\Deeper"));
    EXPECT_TRUE(fs::is_directory(c("windows/New/Deeper")));
    EXPECT_TRUE(files->createFolder("c:\\windows\\new\\deeper"));
    EXPECT_TRUE(files->deleteFile("C:\\windows\\new\\deeper"));
    EXPECT_FALSE(fs::exists(c("windows/New/Deeper")));
    EXPECT_FALSE(files->createFolder("C:\\a.txt\\sub"));

    for (const auto& entry : fs::directory_iterator(c("windows")))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(WineFilesTest, MovesAcrossFileSystemsByCopying) {
    // /dev/shm is another file system than /tmp here; Korvex never writes there through
    // a drive, so the host-level move is tried directly.
    TempHostFolder shmFolder("../dev/shm/korvex-move");
    const std::string shm = shmFolder / "data";
    WriteHostFile(shm, "moved data");
    setModified(shm, 1400000000);
    WriteHostFile(c("target.dat"), "old");
    EXPECT_TRUE(MoveHostFile(shm, c("target.dat")));
    EXPECT_FALSE(fs::exists(shm));
    EXPECT_EQ(ReadHostFile(c("target.dat")), "moved data");
    EXPECT_EQ(files->info("C:\\target.dat").modified, 1400000000);
    EXPECT_FALSE(MoveHostFile(shm, c("again.dat")));  // the source is gone
    EXPECT_FALSE(fs::exists(c("again.dat")));
}

// Only other processes count: this one holding a file open does not, a Wine process
// that maps a DLL (and closes its descriptor, as Wine's loader does) does. A process
// holding a descriptor is covered by the shell tests.
TEST_F(WineFilesTest, FileInUseOnlyWhileAnotherProcessUsesIt) {
    WriteHostFile(c("windows/system32/own.dll"), "MZ");
    const int own = ::open(c("windows/system32/own.dll").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_FALSE(WineFiles(root).isFileInUse("C:\\windows\\system32\\own.dll"));
    ::close(own);

    // A copy of a system library preloaded into a program whose name starts with "wine".
    std::string library;
    for (const char* candidate : {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6",
                                  "/lib/aarch64-linux-gnu/libm.so.6", "/lib64/libm.so.6"})
        if (fs::exists(candidate)) library = candidate;
    if (library.empty()) GTEST_SKIP() << "no libm to map";
    fs::copy_file(library, c("windows/system32/mapped.dll"));
    fs::copy_file("/bin/sleep", root + "/wine-sleep");
    const std::string preload = "LD_PRELOAD=" + c("windows/system32/mapped.dll");
    char* env[] = {const_cast<char*>(preload.c_str()), nullptr};
    char* argv[] = {const_cast<char*>("wine-sleep"), const_cast<char*>("30"), nullptr};  // half a minute
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, (root + "/wine-sleep").c_str(), nullptr, nullptr, argv, env), 0);
    bool inUse = false;  // once the loader has mapped it
    for (int i = 0; i < 100 && !inUse; ++i, ::usleep(20000)) inUse = WineFiles(root).isFileInUse("C:\\windows\\system32\\MAPPED.DLL");
    EXPECT_TRUE(inUse);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(WineFiles(root).isFileInUse("C:\\windows\\system32\\mapped.dll"));
}

}  // namespace
}  // namespace korvex::wine
