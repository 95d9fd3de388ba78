// Makes a folder tree for the walk benchmark: FOLDERS folders below ROOT (ten sub
// folders per folder, breadth first, so the tree is a few levels deep as real drives
// are) and FILES empty files spread evenly over them.
//   bench_tree_make ROOT [FOLDERS=100000] [FILES=900000]
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [FOLDERS] [FILES]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const long folders = argc > 2 ? std::atol(argv[2]) : 100000;
    const long files = argc > 3 ? std::atol(argv[3]) : 900000;
    std::filesystem::create_directories(root);

    std::vector<std::string> made;
    made.reserve(static_cast<std::size_t>(folders));
    std::vector<std::string> parents{root};
    std::size_t next = 0;
    while (static_cast<long>(made.size()) < folders) {
        const std::string parent = parents[next++];
        for (int i = 0; i < 10 && static_cast<long>(made.size()) < folders; ++i) {
            std::string path = parent + "/Folder " + std::to_string(made.size());
            if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
                std::perror(path.c_str());
                return 1;
            }
            made.push_back(path);
            parents.push_back(path);
        }
    }
    for (long i = 0; i < files; ++i) {
        const std::string& folder = made[static_cast<std::size_t>(i) % made.size()];
        const std::string path = folder + "/file" + std::to_string(i) + ".dat";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            return 1;
        }
        ::close(fd);
    }
    std::printf("%ld folders, %ld files below %s\n", static_cast<long>(made.size()), files, root.c_str());
    return 0;
}
