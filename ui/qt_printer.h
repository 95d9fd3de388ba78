// Korvex's printer on the desktop: the default printer through Qt's printing support
// (CUPS on Linux), or, where no printer is installed, a PDF file in the user's
// Documents folder that the desktop's viewer opens once the document ends. Positions
// arrive in twips from the printable left edge and are converted at the device's
// resolution; a line that no longer fits starts a new page. A device that cannot be
// opened skips every operation: the report is lost quietly, as on paper.
#pragma once

#include <functional>
#include <memory>

#include <QFont>
#include <QString>

#include "platform/printer.h"

class QPainter;
class QPrinter;

namespace korvex {

struct PrintTarget {
    QString pdfFile;            // "" = a printer
    QString printerName;        // "" = the default printer
    bool openWhenDone = false;  // show the PDF in the desktop's viewer after endDoc
};

// The default printer, or the first one installed when none is the default; without
// any, a new PDF in the XDG Documents folder ("Korvex changes report YYYY-MM-DD
// HH.MM.SS.pdf"), opened when done.
PrintTarget ReportPrintTarget();

class QtPrinter : public Printer {
public:
    // The target is chosen when the first operation opens the device, so a report
    // that prints nothing leaves no trace.
    explicit QtPrinter(std::function<PrintTarget()> chooseTarget = ReportPrintTarget);
    ~QtPrinter() override;

    void setCurrentX(int twips) override { x_ = twips; }
    int currentX() override { return x_; }
    void print(std::string_view text, After after) override;
    void setFontName(std::string_view name) override;
    void setFontSize(int points) override;
    void setFontBold(bool bold) override;
    int textWidth(std::string_view text) override;
    int pageWidth() override;
    void endDoc() override;

    const PrintTarget& target() const { return target_; }

private:
    bool ready();  // opens the device on first use
    int toDevice(int twips) const;
    int toTwips(double device) const;

    std::function<PrintTarget()> chooseTarget_;
    PrintTarget target_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    bool failed_ = false;
    bool ended_ = false;
    QFont font_;
    int x_ = 0;           // twips
    int y_ = 0;           // device units from the printable top
    int lineHeight_ = 0;  // tallest font on the current line, device units
};

}  // namespace korvex
