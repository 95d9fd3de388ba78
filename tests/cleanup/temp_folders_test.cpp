// The folder scan: its sources in order, the browser caches it knows, and the Recycle
// Bin step with its confirmation. What the walker leaves out is the junk scan's test.
#include <gtest/gtest.h>

#include <tuple>

#include "cleanup/temp_folders.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

constexpr const char* kLocal = "C:\\users\\user\\AppData\\Local\\";

// The folder scan with these three boxes checked and these folders of the user's own.
void Scan(CleanMachine& m, bool temp, bool cache, bool bin, std::vector<std::string> own = {}) {
    cleanup::CleanUpChoices c;
    std::tie(c.tempFolder, c.cacheFolder, c.recycleBin) = std::tie(temp, cache, bin);
    c.alsoScanFolders = std::move(own);
    cleanup::CleanUpScan s = m.scan();
    cleanup::ScanTempFolders(m.services, s, c, "C:\\users\\user\\Temp\\");
}

TEST(TempFolders, SourcesInOrder) {
    CleanMachine m;
    const std::string local = kLocal;
    m.files.put("C:\\users\\user\\Temp\\setup1.exe", "1");
    m.files.put(local + "Microsoft\\Windows\\INetCache\\IE\\page.htm", "p");
    m.files.put("C:\\Program Files\\Netscape\\Users\\default\\cache\\M0001.htm", "n");
    m.files.put("C:\\Program Files\\Netscape\\Users\\nocache\\prefs.js", "n");
    m.files.put(local + "Mozilla\\Firefox\\Profiles\\ab12.default\\cache2\\entries\\E1", "f");
    m.files.put(local + "Mozilla\\Firefox\\Profiles\\ab12.default\\places.sqlite", "keep");
    m.files.put(local + "Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data\\data_1", "c");
    m.files.put(local + "Steam\\htmlcache\\GPUCache\\index", "s");
    m.files.put("C:\\Data\\a.txt", "a");

    Scan(m, false, false, false);
    EXPECT_TRUE(m.rows.empty());
    Scan(m, true, true, false, {"C:\\Data", "C:\\Gone"});
    // Everything, in source order.
    EXPECT_EQ(m.paths(), (std::vector<std::string>{
                             "C:\\users\\user\\Temp\\setup1.exe", local + "Microsoft\\Windows\\INetCache\\IE\\page.htm",
                             "C:\\Program Files\\Netscape\\Users\\default\\cache\\M0001.htm",
                             local + "Mozilla\\Firefox\\Profiles\\ab12.default\\cache2\\entries\\E1",
                             local + "Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data\\data_1",
                             local + "Steam\\htmlcache\\GPUCache\\index", "C:\\Data\\a.txt"}));
}

TEST(TempFolders, LocalApplicationDataOfBothProfileLayouts) {
    CleanMachine m;
    EXPECT_EQ(cleanup::LocalAppDataFolder(m.system), kLocal);
    m.system.folders[CSIDL_APPDATA] = "C:\\Documents and Settings\\u\\Application Data";
    EXPECT_EQ(cleanup::LocalAppDataFolder(m.system), "C:\\Documents and Settings\\u\\Local Settings\\Application Data\\");
    m.system.folders.erase(CSIDL_APPDATA);
    EXPECT_EQ(cleanup::LocalAppDataFolder(m.system), "");
    EXPECT_TRUE(cleanup::BrowserCacheFolders(m.files, m.system).empty());
}

TEST(TempFolders, RecycleBinAsksWithCountAndSizeAndNoKeepsIt) {
    struct Case {
        Answer answer;
        std::vector<FakeShell::TrashEntry> trash;
        const char* asked;  // the number and size in the question
    } cases[] = {
        {Answer::No, {{"C:\\a.txt", 1024}, {"C:\\b.txt", 1536 * 1024 - 1024}}, "2 items from this machine, taking 1.5 MB"
         ". Are you sure you want to delete them"},
        {Answer::Yes, {{"C:\\a.txt", 1000}}, "1 item from this machine, taking 1KB. Are you sure you want to delete it"},
    };
    for (const Case& c : cases) {
        CleanMachine m;
        m.shell.trash = c.trash;
        m.prompt.answers = {c.answer};
        m.files.put("C:\\Data\\own.txt", "o");
        Scan(m, false, false, true, {"C:\\Data"});
        ASSERT_EQ(m.prompt.messages.size(), 1u);
        const Message& asked = m.prompt.messages[0];
        EXPECT_EQ(std::tie(asked.title, asked.icon, asked.buttons, asked.defaultButton, asked.text),
                  std::make_tuple(std::string("Confirm Recycle Bin delete"), Icon::Question, Buttons::YesNo, 2,
                                  "The Recycle Bin holds " + std::string(c.asked) + " permanently?\r\n\r\nItems that "
                                  "other folders and machines put in the Recycle Bin stay there."));
        EXPECT_EQ(m.shell.trash.size(), c.answer == Answer::No ? c.trash.size() : 0u);
        EXPECT_EQ(m.paths(), std::vector<std::string>{"C:\\Data\\own.txt"});  // the own folders come after either way
    }
    CleanMachine empty;
    Scan(empty, false, false, true);
    EXPECT_TRUE(empty.prompt.messages.empty());  // nothing of this machine in the bin: nothing to ask
}

}  // namespace
}  // namespace korvex::test
