#include "ui/qt_printer.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QUrl>

#include "ui/qt_text.h"

namespace korvex {
PrintTarget ReportPrintTarget() {
    if (!QPrinterInfo::defaultPrinter().isNull()) return {};
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (!printers.isEmpty()) return {QString(), printers.first().printerName(), false};
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    QDir().mkpath(folder);
    const QString name = QStringLiteral("Korvex changes report %1.pdf")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")));
    return {QDir(folder).filePath(name), QString(), true};
}

QtPrinter::QtPrinter(std::function<PrintTarget()> chooseTarget) : chooseTarget_(std::move(chooseTarget)) {
    font_.setFamily(QStringLiteral("Courier"));
    font_.setStyleHint(QFont::TypeWriter);
    font_.setPointSize(10);
}

QtPrinter::~QtPrinter() {
    if (painter_ && painter_->isActive()) painter_->end();
}

bool QtPrinter::ready() {
    if (failed_ || ended_) return false;
    if (painter_) return true;
    target_ = chooseTarget_();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(QStringLiteral("Korvex! changes report"));
    if (!target_.pdfFile.isEmpty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(target_.pdfFile);
    } else if (!target_.printerName.isEmpty()) {
        printer_->setPrinterName(target_.printerName);
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        failed_ = true;
        return false;
    }
    painter_->setFont(font_);
    return true;
}

int QtPrinter::toDevice(int twips) const {
    return static_cast<int>(static_cast<long long>(twips) * printer_->resolution() / 1440);
}

int QtPrinter::toTwips(double device) const {
    return static_cast<int>(device * 1440 / printer_->resolution() + 0.5);
}

void QtPrinter::setFontName(std::string_view name) {
    font_.setFamily(q(name));
    if (ready()) painter_->setFont(font_);
}

void QtPrinter::setFontSize(int points) {
    if (points > 0) font_.setPointSize(points);
    if (ready()) painter_->setFont(font_);
}

void QtPrinter::setFontBold(bool bold) {
    font_.setBold(bold);
    if (ready()) painter_->setFont(font_);
}

int QtPrinter::textWidth(std::string_view text) {
    if (!ready()) return 0;
    return toTwips(QFontMetricsF(font_, printer_.get()).horizontalAdvance(q(text)));
}

int QtPrinter::pageWidth() {
    if (!ready()) return 0;
    return toTwips(printer_->pageRect(QPrinter::DevicePixel).width());
}

void QtPrinter::print(std::string_view text, After after) {
    if (!ready()) return;
    const QFontMetricsF metrics(font_, printer_.get());
    const int height = static_cast<int>(metrics.height() + 0.5);
    // A line that would cross the bottom of the printable area starts the next page.
    if (lineHeight_ == 0 && y_ > 0 && y_ + height > printer_->pageRect(QPrinter::DevicePixel).height()) {
        printer_->newPage();
        y_ = 0;
    }
    lineHeight_ = std::max(lineHeight_, height);
    const QString shown = q(text);
    if (!shown.isEmpty()) {
        painter_->drawText(QPointF(toDevice(x_), y_ + metrics.ascent()), shown);
        x_ += toTwips(metrics.horizontalAdvance(shown));
    }
    if (after == After::EndLine) {
        y_ += lineHeight_;
        lineHeight_ = 0;
        x_ = 0;
    }
}

void QtPrinter::endDoc() {
    if (!ready()) return;
    ended_ = true;
    painter_->end();
    if (target_.openWhenDone && !target_.pdfFile.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(target_.pdfFile));
}

}  // namespace korvex
