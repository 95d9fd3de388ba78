// Times the removal layer against the standard tools on the same warm tree: deleting
// for good (WineShell FO_DELETE) against rm -rf, and sending to the Trash (FOF_ALLOWUNDO)
// against gio trash, each on a tree of FILES files in FOLDERS folders below C:\Program
// Files of a fresh machine, removed as one folder and as its FOLDERS sub folders.
// XDG_DATA_HOME points into WORK_DIR, so the user's own Trash is never used. Run it
// through bench/shell_remove.sh (which gives gio a D-Bus session).
//   bench_shell_remove [WORK_DIR=/tmp/korvex-bench-remove] [RUNS=3] [FOLDERS=1000] [FILES=100000]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/fake/scripted_prompt.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void makeTree(const std::string& root, long folders, long files) {
    fs::create_directories(root);
    for (long f = 0; f < folders; ++f) {
        const std::string folder = root + "/Folder " + std::to_string(f);
        ::mkdir(folder.c_str(), 0755);
        for (long i = f; i < files; i += folders) {
            const int fd = ::open((folder + "/file" + std::to_string(i) + ".dat").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0) ::close(fd);
        }
    }
    // Warm: every folder read once more, as the tools will read them.
    std::size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) ++n;
    (void)n;
}

int runProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <typename F>
double seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string work = argc > 1 ? argv[1] : "/tmp/korvex-bench-remove";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const long folders = argc > 3 ? std::atol(argv[3]) : 1000;
    const long files = argc > 4 ? std::atol(argv[4]) : 100000;
    fs::remove_all(work);
    fs::create_directories(work + "/xdg");
    ::setenv("XDG_DATA_HOME", (work + "/xdg").c_str(), 1);
    std::string error;
    if (!korvex::wine::CreateMachine(work + "/machine", korvex::wine::WindowsVersion::Win7, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    auto machine = korvex::wine::WineMachine::open(work + "/machine", &error);
    if (!machine) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    korvex::ScriptedPrompt prompt;
    const std::string tree = work + "/machine/drive_c/Program Files/Tree";
    const std::string windowsTree = "C:\\Program Files\\Tree";
    const bool haveGio = runProgram({"sh", "-c", "command -v gio >/dev/null"}) == 0;

    const auto shell = [&](bool trash, bool each) {
        korvex::FileOperation op;
        op.fFlags = korvex::FOF_NOCONFIRMATION | korvex::FOF_NOERRORUI | (trash ? korvex::FOF_ALLOWUNDO : 0);
        if (each)
            for (long f = 0; f < folders; ++f) op.from.push_back(windowsTree + "\\Folder " + std::to_string(f));
        else
            op.from = {windowsTree};
        if (machine->shell().fileOperation(op, prompt) != 0) std::fprintf(stderr, "korvex failed\n");
    };
    const auto tool = [&](const char* program, bool each) {
        std::vector<std::string> args{program};
        if (std::string(program) == "rm") args.push_back("-rf");
        else args.push_back("trash");
        if (each)
            for (long f = 0; f < folders; ++f) args.push_back(tree + "/Folder " + std::to_string(f));
        else
            args.push_back(tree);
        if (runProgram(args) != 0) std::fprintf(stderr, "%s failed\n", program);
    };

    struct Row {
        const char* name;
        std::function<void()> korvex, standard;
        bool available;
    };
    std::vector<Row> rows = {
        {"delete for good, one folder  (rm -rf)", [&] { shell(false, false); }, [&] { tool("rm", false); }, true},
        {"delete for good, each folder (rm -rf)", [&] { shell(false, true); }, [&] { tool("rm", true); }, true},
        {"to the Trash, one folder     (gio trash)", [&] { shell(true, false); }, [&] { tool("gio", false); }, haveGio},
        {"to the Trash, each folder    (gio trash)", [&] { shell(true, true); }, [&] { tool("gio", true); }, haveGio},
    };
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%ld files in %ld folders, best of %d runs each\n", files, folders, runs);
    for (const Row& row : rows) {
        if (!row.available) {
            std::printf("%-42s skipped: gio is not installed\n", row.name);
            continue;
        }
        double best[2] = {1e9, 1e9};
        for (int r = 0; r < runs; ++r)
            for (int turn = 0; turn < 2; ++turn) {
                const int who = (turn + r) % 2;  // each goes first in every other run
                makeTree(tree, folders, files);
                ::sync();  // the new tree is written out: both start from clean, cached folders
                best[who] = std::min(best[who], seconds(who == 0 ? row.korvex : row.standard));
                fs::remove_all(work + "/xdg/Trash");
                if (fs::exists(tree)) fs::remove_all(tree);
            }
        std::printf("%-42s korvex %.3f s, standard %.3f s, ratio %.2f (aim <= 1.5)\n", row.name, best[0], best[1],
                    best[0] / best[1]);
    }
    fs::remove_all(work);
    return 0;
}
