// The junk-file scan: which names are listed under which categories, the folders it
// never enters, the order and the totals of its rows, and Stop across two drives.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "platform/text.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

using cleanup::JunkType;

// One tree holds every name of the table; each case checks it with its categories or
// its own file types.
TEST(JunkScan, CategoriesAndTheirExceptionsOnOneTree) {
    CleanMachine m;
    // Never entered: Recycled folders, ignored folders, and the user's own (linked from the home folder).
    const char* names[] = {
        "C:\\a\\c.bak", "C:\\b\\C.BAK", "C:\\a\\c.bak.old", "C:\\a\\data.bak", "C:\\a\\report.old.bak",
        "C:\\a\\install.log", "C:\\a\\setup.log", "C:\\a\\unstall.log", "C:\\a\\ntrp.log", "C:\\a\\fifo.log",
        "C:\\a\\error.log", "C:\\a\\foo.~mp", "C:\\a\\foo.t~p", "C:\\a\\CHKLIST.MS", "C:\\a\\chklist.cps",
        "C:\\a\\MSCREATE.DIR", "C:\\a\\x.ab$", "C:\\a\\file0001.chk", "C:\\a\\help.GID", "C:\\a\\setup.---",
        "C:\\a\\index.fts", "C:\\a\\index.ftg", "C:\\a\\held.bak",
        "C:\\a\\a.old", "C:\\w\\page.html", "C:\\w\\photo.jpeg", "C:\\w\\x.mml", "C:\\w\\Y.MML", "C:\\w\\a.xyz",
        "C:\\Recycled\\r.bak", "C:\\a\\My RECYCLED stuff\\r.bak", "C:\\Skip\\Me\\s.bak",
        "C:\\users\\user\\Documents\\thesis.bak",
    };
    for (const char* name : names) m.files.put(name, "12345");
    m.files.put("C:\\a\\today.tmp", "t", m.system.now());
    m.files.put("C:\\a\\yesterday.tmp", "y", m.system.now() - 24 * 3600);
    m.files.linked.insert("C:\\users\\user\\Documents");
    m.files.inUse.insert("C:\\a\\held.bak");
    m.registry.setString(kScanningKey, "FoldersToIgnore", std::string("C:\\SKIP\\") + kListSeparator);
    cleanup::CleanUpChoices own = Only({});
    for (const char* answer : {"html", "jpeg", ".mml", "XYZ"}) cleanup::AddOwnFileType(own.alsoScanFiles, answer);
    EXPECT_EQ(cleanup::JunkPatternText(own), "|.html||.jpeg||.mml||.XYZ|");

    const std::tuple<const char*, cleanup::CleanUpChoices, std::vector<std::string>> cases[] = {  // listed: sorted
        {"backups", Only({JunkType::Bak}), {"C:\\a\\c.bak", "C:\\b\\C.BAK"}},
        {"tilde and dollar", Only({JunkType::Tidle, JunkType::Dollar}), {"C:\\a\\foo.~mp", "C:\\a\\x.ab$"}},
        {"chklist and logs, mscreate unchecked", Only({JunkType::Chklist, JunkType::Log}),
         {"C:\\a\\CHKLIST.MS", "C:\\a\\chklist.cps", "C:\\a\\error.log"}},
        {"mscreate checked", Only({JunkType::Mscreate}), {"C:\\a\\MSCREATE.DIR"}},
        {"temporary", Only({JunkType::Tmp}), {"C:\\a\\yesterday.tmp"}},
        {"others", Only({JunkType::Chk, JunkType::Gid, JunkType::PrevCompressed, JunkType::Fts, JunkType::Old}),
         {"C:\\a\\a.old", "C:\\a\\file0001.chk", "C:\\a\\help.GID", "C:\\a\\index.ftg", "C:\\a\\index.fts",
          "C:\\a\\setup.---"}},
        // x.mml carries the key of excluded files and is never listed; Y.MML's key differs in case.
        {"own types", own, {"C:\\w\\Y.MML", "C:\\w\\a.xyz", "C:\\w\\page.html", "C:\\w\\photo.jpeg"}},
    };
    for (const auto& [what, choices, listed] : cases) {
        m.rows.clear();
        m.junk(choices);
        std::vector<std::string> paths = m.paths();
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, listed) << what;
    }
}

TEST(JunkScan, ExtensionKeys) {
    // Names the tree above does not hold; the rest of its names' keys are shown by what
    // each category lists there.
    const std::tuple<const char*, bool, const char*> cases[] = {  // name, changed today, key
        {"README", false, "README"}, {"a~b", false, ".~??"},       {"x.tmp", true, ".mml"},
        {"x.TMP", false, ".TMP"},    {"index.dat", false, ".mml"}, {"Desktop.ini", false, ".mml"},
        {"opa11.bak", false, ".mml"},
    };
    for (const auto& [name, today, key] : cases) {
        bool asked = false;
        const std::string got = cleanup::ExtensionKey(name, [&] {
            asked = true;
            return today;
        });
        EXPECT_EQ(got, key) << name;
        EXPECT_EQ(asked, ToLower(name).find(".tmp") != std::string::npos) << name << ": date asked";
    }
}

TEST(JunkScan, RowsComeDepthFirstLastFolderFirstWithTotals) {
    CleanMachine m;
    m.files.put("C:\\top.bak", std::string(1000, 'x'));
    m.files.put("C:\\A\\a.bak", std::string(2000, 'x'));
    m.files.put("C:\\A\\Deep\\d.bak", "x");
    m.files.put("C:\\B\\b.bak", std::string(600, 'x'));
    m.files.put("C:\\B\\b2.bak", "");
    const cleanup::CleanUpTotals totals = m.junk(Only({JunkType::Bak}));
    EXPECT_EQ(m.lines(), (std::vector<std::string>{"C:\\top.bak 1000", "C:\\B\\b.bak 600", "C:\\B\\b2.bak 0",
                                                   "C:\\A\\a.bak 2000", "C:\\A\\Deep\\d.bak 1"}));
    EXPECT_EQ(std::pair(totals.files, totals.bytes), std::pair(std::uint64_t{5}, 3601.0));
    // The History folder and the Recycled folders of D: to H: lead the skip list.
    EXPECT_EQ(cleanup::JunkSkipList(m.system, m.access).substr(0, 22), "C:\\windows\\History\\\x7f" "D:");
}

TEST(JunkScan, StopDuringTheFirstDriveEndsTheSecondAfterItsFirstEntry) {
    CleanMachine m;
    m.system.drives['D'] = {DRIVE_FIXED, ""};
    for (const char* path : {"C:\\one\\1.bak", "C:\\two\\2.bak", "D:\\first.bak", "D:\\second.bak", "D:\\sub\\third.bak"})
        m.files.put(path, "x");
    m.prompt.onStatus = [&](std::string_view text) {
        if (text == "Scanning: C:\\two\\") m.stop = true;  // pressed while the first drive is walked
    };
    m.junk(Only({JunkType::Bak}), "C:,D:");
    EXPECT_EQ(m.paths(), (std::vector<std::string>{"C:\\two\\2.bak", "D:\\first.bak"}));
    EXPECT_EQ(m.prompt.statuses, (std::vector<std::string>{"Scanning: C:\\", "Scanning: C:\\two\\", "Scanning: D:\\"}));
}

}  // namespace
}  // namespace korvex::test
