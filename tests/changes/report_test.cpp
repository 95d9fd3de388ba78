// The printed report of found changes, seen through a printer that records every line
// as the texts at their positions.
#include <gtest/gtest.h>

#include <string>

#include "changes/report.h"
#include "machine.h"
#include "platform/fake/scripted_prompt.h"

namespace korvex::test {
namespace {

// Every printed line ends in "\n" in text; on it "x:text" for every text printed on
// it, "*" before bold texts, and the font size when it is not 10. A text printed right where the previous one
// ended, in the same font, joins it, so a wrapped column reads as one text.
class RecordingPrinter : public Printer {
public:
    void setCurrentX(int twips) override { x_ = twips; }
    int currentX() override { return x_; }
    void print(std::string_view printed, After after) override {
        if (!printed.empty()) {
            const std::string font = (bold_ ? "*" : "") + (size_ != 10 ? std::to_string(size_) + "pt " : "");
            if (!line_.empty() && x_ == end_ && font == lastFont_) {
                line_ += printed;
            } else {
                if (!line_.empty()) line_ += " | ";
                line_ += font + std::to_string(x_) + ":" + std::string(printed);
            }
            x_ += textWidth(printed);
            end_ = x_;
            lastFont_ = font;
        }
        if (after == After::EndLine) {
            text += line_ + "\n";
            line_.clear();
            x_ = 0;
        }
    }
    void setFontName(std::string_view name) override { font = name; }
    void setFontSize(int points) override { size_ = points; }
    void setFontBold(bool bold) override { bold_ = bold; }
    int textWidth(std::string_view text) override { return static_cast<int>(text.size()) * size_ * 12; }
    int pageWidth() override { return 11000; }
    void endDoc() override { ++ended; }

    std::string text;
    std::string font;
    int ended = 0;

private:
    std::string line_, lastFont_;  // the line printed so far, its last font
    int x_ = 0, end_ = -1, size_ = 12;
    bool bold_ = false;
};

// Printing the lists: every recorded line, then whether it printed, the documents ended,
// the font, and each message shown.
std::string Printed(const FoundLists& lists) {
    RecordingPrinter printer;
    ScriptedPrompt prompt;
    const bool printed = PrintChangesReport(printer, prompt, lists, "App.kvu", "06.12.2026 10:00");
    std::string out = printer.text + (printed ? "printed" : "refused") + ", ended " + std::to_string(printer.ended) +
                      ", font " + printer.font;
    for (const Message& message : prompt.messages) out += " | " + Shown(message);
    return out;
}

// Nothing selected: a message and nothing printed. Otherwise only selected rows are
// printed, each list under its heading; a list with none leaves an empty line. Size at 11000 - 3440 = 7560; the folder stops at 7560 - width("aaa") =
// 7200: the character printed at or beyond 7200 ("l" at 7240) ends its line, and the
// rest continues at 4000 on the next. The empty parent key still ends its line.
TEST(ChangesReport, PrintsTheSelectedRowsOfEveryListInColumns) {
    FoundLists lists;
    lists[FoundList::Files] = {Row("skipped.txt", "C:\\"), Row("a.dll", "C:\\Program Files\\Vendor\\Tools\\")};
    lists[FoundList::Files][1].size = "12KB";
    lists[FoundList::Files][1].type = "DLL File";
    lists[FoundList::Registry] = {Row("App", "HKEY_CURRENT_USER\\Software\\"),
                                  Row("Skipped", "HKEY_CURRENT_USER\\Software\\"), Row("Top")};
    lists[FoundList::WinIni] = {Row("load=app.exe", " ")};
    lists[FoundList::ConfigSys] = {Row("FILES=40", "FILES=30")};
    const std::string title = "\n\n*14pt 0:File name: App.kvu\n*14pt 0:File log creation date: 06.12.2026 10:00\n\n"
                              "*14pt 0:Korvex! found the following changes to your system:\n\n";
    const std::string keys = "*1000:The following registry keys were added:\n\n*1000:Key name | *6360:In parent key\n"
                             "1000:App | 6360:HKEY_CURRENT_USER\\Software\\\n";
    EXPECT_EQ(Printed(lists), "refused, ended 0, font  | Exclamation OK | Error printing | No files or system changes "
                              "selected. Select a file or a system change and then click on Print selected.");

    // Only a registry key: an empty line for the files, the registry section and an empty
    // line, then one for each of win.ini, system.ini, autoexec.bat and config.sys.
    lists[FoundList::Registry][0].selected = true;
    EXPECT_EQ(Printed(lists), title + "\n" + keys + "\n\n\n\n\nprinted, ended 1, font Courier");

    lists[FoundList::Files][1].selected = lists[FoundList::Registry][2].selected = true;
    lists[FoundList::ConfigSys][0].selected = true;
    EXPECT_EQ(Printed(lists), title + "*1000:The following files and folders were added:\n\n"
                              "*1000:Name | *4000:In folder | *7560:Size | *9000:Type\n"
                              "1000:a.dll | 7560:12KB | 9000:DLL File | 4000:C:\\Program Files\\Vendor\\Tool\n4000:s\\\n\n" +
                              keys + "1000:Top\n\n\n\n\n*1000:The following lines were added to the Config.sys file:\n\n"
                              "*1000:Line added | *6360:Replacing line\n1000:FILES=40 | 6360:FILES=30\n\n"
                              "printed, ended 1, font Courier");
}

// A character of several bytes is printed whole (the recorder counts bytes); the one
// printed right at the limit ends the line.
TEST(ChangesReport, WrappedTextBreaksWhereTheLimitIsReached) {
    RecordingPrinter printer;
    printer.setFontSize(10);
    PrintWrapped(printer, "\xC3\xA9t\xC3\xA9", 4000, 4240);
    EXPECT_EQ(printer.text, "4000:\xC3\xA9t\n4000:\xC3\xA9\n");
}

// What korvex-cli report prints from a saved data file: every entry a selected row of
// its list; files and folders still there with their size and type, gone ones without.
TEST(ChangesReport, ListsOfASavedFile) {
    MemoryMachine m;
    m.files.put("C:\\App\\app.exe", std::string(3000, 'x'));
    m.files.put("C:\\App\\Data\\d.bin", std::string(1500, 'x'));
    SavedData data;
    data.files = {"C:\\App\\app.exe", "C:\\App\\Data", "C:\\App\\gone"};
    data.registry = {"HKEY_CURRENT_USER\\Software\\App", "TopLevel"};
    data.linesOf(SavedSystemFile::WinIni) = {{"load=app.exe", "load="}};
    data.linesOf(SavedSystemFile::ConfigSys) = {{"DEVICE=app.sys", ""}};
    const FoundLists lists = ReportListsOf(m.services, data);
    std::string shown;
    for (std::size_t l = 0; l < kFoundListCount; ++l)
        for (const FoundRow& row : lists.lists[l])
            shown += std::to_string(l) + " " + row.sub1 + "|" + row.text + "|" + row.size + "|" + row.type +
                     (row.isFolder ? "|folder" : "") + (row.selected ? "|selected" : "") + "\n";
    EXPECT_EQ(shown, "0 C:\\App\\|app.exe|2KB|EXE File|selected\n0 C:\\App\\|Data|1KB|Folder|folder|selected\n"
                     "0 C:\\App\\|gone||File|selected\n1 HKEY_CURRENT_USER\\Software\\|App|||selected\n"
                     "1 |TopLevel|||selected\n2 load=|load=app.exe|||selected\n5 |DEVICE=app.sys|||selected\n");
}

}  // namespace
}  // namespace korvex::test
