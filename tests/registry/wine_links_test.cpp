// Links in a Wine registry: opening through them, enumerating them, and walks over
// link cycles that must end.
#include <gtest/gtest.h>

#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/wine_registry.h"
#include "tests/support/host_files.h"
#include "wine_test_support.h"

namespace korvex::wine {
namespace {

using korvex::test::ReadHostFile;
using korvex::test::TempHostFolder;
using korvex::testing::WalkTree;
using korvex::test::WriteHostFile;

std::string linkValue(const std::string& target) {
    std::string line = "\"SymbolicLinkValue\"=hex(6):";
    char buffer[8];
    for (std::size_t i = 0; i < target.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%02x,00", i ? "," : "", static_cast<unsigned char>(target[i]));
        line += buffer;
    }
    return line + "\n";
}

std::string linkKey(const std::string& path, const std::string& target) {
    return "\n[" + path + "] 1796505343\n#time=1dd84fdc9c6a996\n#link\n" + linkValue(target);
}

// A machine hive with Wow6432Node-style links, a link back that closes a cycle of two
// links, a link to itself, a link to its parent, a dangling link and one into the
// user's hive.
std::string machineWithLinks() {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n" +
           linkKey("Software\\\\Classes\\\\Wow6432Node\\\\Back", "\\Registry\\Machine\\Software\\Wow6432Node") +
           "\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{X}] 1796505343\n#time=1dd84fdc9c6a996\n@=\"x32\"\n" +
           linkKey("Software\\\\Dangling", "\\Registry\\Machine\\Software\\Nowhere") +
           "\n[Software\\\\Loop] 1796505343\n#time=1dd84fdc9c6a996\n\"In\"=\"loop\"\n" +
           linkKey("Software\\\\Loop\\\\Self", "\\Registry\\Machine\\Software\\Loop\\Self") +
           linkKey("Software\\\\Loop\\\\Up", "\\REGISTRY\\MACHINE\\software\\loop") +
           linkKey("Software\\\\ToUser", "\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software") +
           linkKey("Software\\\\Wow6432Node\\\\Classes", "\\Registry\\Machine\\Software\\Classes\\Wow6432Node");
}

std::vector<std::string> subKeys(Registry& reg, const std::string& path, long* status = nullptr) {
    std::vector<std::string> names;
    HKEY key = 0;
    long rc = reg.openKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key);
    if (status) *status = rc;
    if (rc != ERROR_SUCCESS) return names;
    std::string name;
    for (std::uint32_t i = 0; reg.enumKey(key, i, &name) == ERROR_SUCCESS; ++i) names.push_back(name);
    reg.closeKey(key);
    return names;
}

using Names = std::vector<std::string>;

struct LinksFixture : ::testing::Test {
    void SetUp() override {
        WriteHostFile(dir / "system.reg", machineWithLinks());
        WriteHostFile(dir / "user.reg",
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n"
                  "\n[Software\\\\Korvex!\\\\General] 1796505343\n#time=1dd84fdc9c6a996\n\"DefaultPath\"=\"C:\\\\K\\\\\"\n");
        std::string error;
        reg = WineRegistry::open(dir.path(), &error);
        ASSERT_TRUE(reg) << error;
    }
    TempHostFolder dir;
    std::unique_ptr<WineRegistry> reg;
};

TEST_F(LinksFixture, OpeningFollowsLinksUnlessTheyLeadBackOntoThePath) {
    EXPECT_EQ(subKeys(*reg, "Software"), (Names{"Classes", "Dangling", "Loop", "ToUser", "Wow6432Node"}));
    EXPECT_EQ(subKeys(*reg, "Software\\Wow6432Node"), (Names{"Classes"}));
    EXPECT_EQ(subKeys(*reg, "software\\wow6432node\\classes"), (Names{"Back", "CLSID"}));

    HKEY key = 0;
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\CLSID\\{x}", KEY_READ, &key), 0);
    std::string data;
    EXPECT_EQ(reg->queryValue(key, "", nullptr, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, std::string("x32", 4));
    reg->closeKey(key);

    // Back points at Software\Wow6432Node: reached from there it would go round, so
    // the link key itself is opened, which has no sub keys.
    EXPECT_EQ(subKeys(*reg, "Software\\Wow6432Node\\Classes\\Back"), Names{});
    ASSERT_EQ(reg->openKey(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\Back", KEY_READ, &key), 0);
    std::uint32_t type = 0;
    EXPECT_EQ(reg->queryValue(key, "SymbolicLinkValue", &type, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_LINK);
    reg->closeKey(key);
    // Reached the other way round it is followed once, then no more.
    EXPECT_EQ(subKeys(*reg, "Software\\Classes\\Wow6432Node\\Back"), (Names{"Classes"}));
    EXPECT_EQ(subKeys(*reg, "Software\\Classes\\Wow6432Node\\Back\\Classes"), Names{});

    EXPECT_EQ(subKeys(*reg, "Software\\Loop\\Self"), Names{});
    EXPECT_EQ(subKeys(*reg, "Software\\Loop\\Up"), Names{});
    long status = 0;
    subKeys(*reg, "Software\\Dangling", &status);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(subKeys(*reg, "Software\\ToUser"), (Names{"Korvex!"}));
    EXPECT_EQ(subKeys(*reg, "Software\\ToUser\\Korvex!"), (Names{"General"}));
}

TEST_F(LinksFixture, WalksEnd) {
    std::vector<std::string> seen;
    auto result = WalkTree(*reg, HKEY_LOCAL_MACHINE, "", 10000, [&](const std::string& p) { seen.push_back(p); });
    EXPECT_FALSE(result.endless);
    EXPECT_EQ(result.keys, seen.size());
    EXPECT_LT(result.keys, 40u);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Software\\Wow6432Node\\Classes\\CLSID\\{X}"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Software\\Classes\\Wow6432Node\\Back\\Classes"),
              seen.end());

    // The same through Korvex's own sub-key lists, level by level as a snapshot does.
    ScriptedPrompt prompt;
    RegistryAccess access(*reg, prompt);
    std::vector<std::string> pending{""};
    std::size_t listed = 0;
    while (!pending.empty() && listed < 10000) {
        std::string path = pending.back();
        pending.pop_back();
        std::string list = access.EnumSubKeyPaths(HKEY_LOCAL_MACHINE, path, "");
        for (std::size_t start = 0, end; (end = list.find(kListSeparator, start)) != std::string::npos; start = end + 1) {
            std::string sub = list.substr(start, end - start);
            pending.push_back(sub[0] == '\\' ? sub.substr(1) : sub);
            ++listed;
        }
    }
    EXPECT_TRUE(pending.empty());
    // Every key but the root, plus the dangling link, which is listed but does not open.
    EXPECT_EQ(listed, result.keys);
}

TEST_F(LinksFixture, WritesGoToTheTargetAndDeletingRemovesOnlyTheLink) {
    HKEY key = 0;
    ASSERT_EQ(reg->createKey(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\New", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg->setValue(key, "v", REG_SZ, std::string("1", 2)), ERROR_SUCCESS);
    ASSERT_EQ(reg->closeKey(key), ERROR_SUCCESS);
    std::string text = ReadHostFile(dir / "system.reg");
    EXPECT_NE(text.find("\n[Software\\\\Classes\\\\Wow6432Node\\\\New] "), std::string::npos);

    EXPECT_EQ(reg->deleteTree(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(*reg, "Software\\Wow6432Node"), Names{});
    EXPECT_EQ(subKeys(*reg, "Software\\Classes\\Wow6432Node"), (Names{"Back", "CLSID", "New"}));
    EXPECT_EQ(reg->deleteTree(HKEY_LOCAL_MACHINE, "Software\\Loop\\Up"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(*reg, "Software\\Loop"), (Names{"Self"}));
    text = ReadHostFile(dir / "system.reg");
    EXPECT_EQ(text.find("[Software\\\\Wow6432Node\\\\Classes]"), std::string::npos);
    EXPECT_NE(text.find("\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{X}] "), std::string::npos);
    EXPECT_NE(text.find("\n[Software\\\\Loop] "), std::string::npos);
}

}  // namespace
}  // namespace korvex::wine
