// Shared libraries: when the SharedDLLs list counts a library for other programs, and
// the prompt's Delete, Delete All, Skip and close box.
#include <gtest/gtest.h>

#include "removal/shared_dll.h"
#include "tests/removal/removal_machine.h"

namespace korvex::test {
namespace {

TEST(SharedDllInUse, CountsAboveOneMeanOtherProgramsUseIt) {
    struct Case { const char* path; std::uint32_t count; bool asText, used; } cases[] = {
        {"C:\\windows\\system32\\newapp.dll", 1, false, false},
        {"C:\\WINDOWS\\SYSTEM32\\NEWAPP.DLL", 3, false, true},
        {"C:\\windows\\system32\\newapp.dll", 2, true, true},
        // Korvex's own files are never taken for shared ones.
        {"C:\\Program Files\\Korvex\\Korvex.hlp", 5, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.path);
        RemovalMachine m;
        if (k.asText) m.registry.setString(kSharedDlls, k.path, std::to_string(k.count));
        else m.sharedCount(k.path, k.count);
        EXPECT_EQ(SharedDllInUse(m.context, "C:\\windows\\system32\\newapp.dll") ||
                      SharedDllInUse(m.context, "C:\\Program Files\\Korvex\\Korvex.hlp"), k.used);
    }
    EXPECT_NE(SupportFileList().find("Korvex!.exe^Korvex.hlp^uninst.ico"), std::string::npos);
}

TEST(AskSharedDll, SkipDeleteAllAndTheCloseBox) {
    const std::vector<std::string> paths = {"C:\\windows\\system32\\a.dll", "C:\\windows\\system32\\b.ocx",
                                            "C:\\Program Files\\NewApp\\app.exe", "C:\\windows\\system32\\c.dll"};
    // The answers: 0 Delete, 1 Delete All, 2 Skip, 3 close box.
    struct Case { std::deque<int> answers; std::vector<std::string> listed; std::size_t asked; } cases[] = {
        {{1}, {paths[0], paths[1], paths[2], paths[3]}, 1},
        // Closing the prompt skips this library; the next one is asked about again. A
        // program is never asked about.
        {{3, 2, 0}, {paths[2], paths[3]}, 3},
    };
    for (const Case& k : cases) {
        RemovalMachine m;
        for (const auto& p : paths) m.sharedCount(p, 2);
        m.dllAnswers = k.answers;
        std::vector<std::string> list;
        for (const auto& p : paths) AskSharedDll(m.context, m.dll, p, list);
        EXPECT_EQ(list, k.listed);
        EXPECT_EQ(m.asked.size(), k.asked);
        EXPECT_FALSE(m.dll.DeleteThisDll);
    }
}

}  // namespace
}  // namespace korvex::test
