#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>
#include <vector>

#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompt.h"
#include "scandb/walk_folder.h"
#include "support.h"
#include "tests/support/text_lines.h"

namespace korvex {
namespace {

using test::CrlfLines;

std::string Walk(MemoryFiles& files, ScriptedPrompt& prompt, std::string_view root, const bool& stop) {
    test::StringOutput out;
    scandb::WalkFolder(files, prompt, root, out, stop);
    return out.text;
}

TEST(WalkFolder, WritesBlocksDepthFirstInListingOrder) {
    MemoryFiles files;
    // Listing order is creation order in MemoryFiles; it is deliberately not sorted.
    for (const char* path : {"C:\\b.txt", "C:\\S2\\z.dll", "C:\\a.txt", "C:\\S1\\Deep\\d.txt", "C:\\S1\\c.txt",
                             "C:\\.cache\\hidden.txt", "C:\\.profile", "C:\\S2\\Locked\\secret.txt"})
        files.put(path, "");
    files.createFolder("C:\\S2\\Empty");
    files.put("C:\\}", "");
    // Names a FileSystem should never report; if one does, the list stays well-formed.
    for (const char* bad : {"C:\\two\nlines.txt", "C:\\cr\rname", "C:\\Bad\nFolder\\x.txt"}) files.put(bad, "");
    files.unreadable.insert("C:\\s2\\LOCKED");
    ScriptedPrompt prompt;
    bool stop = false;
    EXPECT_EQ(Walk(files, prompt, "C:\\", stop),
              CrlfLines({"C:\\{", "b.txt", "a.txt", ".profile", "}", "}", "C:\\S2\\{", "z.dll", "}", "C:\\S2\\Locked\\{",
                         "}", "C:\\S2\\Empty\\{", "}", "C:\\S1\\{", "c.txt", "}", "C:\\S1\\Deep\\{", "d.txt", "}"}));
    // One status (the folder's path) and at least one yield per folder, in walk order.
    const std::vector<std::string> folders = {"C:\\", "C:\\S2\\", "C:\\S2\\Locked\\", "C:\\S2\\Empty\\",
                                              "C:\\S1\\", "C:\\S1\\Deep\\"};
    EXPECT_EQ(prompt.statuses, folders);
    EXPECT_GE(prompt.yields, folders.size());

    // An empty drive, and a drive that cannot be listed at all, still get their block.
    files.createFolder("D:\\");
    EXPECT_EQ(Walk(files, prompt, "D:\\", stop), "D:\\{\r\n}\r\n");
    EXPECT_EQ(Walk(files, prompt, "Q:\\", stop), "Q:\\{\r\n}\r\n");
}

TEST(WalkFolder, StopFlagEndsTheWalkAtTheNextFolder) {
    MemoryFiles files;
    for (const char* path : {"C:\\A\\a.txt", "C:\\A\\A1\\a1.txt", "C:\\B\\b.txt"}) files.put(path, "");
    ScriptedPrompt prompt;
    bool stop = false;
    // Closing the window while C:\A\ is being shown: its block is complete, and nothing
    // below or after it is written.
    prompt.onYield = [&] { stop = stop || (!prompt.statuses.empty() && prompt.statuses.back() == "C:\\A\\"); };
    EXPECT_EQ(Walk(files, prompt, "C:\\", stop), "C:\\{\r\n}\r\nC:\\A\\{\r\na.txt\r\n}\r\n");
    EXPECT_EQ(prompt.statuses.back(), "C:\\A\\");
}

constexpr std::size_t kDepth = 25000;

// A file system of one endless chain of folders C:\d\d\d\..., cut off at kDepth.
struct DeepFiles : MemoryFiles {
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override {
        onEntry("f", false);
        if ((folder.size() - 3) / 2 < kDepth) onEntry("d", true);  // "C:\" then "d\" per level
        return true;
    }
};

// Counts lines instead of keeping them: the headers of a deep chain are huge.
struct CountingOutput : OutputFile {
    void write(std::string_view data) override {
        // Headers are long and hold no line break: find() skips through them quickly.
        for (std::size_t at = 0; (at = data.find('\n', at)) != std::string_view::npos; ++at) ++lines;
    }
    bool close() override { return true; }
    std::size_t lines = 0;
};

TEST(WalkFolder, VeryDeepTreeNeedsNoDeepStack) {
    // 25,000 levels on a thread with a 256 KB stack: a walk that recursed per level
    // would overflow it several times over.
    DeepFiles files;
    CountingOutput out;
    std::function<void()> walk = [&] {
        ScriptedPrompt prompt;  // keeping only the latest status: the paths are huge
        prompt.onStatus = [&](std::string_view) { prompt.statuses.clear(); };
        const bool stop = false;
        scandb::WalkFolder(files, prompt, "C:\\", out, stop);
    };
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    auto run = [](void* f) -> void* { (*static_cast<std::function<void()>*>(f))(); return nullptr; };
    ASSERT_EQ(pthread_create(&thread, &attr, run, &walk), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(out.lines, 3 * (kDepth + 1));  // header, "f", "}" per folder, each folder once
}

}  // namespace
}  // namespace korvex
