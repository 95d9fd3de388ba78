// The printed report of found changes, seen through a printer that records every line
// as the texts at their positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/report.h"
#include "platform/fake/scripted_prompt.h"

namespace korvex {
namespace {

// One printed line: "x:text" for every text printed on it, "*" before bold texts,
// and the font size when it is not 10. A text printed right where the previous one
// ended, in the same font, joins it, so a wrapped column reads as one text.
class RecordingPrinter : public Printer {
public:
    static constexpr int kWidth = 11000;
    void setCurrentX(int twips) override { x_ = twips; }
    int currentX() override { return x_; }
    void print(std::string_view text, After after) override {
        if (!text.empty()) {
            std::string& line = current_;
            const std::string font = (bold_ ? "*" : "") + (size_ != 10 ? std::to_string(size_) + "pt " : "");
            if (!line.empty() && x_ == end_ && font == lastFont_) {
                line += text;
            } else {
                if (!line.empty()) line += " | ";
                line += font + std::to_string(x_) + ":" + std::string(text);
            }
            x_ += textWidth(text);
            end_ = x_;
            lastFont_ = font;
        }
        if (after == After::EndLine) {
            lines.push_back(current_);
            current_.clear();
            x_ = 0;
        }
    }
    void setFontName(std::string_view name) override { font = name; }
    void setFontSize(int points) override { size_ = points; }
    void setFontBold(bool bold) override { bold_ = bold; }
    int textWidth(std::string_view text) override { return static_cast<int>(text.size()) * size_ * 12; }
    int pageWidth() override { return kWidth; }
    void endDoc() override { ++ended; }

    std::vector<std::string> lines;
    std::string font;
    int ended = 0;

private:
    std::string current_, lastFont_;
    int x_ = 0, end_ = -1, size_ = 12;
    bool bold_ = false;
};

FoundRow row(std::string text, std::string sub1, bool selected = true) {
    FoundRow r;
    r.text = std::move(text);
    r.sub1 = std::move(sub1);
    r.selected = selected;
    return r;
}

std::vector<std::string> titleBlock() {
    return {"",
            "",
            "*14pt 0:File name: App.kvu",
            "*14pt 0:File log creation date: 06.12.2026 10:00",
            "",
            "*14pt 0:Korvex! found the following changes to your system:",
            ""};
}

TEST(ChangesReport, OnlyRegistryKeysGiveTheTitleTheRegistrySectionAndAnEmptyLineForEveryOtherSection) {
    FoundLists lists;
    lists[FoundList::Files].push_back(row("app.exe", "C:\\App\\", false));
    lists[FoundList::Registry].push_back(row("App", "HKEY_CURRENT_USER\\Software\\"));
    lists[FoundList::Registry].push_back(row("Skipped", "HKEY_CURRENT_USER\\Software\\", false));
    lists[FoundList::WinIni].push_back(row("load=app.exe", " ", false));
    RecordingPrinter printer;
    ScriptedPrompt prompt;

    ASSERT_TRUE(PrintChangesReport(printer, prompt, lists, "App.kvu", "06.12.2026 10:00"));

    std::vector<std::string> expected = titleBlock();
    expected.insert(expected.end(), {
        "",  // files: nothing selected
        "*1000:The following registry keys were added:",
        "",
        "*1000:Key name | *6360:In parent key",
        "1000:App | 6360:HKEY_CURRENT_USER\\Software\\",
        "",  // after the registry section
        "", "", "", ""});  // win.ini, system.ini, autoexec.bat, config.sys
    EXPECT_EQ(printer.lines, expected);
    EXPECT_EQ(printer.font, "Courier");
    EXPECT_EQ(printer.ended, 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ChangesReport, ALongFolderContinuesInItsColumnAndAnEmptyParentKeyTakesItsLine) {
    FoundLists lists;
    FoundRow file = row("a.dll", "C:\\Program Files\\Vendor\\Tools\\");
    file.size = "12KB";
    file.type = "DLL File";
    lists[FoundList::Files].push_back(file);
    lists[FoundList::Registry].push_back(row("Top", ""));
    lists[FoundList::ConfigSys].push_back(row("FILES=40", "FILES=30"));
    RecordingPrinter printer;
    ScriptedPrompt prompt;

    ASSERT_TRUE(PrintChangesReport(printer, prompt, lists, "", "date"));

    // Size at 11000 - 3440 = 7560; the folder stops at 7560 - width("aaa") = 7200:
    // the character printed at or beyond 7200 ("l" at 7240) ends its line, and the
    // rest continues at 4000 on the next.
    const std::vector<std::string> body(printer.lines.begin() + 7, printer.lines.end());
    const std::vector<std::string> expected = {
        "*1000:The following files and folders were added:",
        "",
        "*1000:Name | *4000:In folder | *7560:Size | *9000:Type",
        "1000:a.dll | 7560:12KB | 9000:DLL File | 4000:C:\\Program Files\\Vendor\\Tool",
        "4000:s\\",
        "",
        "*1000:The following registry keys were added:",
        "",
        "*1000:Key name | *6360:In parent key",
        "1000:Top",  // the empty parent key still ends the line
        "",
        "", "", "",
        "*1000:The following lines were added to the Config.sys file:",
        "",
        "*1000:Line added | *6360:Replacing line",
        "1000:FILES=40 | 6360:FILES=30",
        ""};
    EXPECT_EQ(body, expected);
}

TEST(ChangesReport, WrappedTextBreaksWhereverTheLimitIsReached) {
    struct Case {
        std::string text;
        int limit;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", 5000, {""}},
        {"abc", 10000, {"4000:abc"}},
        // At 4240 the limit is reached: "c" ends the line, the rest starts at 4000 again.
        {"abcdef", 4240, {"4000:abc", "4000:def", ""}},
        {"abcde", 4240, {"4000:abc", "4000:de"}},
        // A character of several bytes is printed whole (the recorder counts bytes).
        {"\xC3\xA9t\xC3\xA9", 4240, {"4000:\xC3\xA9t", "4000:\xC3\xA9"}},
    };
    for (const Case& c : cases) {
        RecordingPrinter printer;
        printer.setFontSize(10);
        PrintWrapped(printer, c.text, 4000, c.limit);
        EXPECT_EQ(printer.lines, c.lines) << c.text;
    }
}

TEST(ChangesReport, NothingSelectedSaysSoAndPrintsNothing) {
    FoundLists lists;
    lists[FoundList::Files].push_back(row("app.exe", "C:\\App\\", false));
    RecordingPrinter printer;
    ScriptedPrompt prompt;
    EXPECT_FALSE(PrintChangesReport(printer, prompt, lists, "", ""));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompt.messages[0].title, "Error printing");
    EXPECT_EQ(prompt.messages[0].text,
              "No files or system changes selected. Select a file or a system change and then click on Print "
              "selected.");
    EXPECT_TRUE(printer.lines.empty());
    EXPECT_EQ(printer.ended, 0);
}

}  // namespace
}  // namespace korvex
