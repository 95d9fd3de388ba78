// Where the time of a find-changes comparison goes, without the walk: a scan database
// of FOLDERS folders and FILES files (made in memory, the shape of bench_tree_make's
// tree) against a current list with 1% new entries, merged by MergeFolderLists; and a
// registry dump of KEYS keys with 1% new keys, compared by CompareKeyLists. Also a
// current list in another folder order, where every section takes the ring search.
//   bench_changes_merge [FOLDERS=100000] [FILES=900000] [KEYS=200000]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "changes/file_compare.h"
#include "changes/line_views.h"
#include "changes/registry_compare.h"

using namespace korvex;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Tree {
    std::vector<std::string> paths;          // folder paths ending in "\", breadth-first made
    std::vector<std::vector<long>> children;
    std::vector<std::vector<std::string>> files;
};

Tree makeTree(long folders, long files) {
    Tree t;
    t.paths.push_back("C:\\tree\\");
    t.children.emplace_back();
    t.files.emplace_back();
    std::size_t next = 0;
    while (static_cast<long>(t.paths.size()) < folders + 1) {
        std::size_t parent = next++;
        for (int i = 0; i < 10 && static_cast<long>(t.paths.size()) < folders + 1; ++i) {
            t.children[parent].push_back(static_cast<long>(t.paths.size()));
            t.paths.push_back(t.paths[parent] + "Folder " + std::to_string(t.paths.size() - 1) + "\\");
            t.children.emplace_back();
            t.files.emplace_back();
        }
    }
    for (long i = 0; i < files; ++i)
        t.files[1 + static_cast<std::size_t>(i % folders)].push_back("file" + std::to_string(i) + ".dat");
    return t;
}

void emit(const Tree& t, long folder, std::string& out, bool reverse) {
    std::vector<long> stack{folder};
    while (!stack.empty()) {
        long f = stack.back();
        stack.pop_back();
        out += t.paths[f];
        out += "{\r\n";
        for (const auto& name : t.files[f]) out += name + "\r\n";
        out += "}\r\n";
        const auto& kids = t.children[f];
        if (reverse)
            for (long k : kids) stack.push_back(k);
        else
            for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back(*it);
    }
}

void timeMerge(const char* what, const std::string& current, const std::string& database) {
    auto start = std::chrono::steady_clock::now();
    LineTable cur(current);
    LineTable db(database);
    double split = seconds(start);
    start = std::chrono::steady_clock::now();
    std::string changes;
    MergeFolderLists(cur, db, changes, RunHooks{});
    double merge = seconds(start);
    std::printf("%-44s split %.3f s, merge %.3f s, %zu change lines\n", what, split, merge, LineViews(changes).size());
}

}  // namespace

int main(int argc, char** argv) {
    const long folders = argc > 1 ? std::atol(argv[1]) : 100000;
    const long files = argc > 2 ? std::atol(argv[2]) : 900000;
    const long keys = argc > 3 ? std::atol(argv[3]) : 200000;

    Tree tree = makeTree(folders, files);
    std::string database;
    emit(tree, 0, database, false);
    // 1%: new folders (a tenth of them top level, the rest nested) and new files.
    const long newFolders = folders / 100, newFiles = files / 100;
    for (long i = 0; i < newFiles * 4 / 9; ++i) tree.files[1 + static_cast<std::size_t>((i * 97) % folders)].push_back("new" + std::to_string(i) + ".dll");
    for (long i = 0; i < newFolders; ++i) {
        long parent = i % 10 == 0 ? 1 + (i * 31) % folders : static_cast<long>(tree.paths.size()) - 1;
        tree.children[parent].push_back(static_cast<long>(tree.paths.size()));
        tree.paths.push_back(tree.paths[parent] + "New " + std::to_string(i) + "\\");
        tree.children.emplace_back();
        tree.files.emplace_back(std::vector<std::string>(static_cast<std::size_t>(newFiles * 5 / 9 / newFolders), "n.dat"));
    }
    std::string current;
    emit(tree, 0, current, false);
    std::printf("database %zu lines, current %zu lines\n", LineViews(database).size(), LineViews(current).size());
    timeMerge("unchanged", database, database);
    timeMerge("1% added", current, database);
    std::string reordered;
    emit(tree, 0, reordered, true);
    timeMerge("1% added, sub folders in reverse order", reordered, database);

    // Registry: a key tree of KEYS keys, reverse alphabetical like a dump, 1% new.
    std::string saved, now;
    saved += "\r\n";
    now += "\r\n";
    for (long i = 0; i < keys; ++i) {
        std::string key = "Software\\Vendor " + std::to_string(i / 100) + "\\App " + std::to_string(i % 100);
        saved += key + "\r\n";
        now += key + "\r\n";
        if (i % 100 == 50) now += "Software\\Vendor " + std::to_string(i / 100) + "\\New App\r\n";
    }
    auto start = std::chrono::steady_clock::now();
    std::string added;
    CompareKeyLists(LineTable(saved), LineTable(now), added, RunHooks{});
    std::printf("%-44s compare %.3f s, %zu added\n", "registry, 1% new keys", seconds(start), LineViews(added).size());
    return 0;
}
