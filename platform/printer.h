// The printer a report is printed on, reduced to what Korvex's report needs: a
// horizontal position in twips (1440 to the inch) from the printable left edge, the
// font, printing a text that stays on the line or ends it, measuring a text, the page
// width, and ending the document. Lines that do not fit on a page go to the next one:
// that is the backend's business, the report makes no page breaks. A backend skips
// an operation it cannot carry out and goes on, so a failing printer loses the
// report silently instead of stopping the program.
#pragma once

#include <string_view>

namespace korvex {

class Printer {
public:
    virtual ~Printer() = default;

    virtual void setCurrentX(int twips) = 0;
    virtual int currentX() = 0;
    // Prints text at the current position; EndLine then moves to the left edge of the
    // next line, StayOnLine leaves the position just after the text.
    enum class After { StayOnLine, EndLine };
    virtual void print(std::string_view text, After after) = 0;

    virtual void setFontName(std::string_view name) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontBold(bool bold) = 0;
    // Width of text in the current font, in twips.
    virtual int textWidth(std::string_view text) = 0;
    // Width of the printable area, in twips.
    virtual int pageWidth() = 0;

    // Ends the document, so that it is printed.
    virtual void endDoc() = 0;
};

}  // namespace korvex
