// The copies of what each find-changes run found: one dated file per run in the data
// folder's "Found changes" folder, the newest twenty kept, other files left alone.
#include <gtest/gtest.h>

#include <string>

#include "machine.h"
#include "platform/text.h"
#include "removal/kept_findings.h"

namespace korvex {
namespace {

FoundLists OneFolderFound() {
    FoundLists lists;
    FoundRow row;
    row.text = "Acme";
    row.sub1 = "C:\\Program Files\\";
    row.isFolder = true;
    lists[FoundList::Files].push_back(row);
    FoundRow off;
    off.text = std::string(kScanningNotEnabled);
    lists[FoundList::ConfigSys].push_back(off);
    return lists;
}

TEST(KeptFindings, EveryRunIsKeptAndOnlyTheNewestTwenty) {
    test::Machine m;
    const std::string folder = m.data + "Found changes\\";
    EXPECT_EQ(KeepFoundChanges(m.services, m.data, FoundLists{}), "") << "nothing found, nothing kept";
    EXPECT_FALSE(m.files.exists(folder));

    m.files.put(folder + "notes.txt", "mine");
    m.files.put(folder + "GameX.kvu", "saved by the user");
    std::vector<std::string> paths;
    for (int run = 0; run < 22; ++run) {
        m.system.clock = 1700000000 + run * 3600;
        paths.push_back(KeepFoundChanges(m.services, m.data, OneFolderFound()));
        EXPECT_EQ(paths.back(), folder + KeptFileName(m.system.clock));
    }
    // Two runs in the same second get two files.
    const std::string twin = KeepFoundChanges(m.services, m.data, OneFolderFound());
    EXPECT_EQ(twin, folder + KeptFileName(m.system.clock).substr(0, 19) + " (2).kvu");

    EXPECT_EQ(m.text(paths.back()), "Files{\r\nC:\\Program Files\\Acme\r\n}\r\nRegistry{\r\n}\r\nWin.ini{\r\n}\r\n"
                                    "System.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");
    std::size_t kept = 0;
    for (const auto& path : m.files.tree(folder)) kept += EndsWithNoCase(path, ".kvu") ? 1 : 0;
    EXPECT_EQ(kept, kKeptRuns + 1) << "twenty of Korvex's own, and the user's file";
    EXPECT_FALSE(m.files.exists(paths[0]));
    EXPECT_FALSE(m.files.exists(paths[1]));
    EXPECT_FALSE(m.files.exists(paths[2]));
    EXPECT_TRUE(m.files.exists(paths[3]));
    EXPECT_TRUE(m.files.exists(folder + "notes.txt"));
    EXPECT_TRUE(m.files.exists(folder + "GameX.kvu"));
}

}  // namespace
}  // namespace korvex
