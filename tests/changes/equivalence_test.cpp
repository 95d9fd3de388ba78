// The indexed comparisons of changes/ against their step-by-step versions
// (literal_compare.cpp) on generated trees and registries with thousands of changes:
// new files and folders, nested new folders, letter-case variants, removed and
// reordered sections, keys that share beginnings, searches that wrap round the ring,
// and the odd lines the formats do not guard against.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "changes/file_compare.h"
#include "changes/line_views.h"
#include "changes/registry_compare.h"
#include "changes/run_hooks.h"
#include "literal_compare.h"
#include "platform/text.h"

namespace korvex {
namespace {

// A folder (name, files, sub folders) or a registry key (name, sub keys).
struct Node {
    std::string name;
    std::vector<std::string> files;
    std::vector<Node> subs;
};

class Names {
public:
    explicit Names(unsigned seed) : rng_(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    template <std::size_t N>
    std::string oneOf(const char* const (&words)[N]) { return words[pick(static_cast<int>(N))]; }

    std::string file() {
        static const char* const stems[] = {"readme", "setup", "App", "app", "lib", "data", "Read", "x"};
        static const char* const exts[] = {".txt", ".dll", ".exe", ".ini", "", ".TXT"};
        return oneOf(stems) + std::to_string(pick(400)) + oneOf(exts);
    }
    std::string folder() {
        static const char* const stems[] = {"Program", "App", "Application", "Temp", "TEMP", "{x", "sub", "Vendor"};
        return oneOf(stems) + (chance(0.7) ? std::to_string(pick(50)) : "");
    }
    std::string key() {
        static const char* const words[] = {"Software", "Vendor", "Ven", "VendorX", "App", "AppHelper", "NewApp",
                                            "Microsoft", "Windows", "1.0", "Classes", "Run", "A", "ab"};
        return oneOf(words) + (chance(0.5) ? std::to_string(pick(30)) : "");
    }
    std::string caseVariant(std::string s) {
        for (char& c : s)
            if (chance(0.5)) c = (c >= 'a' && c <= 'z') ? UpperAscii(c) : LowerAscii(c);
        return s;
    }
    template <class T>
    void insertSomewhere(std::vector<T>& v, T item) { v.insert(v.begin() + pick(static_cast<int>(v.size()) + 1), item); }
    template <class T>
    void eraseOne(std::vector<T>& v) { v.erase(v.begin() + pick(static_cast<int>(v.size()))); }

private:
    std::mt19937 rng_;
};

// A generated tree of folders with files, or of registry keys (no files, more sub keys).
Node randomNode(Names& names, int depth, const std::string& name, bool keys = false) {
    Node n{name, {}, {}};
    if (!keys)
        for (int i = names.pick(8); i > 0; --i) n.files.push_back(names.file());
    if (depth > 0)
        for (int i = names.pick((depth > 2 ? 8 : 5) + (keys ? 1 : 0)); i > 0; --i)
            n.subs.push_back(randomNode(names, depth - 1, keys ? names.key() : names.folder(), keys));
    return n;
}

void emit(const Node& f, const std::string& path, std::string& out) {
    out += path + "{\r\n";
    for (const auto& file : f.files) out += file + "\r\n";
    out += "}\r\n";
    for (const auto& sub : f.subs) emit(sub, path + sub.name + "\\", out);
}

// The same tree after an installation: files and folders added, some names in other
// letter case, some things removed, sibling folders listed in another order, and
// now and then a line the list format does not guard against.
void mutate(Node& f, Names& names, bool quirks) {
    if (names.chance(0.3))
        for (int i = 1 + names.pick(3); i > 0; --i) names.insertSomewhere(f.files, names.file());
    for (auto& file : f.files)
        if (names.chance(0.05)) file = names.caseVariant(file);
    if (!f.files.empty() && names.chance(0.1)) names.eraseOne(f.files);
    if (quirks && names.chance(0.01)) f.files.insert(f.files.begin(), "}");
    if (quirks && names.chance(0.01)) f.files.push_back("");
    if (names.chance(0.08)) names.insertSomewhere(f.subs, randomNode(names, 2, names.folder()));
    if (quirks && names.chance(0.01)) f.subs.push_back(Node{"odd:name", {"a.txt"}, {}});
    if (!f.subs.empty() && names.chance(0.04)) names.eraseOne(f.subs);
    if (f.subs.size() >= 2 && names.chance(0.05)) {
        const int n = static_cast<int>(f.subs.size());
        std::swap(f.subs[names.pick(n)], f.subs[names.pick(n)]);
    }
    for (auto& sub : f.subs) {
        if (names.chance(0.03)) sub.name = names.caseVariant(sub.name);
        mutate(sub, names, quirks);
    }
}

std::string indexedMerge(const std::string& current, const std::string& database) {
    std::string changes;
    EXPECT_TRUE(MergeFolderLists(LineTable(current), LineTable(database), changes, RunHooks{}));
    return changes;
}

// The first lines of a text, as a list cut off in the middle of a section (a disk that filled up).
std::string cut(const std::string& text, Names& names) {
    auto lines = LineViews(text);
    std::string out;
    const int keep = lines.empty() ? 0 : names.pick(static_cast<int>(lines.size()));
    for (int i = 0; i < keep; ++i) out += std::string(lines[i]) + "\r\n";
    return out;
}

TEST(Equivalence, FileMergeMatchesTheStepByStepMergeOnGeneratedTrees) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Names names(seed == 25 ? 99 : seed);
        const bool quirks = seed % 3 == 0;
        // The last tree lists its top-level folders in reverse, so that every section is
        // found by a search round the ring, and its drive letter in lower case.
        const bool reversed = seed == 25;
        std::string database, current;
        // One, two or three drives joined in drive order.
        for (int d = 0; d < (reversed ? 1 : 1 + static_cast<int>(seed % 3)); ++d) {
            Node drive = randomNode(names, seed % 4 == 0 ? 6 : 5, "");
            const std::string root = std::string(1, static_cast<char>('C' + d)) + ":\\";
            emit(drive, root, database);
            if (reversed) std::reverse(drive.subs.begin(), drive.subs.end());
            mutate(drive, names, quirks);
            emit(drive, reversed ? "c:\\" : root, current);
        }
        if (seed % 8 == 5) database.clear();  // an empty database: everything is new
        ASSERT_EQ(indexedMerge(current, database), literal::MergeFolderLists(current, database));
        if (quirks) {
            const std::string shortCurrent = cut(current, names), shortDatabase = cut(database, names);
            EXPECT_EQ(indexedMerge(shortCurrent, database), literal::MergeFolderLists(shortCurrent, database));
            EXPECT_EQ(indexedMerge(current, shortDatabase), literal::MergeFolderLists(current, shortDatabase));
        }
    }
}

// A dump: a key before its sub keys, sub keys in reverse alphabetical order (or, for
// a current dump taken differently, in the order given).
void dump(const Node& key, const std::string& path, bool sorted, std::string& out) {
    out += path + "\r\n";
    std::vector<const Node*> subs;
    for (const auto& s : key.subs) subs.push_back(&s);
    if (sorted)
        std::stable_sort(subs.begin(), subs.end(),
                         [](const Node* a, const Node* b) { return CompareNoCase(a->name, b->name) > 0; });
    for (const Node* s : subs) dump(*s, path.empty() ? s->name : path + "\\" + s->name, sorted, out);
}

void mutateKeys(Node& key, Names& names) {
    if (names.chance(0.12)) key.subs.push_back(randomNode(names, names.pick(3), names.key(), true));
    if (!key.subs.empty() && names.chance(0.05)) names.eraseOne(key.subs);
    for (auto& s : key.subs) {
        if (names.chance(0.03)) s.name = names.caseVariant(s.name);
        mutateKeys(s, names);
    }
}

TEST(Equivalence, RegistryComparisonMatchesTheStepByStepComparisonOnGeneratedHives) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Names names(1000 + seed);
        Node root = randomNode(names, seed % 5 == 0 ? 6 : 5, "", true);
        std::string saved, current;
        dump(root, "", true, saved);
        mutateKeys(root, names);
        // Mostly the same order; sometimes enumerated otherwise, so that keys are
        // found behind the search position (round the ring).
        dump(root, "", seed % 4 != 1, current);
        if (seed % 10 == 7) saved.clear();  // an empty saved dump
        std::string got;
        EXPECT_TRUE(CompareKeyLists(LineTable(saved), LineTable(current), got, RunHooks{}));
        ASSERT_EQ(got, literal::CompareKeyLists(saved, current));
    }
}

}  // namespace
}  // namespace korvex
