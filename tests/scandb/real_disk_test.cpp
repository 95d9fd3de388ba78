// The walk on a real folder tree through the Wine backend: the profile folders Wine
// links out of the prefix are walked like folders, each host folder once, and links
// inside them (loops, back into the prefix, up to $HOME) are never followed. How the
// backend lists links, bad names and unreadable folders is checked in wine_files_test;
// how the walk writes what a listing gives, in walk_folder_test.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "changes/line_views.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/wine/wine_files.h"
#include "scandb/walk_folder.h"
#include "support.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;
using Listing = std::map<std::string, std::set<std::string>>;

// Each block's file names, sorted (listing order is the file system's), by header; a
// folder walked twice fails the test. How the walk writes a block is checked in
// walk_folder_test.
Listing Contents(const std::string& text) {
    Listing blocks;
    std::string header;
    for (std::string_view line : LineViews(text)) {
        if (line.ends_with("\\{")) {
            EXPECT_EQ(blocks.count(std::string(line)), 0u) << "walked twice: " << line;
            blocks[header = line];
        } else if (line != "}") {
            blocks[header].insert(std::string(line));
        }
    }
    return blocks;
}

std::string Walk(wine::WineFiles& files, ScriptedPrompt& prompt) {
    bool stop = false;
    test::StringOutput out;
    scandb::WalkFolder(files, prompt, "C:\\", out, stop);
    return out.text;
}

TEST(WalkFolderOnDisk, LinkedProfileFoldersAreWalkedOnceAndNeverLeadBack) {
    test::TempHostFolder temp{"korvex-linked"};
    const fs::path top = temp.path(), home = top / "home", desktop = home / "Desktop";
    test::ScopedEnv homeVariable("HOME", home.string());
    const fs::path prefix = top / "pfx", c = prefix / "drive_c", user = c / "users" / "u";
    fs::create_directories(prefix / "dosdevices");
    fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_symlink(desktop / "Games", prefix / "dosdevices" / "d:");  // D: lies on the Desktop
    fs::create_directories(c / "users" / "Public");
    for (const fs::path& file : {user / "Favorites" / "f.url", desktop / "note.txt", desktop / "Games" / "game.exe",
                                 desktop / "Sub" / "inner.txt", desktop / "Sub" / "Deeper" / "d.txt",
                                 home / "homefile.txt", home / "Other" / "o.txt", top / "shots" / "s.png"})
        test::WriteHostFile(file, "x");
    const std::pair<fs::path, fs::path> links[] = {
        {desktop, user / "Desktop"},
        {desktop, user / "Documents"},         // the same folder again
        {home, user / "Music"},                // $HOME itself
        {desktop / "Sub", user / "Pictures"},  // inside another linked folder
        {"/", user / "Videos"},
        {"../Public", user / "Downloads"},     // on the drive already
        {top, user / "Templates"},             // holds the prefix
        // Inside the linked folder: a loop, a link to $HOME, one back into the prefix, one up.
        {".", desktop / "loop"},
        {home, desktop / "homeLink"},
        {c, desktop / "back"},
        {"..", desktop / "Sub" / "up"},
        // A folder the shell-folder settings name, linked from inside the linked Desktop.
        {top / "shots", desktop / "Shots"},
    };
    for (const auto& [target, link] : links) fs::create_directory_symlink(target, link);

    wine::WineFiles files(prefix.string());
    files.setShellFolderSource(
        [] { return std::vector<std::string>{"C:\\users\\u\\Desktop", "C:\\users\\u\\Desktop\\Shots"}; });
    ScriptedPrompt prompt;
    const std::string text = Walk(files, prompt);
    const Listing expected = {
        {"C:\\{", {}},
        {"C:\\users\\{", {}},
        {"C:\\users\\Public\\{", {}},
        {"C:\\users\\u\\{", {"Documents", "Downloads", "Music", "Videos", "Templates"}},
        {"C:\\users\\u\\Favorites\\{", {"f.url"}},
        // D:'s root and the folder Pictures links to are left out of the Desktop.
        {"C:\\users\\u\\Desktop\\{", {"note.txt", "loop", "homeLink", "back"}},
        {"C:\\users\\u\\Desktop\\Shots\\{", {"s.png"}},
        {"C:\\users\\u\\Pictures\\{", {"inner.txt", "up"}},
        {"C:\\users\\u\\Pictures\\Deeper\\{", {"d.txt"}},
    };
    EXPECT_EQ(Contents(text), expected) << text;
    EXPECT_EQ(files.linkedFolders(), (std::vector<std::string>{"C:\\users\\u\\Desktop", "C:\\users\\u\\Desktop\\Shots",
                                                               "C:\\users\\u\\Pictures"}));
    EXPECT_TRUE(files.isLinkedFolder("c:\\USERS\\u\\desktop\\"));
    EXPECT_FALSE(files.isLinkedFolder("C:\\users\\u\\Documents"));
    EXPECT_FALSE(files.isLinkedFolder("C:\\users\\u\\Desktop\\Sub"));

    // A link pointed elsewhere after the set was taken is not followed until the next
    // drive walk takes it again.
    fs::remove(user / "Desktop");
    fs::create_directory_symlink(home / "Other", user / "Desktop");
    EXPECT_FALSE(files.listFolder("C:\\users\\u\\Desktop\\", [](std::string_view, bool) {}));
    EXPECT_EQ(Contents(Walk(files, prompt))["C:\\users\\u\\Desktop\\{"], std::set<std::string>{"o.txt"});
}

}  // namespace
}  // namespace korvex
