// The clean-up window's stored choices and the rules for its own file types and folders.
#include <gtest/gtest.h>

#include <tuple>

#include "cleanup/clean_settings.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

TEST(CleanSettings, NoKeyGivesTheDesignDefaultsAndSavingWritesAll21InOrder) {
    CleanMachine m;
    cleanup::CleanUpChoices c = cleanup::LoadCleanUpChoices(m.access);
    for (std::size_t i = 0; i < cleanup::kJunkTypeCount; ++i)
        EXPECT_EQ(c.junk[i], cleanup::kJunkTypes[i].control != "chkMSCREATEFiles") << cleanup::kJunkTypes[i].control;
    EXPECT_TRUE(c.alsoScanFiles.empty() && c.alsoScanFolders.empty());

    c[cleanup::JunkType::Tmp] = false;
    c.alsoScanFiles = {"*.abc", "*.xyz"};
    c.alsoScanFolders = {"C:\\Data"};
    c.recycleBin = false;
    const std::vector<std::string> order = cleanup::SaveCleanUpChoices(m.access, c);
    EXPECT_EQ(order, m.registry.valueNames(kSysClean));
    std::string stored;
    for (const std::string& name : order) stored += name + "=" + m.registry.text(kSysClean, name).value_or("?") + "|";
    EXPECT_EQ(stored,
              "Tmp files=0|Bak files=1|Old files=1|Gid files=1|PrevCompressed files=1|Chk files=1|Dollar files=1|"
              "Tidle files=1|Chklist files=1|Mscreate files=0|Log files=1|Fts files=1|AlsoScanFiles=*.abc\x7f*.xyz\x7f|"
              "TempFolder=1|CacheFolder=1|RecycleBin=0|AlsoScanFolders=C:\\Data\x7f|Same Date Time=1|"
              "Skip Zero Length=1|Same Size=1|Skip Sysbckup=1|");
    EXPECT_EQ(m.registry.openCount, 0);
}

TEST(CleanSettings, StoredValuesAsTheWindowReadsThem) {
    CleanMachine m;
    m.registry.setString(kSysClean, "Bak files", "0");
    m.registry.setString(kSysClean, "Old files", "no");         // any other text keeps the default
    m.registry.setString(kSysClean, "Mscreate files", "1");      // the one box that "1" checks
    m.registry.setString(kSysClean, "AlsoScanFiles", "*.abc\x7f*.xyz");  // no final separator: *.xyz is dropped
    m.registry.setString(kSysClean, "AlsoScanFolders", "C:\\A\x7f\x7f" "C:\\B\x7f");
    m.registry.setString(kSysClean, "Same Size", "0");
    const cleanup::CleanUpChoices c = cleanup::LoadCleanUpChoices(m.access);
    using cleanup::JunkType;
    EXPECT_EQ(std::tuple(c[JunkType::Bak], c[JunkType::Old], c[JunkType::Mscreate], c.sameSize, c.sameDateTime),
              std::tuple(false, true, true, false, true));  // Bak, Old, Mscreate, Same Size, Same Date Time
    EXPECT_EQ(c.alsoScanFiles, std::vector<std::string>{"*.abc"});
    EXPECT_EQ(c.alsoScanFolders, (std::vector<std::string>{"C:\\A", "C:\\B"}));
}

TEST(CleanSettings, OwnFileTypes) {
    const std::pair<const char*, const char*> cases[] = {  // the answer, the entry it adds ("": none)
        {".TMP", ""}, {"jpeg", "*.jpeg"}, {"backup", "*.bac"}, {"ab", "*.ab"}, {"", ""}, {"x.y.zz", "*.y.zz"},
    };
    for (const auto& [answer, added] : cases) {
        std::vector<std::string> list = {"*.tmp"};
        EXPECT_EQ(cleanup::AddOwnFileType(list, answer), *added != 0) << answer;
        EXPECT_EQ(list.back(), *added ? added : "*.tmp") << answer;
    }
}

TEST(CleanSettings, OwnFolders) {
    const std::tuple<const char*, std::vector<std::string>, const char*, std::vector<std::string>> cases[] = {
        {"drive root", {"C:\\Data"}, "D:\\", {"C:\\Data"}},
        {"nothing chosen", {"C:\\Data"}, "", {"C:\\Data"}},
        {"inside a listed one", {"C:\\Data"}, "C:\\DATA\\Sub", {"C:\\Data"}},
        {"around a listed one", {"C:\\X", "C:\\Data\\Sub", "C:\\Y"}, "C:\\Data", {"C:\\X", "C:\\Y", "C:\\Data"}},
        {"beside", {"C:\\Data"}, "C:\\Other", {"C:\\Data", "C:\\Other"}},
    };
    for (const auto& [what, before, folder, after] : cases) {  // the list before, the folder added, the list after
        std::vector<std::string> list = before;
        const bool added = cleanup::AddOwnFolder(list, folder);
        EXPECT_EQ(list, after) << what;
        EXPECT_EQ(added, list != before) << what;
    }
    std::vector<std::string> list = {"a", "b", "c", "d"};
    cleanup::RemoveEntries(list, {0, 2, 2});
    EXPECT_EQ(list, (std::vector<std::string>{"b", "d"}));
}

}  // namespace
}  // namespace korvex::test
