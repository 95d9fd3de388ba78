// The walk on a real folder tree through the Wine backend: links that loop or leave
// the drive, an unreadable folder and names no Windows path can carry must neither
// hang the walk nor break the list's line structure; the profile folders Wine links
// out of the prefix are walked like folders, each host folder once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/scripted_prompt.h"
#include "platform/wine/wine_files.h"
#include "scandb/walk_folder.h"
#include "support.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

class TempPrefix {
public:
    TempPrefix() {
        fs::create_directories(root / "dosdevices");
        fs::create_directories(root / "drive_c");
        fs::create_symlink("../drive_c", root / "dosdevices" / "c:");
    }
    fs::path c() const { return root / "drive_c"; }
    void file(const fs::path& path) { test::WriteHostFile(path, "x"); }
    test::TempHostFolder folder{"korvex-walk"};  // unlocks the folder a test locked before it goes
    fs::path root = folder.path();
};

// Checks the block structure: header lines ("...\{"), file lines (no "\"), "}" lines,
// blocks never nested or left open; returns the header lines.
std::vector<std::string> Blocks(const std::string& text) {
    std::vector<std::string> lines;
    EXPECT_TRUE(test::SplitCrLf(text, lines)) << "a line does not end in CR LF";
    std::vector<std::string> headers;
    bool open = false;
    if (lines.empty()) ADD_FAILURE() << "no lines";
    for (const std::string& line : lines) {
        if (line.find('\\') != std::string::npos) {
            EXPECT_FALSE(open) << "header inside a block: " << line;
            EXPECT_GE(line.size(), 4u);
            EXPECT_EQ(line.substr(line.size() - 2), "\\{") << line;
            headers.push_back(line);
            open = true;
        } else if (line == "}") {
            EXPECT_TRUE(open) << "stray }";
            open = false;
        } else {
            EXPECT_TRUE(open) << "file line outside a block: " << line;
            EXPECT_FALSE(line.empty()) << "empty file line";
        }
    }
    EXPECT_FALSE(open) << "last block not closed";
    return headers;
}

TEST(WalkFolderOnDisk, LinksLoopsAndBadNamesKeepTheListWellFormed) {
    TempPrefix prefix;
    const fs::path c = prefix.c();
    prefix.file(c / "a.txt");
    prefix.file(c / "Apps" / "tool.exe");
    prefix.file(c / "Apps" / "Sub" / "deep.dll");
    prefix.file(c / ".git" / "config");
    prefix.file(c / ".profile");
    fs::create_directories(c / "Empty");
    // A loop back to the drive root, one to the parent, and a link leaving the drive.
    fs::create_directory_symlink(".", c / "Apps" / "Sub" / "loop");
    fs::create_directory_symlink("..", c / "Apps" / "up");
    fs::create_directory_symlink(prefix.root, c / "outside");
    // Names Windows cannot carry, and invalid UTF-8, as a file and as a folder.
    prefix.file(c / "line\nbreak.txt");
    prefix.file(c / "bad\xff\xfe.txt");
    prefix.file(c / "Folder\nWith break" / "inner.txt");
    prefix.file(c / "Bad\xff" / "inner.txt");
    // A folder that cannot be read (root may read it anyway).
    prefix.file(c / "Locked" / "secret.txt");
    fs::permissions(c / "Locked", fs::perms::none);

    wine::WineFiles files(prefix.root.string());
    ScriptedPrompt prompt;
    bool stop = false;
    test::StringOutput out;
    scandb::WalkFolder(files, prompt, "C:\\", out, stop);

    const std::vector<std::string> headers = Blocks(out.text);
    // Each real folder once: no link was followed, no bad name entered.
    std::vector<std::string> sorted = headers;
    std::sort(sorted.begin(), sorted.end());
    const std::vector<std::string> expected = {"C:\\Apps\\Sub\\{", "C:\\Apps\\{", "C:\\Empty\\{", "C:\\Locked\\{",
                                               "C:\\{"};
    EXPECT_EQ(sorted, expected);
    EXPECT_EQ(headers.front(), "C:\\{");
    // Links are listed as files (no profile folder here); bad names are not listed at all.
    for (const char* line : {"\r\nloop\r\n", "\r\nup\r\n", "\r\noutside\r\n", "\r\na.txt\r\n", "\r\n.profile\r\n",
                             "\r\ndeep.dll\r\n"})
        EXPECT_NE(out.text.find(line), std::string::npos) << line;
    EXPECT_EQ(out.text.find("break"), std::string::npos);
    EXPECT_EQ(out.text.find("\xff"), std::string::npos);
    EXPECT_EQ(out.text.find("config"), std::string::npos);  // inside .git
    if (geteuid() != 0) {
        EXPECT_NE(out.text.find("C:\\Locked\\{\r\n}\r\n"), std::string::npos);
    }
    // One status per folder, the folder's path.
    EXPECT_EQ(prompt.statuses.size(), headers.size());
}

