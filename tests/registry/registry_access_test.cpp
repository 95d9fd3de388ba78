// Korvex's registry operations over the in-memory registry: value texts, sub-key
// lists, missing keys and values, letter case, the delete-key message and refusals.
#include <gtest/gtest.h>

#include "platform/fake/memory_registry.h"
#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"

namespace korvex {
namespace {

std::string text(std::initializer_list<unsigned char> bytes, std::uint32_t type) {
    return ValueToText(bytes.begin(), bytes.size(), type);
}

// A sub-key list as EnumSubKeyPaths gives it: each path ended by the list separator.
std::string list(std::initializer_list<const char*> paths) {
    std::string out;
    for (const char* path : paths) out += std::string(path) + kListSeparator;
    return out;
}

// Every message shown so far: "icon buttons title: text" (icon 16 = critical,
// 48 = exclamation; buttons 0 = OK).
std::vector<std::string> shown(const ScriptedPrompt& prompt) {
    std::vector<std::string> out;
    for (const Message& m : prompt.messages)
        out.push_back(std::to_string(static_cast<int>(m.icon)) + " " + std::to_string(static_cast<int>(m.buttons)) +
                      " " + m.title + ": " + m.text);
    return out;
}

using Texts = std::vector<std::string>;

TEST(ValueToText, EveryType) {
    EXPECT_EQ(text({0, 0x01, 0, 0, 0x07}, REG_DWORD), "256");  // four bytes only
    EXPECT_EQ(text({0xff, 0xff, 0xff, 0xff}, REG_DWORD), "4294967295");
    EXPECT_EQ(text({'a', 'b', 'c', 0}, REG_SZ), "abc");
    EXPECT_EQ(ValueToText(nullptr, 0, REG_SZ), "");
    EXPECT_EQ(text({1, 2, 3}, REG_BINARY), "");
    EXPECT_EQ(text({'a', 0, 'b', 0, 0}, REG_MULTI_SZ), "<unsupported type: 7>");
}

struct AccessFixture : ::testing::Test {
    // Every test leaves no key open.
    void TearDown() override { EXPECT_EQ(reg.openCount, 0); }
    MemoryRegistry reg;
    ScriptedPrompt prompt;
    RegistryAccess access{reg, prompt};
};

TEST_F(AccessFixture, WrittenTextReadsBackMissingThingsAreEmptyReadOnlyKeysOpenForReading) {
    HKEY key = access.CreateKey(HKEY_CURRENT_USER, "Software\\Korvex!\\Sys Clean");
    EXPECT_EQ(access.SetValue(key, "Bak files", "1"), ERROR_SUCCESS);
    EXPECT_EQ(access.QueryValue(key, "Bak files"), "1");
    EXPECT_EQ(access.DeleteValue(key, "Bak files"), ERROR_SUCCESS);
    EXPECT_EQ(access.QueryValue(key, "Bak files"), "");
    EXPECT_EQ(access.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(access.QueryValue(0, "Bak files"), "");
    EXPECT_EQ(access.OpenKey(HKEY_CURRENT_USER, "Software\\Nobody"), 0u);
    // A key's default value is set through its parent, creating the key.
    EXPECT_EQ(access.SetKeyDefault(HKEY_CLASSES_ROOT, ".kvu", REG_SZ, "KorvexUninstall"), ERROR_SUCCESS);
    EXPECT_EQ(reg.text("HKLM\\Software\\Classes\\.kvu", ""), "KorvexUninstall");

    // A key that cannot be changed opens for reading.
    reg.setString("HKLM\\Software\\Vendor\\Locked", "Name", "value");
    reg.readOnlyKeys.insert("HKLM\\Software\\Vendor\\Locked");
    key = access.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Vendor\\locked");
    EXPECT_NE(access.SetValue(key, "Name", "other"), ERROR_SUCCESS);
    EXPECT_EQ(access.QueryValue(key, "Name"), "value");
    access.CloseKey(key);
    EXPECT_EQ(shown(prompt), Texts{});  // and nothing is said (deleting: the refusal test)
}

TEST_F(AccessFixture, EnumSubKeyPathsReversedWithoutTheExcludedPath) {
    for (const char* name : {"B", "a", "C"}) reg.setString(std::string("HKLM\\Software\\Top\\") + name, "v", "1");
    // Names that would break a line-based list never come out.
    for (const char* name : {"line\nbreak", "del\x7f", "plain"}) reg.setString(std::string("HKLM\\Software\\Odd\\") + name, "v", "1");
    const std::string all = list({"Software\\Top\\C", "Software\\Top\\B", "Software\\Top\\a"});
    struct Row { const char* path; const char* excluded; std::string expected; };
    const Row rows[] = {
        {"Software\\Top", "", all},
        {"Software\\Top", "software\\top\\c", list({"Software\\Top\\B", "Software\\Top\\a"})},
        {"Software\\Top", "Software\\Top\\", all},  // merely contains the excluded path: kept
        {"Software\\Missing", "", ""},
        {"Software\\Odd", "", list({"Software\\Odd\\plain"})},
        {"", "", list({"\\Software"})},  // the root's sub keys, with the separator of an empty path
    };
    for (const Row& row : rows)
        EXPECT_EQ(access.EnumSubKeyPaths(HKEY_LOCAL_MACHINE, row.path, row.excluded), row.expected)
            << row.path << " without " << row.excluded;
    // The window stays alive: one yield per sub key read, listed or not (3 + 3 + 3 + 0 + 3 + 1).
    EXPECT_EQ(prompt.yields, 13u);
}

TEST_F(AccessFixture, RefusedWritesAreReportedOnce) {
    reg.setString("HKCU\\Software\\Korvex!\\General", "DefaultPath", "C:\\K\\");
    reg.refusal = "Wine is using this machine.";
    HKEY key = access.OpenKey(HKEY_CURRENT_USER, "Software\\Korvex!\\General");
    EXPECT_EQ(access.QueryValue(key, "DefaultPath"), "C:\\K\\");  // reading is not refused
    EXPECT_EQ(access.SetValue(key, "DefaultPath", "D:\\"), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(access.SetValue(key, "Other", "x"), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(access.CreateKey(HKEY_CURRENT_USER, "Software\\New"), 0u);
    access.CloseKey(key);
    EXPECT_EQ(shown(prompt), Texts{"48 0 Korvex!: Wine is using this machine."});

    // A key that cannot be deleted still gets its own message.
    EXPECT_EQ(access.DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Korvex!"), 1);
    EXPECT_EQ(shown(prompt), (Texts{"48 0 Korvex!: Wine is using this machine.",
                                    "16 0 Error deleting key: Error deleting key Software\\Korvex!. Administrative "
                                    "privileges required"}));
}

}  // namespace
}  // namespace korvex
