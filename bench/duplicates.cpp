// The duplicate finder's benchmark program (bench/duplicates.sh runs it).
//
//   bench_duplicates make ROOT FOLDERS FILES
//     Makes FOLDERS folders below ROOT (ten sub folders per folder, breadth first) and
//     FILES small files spread over them, all with one modification time. Names recur
//     as on a real drive: a tenth of the files share twenty common names (thousands of
//     files each on a large tree), the rest come four to a name in four folders; every
//     fourth file of a name is a byte longer than the others.
//
//   bench_duplicates match PREFIX_DIR [plain]
//     On drive C: of the machine, with the default rules: the walk writing the
//     candidate list, then the matching, each timed; with "plain" the plain passes over
//     the same list too (their two work files kept in memory, so only their own cost
//     counts). Prints rows and seconds.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cleanup/duplicates.h"
#include "platform/fake/memory_files.h"
#include "platform/folders.h"
#include "platform/wine/wine_machine.h"
#include "tests/cleanup/plain_duplicates.h"
#include "bench/quiet_prompt.h"

using namespace korvex;
using korvex::bench::QuietPrompt;
using namespace korvex::cleanup;

namespace {

// The machine's files, except the two work files of the matching, which live in memory.
class WorkFilesInMemory : public FileSystem {
public:
    WorkFilesInMemory(FileSystem& disk, std::string a, std::string b) : disk_(disk), a_(std::move(a)), b_(std::move(b)) {
        memory_.createFolder("C:\\");
    }
    bool listFolder(std::string_view f, const EntryCallback& e) override { return disk_.listFolder(f, e); }
    FileInfo info(std::string_view p) override { return work(p) ? memory_.info(p) : disk_.info(p); }
    bool readFile(std::string_view p, std::string& c) override {
        return work(p) ? memory_.readFile(p, c) : disk_.readFile(p, c);
    }
    std::unique_ptr<OutputFile> createFile(std::string_view p) override { return disk_.createFile(p); }
    bool replaceFile(std::string_view p, std::string_view c) override {
        return work(p) ? memory_.replaceFile(p, c) : disk_.replaceFile(p, c);
    }
    bool moveFile(std::string_view, std::string_view) override { return false; }
    bool copyFile(std::string_view, std::string_view) override { return false; }
    bool deleteFile(std::string_view p) override { return work(p) ? memory_.deleteFile(p) : false; }
    bool createFolder(std::string_view) override { return false; }
    bool setAttributes(std::string_view, std::uint32_t) override { return false; }
    bool setExecutable(std::string_view) override { return false; }
    bool isFileInUse(std::string_view) override { return false; }

private:
    bool work(std::string_view p) const { return p == a_ || p == b_; }
    FileSystem& disk_;
    MemoryFiles memory_;
    std::string a_, b_;
};

// Elapsed and processor seconds since a start.
struct Clock {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    std::string text() const {
        char out[64];
        std::snprintf(out, sizeof out, "%.2f s elapsed, %.2f s cpu",
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
                      static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
        return out;
    }
};

int make(const std::string& root, long folders, long files) {
    std::vector<std::string> made;
    std::vector<std::string> parents{root};
    ::mkdir(root.c_str(), 0755);
    for (std::size_t next = 0; static_cast<long>(made.size()) < folders; ++next) {
        const std::string parent = parents[next];
        for (int i = 0; i < 10 && static_cast<long>(made.size()) < folders; ++i) {
            const std::string path = parent + "/Folder " + std::to_string(made.size());
            ::mkdir(path.c_str(), 0755);
            made.push_back(path);
            parents.push_back(path);
        }
    }
    const long folderCount = static_cast<long>(made.size());
    const std::string bytes(200, 'k');
    const struct timespec when[2] = {{1600000000, 0}, {1600000000, 0}};
    long written = 0;
    // One file: occurrence j of name key; no folder gets a name twice.
    auto put = [&](const std::string& folder, const std::string& name, long key, bool longer) {
        const std::size_t length = static_cast<std::size_t>(key * 7 % 120 + 1 + (longer ? 1 : 0));
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            return false;
        }
        if (::write(fd, bytes.data(), length) != static_cast<ssize_t>(length)) std::perror(path.c_str());
        ::futimens(fd, when);
        ::close(fd);
        ++written;
        return true;
    };
    const long perCommon = std::min(folderCount, files / 10 / 20);
    for (long c = 0; c < 20; ++c)
        for (long j = 0; j < perCommon; ++j)
            if (!put(made[static_cast<std::size_t>((c * 131 + j) % folderCount)], "common" + std::to_string(c) + ".txt",
                     c, j % 4 == 3))
                return 1;
    const long step = folderCount / 4 + 1;
    for (long k = 0; written < files; ++k)
        for (long j = 0; j < 4 && written < files; ++j)
            if (!put(made[static_cast<std::size_t>((k + j * step) % folderCount)],
                     "file" + std::to_string(k) + (k % 3 ? ".dll" : ".dat"), k, j == 3))
                return 1;
    std::printf("%ld folders, %ld files below %s\n", static_cast<long>(made.size()), files, root.c_str());
    return 0;
}

int match(const std::string& prefix, bool plain) {
    std::string error;
    auto machine = wine::WineMachine::open(prefix, &error);
    if (!machine) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    QuietPrompt prompt;
    const bool stop = false;
    FileSystem& disk = machine->files();
    const std::string candidates = "C:\\duplicate1.kvd", work = "C:\\temp.kvd";
    const DuplicateOptions options;

    // Rows are counted in the scan's totals.
    CleanUpScan scan{disk, prompt, stop, [](const CleanUpRow&) {}, 0, {}};
    Clock start;
    ListDuplicateCandidates(scan, "C:\\", SplitNameFilter(options.named), candidates);
    const std::string walk = start.text();

    const DuplicatePairTest test(disk, options, WindowsFolder(machine->system()));
    start = Clock();
    FindDuplicates(scan, candidates, test);
    std::printf("walk (candidate list)  %s\nmatching (grouped)     %s, %llu rows\n", walk.c_str(),
                start.text().c_str(), static_cast<unsigned long long>(scan.totals.files));

    if (plain) {
        WorkFilesInMemory files(disk, candidates, work);
        std::string list;
        disk.readFile(candidates, list);
        files.replaceFile(candidates, list);
        const DuplicatePairTest plainTest(files, options, WindowsFolder(machine->system()));
        CleanUpScan plainScan{files, prompt, stop, [](const CleanUpRow&) {}, 0, {}};
        start = Clock();
        test::PlainFindDuplicates(plainScan, candidates, work, plainTest);
        std::printf("matching (plain)       %s, %llu rows\n", start.text().c_str(),
                    static_cast<unsigned long long>(plainScan.totals.files));
    }
    disk.deleteFile(candidates);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "make") == 0) return make(argv[2], std::atol(argv[3]), std::atol(argv[4]));
    if (argc >= 3 && std::strcmp(argv[1], "match") == 0) return match(argv[2], argc > 3 && std::strcmp(argv[3], "plain") == 0);
    std::fprintf(stderr, "usage: %s make ROOT FOLDERS FILES | match PREFIX_DIR [plain]\n", argv[0]);
    return 2;
}
