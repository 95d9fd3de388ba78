// korvex-cli report: the PDF of a saved data file, read back with poppler's tools (the
// test is skipped where they are not installed): the report's texts in Courier, at
// their positions in twips from the printable left edge.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/cli/cli_run.h"

namespace korvex::test {
namespace {

// The page's lines top to bottom from pdftotext -bbox, each as its phrases left to right:
// words one blank apart make a phrase, shown with the twips of its left edge from the
// printable edge (A4 with a quarter inch edge), "Name@1000 | In folder@4000".
std::vector<std::string> Page(const std::string& bbox) {
    struct Word {
        double x, right;
        std::string text;
    };
    std::map<long, std::vector<Word>> byLine;
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(bbox.begin(), bbox.end(), word); it != std::sregex_iterator(); ++it)
        byLine[std::lround(std::stod((*it)[2]))].push_back({std::stod((*it)[1]), std::stod((*it)[3]), (*it)[4]});
    std::vector<std::string> page;
    for (const auto& [y, words] : byLine) {
        std::string line;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Word& w = words[i];
            const double blank = (w.right - w.x) / w.text.size();
            if (i > 0 && w.x - words[i - 1].right < 1.5 * blank) {
                line.insert(line.rfind('@'), " " + w.text);
            } else {
                line += (line.empty() ? "" : " | ") + w.text + "@" + std::to_string(std::lround((w.x - 18) * 20));
            }
        }
        page.push_back(line);
    }
    return page;
}

using ReportPdf = CliRun;

TEST_F(ReportPdf, TextsInCourierAtTheirPositions) {
    if (std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdffonts >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils is not installed";
    ASSERT_EQ(onMachine({"init"}).status, 0);
    WriteHostFile(driveC() / "Program Files/Tool/tool.exe", "MZ");
    WriteHostFile(driveC() / "Tool.kvu",
                  "Files{\r\nC:\\Program Files\\Tool\\tool.exe\r\n"
                  "C:\\Tools\\AVeryLongFolderNameWithoutBlanks\\AndAnotherOneAfterIt\\x.dll\r\n}\r\n"
                  "Registry{\r\nHKEY_CURRENT_USER\\Software\\Tool\r\nTopLevel\r\n}\r\n"
                  "Win.ini{\r\nload=tool.exe\x7fload=\x7f\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\n"
                  "Config.sys{\r\n}\r\n");
    const std::string pdf = machine("report.pdf");
    const CommandResult run = onMachine({"report", (driveC() / "Tool.kvu").string(), "--pdf", pdf});
    ASSERT_EQ(run.status, 0) << run.err;

    const CommandResult fonts = RunCommand("pdffonts " + ShellQuote(pdf), root_);
    EXPECT_TRUE(Contains(fonts.out, "Courier ")) << fonts.out;
    EXPECT_TRUE(Contains(fonts.out, "Courier-Bold ")) << fonts.out;

    ASSERT_EQ(RunCommand("pdftotext -bbox " + ShellQuote(pdf) + " " + ShellQuote(machine("bbox.html")), root_).status, 0);
    std::vector<std::string> page = Page(ReadHostFile(machine("bbox.html")));
    ASSERT_GT(page.size(), 1u);
    EXPECT_THAT(page[1], ::testing::MatchesRegex("File log creation date: [0-9/]+ [0-9:]+@0"));
    page[1] = "(date)";
    // The title block at the left edge; the headings and the first column at 1000; a long
    // folder goes on in the "In folder" column on the next lines; a key without a parent
    // stands alone; a line of win.ini with the line it replaced.
    EXPECT_EQ(page, (std::vector<std::string>{
                        "File name: Tool.kvu@0",
                        "(date)",
                        "Korvex! found the following changes to your system:@0",
                        "The following files and folders were added:@1000",
                        "Name@1000 | In folder@4000 | Size@7746 | Type@9186",
                        "tool.exe@1000 | C:\\Program Files\\Tool\\@4000 | 0KB@7746 | EXE File@9186",
                        "x.dll@1000 | C:\\Tools\\AVeryLongFolderNameWi@4000 | DLL File@9186",
                        "thoutBlanks\\AndAnotherOneAfter@4000",
                        "It\\@4000",
                        "The following registry keys were added:@1000",
                        "Key name@1000 | In parent key@6360",
                        "Tool@1000 | HKEY_CURRENT_USER\\Software\\@6360",
                        "TopLevel@1000",
                        "The following lines were added to the Win.ini file:@1000",
                        "Line added@1000 | Replacing line@6360",
                        "load=tool.exe@1000 | load=@6360",
                    }));
}

TEST_F(ReportPdf, UsageAndUnreadableFiles) {
    ASSERT_EQ(onMachine({"init"}).status, 0);
    const std::string notKvu = (driveC() / "not.kvu").string(), missing = (driveC() / "missing.kvu").string();
    WriteHostFile(notKvu, "just text\r\n");
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"report"}, 2, "usage: korvex-cli [--machine DIR] report FILE.kvu --pdf OUT.pdf"},
        {{"report", notKvu}, 2, "usage:"},
        {{"report", missing, "--pdf", "out.pdf"}, 1, "cannot read"},
        {{"report", notKvu, "--pdf", "out.pdf"}, 1, "is not a saved uninstall data file"},
    };
    for (const auto& [args, status, err] : cases) {
        const CommandResult run = onMachine(args);
        EXPECT_EQ(run.status, status) << args.back();
        EXPECT_TRUE(Contains(run.err, err)) << args.back() << "\n" << run.err;
    }
    EXPECT_FALSE(fs::exists(root_ / "out.pdf"));
}

}  // namespace
}  // namespace korvex::test
