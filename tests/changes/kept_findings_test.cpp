// The copies of what each find-changes run found: one dated file per run in the data
// folder's "Found changes" folder, the newest twenty kept, other files left alone.
#include <gtest/gtest.h>

#include <string>

#include "machine.h"
#include "platform/text.h"
#include "removal/kept_findings.h"

namespace korvex {
namespace {

TEST(KeptFindings, EveryRunIsKeptAndOnlyTheNewestTwenty) {
    test::Machine m;
    const std::string folder = m.data + "Found changes\\";
    EXPECT_EQ(KeepFoundChanges(m.services, m.data, FoundLists{}), "") << "nothing found, nothing kept";
    EXPECT_FALSE(m.files.exists(folder));

    m.files.put(folder + "notes.txt", "mine");
    m.files.put(folder + "GameX.kvu", "saved by the user");
    FoundLists found;  // a folder; the disabled-scan row is no finding
    found[FoundList::Files] = {test::Row("Acme", "C:\\Program Files\\")};
    found[FoundList::ConfigSys] = {test::Row(std::string(kScanningNotEnabled))};
    std::vector<std::string> paths;
    for (int run = 0; run < 22; ++run) {
        m.system.clock = 1700000000 + run * 3600;
        paths.push_back(KeepFoundChanges(m.services, m.data, found));
        EXPECT_EQ(paths.back(), folder + KeptFileName(m.system.clock));
    }
    // Two runs in the same second get two files.
    EXPECT_EQ(KeepFoundChanges(m.services, m.data, found),
              folder + KeptFileName(m.system.clock).substr(0, 19) + " (2).kvu");

    EXPECT_EQ(m.text(paths.back()), "Files{\r\nC:\\Program Files\\Acme\r\n}\r\nRegistry{\r\n}\r\nWin.ini{\r\n}\r\n"
                                    "System.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");
    std::size_t kept = 0;
    for (const auto& path : m.files.tree(folder)) kept += EndsWithNoCase(path, ".kvu") ? 1 : 0;
    EXPECT_EQ(kept, kKeptRuns + 1) << "twenty of Korvex's own, and the user's file";
    // The three oldest went; the user's files stay.
    for (const std::string& path : {paths[0], paths[1], paths[2], paths[3], folder + "notes.txt", folder + "GameX.kvu"})
        EXPECT_EQ(m.files.exists(path), path != paths[0] && path != paths[1] && path != paths[2]) << path;
}

}  // namespace
}  // namespace korvex
