// Where the time of a drive walk goes: the same WalkFolder over the Wine backend
// (WineFiles: Windows path resolved without regard to case, links and pseudo file
// systems refused, names checked) and over a bare listing that maps the Windows path
// straight onto the host folder (no checks at all). Output is counted, not written.
//   bench_tree_walk PREFIX_DIR [RUNS=3]
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <dirent.h>

#include "platform/prompt.h"
#include "platform/wine/wine_files.h"
#include "scandb/walk_folder.h"
#include "bench/quiet_prompt.h"

using namespace korvex;
using korvex::bench::QuietPrompt;

namespace {

class CountingOutput : public OutputFile {
public:
    void write(std::string_view data) override { bytes += data.size(); }
    bool close() override { return true; }
    std::size_t bytes = 0;
};

// C:\a\b\ -> DRIVE_C/a/b/, nothing checked: the floor any backend could reach.
class BareFiles : public FileSystem {
public:
    explicit BareFiles(std::string driveC) : root_(std::move(driveC)) {}
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override {
        path_ = root_;
        for (char c : folder.substr(2)) path_ += c == '\\' ? '/' : c;
        DIR* dir = ::opendir(path_.c_str());
        if (!dir) return false;
        while (const dirent* e = ::readdir(dir)) {
            const std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
            onEntry(name, e->d_type == DT_DIR);
        }
        ::closedir(dir);
        return true;
    }
    FileInfo info(std::string_view) override { return {}; }
    bool readFile(std::string_view, std::string&) override { return false; }
    std::unique_ptr<OutputFile> createFile(std::string_view) override { return nullptr; }
    bool replaceFile(std::string_view, std::string_view) override { return false; }
    bool moveFile(std::string_view, std::string_view) override { return false; }
    bool copyFile(std::string_view, std::string_view) override { return false; }
    bool deleteFile(std::string_view) override { return false; }
    bool createFolder(std::string_view) override { return false; }
    bool setAttributes(std::string_view, std::uint32_t) override { return false; }
    bool setExecutable(std::string_view) override { return false; }
    bool isFileInUse(std::string_view) override { return false; }

private:
    std::string root_;
    std::string path_;
};

// Best elapsed seconds of runs walks; *cpu gets the processor time of that run.
double bestWalk(FileSystem& files, int runs, std::size_t* bytes, double* cpu) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QuietPrompt prompt;
        CountingOutput out;
        const bool stop = false;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        scandb::WalkFolder(files, prompt, "C:\\", out, stop);
        const double cpuTook = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) {
            best = took.count();
            *cpu = cpuTook;
        }
        *bytes = out.bytes;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PREFIX_DIR [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string prefix = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    wine::WineFiles wine(prefix);
    BareFiles bare(prefix + "/drive_c");
    std::size_t wineBytes = 0, bareBytes = 0;
    double cWine = 0, cBare = 0;
    const double tWine = bestWalk(wine, runs, &wineBytes, &cWine);
    const double tBare = bestWalk(bare, runs, &bareBytes, &cBare);
    std::printf("WalkFolder over WineFiles     %.2f s elapsed, %.2f s cpu (%zu bytes of list)\n", tWine, cWine,
                wineBytes);
    std::printf("WalkFolder over bare listing  %.2f s elapsed, %.2f s cpu (%zu bytes of list)\n", tBare, cBare,
                bareBytes);
    return 0;
}
