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
#include "changes/find_changes.h"
#include "changes/line_views.h"
#include "changes/registry_compare.h"
#include "changes/run_hooks.h"
#include "literal_compare.h"
#include "platform/text.h"

namespace korvex {
namespace {

struct Folder {
    std::string name;
    std::vector<std::string> files;
    std::vector<Folder> subs;
};

class Names {
public:
    explicit Names(std::mt19937& rng) : rng_(rng) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    std::string file() {
        static const char* stems[] = {"readme", "setup", "App", "app", "lib", "data", "Read", "x"};
        static const char* exts[] = {".txt", ".dll", ".exe", ".ini", "", ".TXT"};
        return std::string(stems[pick(8)]) + std::to_string(pick(400)) + exts[pick(6)];
    }
    std::string folder() {
        static const char* stems[] = {"Program", "App", "Application", "Temp", "TEMP", "{x", "sub", "Vendor"};
        std::string n = std::string(stems[pick(8)]);
        if (chance(0.7)) n += std::to_string(pick(50));
        return n;
    }
    std::string caseVariant(std::string s) {
        for (char& c : s)
            if (chance(0.5)) c = (c >= 'a' && c <= 'z') ? UpperAscii(c) : LowerAscii(c);
        return s;
    }

private:
    std::mt19937& rng_;
};

Folder randomFolder(Names& names, int depth, const std::string& name) {
    Folder f{name, {}, {}};
    int files = names.pick(8);
    for (int i = 0; i < files; ++i) f.files.push_back(names.file());
    if (depth > 0) {
        int subs = names.pick(depth > 2 ? 8 : 5);
        for (int i = 0; i < subs; ++i) f.subs.push_back(randomFolder(names, depth - 1, names.folder()));
    }
    return f;
}

void emit(const Folder& f, const std::string& path, std::string& out) {
    out += path + "{\r\n";
    for (const auto& file : f.files) out += file + "\r\n";
    out += "}\r\n";
    for (const auto& sub : f.subs) emit(sub, path + sub.name + "\\", out);
}

// The same tree after an installation: files and folders added, some names in other
// letter case, some things removed, sibling folders listed in another order, and
// now and then a line the list format does not guard against.
void mutate(Folder& f, Names& names, int& changes, bool quirks) {
    if (names.chance(0.3)) {
        int add = 1 + names.pick(3);
        for (int i = 0; i < add; ++i) {
            f.files.insert(f.files.begin() + names.pick(static_cast<int>(f.files.size()) + 1), names.file());
            ++changes;
        }
    }
    for (auto& file : f.files)
        if (names.chance(0.05)) file = names.caseVariant(file);
    if (!f.files.empty() && names.chance(0.1)) f.files.erase(f.files.begin() + names.pick(static_cast<int>(f.files.size())));
    if (quirks && names.chance(0.01)) f.files.insert(f.files.begin(), "}");
    if (quirks && names.chance(0.01)) f.files.push_back("");
    if (names.chance(0.08)) {
        Folder added = randomFolder(names, 2, names.folder());
        f.subs.insert(f.subs.begin() + names.pick(static_cast<int>(f.subs.size()) + 1), added);
        ++changes;
    }
    if (quirks && names.chance(0.01)) {
        f.subs.push_back(Folder{"odd:name", {"a.txt"}, {}});
        ++changes;
    }
    if (!f.subs.empty() && names.chance(0.04)) f.subs.erase(f.subs.begin() + names.pick(static_cast<int>(f.subs.size())));
    if (f.subs.size() >= 2 && names.chance(0.05)) {
        std::swap(f.subs[names.pick(static_cast<int>(f.subs.size()))], f.subs[names.pick(static_cast<int>(f.subs.size()))]);
    }
    for (auto& sub : f.subs) {
        if (names.chance(0.03)) sub.name = names.caseVariant(sub.name);
        mutate(sub, names, changes, quirks);
    }
}

struct MergeResult {
    std::string changes;
    double steps;
};

MergeResult indexedMerge(const std::string& current, const std::string& database) {
    FindProgress progress;
    progress.setMaximum(1e15);
    bool stop = false;
    RunHooks hooks;
    hooks.stop = &stop;
    hooks.progress = &progress;
    MergeResult r;
    EXPECT_TRUE(MergeFolderLists(LineTable(current), LineTable(database), r.changes, hooks));
    r.steps = progress.position();
    return r;
}

TEST(Equivalence, FileMergeMatchesTheStepByStepMergeOnGeneratedTrees) {
    int totalChanges = 0;
    int totalNewFolders = 0;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        std::mt19937 rng(seed);
        Names names(rng);
        const bool quirks = seed % 3 == 0;
        std::string database, current;
        // One, two or three drives joined in drive order.
        const int driveCount = 1 + static_cast<int>(seed % 3);
        for (int d = 0; d < driveCount; ++d) {
            Folder drive = randomFolder(names, seed % 4 == 0 ? 6 : 5, "");
            std::string root = std::string(1, static_cast<char>('C' + d)) + ":\\";
            emit(drive, root, database);
            mutate(drive, names, totalChanges, quirks);
            emit(drive, root, current);
        }
        if (seed % 8 == 5) database.clear();  // an empty database: everything is new
        int literalSteps = 0;
        const std::string expected = literal::MergeFolderLists(current, database, &literalSteps);
        const MergeResult got = indexedMerge(current, database);
        ASSERT_EQ(got.changes, expected) << "seed " << seed;
        EXPECT_EQ(got.steps, literalSteps) << "seed " << seed;
        for (auto line : LineViews(expected))
            if (!line.empty() && line[0] == '!') ++totalNewFolders;
        if (quirks) {
            // Lists cut off in the middle of a section (a disk that filled up).
            auto cut = [&](const std::string& text) {
                auto lines = LineViews(text);
                std::string out;
                std::size_t keep = lines.empty() ? 0 : static_cast<std::size_t>(names.pick(static_cast<int>(lines.size())));
                for (std::size_t i = 0; i < keep; ++i) out += std::string(lines[i]) + "\r\n";
                return out;
            };
            const std::string shortCurrent = cut(current), shortDatabase = cut(database);
            EXPECT_EQ(indexedMerge(shortCurrent, database).changes, literal::MergeFolderLists(shortCurrent, database));
            EXPECT_EQ(indexedMerge(current, shortDatabase).changes, literal::MergeFolderLists(current, shortDatabase));
        }
    }
    // The generated runs really exercised the cases above.
    EXPECT_GT(totalChanges, 3000);
    EXPECT_GT(totalNewFolders, 300);
}

TEST(Equivalence, FileMergeMatchesWhenSectionsComeInAnotherOrder) {
    std::mt19937 rng(99);
    Names names(rng);
    Folder drive = randomFolder(names, 5, "");
    std::string database;
    emit(drive, "C:\\", database);
    // The current list lists the top-level folders in reverse: every section is
    // found by a search that goes round the ring.
    std::reverse(drive.subs.begin(), drive.subs.end());
    int changes = 0;
    mutate(drive, names, changes, false);
    std::string current;
    emit(drive, "c:\\", current);  // and the drive letter in lower case
    EXPECT_EQ(indexedMerge(current, database).changes, literal::MergeFolderLists(current, database));
}

struct Key {
    std::string name;
    std::vector<Key> subs;
};

class KeyNames {
public:
    explicit KeyNames(std::mt19937& rng) : names_(rng), rng_(rng) {}
    std::string name() {
        static const char* words[] = {"Software", "Vendor", "Ven", "VendorX", "App", "AppHelper", "NewApp",
                                      "Microsoft", "Windows", "1.0", "Classes", "Run", "A", "ab"};
        std::string n = words[names_.pick(14)];
        if (names_.chance(0.5)) n += std::to_string(names_.pick(30));
        return n;
    }
    Names names_;
    std::mt19937& rng_;
};

Key randomKey(KeyNames& k, int depth, const std::string& name) {
    Key key{name, {}};
    if (depth > 0) {
        int n = k.names_.pick(depth > 2 ? 9 : 6);
        for (int i = 0; i < n; ++i) key.subs.push_back(randomKey(k, depth - 1, k.name()));
    }
    return key;
}

// A dump: a key before its sub keys, sub keys in reverse alphabetical order (or, for
// a current dump taken differently, in the order given).
void dump(const Key& key, const std::string& path, bool sorted, std::string& out) {
    out += path + "\r\n";
    std::vector<const Key*> subs;
    for (const auto& s : key.subs) subs.push_back(&s);
    if (sorted)
        std::stable_sort(subs.begin(), subs.end(),
                         [](const Key* a, const Key* b) { return CompareNoCase(a->name, b->name) > 0; });
    for (const Key* s : subs) dump(*s, path.empty() ? s->name : path + "\\" + s->name, sorted, out);
}

void mutateKeys(Key& key, KeyNames& k, int& changes) {
    Names& n = k.names_;
    if (n.chance(0.12)) {
        key.subs.push_back(randomKey(k, n.pick(3), k.name()));
        ++changes;
    }
    if (!key.subs.empty() && n.chance(0.05)) key.subs.erase(key.subs.begin() + n.pick(static_cast<int>(key.subs.size())));
    for (auto& s : key.subs) {
        if (n.chance(0.03)) s.name = n.caseVariant(s.name);
        mutateKeys(s, k, changes);
    }
}

std::string indexedKeys(const std::string& saved, const std::string& current) {
    bool stop = false;
    RunHooks hooks;
    hooks.stop = &stop;
    std::string out;
    EXPECT_TRUE(CompareKeyLists(LineTable(saved), LineTable(current), out, hooks));
    return out;
}

TEST(Equivalence, RegistryComparisonMatchesTheStepByStepComparisonOnGeneratedHives) {
    int totalChanges = 0;
    int totalAdded = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(1000 + seed);
        KeyNames k(rng);
        Key root = randomKey(k, seed % 5 == 0 ? 6 : 5, "");
        std::string saved;
        dump(root, "", true, saved);
        mutateKeys(root, k, totalChanges);
        std::string current;
        // Mostly the same order; sometimes enumerated otherwise, so that keys are
        // found behind the search position (round the ring).
        dump(root, "", seed % 4 != 1, current);
        if (seed % 10 == 7) saved.clear();           // an empty saved dump
        if (seed % 10 == 3) {                         // a current dump of "Software" only
            std::string part;
            for (auto line : LineViews(current))
                if (StartsWithNoCase(line, "Software")) part += std::string(line) + "\r\n";
            current = part;
        }
        const std::string expected = literal::CompareKeyLists(saved, current);
        ASSERT_EQ(indexedKeys(saved, current), expected) << "seed " << seed;
        totalAdded += static_cast<int>(LineViews(expected).size());
    }
    EXPECT_GT(totalChanges, 2000);
    EXPECT_GT(totalAdded, 500);
}

}  // namespace
}  // namespace korvex
