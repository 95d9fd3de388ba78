// The unused shared DLL scan: which shared-library counts give a row, both registry
// views of a 64-bit machine, and Stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleanup/unused_dlls.h"
#include "tests/cleanup/clean_machine.h"

namespace korvex::test {
namespace {

using namespace cleanup;

// A shared-library count: in the main or the 32-bit view, a DWORD or (text set) a string.
struct Count {
    bool view32;
    const char* path;
    std::uint8_t count;
    const char* text = nullptr;
};

TEST(UnusedDlls, RowsOfEachCount) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> files;  // path, contents
        std::vector<Count> counts;
        std::vector<std::string> rows;  // "path size"
    } cases[] = {
        {"count 0 and the file present: one row", {{"C:\\windows\\system\\old.dll", "12345"}},
         {{false, "C:\\windows\\system\\old.dll", 0}}, {"C:\\windows\\system\\old.dll 5"}},
        {"count 0 but the file deleted: none", {}, {{false, "C:\\windows\\system\\gone.dll", 0}}, {}},
        {"Korvex's own files: none, in any case", {{"C:\\Program Files\\Korvex\\SCAN.AVI", "a"}},
         {{false, "C:\\Program Files\\Korvex\\SCAN.AVI", 0}}, {}},
        {"a count written as text \"0\" counts; \"00\" does not", {{"C:\\a\\one.dll", "1"}, {"C:\\a\\two.dll", "22"}},
         {{false, "C:\\a\\one.dll", 0, "0"}, {false, "C:\\a\\two.dll", 0, "00"}}, {"C:\\a\\one.dll 1"}},
        {"both views: each file once, the main view's first", {{"C:\\a\\both.dll", "x"}, {"C:\\a\\only32.dll", "xy"}},
         {{true, "C:\\a\\only32.dll", 0}, {true, "C:\\A\\BOTH.DLL", 0}, {false, "C:\\a\\both.dll", 0}},
         {"C:\\a\\both.dll 1", "C:\\a\\only32.dll 2"}},
        {"a file one view still counts is in use", {{"C:\\a\\used.dll", "x"}},
         {{false, "C:\\a\\used.dll", 0}, {true, "C:\\a\\used.dll", 2}}, {}},
        {"system32 in the 32-bit view is syswow64",
         {{"C:\\windows\\system32\\x.dll", "64-bit"}, {"C:\\windows\\syswow64\\x.dll", "32"}},
         {{true, "C:\\windows\\system32\\x.dll", 0}}, {"C:\\windows\\syswow64\\x.dll 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CleanMachine m;
        for (const auto& [path, contents] : c.files) m.files.put(path, contents);
        for (const Count& count : c.counts) {
            const std::string_view key = count.view32 ? kSharedDllsKey32 : kSharedDllsKey;
            count.text ? m.registry.setString("HKLM\\" + std::string(key), count.path, count.text)
                       : m.setDword(key, count.path, count.count);
        }
        CleanUpScan scan = m.scan();
        ScanUnusedDlls(m.services, m.access, scan);
        EXPECT_EQ(m.lines(), c.rows);
        EXPECT_EQ(scan.totals.files, c.rows.size());
        EXPECT_EQ(m.registry.openCount, 0);
        EXPECT_EQ(m.prompt.statuses, std::vector<std::string>{"Scanning for unused DLL files. Please wait..."});
    }
}

TEST(UnusedDlls, StopKeepsTheRowsFoundSoFar) {
    CleanMachine m;
    for (const char* name : {"C:\\a\\1.dll", "C:\\a\\2.dll", "C:\\a\\3.dll"}) {
        m.files.put(name, "abc");
        m.setDword(kSharedDllsKey, name, 0);
    }
    m.prompt.onYield = [&] { m.stop = m.rows.size() == 2; };
    CleanUpScan scan = m.scan();
    ScanUnusedDlls(m.services, m.access, scan);
    EXPECT_EQ(m.lines(), (std::vector<std::string>{"C:\\a\\1.dll 3", "C:\\a\\2.dll 3"}));
    EXPECT_EQ(std::pair(scan.totals.files, scan.totals.bytes), std::pair(std::uint64_t{2}, 6.0));
}

}  // namespace
}  // namespace korvex::test
