// The found-changes window over change list files on an in-memory machine: its lists,
// selection commands, sorting, opening rows, status texts, saving and its
// refusals, Delete selected, printing and the rewrite of a reviewed saved data file on
// closing. (Which rows a run finds, how they are saved and what the report prints are
// tested with the logic.)

#include "tests/support/run_command.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmFoundChanges.h"
#include "ui/qt_printer.h"

namespace {

const std::string kDel(1, '\x7f');
// The end of a saved data file that holds no lines of the other three system files.
const std::string kNoOtherLines = "System.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n";

// The window shown after a find run, or over a saved data file of older rows. The run
// found two files in one folder, a new folder, a win.ini line and a key under each
// hive; win.ini and registry scanning on, the others off.
struct AfterARun {
    explicit AfterARun(const std::string& savedFile = {}) : window(m.app, savedFile) {
        m.scanning("WinIniScan", "1");
        m.scanning("RegScan", "1");
        m.files.put("C:\\windows\\big.dll", std::string(2 * 1024 * 1024 + 1, 'x'));
        m.files.put("C:\\windows\\mid.txt", std::string(900 * 1024, 'x'));
        m.files.put("C:\\Program Files\\NewApp\\a.exe", std::string(600, 'x'));
        m.files.put("C:\\changes.kvd",
                    "!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\windows\\{\r\nbig.dll\r\nmid.txt\r\n}\r\n");
        m.files.put("C:\\SysChanges.kvd", "Win.ini{\r\nload=new.exe" + kDel + "\r\nload=" + kDel + "\r\n}\r\n");
        m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "v", "1");
        m.registry.setString("HKLM\\Software\\NewVendor", "v", "1");
        m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\\NewApp\r\n");
        m.files.put("C:\\hklmchanges.kvd", "Software\\NewVendor\r\n");
        if (!savedFile.empty()) m.files.put(savedFile, "Files{\r\nC:\\old\\entry.dll\r\n}\r\n");
        window.show();
    }
    QTreeWidget* list(const char* name) { return Child<QTreeWidget>(window, name); }
    void click(const char* button) { QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton); }
    TestMachine m;
    frmFoundChanges window;
};

}  // namespace

// The visible columns that show their contents unelided ("0123" when all four do), and
// whether together they lie within the list's width.
QString fitting(QTreeWidget* list) {
    QString out;
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        if (list->isColumnHidden(c)) continue;
        total += list->columnWidth(c);
        if (list->columnWidth(c) >= static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) out += QString::number(c);
    }
    return out + (total <= list->viewport()->width() ? " within" : " too wide");
}

