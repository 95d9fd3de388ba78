// korvex-cli report: the PDF of a saved data file, read back with poppler's tools (the
// test is skipped where they are not installed): the report's texts in Courier, at
// their positions in twips from the printable left edge.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/run_command.h"

namespace {

using korvex::test::ReadHostFile;
using korvex::test::RunCommand;
using korvex::test::ShellQuote;
using korvex::test::TempHostFolder;
using korvex::test::WriteHostFile;

// The PDF's page: A4 with a quarter inch edge; W is the printable width in twips.
constexpr double kEdgePoints = 18;
constexpr int kW = 11906 - 720;

double points(int twips) { return kEdgePoints + twips / 20.0; }

struct Word {
    double x, y;
    std::string text;
};

// The page's lines top to bottom, each a list of words left to right.
std::vector<std::vector<Word>> Lines(const std::string& bbox) {
    std::map<long, std::vector<Word>> byLine;
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="[0-9.]+">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(bbox.begin(), bbox.end(), word); it != std::sregex_iterator(); ++it) {
        const double y = std::stod((*it)[2]);
        byLine[std::lround(y)].push_back({std::stod((*it)[1]), y, (*it)[3]});
    }
    std::vector<std::vector<Word>> out;
    for (auto& [y, words] : byLine) out.push_back(words);
    return out;
}

const std::vector<Word>* LineStarting(const std::vector<std::vector<Word>>& lines, const std::string& first,
                                      std::size_t* index = nullptr) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0].text == first) {
            if (index) *index = i;
            return &lines[i];
        }
    }
    return nullptr;
}

TEST(ReportPdf, TextsInCourierAtTheirPositions) {
    if (std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdffonts >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils is not installed";
    TempHostFolder temp("korvex-report-test");
    const std::string machine = temp / "machine";
    ASSERT_EQ(RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine) + " init", temp.path()).status, 0);
    WriteHostFile(machine + "/drive_c/Program Files/Tool/tool.exe", "MZ");
    WriteHostFile(machine + "/drive_c/Tool.kvu",
                  "Files{\r\nC:\\Program Files\\Tool\\tool.exe\r\n"
                  "C:\\Tools\\AVeryLongFolderNameWithoutBlanks\\AndAnotherOneAfterIt\\x.dll\r\n}\r\n"
                  "Registry{\r\nHKEY_CURRENT_USER\\Software\\Tool\r\nTopLevel\r\n}\r\n"
                  "Win.ini{\r\nload=tool.exe\x7fload=\x7f\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\n"
                  "Config.sys{\r\n}\r\n");
    const std::string pdf = temp / "report.pdf";
    const auto run = RunCommand(ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine) + " report " +
                                    ShellQuote(machine + "/drive_c/Tool.kvu") + " --pdf " + ShellQuote(pdf),
                                temp.path());
    ASSERT_EQ(run.status, 0) << run.err;

    const auto fonts = RunCommand("pdffonts " + ShellQuote(pdf), temp.path());
    EXPECT_NE(fonts.out.find("Courier "), std::string::npos) << fonts.out;
    EXPECT_NE(fonts.out.find("Courier-Bold "), std::string::npos) << fonts.out;

    ASSERT_EQ(RunCommand("pdftotext -bbox " + ShellQuote(pdf) + " " + ShellQuote(temp / "bbox.html"), temp.path()).status, 0);
    const auto lines = Lines(ReadHostFile(temp / "bbox.html"));

    // Title block at the left edge.
    const auto* title = LineStarting(lines, "File");
    ASSERT_TRUE(title);
    EXPECT_NEAR((*title)[0].x, points(0), 0.1);
    EXPECT_EQ((*title)[2].text, "Tool.kvu");

    struct Column {
        std::string heading;  // first word of the heading line
        std::vector<std::pair<std::string, int>> words;  // word and its position in twips
    };
    const Column columns[] = {
        {"Name", {{"Name", 1000}, {"In", 4000}, {"Size", kW - 3440}, {"Type", kW - 2000}}},
        {"Key", {{"Key", 1000}, {"In", 6360}}},
        {"Line", {{"Line", 1000}, {"Replacing", 6360}}},
    };
    for (const Column& c : columns) {
        const auto* line = LineStarting(lines, c.heading);
        ASSERT_TRUE(line) << c.heading;
        for (const auto& [text, twips] : c.words) {
            bool found = false;
            for (const Word& w : *line) {
                if (w.text == text && std::abs(w.x - points(twips)) < 0.1) found = true;
            }
            EXPECT_TRUE(found) << c.heading << ": " << text << " at " << points(twips);
        }
    }
    for (const char* heading : {"The following files and folders were added:", "The following registry keys were added:",
                                "The following lines were added to the Win.ini file:"}) {
        bool found = false;
        for (const auto& l : lines) {
            std::string text;
            for (const Word& w : l) text += (text.empty() ? "" : " ") + w.text;
            if (text == heading && std::abs(l[0].x - points(1000)) < 0.1) found = true;
        }
        EXPECT_TRUE(found) << heading;
    }

    // The long folder goes on in the "In folder" column on the next line.
    std::size_t row = 0;
    const auto* dll = LineStarting(lines, "x.dll", &row);
    ASSERT_TRUE(dll);
    EXPECT_NEAR((*dll)[1].x, points(4000), 0.1);
    ASSERT_LT(row + 1, lines.size());
    EXPECT_NEAR(lines[row + 1][0].x, points(4000), 0.1);
    // A key without a parent stands alone on its line.
    const auto* top = LineStarting(lines, "TopLevel");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->size(), 1u);
    // Lines of win.ini: the added line and the line it replaced.
    const auto* load = LineStarting(lines, "load=tool.exe");
    ASSERT_TRUE(load);
    ASSERT_EQ(load->size(), 2u);
    EXPECT_NEAR((*load)[1].x, points(6360), 0.1);
}

TEST(ReportPdf, UsageAndUnreadableFiles) {
    TempHostFolder temp("korvex-report-test");
    const std::string machine = temp / "machine";
    const std::string cli = ShellQuote(KORVEX_CLI) + " --machine " + ShellQuote(machine);
    ASSERT_EQ(RunCommand(cli + " init", temp.path()).status, 0);
    WriteHostFile(machine + "/drive_c/not.kvu", "just text\r\n");
    struct Case {
        std::string args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"report", 2, "usage: korvex-cli [--machine DIR] report FILE.kvu --pdf OUT.pdf"},
        {"report " + ShellQuote(machine + "/drive_c/not.kvu"), 2, "usage:"},
        {"report " + ShellQuote(machine + "/drive_c/missing.kvu") + " --pdf out.pdf", 1, "cannot read"},
        {"report " + ShellQuote(machine + "/drive_c/not.kvu") + " --pdf out.pdf", 1,
         "is not a saved uninstall data file"},
    };
    for (const Case& c : cases) {
        const auto run = RunCommand(cli + " " + c.args, temp.path());
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args << "\n" << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(temp / "out.pdf"));
}

}  // namespace