TEST(WalkFolderOnDisk, ExactListOfASmallTree) {
    TempPrefix prefix;
    const fs::path c = prefix.c();
    prefix.file(c / "only.txt");
    prefix.file(c / "X" / "c.txt");
    wine::WineFiles files(prefix.root.string());
    ScriptedPrompt prompt;
    bool stop = false;
    test::StringOutput out;
    scandb::WalkFolder(files, prompt, "C:\\", out, stop);
    EXPECT_EQ(out.text, "C:\\{\r\nonly.txt\r\n}\r\nC:\\X\\{\r\nc.txt\r\n}\r\n");
    // The walk addressed in another letter case lists the same names as they are on disk.
    test::StringOutput lower;
    scandb::WalkFolder(files, prompt, "c:\\", lower, stop);
    EXPECT_EQ(lower.text, "c:\\{\r\nonly.txt\r\n}\r\nc:\\X\\{\r\nc.txt\r\n}\r\n");
}

// Each block's file names, sorted (listing order is the file system's), by header.
std::map<std::string, std::set<std::string>> Contents(const std::string& text) {
    std::map<std::string, std::set<std::string>> blocks;
    std::vector<std::string> lines;
    test::SplitCrLf(text, lines);
    std::string header;
    for (const std::string& line : lines) {
        if (line.find('\\') != std::string::npos) {
            EXPECT_EQ(blocks.count(line), 0u) << "walked twice: " << line;
            header = line;
            blocks[header];
        } else if (line != "}") {
            blocks[header].insert(line);
        }
    }
    return blocks;
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
    test::WriteHostFile(user / "Favorites" / "f.url", "x");
    test::WriteHostFile(desktop / "note.txt", "x");
    test::WriteHostFile(desktop / "Games" / "game.exe", "x");
    test::WriteHostFile(desktop / "Sub" / "inner.txt", "x");
    test::WriteHostFile(desktop / "Sub" / "Deeper" / "d.txt", "x");
    test::WriteHostFile(home / "homefile.txt", "x");
    test::WriteHostFile(home / "Other" / "o.txt", "x");
    fs::create_directory_symlink(desktop, user / "Desktop");
    fs::create_directory_symlink(desktop, user / "Documents");        // the same folder again
    fs::create_directory_symlink(home, user / "Music");               // $HOME itself
    fs::create_directory_symlink(desktop / "Sub", user / "Pictures");  // inside another linked folder
    fs::create_directory_symlink("/", user / "Videos");
    fs::create_directory_symlink("../Public", user / "Downloads");    // on the drive already
    fs::create_directory_symlink(top, user / "Templates");             // holds the prefix
    // Inside the linked folder: a loop, a link to $HOME, one back into the prefix, one up.
    fs::create_directory_symlink(".", desktop / "loop");
    fs::create_directory_symlink(home, desktop / "homeLink");
    fs::create_directory_symlink(c, desktop / "back");
    fs::create_directory_symlink("..", desktop / "Sub" / "up");

    // A folder the shell-folder settings name, linked from inside the linked Desktop.
    test::WriteHostFile(top / "shots" / "s.png", "x");
    fs::create_directory_symlink(top / "shots", desktop / "Shots");

    wine::WineFiles files(prefix.string());
    files.setShellFolderSource(
        [] { return std::vector<std::string>{"C:\\users\\u\\Desktop", "C:\\users\\u\\Desktop\\Shots"}; });
    ScriptedPrompt prompt;
    bool stop = false;
    test::StringOutput out;
    scandb::WalkFolder(files, prompt, "C:\\", out, stop);
    Blocks(out.text);
    const std::map<std::string, std::set<std::string>> expected = {
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
    EXPECT_EQ(Contents(out.text), expected) << out.text;
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
    test::StringOutput again;
    scandb::WalkFolder(files, prompt, "C:\\", again, stop);
    EXPECT_EQ(Contents(again.text)["C:\\users\\u\\Desktop\\{"], std::set<std::string>{"o.txt"});
}

}  // namespace
}  // namespace korvex
