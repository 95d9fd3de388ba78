#include <gtest/gtest.h>

#include <pthread.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompt.h"
#include "scandb/walk_folder.h"
#include "support.h"

namespace korvex {
namespace {

using test::StringOutput;

std::string Walk(MemoryFiles& files, ScriptedPrompt& prompt, std::string_view root, const bool& stop) {
    StringOutput out;
    scandb::WalkFolder(files, prompt, root, out, stop);
    return out.text;
}

TEST(WalkFolder, WritesBlocksDepthFirstInListingOrder) {
    MemoryFiles files;
    // Listing order is creation order in MemoryFiles; it is deliberately not sorted.
    files.put("C:\\b.txt", "");
    files.put("C:\\S2\\z.dll", "");
    files.put("C:\\a.txt", "");
    files.put("C:\\S1\\Deep\\d.txt", "");
    files.put("C:\\S1\\c.txt", "");
    files.put("C:\\.cache\\hidden.txt", "");
    files.put("C:\\.profile", "");
    files.put("C:\\S2\\Locked\\secret.txt", "");
    files.createFolder("C:\\S2\\Empty");
    files.put("C:\\}", "");
    files.unreadable.insert("C:\\s2\\LOCKED");
    ScriptedPrompt prompt;
    bool stop = false;

    const std::string expected =
        "C:\\{\r\n"
        "b.txt\r\n"
        "a.txt\r\n"
        ".profile\r\n"
        "}\r\n"
        "}\r\n"
        "C:\\S2\\{\r\n"
        "z.dll\r\n"
        "}\r\n"
        "C:\\S2\\Locked\\{\r\n"
        "}\r\n"
        "C:\\S2\\Empty\\{\r\n"
        "}\r\n"
        "C:\\S1\\{\r\n"
        "c.txt\r\n"
        "}\r\n"
        "C:\\S1\\Deep\\{\r\n"
        "d.txt\r\n"
        "}\r\n";
    EXPECT_EQ(Walk(files, prompt, "C:\\", stop), expected);

    // One status (the folder's path) and at least one yield per folder, in walk order.
    const std::vector<std::string> folders = {"C:\\", "C:\\S2\\", "C:\\S2\\Locked\\", "C:\\S2\\Empty\\",
                                              "C:\\S1\\", "C:\\S1\\Deep\\"};
    EXPECT_EQ(prompt.statuses, folders);
    EXPECT_GE(prompt.yields, folders.size());
}

TEST(WalkFolder, EmptyDriveAndUnlistableDrive) {
    MemoryFiles files;
    files.createFolder("D:\\");
    ScriptedPrompt prompt;
    bool stop = false;
    EXPECT_EQ(Walk(files, prompt, "D:\\", stop), "D:\\{\r\n}\r\n");
    // A drive that cannot be listed at all still gets its block.
    EXPECT_EQ(Walk(files, prompt, "Q:\\", stop), "Q:\\{\r\n}\r\n");
}

TEST(WalkFolder, StopFlagEndsTheWalkAtTheNextFolder) {
    MemoryFiles files;
    files.put("C:\\A\\a.txt", "");
    files.put("C:\\A\\A1\\a1.txt", "");
    files.put("C:\\B\\b.txt", "");
    ScriptedPrompt prompt;
    bool stop = false;
    // Closing the window while C:\A\ is being shown: its block is complete, and nothing
    // below or after it is written.
    prompt.onYield = [&] {
        if (!prompt.statuses.empty() && prompt.statuses.back() == "C:\\A\\") stop = true;
    };
    EXPECT_EQ(Walk(files, prompt, "C:\\", stop), "C:\\{\r\n}\r\nC:\\A\\{\r\na.txt\r\n}\r\n");
    EXPECT_EQ(prompt.statuses.back(), "C:\\A\\");

    // Already stopped: nothing at all, not even the root's header.
    ScriptedPrompt quiet;
    EXPECT_EQ(Walk(files, quiet, "C:\\", stop), "");
    EXPECT_TRUE(quiet.statuses.empty());
}

TEST(WalkFolder, NamesThatCannotStandOnALineAreLeftOut) {
    MemoryFiles files;
    files.put("C:\\good.txt", "");
    // A FileSystem should never report these; if one does, the list stays well-formed.
    files.put(std::string("C:\\two\nlines.txt"), "");
    files.put(std::string("C:\\cr\rname"), "");
    files.put(std::string("C:\\Bad\nFolder\\x.txt"), "");
    ScriptedPrompt prompt;
    bool stop = false;
    EXPECT_EQ(Walk(files, prompt, "C:\\", stop), "C:\\{\r\ngood.txt\r\n}\r\n");
}

// A file system of one endless chain of folders C:\d\d\d\..., cut off at a depth.
class DeepFiles : public MemoryFiles {
public:
    explicit DeepFiles(std::size_t depth) : depth_(depth) {}
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override {
        const std::size_t level = (folder.size() - 3) / 2;  // "C:\" then "d\" per level
        ++listed;
        onEntry("f", false);
        if (level < depth_) onEntry("d", true);
        return true;
    }
    std::size_t listed = 0;

private:
    std::size_t depth_;
};

// Counts lines instead of keeping them: the headers of a deep chain are huge.
class CountingOutput : public OutputFile {
public:
    void write(std::string_view data) override {
        // Headers are long and hold no line break: skip through them with memchr.
        const char* at = data.data();
        const char* end = at + data.size();
        while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at))))) {
            ++lines;
            ++at;
        }
        last = data.substr(data.size() >= 8 ? data.size() - 8 : 0);
    }
    bool close() override { return true; }
    std::size_t lines = 0;
    std::string last;
};

struct DeepWalk {
    DeepFiles* files;
    CountingOutput* out;
};

void* RunDeepWalk(void* arg) {
    auto* w = static_cast<DeepWalk*>(arg);
    test::SilentPrompt prompt;
    const bool stop = false;
    scandb::WalkFolder(*w->files, prompt, "C:\\", *w->out, stop);
    return nullptr;
}

TEST(WalkFolder, VeryDeepTreeNeedsNoDeepStack) {
    // 25,000 levels on a thread with a 256 KB stack: a walk that recursed per level
    // would overflow it several times over.
    constexpr std::size_t kDepth = 25000;
    DeepFiles files(kDepth);
    CountingOutput out;
    DeepWalk walk{&files, &out};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, RunDeepWalk, &walk), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(files.listed, kDepth + 1);
    EXPECT_EQ(out.lines, 3 * (kDepth + 1));  // header, "f", "}" per folder
    EXPECT_EQ(out.last.substr(out.last.size() - 3), "}\r\n");
}

}  // namespace
}  // namespace korvex
