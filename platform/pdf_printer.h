// A printer that writes a PDF document instead of paper: an A4 page with a quarter
// inch unprintable edge (what a desktop printer leaves), the two standard Courier
// fonts (every PDF viewer has them, so nothing is embedded), text placed at the exact
// positions it is given, and a new page for a line that no longer fits. Used by
// korvex-cli, which has no printing system behind it; standard C++ only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace korvex {

class PdfPrinter : public Printer {
public:
    static constexpr int kPageWidth = 11906;   // A4 in twips
    static constexpr int kPageHeight = 16838;
    static constexpr int kEdge = 360;          // unprintable edge on every side

    void setCurrentX(int twips) override { x_ = twips; }
    int currentX() override { return x_; }
    void print(std::string_view text, After after) override;
    void setFontName(std::string_view) override {}  // Courier is the only face it has
    void setFontSize(int points) override { size_ = points > 0 ? points : size_; }
    void setFontBold(bool bold) override { bold_ = bold; }
    int textWidth(std::string_view text) override;
    int pageWidth() override { return kPageWidth - 2 * kEdge; }
    void endDoc() override;

    // The whole file, once endDoc was called ("" before).
    const std::string& document() const { return document_; }

private:
    int lineHeight() const { return size_ * 20 * 1133 / 1000; }
    void newPage();

    std::vector<std::string> pages_;  // content streams
    std::string document_;
    int x_ = 0;
    int y_ = 0;             // top of the current line, from the printable top edge
    int usedHeight_ = 0;    // tallest font printed on the current line, 0 before any
    int size_ = 10;
    bool bold_ = false;
};

// The text in the PDF's standard encoding (Windows code page 1252): characters it
// lacks become "?". One byte per character, so its length is the text's length.
std::string ToWinAnsi(std::string_view utf8);

}  // namespace korvex
