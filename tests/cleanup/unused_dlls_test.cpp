// The unused shared DLL scan: which shared-library counts give a row, both registry
// views of a 64-bit machine, and Stop.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cleanup/unused_dlls.h"
#include "tests/cleanup/cleanup_machine.h"

namespace korvex::test {
namespace {

using namespace cleanup;

const std::string kMain(kSharedDllsKey);
const std::string kView32(kSharedDllsKey32);

struct Case {
    const char* what;
    std::function<void(CleanUpMachine&)> setUp;
    std::vector<std::string> rows;  // "path size"
};

std::vector<Case> cases() {
    return {
        {"count 0 and the file present: one row",
         [](CleanUpMachine& m) {
             m.files.put("C:\\windows\\system\\old.dll", "12345");
             m.setDword(kMain, "C:\\windows\\system\\old.dll", 0);
         },
         {"C:\\windows\\system\\old.dll 5"}},
        {"count 1: none",
         [](CleanUpMachine& m) {
             m.files.put("C:\\windows\\system\\old.dll", "12345");
             m.setDword(kMain, "C:\\windows\\system\\old.dll", 1);
         },
         {}},
        {"count 0 but the file deleted: none",
         [](CleanUpMachine& m) { m.setDword(kMain, "C:\\windows\\system\\gone.dll", 0); }, {}},
        {"Korvex's own files: none, in any case",
         [](CleanUpMachine& m) {
             m.files.put("C:\\Program Files\\Korvex\\SCAN.AVI", "a");
             m.setDword(kMain, "C:\\Program Files\\Korvex\\SCAN.AVI", 0);
         },
         {}},
        {"a count written as text \"0\" counts; \"00\" does not",
         [](CleanUpMachine& m) {
             m.files.put("C:\\a\\one.dll", "1");
             m.files.put("C:\\a\\two.dll", "22");
             m.setText(kMain, "C:\\a\\one.dll", "0");
             m.setText(kMain, "C:\\a\\two.dll", "00");
         },
         {"C:\\a\\one.dll 1"}},
        {"both views: each file once, the main view's first",
         [](CleanUpMachine& m) {
             m.files.put("C:\\a\\both.dll", "x");
             m.files.put("C:\\a\\only32.dll", "xy");
             m.setDword(kView32, "C:\\a\\only32.dll", 0);
             m.setDword(kView32, "C:\\A\\BOTH.DLL", 0);
             m.setDword(kMain, "C:\\a\\both.dll", 0);
         },
         {"C:\\a\\both.dll 1", "C:\\a\\only32.dll 2"}},
        {"a file one view still counts is in use",
         [](CleanUpMachine& m) {
             m.files.put("C:\\a\\used.dll", "x");
             m.setDword(kMain, "C:\\a\\used.dll", 0);
             m.setDword(kView32, "C:\\a\\used.dll", 2);
         },
         {}},
        {"system32 in the 32-bit view is syswow64",
         [](CleanUpMachine& m) {
             m.files.put("C:\\windows\\system32\\x.dll", "64-bit");
             m.files.put("C:\\windows\\syswow64\\x.dll", "32");
             m.setDword(kView32, "C:\\windows\\system32\\x.dll", 0);
         },
         {"C:\\windows\\syswow64\\x.dll 2"}},
    };
}

TEST(UnusedDlls, RowsOfEachCount) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        CleanUpMachine machine;
        c.setUp(machine);
        RecordedRows rows;
        CleanUpScan scan = rows.scan(machine);
        ScanUnusedDlls(machine.services, machine.access, scan);
        EXPECT_EQ(rows.lines(), c.rows);
        EXPECT_EQ(scan.totals.files, c.rows.size());
        EXPECT_EQ(machine.registry.openCount, 0);
        EXPECT_EQ(machine.prompt.statuses, std::vector<std::string>{"Scanning for unused DLL files. Please wait..."});
    }
}

TEST(UnusedDlls, StopKeepsTheRowsFoundSoFar) {
    CleanUpMachine machine;
    for (const char* name : {"C:\\a\\1.dll", "C:\\a\\2.dll", "C:\\a\\3.dll"}) {
        machine.files.put(name, "abc");
        machine.setDword(kMain, name, 0);
    }
    RecordedRows rows;
    machine.prompt.onYield = [&] { machine.stop = rows.rows.size() == 2; };
    CleanUpScan scan = rows.scan(machine);
    ScanUnusedDlls(machine.services, machine.access, scan);
    EXPECT_EQ(rows.lines(), (std::vector<std::string>{"C:\\a\\1.dll 3", "C:\\a\\2.dll 3"}));
    EXPECT_EQ(scan.totals.files, 2u);
    EXPECT_EQ(scan.totals.bytes, 6.0);
}

}  // namespace
}  // namespace korvex::test
