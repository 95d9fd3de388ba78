// "Print selected" in the found-changes window: the selected rows reach the printer;
// with Qt's own PDF output as the printer, the file holds the report's texts. (What
// the report prints, and its refusal without a selection, are tested in the logic.)
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "tests/support/run_command.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmFoundChanges.h"
#include "ui/qt_printer.h"

using namespace korvex;
using korvex::test::TestMachine;

namespace {

void prepareRun(TestMachine& m) {
    m.scanning("RegScan", "1");
    m.files.put("C:\\Program Files\\NewApp\\a.exe", "MZ");
    m.files.put("C:\\changes.kvd", "C:\\Program Files\\NewApp\\{\r\na.exe\r\n}\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "v", "1");
    m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\\NewApp\r\n");
    m.files.put("C:\\hklmchanges.kvd", "");
}

}  // namespace

class PrintReportTest : public QObject {
    Q_OBJECT

private slots:
    void theSelectedRowsArePrintedIntoAPdf() {
        TestMachine m;
        prepareRun(m);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        frmFoundChanges w(m.app);
        w.LogFileName = "NewApp.kvu";
        w.makePrinter = [&] { return std::make_unique<QtPrinter>([&] { return PrintTarget{pdf, QString(), false}; }); };
        w.show();
        auto* files = w.findChild<QTreeWidget*>(QStringLiteral("lvwFilesAdded"));
        auto* keys = w.findChild<QTreeWidget*>(QStringLiteral("lvwRegAdded"));
        QVERIFY(files && keys);
        for (auto* list : w.findChildren<QTreeWidget*>()) list->clearSelection();
        keys->topLevelItem(0)->setSelected(true);
        w.findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click();
        QVERIFY(QFile::exists(pdf));

        if (korvex::test::RunShell("command -v pdftotext >/dev/null") != 0) QSKIP("poppler-utils is not installed");
        const auto text = korvex::test::RunCommand("pdftotext -layout " + korvex::test::ShellQuote(pdf.toStdString()) + " -",
                                                   dir.path().toStdString());
        const QString out = QString::fromStdString(text.out);
        QVERIFY2(out.contains(QStringLiteral("File name: NewApp.kvu")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("The following registry keys were added:")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("HKEY_CURRENT_USER\\Software\\NewVendor")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("a.exe")), qPrintable(out));
    }
};

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"
