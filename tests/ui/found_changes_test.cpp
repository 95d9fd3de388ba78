// The found-changes window over change list files on an in-memory machine: its lists,
// icons, selection commands, sorting, opening rows, status texts, saving and its
// refusals, printing, the rewrite of a reviewed saved data file on closing, and column
// widths. (Which rows a run finds, how they are saved and what the report prints are
// tested with the logic.)

#include "removal/saved_file.h"
#include "tests/support/run_command.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmFoundChanges.h"
#include "ui/qt_printer.h"

using namespace korvex;
using namespace korvex::test;

namespace {

const std::string kDel(1, '\x7f');

QTreeWidget* list(QWidget& window, const char* name) { return Child<QTreeWidget>(window, name); }

// The rows of a list, the first `columns` cells of each joined by "|".
QStringList rows(QTreeWidget* list, int columns) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) cells << list->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

QList<bool> selection(QTreeWidget* list) {
    QList<bool> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->isSelected();
    return out;
}

// A find run's result: two files in one folder, a new folder, a vanished file, a win.ini
// line, a key under each hive; win.ini and registry scanning on, the others off.
void prepareRun(TestMachine& m) {
    m.scanning("WinIniScan", "1");
    m.scanning("RegScan", "1");
    m.files.put("C:\\windows\\big.dll", std::string(2 * 1024 * 1024 + 1, 'x'));
    m.files.put("C:\\windows\\mid.txt", std::string(900 * 1024, 'x'));
    m.files.put("C:\\Program Files\\NewApp\\a.exe", std::string(600, 'x'));
    m.files.put("C:\\changes.kvd",
                "!C:\\Program Files\\NewApp\\{\r\n}\r\n"
                "C:\\windows\\{\r\nbig.dll\r\nmid.txt\r\nvanished.ini\r\n}\r\n");
    m.files.put("C:\\SysChanges.kvd", "Win.ini{\r\nload=new.exe" + kDel + "\r\nload=" + kDel + "\r\n}\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "v", "1");
    m.registry.setString("HKLM\\Software\\NewVendor", "v", "1");
    m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\\NewApp\r\n");
    m.files.put("C:\\hklmchanges.kvd", "Software\\NewVendor\r\nSoftware\\Gone\r\n");
}

// The rows of a saved data file, "file ...", "key ..." and "line<n> added -> replaced".
QStringList savedRows(TestMachine& m, const std::string& path) {
    bool valid = false;
    const SavedData saved = ParseSavedFile(m.files.contents(path), &valid);
    if (!valid) return {"unreadable"};
    QStringList out;
    for (const std::string& file : saved.files) out << "file " + QString::fromStdString(file);
    for (const std::string& key : saved.registry) out << "key " + QString::fromStdString(key);
    for (std::size_t f = 0; f < saved.lines.size(); ++f)
        for (const SavedLine& l : saved.lines[f])
            out << QStringLiteral("line%1 %2 -> %3").arg(f).arg(QString::fromStdString(l.added),
                                                                QString::fromStdString(l.replaced));
    return out;
}

// A machine folder on the host with C:\saved, for the save dialog to pick files in.
struct SaveFolder {
    explicit SaveFolder(TestMachine& m) {
        QDir(host.path()).mkpath(QStringLiteral("drive_c/saved"));
        m.system.hostRoot = host.path().toStdString();
        m.files.createFolder("C:\\saved");
    }
    QString file(const char* name) const { return host.path() + QStringLiteral("/drive_c/saved/") + name; }
    QTemporaryDir host;
};

}  // namespace

class FoundChangesTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheListsOfAFindRun() {
        TestMachine m;
        prepareRun(m);
        frmFoundChanges window(m.app);
        window.show();
        QVERIFY(window.loaded());
        QCOMPARE(window.windowTitle(), QStringLiteral("Changes found  -Korvex!"));
        auto* tabs = Child<QTabWidget>(window, "tabChangesMade");
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"Hard drive  ", " Registry  ", "Win.ini  ", "System.ini  ", "Autoexec.bat  ",
                                        "Config.sys"}));

        auto* files = list(window, "lvwFilesAdded");
        QCOMPARE(files->headerItem()->text(4), QStringLiteral("Hidden column size (in KB) for sorting"));
        QVERIFY(files->isColumnHidden(4));
        QCOMPARE(rows(files, 3), (QStringList{"big.dll|C:\\windows\\|2MB", "mid.txt|C:\\windows\\|900KB",
                                              "NewApp|C:\\Program Files\\|1KB"}));
        QCOMPARE(files->topLevelItem(2)->text(3), QStringLiteral("Folder"));
        QVERIFY(!files->topLevelItem(0)->text(3).isEmpty());
        for (int i = 0; i < files->topLevelItemCount(); ++i) QVERIFY(!files->topLevelItem(i)->icon(0).isNull());
        // The total was taken before the vanished file was pruned (it counted 0).
        QCOMPARE(LabelText(window, "lblFileSize"), QStringLiteral("(Total size: 2.8 MB)"));

        auto* reg = list(window, "lvwRegAdded");
        QCOMPARE(rows(reg, 2), (QStringList{"NewApp|HKEY_CURRENT_USER\\Software\\NewVendor\\",
                                            "NewVendor|HKEY_LOCAL_MACHINE\\Software\\"}));
        QCOMPARE(rows(list(window, "lvwWinIniLinesAdded"), 2), QStringList{"load=new.exe|load="});
        for (const char* name : {"lvwSysIniLinesAdded", "lvwAutoexecBatLinesAdded", "lvwConfigSysLinesAdded"})
            QCOMPARE(ColumnTexts(list(window, name), 0), QStringList{"Scanning not enabled."});

        // Status texts follow the mouse.
        auto* panel = Child<QLabel>(window, "staFoundChangesPanel");
        QCOMPARE(StatusOnEnter(Child(window, "cmdSave"), panel),
                 QStringLiteral(" Save the selected change(s) for future deletion"));
        QCOMPARE(StatusOnEnter(reg, panel), QStringLiteral(" Shows you what new keys have been added to your registry"));

        // Double click opens every selected file with the shell.
        files->topLevelItem(1)->setSelected(true);
        const QPoint at = files->visualItemRect(files->topLevelItem(1)).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m.system.opened, (std::vector<std::string>{"C:\\windows\\mid.txt"}));
        window.close();
    }

    void sameNamesShareTheFirstIcon() {
        TestMachine m;
        m.files.put("C:\\a\\setup.png", "p");
        m.files.put("C:\\b\\setup.png", "p");
        m.files.put("C:\\b\\other.txt", "t");
        m.files.put("C:\\changes.kvd", "C:\\a\\{\r\nsetup.png\r\n}\r\nC:\\b\\{\r\nsetup.png\r\nother.txt\r\n}\r\n");
        frmFoundChanges window(m.app);
        window.show();
        auto* files = list(window, "lvwFilesAdded");
        QCOMPARE(files->topLevelItemCount(), 3);
        QTreeWidgetItem *first = files->topLevelItem(0), *same = files->topLevelItem(1), *other = files->topLevelItem(2);
        QCOMPARE(first->icon(0).cacheKey(), same->icon(0).cacheKey());
        QVERIFY(!other->icon(0).isNull());
        QCOMPARE(first->text(3), same->text(3));
        QVERIFY(first->text(3) != other->text(3));
        window.close();
    }

    void selectionCommandsAndTheRefusalToSaveNothing() {
        TestMachine m;
        prepareRun(m);
        frmFoundChanges window(m.app);
        window.show();
        auto* files = list(window, "lvwFilesAdded");
        auto* sysIni = list(window, "lvwSysIniLinesAdded");
        auto* winIni = list(window, "lvwWinIniLinesAdded");

        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        QTest::mouseClick(Child<QPushButton>(window, "cmdSave"), Qt::LeftButton);
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.title, QStringLiteral("Error saving files"));
        QCOMPARE(seen.text, QStringLiteral("No files or system changes selected. Select a file or a system change and "
                                           "then click on Save selected."));

        // Select all and Invert never select the row of a list whose scanning is off.
        QTest::mouseClick(Child<QPushButton>(window, "cmdSelectAll"), Qt::LeftButton);
        QCOMPARE(selection(files) + selection(winIni) + selection(sysIni), (QList<bool>{true, true, true, true, false}));
        QCOMPARE(window.SelectedCount(), std::size_t(6));  // 3 files, 2 keys, 1 line
        QCOMPARE(LabelText(window, "lblFileSize"), QStringLiteral("(Size: 2.8 MB)"));
        files->topLevelItem(0)->setSelected(false);
        QTest::mouseClick(Child<QPushButton>(window, "cmdInvSel"), Qt::LeftButton);
        QCOMPARE(selection(files) + selection(winIni) + selection(sysIni), (QList<bool>{true, false, false, false, false}));
        QCOMPARE(LabelText(window, "lblFileSize"), QStringLiteral("(Size: 2MB)"));  // 2 MB and one byte
        // Clicking that row does not keep it selected either.
        QTest::mouseClick(sysIni->viewport(), Qt::LeftButton, {}, sysIni->visualItemRect(sysIni->topLevelItem(0)).center());
        QCOMPARE(selection(sysIni), QList<bool>{false});
        window.close();
    }

    void sortingBySizeTwiceReversesTheOrder() {
        TestMachine m;
        prepareRun(m);
        frmFoundChanges window(m.app);
        window.show();
        auto* files = list(window, "lvwFilesAdded");
        QHeaderView* header = files->header();
        auto clickColumn = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickColumn(2);
        QCOMPARE(ColumnTexts(files, 2), (QStringList{"2MB", "900KB", "1KB"}));
        QCOMPARE(ColumnTexts(files, 4), (QStringList{"000002048", "000000900", "000000001"}));
        clickColumn(2);
        QCOMPARE(ColumnTexts(files, 2), (QStringList{"1KB", "900KB", "2MB"}));
        // Other columns sort by text, letter case ignored, the order flipping on every click.
        clickColumn(0);
        QCOMPARE(ColumnTexts(files, 0), (QStringList{"NewApp", "mid.txt", "big.dll"}));
        clickColumn(0);
        QCOMPARE(ColumnTexts(files, 0), (QStringList{"big.dll", "mid.txt", "NewApp"}));
        window.close();
    }

    // What a run found is kept in the data folder as soon as the window loads it; a save
    // writes the selected rows and remembers the file, a save that fails says why and
    // where that copy is.
    void savingTheSelectedRows() {
        TestMachine m;
        prepareRun(m);
        SaveFolder folder(m);
        m.registry.setString("HKCU\\Software\\Korvex!\\General", "SavedForDeletion", "C:\\old.kvu" + kDel);
        frmFoundChanges window(m.app);
        window.show();
        const std::string kept = window.keptCopy();
        QVERIFY(kept.starts_with("C:\\Program Files\\Korvex\\Found changes\\"));
        QVERIFY(m.files.contents(kept).find("C:\\Program Files\\NewApp") != std::string::npos);

        auto* files = list(window, "lvwFilesAdded");
        files->topLevelItem(2)->setSelected(true);  // the new folder
        files->topLevelItem(0)->setSelected(true);
        list(window, "lvwWinIniLinesAdded")->topLevelItem(0)->setSelected(true);
        SeenFileDialog dialog;
        AnswerNextFileDialog(folder.file("NewApp"), &dialog);
        QTest::mouseClick(Child<QPushButton>(window, "cmdSave"), Qt::LeftButton);
        QCOMPARE(dialog.filters, QStringLiteral("Korvex data files (*.kvu)"));
        QCOMPARE(savedRows(m, "C:\\saved\\NewApp.kvu"), (QStringList{"file C:\\windows\\big.dll",
                                                                     "file C:\\Program Files\\NewApp",
                                                                     "line0 load=new.exe -> load="}));
        QCOMPARE(m.registry.text("HKCU\\Software\\Korvex!\\General", "SavedForDeletion").value_or(""),
                 "C:\\saved\\NewApp.kvu" + kDel + "C:\\old.kvu" + kDel);
        // The rows stay, still selected.
        QCOMPARE(files->topLevelItemCount(), 3);
        QCOMPARE(window.SelectedCount(), std::size_t(3));

        m.files.lockedFolders.insert("C:\\saved");
        AnswerNextFileDialog(folder.file("Other"));
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        QTest::mouseClick(Child<QPushButton>(window, "cmdSave"), Qt::LeftButton);
        QTRY_VERIFY(seen.seen);
        QCOMPARE(seen.title, QStringLiteral("Error saving files"));
        QCOMPARE(seen.text, QString::fromStdString("Korvex could not save C:\\saved\\Other.kvu (Permission denied). "
                                                   "The changes found are kept in " + kept + "."));
        QVERIFY(!m.files.exists("C:\\saved\\Other.kvu"));
        window.close();
    }

    // "Print selected": the selected rows reach the printer; with Qt's own PDF output as
    // the printer, the file holds the report's texts.
    void theSelectedRowsArePrintedIntoAPdf() {
        TestMachine m;
        prepareRun(m);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        frmFoundChanges window(m.app);
        window.LogFileName = "NewApp.kvu";
        window.makePrinter = [&] { return std::make_unique<QtPrinter>([&] { return PrintTarget{pdf, QString(), false}; }); };
        window.show();
        list(window, "lvwRegAdded")->topLevelItem(0)->setSelected(true);
        Child<QPushButton>(window, "cmdPrint")->click();
        QVERIFY(QFile::exists(pdf));

        if (RunShell("command -v pdftotext >/dev/null") != 0) QSKIP("poppler-utils is not installed");
        const QString out = QString::fromStdString(
            RunCommand("pdftotext -layout " + ShellQuote(pdf.toStdString()) + " -", dir.path().toStdString()).out);
        for (const char* printed : {"File name: NewApp.kvu", "The following registry keys were added:",
                                    "HKEY_CURRENT_USER\\Software\\NewVendor"})
            QVERIFY2(out.contains(QString::fromLatin1(printed)), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("big.dll")), qPrintable(out));
        window.close();
    }

    void closingRewritesTheReviewedSavedFile() {
        TestMachine m;
        prepareRun(m);
        const std::string saved = "C:\\users\\user\\app.kvu";
        m.files.put(saved, "Files{\r\nC:\\old\\entry.dll\r\n}\r\n");
        {
            frmFoundChanges window(m.app, saved);
            window.show();
            list(window, "lvwFilesAdded")->topLevelItem(0)->setSelected(true);
            QTest::mouseClick(Child<QPushButton>(window, "cmdOk"), Qt::LeftButton);
            QVERIFY(!window.isVisible());
        }
        // Every row is written back, selected or not; the disabled-scan rows are left out.
        QCOMPARE(savedRows(m, saved),
                 (QStringList{"file C:\\windows\\big.dll", "file C:\\windows\\mid.txt", "file C:\\Program Files\\NewApp",
                              "key HKEY_CURRENT_USER\\Software\\NewVendor\\NewApp",
                              "key HKEY_LOCAL_MACHINE\\Software\\NewVendor", "line0 load=new.exe -> load="}));

        // Nothing left to review: the saved file goes away on closing.
        {
            frmFoundChanges window(m.app, saved);
            window.show();
            QCOMPARE(ColumnTexts(list(window, "lvwRegAdded"), 0), QStringList{"Scanning not enabled."});
            window.close();
        }
        QVERIFY(!m.files.exists(saved));

        // A window opened after a find run writes nothing.
        prepareRun(m);
        {
            frmFoundChanges window(m.app);
            window.show();
            window.close();
        }
        QVERIFY(!m.files.exists(saved));
    }

    // Names and folders are readable at the window's size: each column is as wide as its
    // contents when they fit; a path too long for the list is elided in the middle with
    // its full text as tooltip, and the short columns keep their width.
    void columnsFitTheirContentsWithinTheList() {
        TestMachine m;
        const std::string deep = "C:\\Program Files\\Acme Corporation\\Acme Log Viewer 2000 Professional Edition\\"
                                 "Shared Components\\Runtime Libraries\\Version 12.4.1\\";
        m.files.put("C:\\Program Files\\Acme\\acmelog.log", "log");
        m.files.put(deep + "runtime.dll", "dll");
        m.files.put("C:\\changes.kvd", "C:\\Program Files\\Acme\\{\r\nacmelog.log\r\n}\r\n");
        frmFoundChanges window(m.app);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* files = list(window, "lvwFilesAdded");
        QTest::qWait(20);

        auto fitsUnelided = [](QTreeWidget* list, int column) {
            return list->columnWidth(column) >= static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column);
        };
        auto totalWidth = [](QTreeWidget* list) {
            int total = 0;
            for (int c = 0; c < list->columnCount(); ++c)
                if (!list->isColumnHidden(c)) total += list->columnWidth(c);
            return total;
        };
        for (int c : {0, 1, 2, 3}) QVERIFY2(fitsUnelided(files, c), qPrintable(QString::number(c)));
        QVERIFY(totalWidth(files) <= files->viewport()->width());
        QCOMPARE(files->horizontalScrollBar()->isVisible(), false);
        QCOMPARE(files->textElideMode(), Qt::ElideMiddle);
        // The spare width goes to the folder, not to the type.
        QVERIFY(files->columnWidth(1) > files->columnWidth(3));
        QCOMPARE(files->topLevelItem(0)->toolTip(1), QStringLiteral("C:\\Program Files\\Acme\\"));

        // A folder path longer than the list: everything still fits, the path is elided.
        m.files.put("C:\\changes.kvd", "!" + deep + "\r\n}\r\nC:\\Program Files\\Acme\\{\r\nacmelog.log\r\n}\r\n");
        frmFoundChanges narrow(m.app);
        narrow.resize(640, 440);
        narrow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&narrow));
        QTest::qWait(20);
        auto* narrowFiles = list(narrow, "lvwFilesAdded");
        QVERIFY(totalWidth(narrowFiles) <= narrowFiles->viewport()->width());
        QVERIFY(!fitsUnelided(narrowFiles, 1));
        QVERIFY(fitsUnelided(narrowFiles, 2) && fitsUnelided(narrowFiles, 3));
        const auto deepRows = narrowFiles->findItems(QStringLiteral("Version 12.4.1"), Qt::MatchExactly, 0);
        QCOMPARE(deepRows.size(), 1);
        QCOMPARE(deepRows[0]->toolTip(1), QString::fromStdString(deep.substr(0, deep.size() - 15)));
    }
};

QTEST_MAIN(FoundChangesTest)
#include "found_changes_test.moc"
