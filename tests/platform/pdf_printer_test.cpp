// The PDF printer of korvex-cli: text in the PDF's own encoding, Courier widths, a new
// page for a line that no longer fits, and a file whose cross-reference table points
// at its objects (what every reader checks first).
#include <gtest/gtest.h>

#include <regex>

#include "platform/pdf_printer.h"

namespace korvex {
namespace {

using After = Printer::After;

TEST(PdfPrinter, WinAnsiText) {
    const std::pair<std::string, std::string> cases[] = {
        {"Caf\xC3\xA9", "Caf\xE9"},            // Latin-1 range keeps its code
        {"\xE2\x82\xAC" "5", "\x80" "5"},      // the euro sign has its own place
        {"\xE4\xB8\xAD", "?"},                 // no place for it
        {"a\xFFz", "a?z"},                      // not UTF-8 at all
        {"\xC3", "?"},                          // cut short
    };
    for (const auto& [utf8, ansi] : cases) EXPECT_EQ(ToWinAnsi(utf8), ansi) << utf8;
}

TEST(PdfPrinter, CourierWidthsPagesAndAFileThatHoldsTogether) {
    PdfPrinter printer;
    printer.setFontSize(10);
    EXPECT_EQ(printer.textWidth("\xC3\xA9t\xC3\xA9"), 3 * 120);  // 0.6 em of 10 points = 120 twips a character
    printer.setCurrentX(1000);
    printer.print("ab", After::StayOnLine);
    EXPECT_EQ(printer.currentX(), 1240);
    for (int i = 0; i < 200; ++i) printer.print("line (" + std::to_string(i) + ") \\", After::EndLine);
    EXPECT_EQ(printer.currentX(), 0);
    EXPECT_TRUE(printer.document().empty());
    printer.endDoc();
    const std::string& pdf = printer.document();
    printer.print("after the end", After::StayOnLine);  // ignored: the pen does not move
    EXPECT_EQ(printer.currentX(), 0);

    // 200 lines of 10 points (226 twips each) on 16118 twips a page: 71 a page.
    EXPECT_NE(pdf.find("/Count 3 "), std::string::npos);
    EXPECT_NE(pdf.find("(line \\(71\\) \\\\) Tj"), std::string::npos);

    // Every entry of the cross-reference table points at "n 0 obj".
    const std::size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
    std::smatch header;
    const std::string table = pdf.substr(xref);
    ASSERT_TRUE(std::regex_search(table, header, std::regex("^xref\n0 ([0-9]+)\n"), std::regex_constants::match_continuous));
    const int count = std::stoi(header[1]);
    std::size_t at = xref + header.length(0) + 20;  // past the free entry
    for (int object = 1; object < count; ++object, at += 20) {
        const std::size_t offset = std::stoul(pdf.substr(at, 10));
        EXPECT_EQ(pdf.compare(offset, std::to_string(object).size() + 6, std::to_string(object) + " 0 obj"), 0)
            << "object " << object;
    }
}

}  // namespace
}  // namespace korvex