class FoundChangesTest : public QObject {
    Q_OBJECT

private slots:
    void showsOpensAndSortsTheListsOfAFindRun() {
        AfterARun run;
        auto* tabs = Child<QTabWidget>(run.window, "tabChangesMade");
        QStringList shown{run.window.windowTitle()};  // and the tabs' captions
        for (int i = 0; i < tabs->count(); ++i) shown << tabs->tabText(i);
        QCOMPARE(shown, (QStringList{"Changes found  -Korvex!", "Hard drive  ", " Registry  ", "Win.ini  ", "System.ini  ",
                                     "Autoexec.bat  ", "Config.sys"}));

        auto* files = run.list("lvwFilesAdded");
        QCOMPARE(ColumnTexts(files, 0) + ColumnTexts(files, 1) + ColumnTexts(files, 2),
                 (QStringList{"big.dll", "mid.txt", "NewApp", "C:\\windows\\", "C:\\windows\\", "C:\\Program Files\\",
                              "2MB", "900KB", "1KB"}));
        QCOMPARE(LabelText(run.window, "lblFileSize"), QStringLiteral("(Total size: 2.8 MB)"));
        // Each list in its own control (the other lists' rows are checked by saving them).
        QStringList firstRows;
        for (const char* name : {"lvwRegAdded", "lvwWinIniLinesAdded", "lvwSysIniLinesAdded", "lvwAutoexecBatLinesAdded",
                                 "lvwConfigSysLinesAdded"})
            firstRows << run.list(name)->topLevelItem(0)->text(0);
        QCOMPARE(firstRows, (QStringList{"NewApp", "load=new.exe", "Scanning not enabled.", "Scanning not enabled.",
                                         "Scanning not enabled."}));

        // Status texts follow the mouse.
        QCOMPARE(StatusOnEnter(Child(run.window, "cmdSave"), Child<QLabel>(run.window, "staFoundChangesPanel")),
                 QStringLiteral(" Save the selected change(s) for future deletion"));

        // Double click opens every selected file with the shell.
        const QPoint at = files->visualItemRect(files->topLevelItem(1)).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(run.m.system.opened, (std::vector<std::string>{"C:\\windows\\mid.txt"}));

        // Sorting by size (its hidden key), then by name: letter case ignored, the order
        // flipping on every click.
        QHeaderView* header = files->header();
        const QList<QPair<int, QStringList>> clicks = {
            {2, {"2MB", "900KB", "1KB", "000002048", "000000900", "000000001"}},
            {2, {"1KB", "900KB", "2MB", "000000001", "000000900", "000002048"}},
            {0, {"NewApp", "mid.txt", "big.dll", "000000001", "000000900", "000002048"}},
        };
        for (const auto& [column, expected] : clicks) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
            QCOMPARE(ColumnTexts(files, column) + ColumnTexts(files, 4), expected);
        }
    }

    void selectionCommandsAndTheRefusalToSaveNothing() {
        AfterARun run;
        auto* sysIni = run.list("lvwSysIniLinesAdded");
        const auto selected = [&] {  // the rows of the files, win.ini and system.ini lists
            QList<bool> out;
            for (QTreeWidget* list : {run.list("lvwFilesAdded"), run.list("lvwWinIniLinesAdded"), sysIni})
                for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->isSelected();
            return out;
        };
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        run.click("cmdSave");
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.title + "|" + seen.text,
                 QStringLiteral("Error saving files|No files or system changes selected. Select a file or a system "
                                "change and then click on Save selected."));

        // Select all and Invert reach the lists and the size label.
        run.click("cmdSelectAll");
        QCOMPARE(selected(), (QList<bool>{true, true, true, true, false}));
        QCOMPARE(LabelText(run.window, "lblFileSize"), QStringLiteral("(Size: 2.8 MB)"));
        run.list("lvwFilesAdded")->topLevelItem(0)->setSelected(false);
        run.click("cmdInvSel");
        QCOMPARE(selected(), (QList<bool>{true, false, false, false, false}));
        // Clicking that row does not keep it selected either.
        QTest::mouseClick(sysIni->viewport(), Qt::LeftButton, {}, sysIni->visualItemRect(sysIni->topLevelItem(0)).center());
        QCOMPARE(selected(), (QList<bool>{true, false, false, false, false}));
    }

    // What a run found is kept in the data folder as soon as the window loads it; a save
    // writes the selected rows and remembers the file, a save that fails says why and
    // where that copy is.
    void savingTheSelectedRows() {
        AfterARun run;
        TestMachine& m = run.m;
        QTemporaryDir host;
        QDir(host.path()).mkpath(QStringLiteral("drive_c/saved"));
        m.system.hostRoot = host.path().toStdString();
        m.files.createFolder("C:\\saved");
        const std::string kept = run.window.keptCopy();
        QVERIFY(m.files.exists(kept));

        auto* files = run.list("lvwFilesAdded");
        files->topLevelItem(2)->setSelected(true);  // the new folder
        files->topLevelItem(0)->setSelected(true);
        run.list("lvwWinIniLinesAdded")->topLevelItem(0)->setSelected(true);
        SeenFileDialog dialog;
        AnswerNextFileDialog(host.path() + "/drive_c/saved/NewApp", &dialog);
        run.click("cmdSave");
        QCOMPARE(dialog.filters, QStringLiteral("Korvex data files (*.kvu)"));
        QCOMPARE(m.files.contents("C:\\saved\\NewApp.kvu"),
                 "Files{\r\nC:\\windows\\big.dll\r\nC:\\Program Files\\NewApp\r\n}\r\nRegistry{\r\n}\r\n"
                 "Win.ini{\r\nload=new.exe" + kDel + "load=" + kDel + "\r\n}\r\n" + kNoOtherLines);
        QCOMPARE(m.registry.text("HKCU\\Software\\Korvex!\\General", "SavedForDeletion").value_or(""),
                 "C:\\saved\\NewApp.kvu" + kDel);  // (the rest of the list: the logic's tests)
        QCOMPARE(run.window.SelectedCount(), std::size_t(3));  // the rows stay, still selected

        m.files.lockedFolders.insert("C:\\saved");
        AnswerNextFileDialog(host.path() + "/drive_c/saved/Other");
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        run.click("cmdSave");
        QCOMPARE(seen.title + "|" + seen.text,
                 QString::fromStdString("Error saving files|Korvex could not save C:\\saved\\Other.kvu (Permission "
                                        "denied). The changes found are kept in " + kept + "."));
        QVERIFY(!m.files.exists("C:\\saved\\Other.kvu"));
    }

    // Shift alone at the button deletes for good; the rows whose changes went leave the lists.
    void deleteSelectedWithAndWithoutShift() {
        const QList<QPair<Qt::KeyboardModifiers, int>> cases = {
            {Qt::NoModifier, 0x441}, {Qt::ShiftModifier, 0x401}, {Qt::ShiftModifier | Qt::ControlModifier, 0x441}};
        for (const auto& [modifiers, flags] : cases) {
            AfterARun run;
            for (const char* name : {"lvwFilesAdded", "lvwWinIniLinesAdded", "lvwRegAdded"})
                for (QTreeWidgetItem* row : run.list(name)->findItems("*", Qt::MatchWildcard))
                    row->setSelected(row->text(0) != QStringLiteral("mid.txt"));
            AnswerNextMessageBox(QMessageBox::Yes);  // the shell's confirmation
            QTest::mouseClick(Child<QPushButton>(run.window, "cmdDelete"), Qt::LeftButton, modifiers);
            QCOMPARE(int(run.m.shell.operations.size()), 1);
            QCOMPARE(int(run.m.shell.operations[0].fFlags), flags);
            QCOMPARE(ColumnTexts(run.list("lvwFilesAdded"), 0), QStringList{"mid.txt"});
            QCOMPARE(run.list("lvwWinIniLinesAdded")->topLevelItemCount() + run.list("lvwRegAdded")->topLevelItemCount(), 0);
        }
    }

    // "Print selected": the selected rows reach the printer; with Qt's own PDF output as
    // the printer, the file holds the report's texts.
    void theSelectedRowsArePrintedIntoAPdf() {
        AfterARun run;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        run.window.LogFileName = "NewApp.kvu";
        run.window.makePrinter = [&] { return std::make_unique<QtPrinter>([&] { return PrintTarget{pdf, {}, false}; }); };
        run.list("lvwRegAdded")->topLevelItem(0)->setSelected(true);
        run.click("cmdPrint");
        QVERIFY(QFile::exists(pdf));

        if (RunShell("command -v pdftotext >/dev/null") != 0) QSKIP("poppler-utils is not installed");
        const QString out = QString::fromStdString(
            RunCommand("pdftotext -layout " + ShellQuote(pdf.toStdString()) + " -", dir.path().toStdString()).out);
        for (const char* printed : {"File name: NewApp.kvu", "The following registry keys were added:",
                                    "HKEY_CURRENT_USER\\Software\\NewVendor"})
            QVERIFY2(out.contains(QString::fromLatin1(printed)), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("big.dll")), qPrintable(out));
    }

    void closingRewritesTheReviewedSavedFile() {
        const std::string saved = "C:\\users\\user\\app.kvu";
        AfterARun reviewed(saved);
        reviewed.list("lvwFilesAdded")->topLevelItem(0)->setSelected(true);
        reviewed.click("cmdOk");
        QVERIFY(!reviewed.window.isVisible());
        // Every row is written back, selected or not (which rows and how they are written:
        // the logic's tests).
        QVERIFY(reviewed.m.files.contents(saved).find("HKEY_LOCAL_MACHINE\\Software\\NewVendor\r\n") != std::string::npos);

        // Nothing left to review: the saved file goes away on closing.
        frmFoundChanges again(reviewed.m.app, saved);
        again.show();
        QCOMPARE(ColumnTexts(Child<QTreeWidget>(again, "lvwRegAdded"), 0), QStringList{"Scanning not enabled."});
        again.close();
        QVERIFY(!reviewed.m.files.exists(saved));
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
        QTest::qWait(20);
        auto* files = Child<QTreeWidget>(window, "lvwFilesAdded");
        QCOMPARE(fitting(files), QStringLiteral("0123 within"));
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
        auto* narrowFiles = Child<QTreeWidget>(narrow, "lvwFilesAdded");
        QCOMPARE(fitting(narrowFiles), QStringLiteral("023 within"));
        const auto deepRows = narrowFiles->findItems(QStringLiteral("Version 12.4.1"), Qt::MatchExactly, 0);
        QCOMPARE(deepRows.size(), 1);
        QCOMPARE(deepRows[0]->toolTip(1), QString::fromStdString(deep.substr(0, deep.size() - 15)));
    }
};

QTEST_MAIN(FoundChangesTest)
#include "found_changes_test.moc"
