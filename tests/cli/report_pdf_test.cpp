// korvex-cli report: its arguments, and a PDF that a PDF reader opens, read back with
// poppler's pdftotext (skipped where it is not installed). The report's layout and the
// PDF writer have tests of their own; this checks that the command joins them.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/cli/cli_run.h"

namespace korvex::test {
namespace {

using ReportPdf = CliRun;

TEST_F(ReportPdf, RefusesBadArgumentsAndWritesAReadablePdfOfTheSavedFile) {
    ASSERT_EQ(onMachine({"init"}).status, 0);
    const std::string notKvu = (driveC() / "not.kvu").string(), missing = (driveC() / "missing.kvu").string();
    WriteHostFile(notKvu, "just text\r\n");
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"report"}, 2, "usage: korvex-cli [--machine DIR] report FILE.kvu --pdf OUT.pdf"},
        {{"report", notKvu, "two.kvu", "--pdf", "out.pdf"}, 2, "one saved data file only"},
        {{"report", missing, "--pdf", "out.pdf"}, 1, "cannot read"},
        {{"report", notKvu, "--pdf", "out.pdf"}, 1, "is not a saved uninstall data file"},
    };
    for (const auto& [args, status, err] : cases) {
        const CommandResult run = onMachine(args);
        EXPECT_EQ(run.status, status) << args.back();
        EXPECT_TRUE(Contains(run.err, err)) << args.back() << "\n" << run.err;
    }
    EXPECT_FALSE(fs::exists(root_ / "out.pdf"));

    WriteHostFile(driveC() / "Program Files/Tool/tool.exe", "MZ");
    WriteHostFile(driveC() / "Tool.kvu", "Files{\r\nC:\\Program Files\\Tool\\tool.exe\r\n}\r\nRegistry{\r\n}\r\n"
                                         "Win.ini{\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");
    const std::string pdf = machine("report.pdf");
    const CommandResult run = onMachine({"report", "C:\\Tool.kvu", "--pdf=" + pdf});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Report written to " + pdf + "\n");
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils is not installed";
    const CommandResult text = RunCommand("pdftotext -layout " + ShellQuote(pdf) + " -", root_);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(Lines(text.out).at(0), "File name: Tool.kvu") << text.out;
    EXPECT_TRUE(Contains(text.out, "C:\\Program Files\\Tool\\")) << text.out;
}

}  // namespace
}  // namespace korvex::test
