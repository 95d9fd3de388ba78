// korvex-cli report: its arguments, and the PDF read back with poppler's tools (skipped
// where they are not installed): the report's texts in Courier at their positions. How
// the report lays out its lists is report_test's; this checks that the command joins them.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "tests/cli/cli_run.h"

namespace korvex::test {
namespace {

// The page's lines top to bottom from pdftotext -bbox, each as its phrases (words one
// blank apart) left to right with the twips of their left edge from the printable edge,
// a quarter inch in: "Name@1000 | In folder@4000".
std::vector<std::string> Page(const std::string& bbox) {
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    std::map<long, std::pair<std::string, double>> lines;  // by height: the text and its right edge
    for (std::sregex_iterator it(bbox.begin(), bbox.end(), word), end; it != end; ++it) {
        const double left = std::stod((*it)[1]), blank = (std::stod((*it)[3]) - left) / (*it)[4].length();
        auto& [text, right] = lines[std::lround(std::stod((*it)[2]))];
        if (!text.empty() && left - right < 1.5 * blank) text.insert(text.rfind('@'), " " + (*it)[4].str());
        else text += (text.empty() ? "" : " | ") + (*it)[4].str() + "@" + std::to_string(std::lround((left - 18) * 20));
        right = std::stod((*it)[3]);
    }
    std::vector<std::string> page;
    for (const auto& [height, line] : lines) page.push_back(line.first);
    return page;
}

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

    WriteHostFile(driveC() / "Program Files/Tool/tool.exe", "MZ");
    WriteHostFile(driveC() / "Tool.kvu", "Files{\r\nC:\\Program Files\\Tool\\tool.exe\r\n}\r\nRegistry{\r\n}\r\n"
                                         "Win.ini{\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n");
    const std::string pdf = machine("report.pdf");
    const CommandResult run = onMachine({"report", "C:\\Tool.kvu", "--pdf=" + pdf});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Report written to " + pdf + "\n");
    if (std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdffonts >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils is not installed";
    const std::string fonts = RunCommand("pdffonts " + ShellQuote(pdf), root_).out;
    EXPECT_TRUE(Contains(fonts, "\nCourier ") && Contains(fonts, "\nCourier-Bold ")) << fonts;
    std::vector<std::string> page = Page(RunCommand("pdftotext -bbox " + ShellQuote(pdf) + " -", root_).out);
    page.at(1) = std::regex_replace(page.at(1), std::regex("[0-9/]+ [0-9:]+"), "(date)");
    // The title block at the left edge, the heading and the columns at theirs.
    EXPECT_EQ(page, (std::vector<std::string>{
                        "File name: Tool.kvu@0", "File log creation date: (date)@0",
                        "Korvex! found the following changes to your system:@0",
                        "The following files and folders were added:@1000",
                        "Name@1000 | In folder@4000 | Size@7746 | Type@9186",
                        "tool.exe@1000 | C:\\Program Files\\Tool\\@4000 | 0KB@7746 | EXE File@9186"}));
}

}  // namespace
}  // namespace korvex::test
