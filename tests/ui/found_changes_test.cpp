// The found-changes window over change list files on an in-memory machine: its lists,
// selection commands, sorting by size, opening rows, status texts, saving refusals and
// the rewrite of a reviewed saved data file on closing.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "removal/saved_file.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmFoundChanges.h"

using namespace korvex;
using korvex::test::AnswerNextMessageBox;
using korvex::test::ColumnTexts;
using korvex::test::SeenMessage;
using korvex::test::TestMachine;

namespace {

const std::string kDel(1, '\x7f');

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

        auto* tabs = window.findChild<QTabWidget*>("tabChangesMade");
        QVERIFY(tabs);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"Hard drive  ", " Registry  ", "Win.ini  ", "System.ini  ", "Autoexec.bat  ",
                                        "Config.sys"}));

        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        QVERIFY(files);
        QCOMPARE(files->headerItem()->text(4), QStringLiteral("Hidden column size (in KB) for sorting"));
        QVERIFY(files->isColumnHidden(4));
        QCOMPARE(ColumnTexts(files, 0), (QStringList{"big.dll", "mid.txt", "NewApp"}));
        QCOMPARE(ColumnTexts(files, 1), (QStringList{"C:\\windows\\", "C:\\windows\\", "C:\\Program Files\\"}));
        QCOMPARE(ColumnTexts(files, 2), (QStringList{"2MB", "900KB", "1KB"}));
        QCOMPARE(files->topLevelItem(2)->text(3), QStringLiteral("Folder"));
        QVERIFY(!files->topLevelItem(0)->text(3).isEmpty());
        for (int i = 0; i < files->topLevelItemCount(); ++i) QVERIFY(!files->topLevelItem(i)->icon(0).isNull());
        // The total was taken before the vanished file was pruned (it counted 0).
        QCOMPARE(window.findChild<QLabel*>("lblFileSize")->text(), QStringLiteral("(Total size: 2.8 MB)"));

        auto* reg = window.findChild<QTreeWidget*>("lvwRegAdded");
        QCOMPARE(ColumnTexts(reg, 0), (QStringList{"NewApp", "NewVendor"}));
        QCOMPARE(ColumnTexts(reg, 1),
                 (QStringList{"HKEY_CURRENT_USER\\Software\\NewVendor\\", "HKEY_LOCAL_MACHINE\\Software\\"}));

        auto* winIni = window.findChild<QTreeWidget*>("lvwWinIniLinesAdded");
        QCOMPARE(ColumnTexts(winIni, 0), QStringList{"load=new.exe"});
        QCOMPARE(ColumnTexts(winIni, 1), QStringList{"load="});
        for (const char* name : {"lvwSysIniLinesAdded", "lvwAutoexecBatLinesAdded", "lvwConfigSysLinesAdded"})
            QCOMPARE(ColumnTexts(window.findChild<QTreeWidget*>(name), 0), QStringList{"Scanning not enabled."});

        for (const char* f : {"C:\\changes.kvd", "C:\\SysChanges.kvd", "C:\\hkcuchanges.kvd", "C:\\hklmchanges.kvd"})
            QVERIFY2(!m.files.exists(f), f);

        // Status texts follow the mouse.
        auto* panel = window.findChild<QLabel*>("staFoundChangesPanel");
        QVERIFY(panel);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(window.findChild<QPushButton*>("cmdSave"), &enter);
        QCOMPARE(panel->text(), QStringLiteral(" Save the selected change(s) for future deletion"));
        QApplication::sendEvent(reg, &enter);
        QCOMPARE(panel->text(), QStringLiteral(" Shows you what new keys have been added to your registry"));

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
        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        QCOMPARE(files->topLevelItemCount(), 3);
        QCOMPARE(files->topLevelItem(0)->icon(0).cacheKey(), files->topLevelItem(1)->icon(0).cacheKey());
        QVERIFY(!files->topLevelItem(2)->icon(0).isNull());
        QCOMPARE(files->topLevelItem(0)->text(3), files->topLevelItem(1)->text(3));
        QVERIFY(files->topLevelItem(0)->text(3) != files->topLevelItem(2)->text(3));
        window.close();
    }

    void selectAllNeverSelectsDisabledScanRows() {
        TestMachine m;
        prepareRun(m);
        frmFoundChanges window(m.app);
        window.show();
        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        auto* sysIni = window.findChild<QTreeWidget*>("lvwSysIniLinesAdded");
        auto* winIni = window.findChild<QTreeWidget*>("lvwWinIniLinesAdded");

        // Nothing selected: saving is refused with its message.
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
        QVERIFY(seen.seen);
        QCOMPARE(seen.title, QStringLiteral("Error saving files"));
        QCOMPARE(seen.text, QStringLiteral("No files or system changes selected. Select a file or a system change and "
                                           "then click on Save selected."));
        QCOMPARE(seen.icon, QMessageBox::Warning);

        QTest::mouseClick(window.findChild<QPushButton*>("cmdSelectAll"), Qt::LeftButton);
        QCOMPARE(selection(files), (QList<bool>{true, true, true}));
        QCOMPARE(selection(winIni), QList<bool>{true});
        QCOMPARE(selection(sysIni), QList<bool>{false});
        QCOMPARE(window.SelectedCount(), std::size_t(6));  // 3 files, 2 keys, 1 line
        QCOMPARE(window.findChild<QLabel*>("lblFileSize")->text(), QStringLiteral("(Size: 2.8 MB)"));

        files->topLevelItem(0)->setSelected(false);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdInvSel"), Qt::LeftButton);
        QCOMPARE(selection(files), (QList<bool>{true, false, false}));
        QCOMPARE(selection(winIni), QList<bool>{false});
        QCOMPARE(selection(sysIni), QList<bool>{false});
        QCOMPARE(window.findChild<QLabel*>("lblFileSize")->text(), QStringLiteral("(Size: 2MB)")  /* 2 MB and one byte */);

        // Clicking the disabled-scan row does not keep it selected.
        QTest::mouseClick(sysIni->viewport(), Qt::LeftButton, {}, sysIni->visualItemRect(sysIni->topLevelItem(0)).center());
        QCOMPARE(selection(sysIni), QList<bool>{false});
        window.close();
    }

    void sortingBySizeTwiceReversesTheOrder() {
        TestMachine m;
        prepareRun(m);
        frmFoundChanges window(m.app);
        window.show();
        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        QHeaderView* header = files->header();
        const QPoint sizeSection(header->sectionViewportPosition(2) + 5, header->height() / 2);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeSection);
        QCOMPARE(ColumnTexts(files, 2), (QStringList{"2MB", "900KB", "1KB"}));
        QCOMPARE(ColumnTexts(files, 4), (QStringList{"000002048", "000000900", "000000001"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeSection);
        QCOMPARE(ColumnTexts(files, 2), (QStringList{"1KB", "900KB", "2MB"}));

        // Other columns sort by text, letter case ignored, the order flipping on every click.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(ColumnTexts(files, 0), (QStringList{"NewApp", "mid.txt", "big.dll"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(ColumnTexts(files, 0), (QStringList{"big.dll", "mid.txt", "NewApp"}));
        window.close();
    }

    void savingWritesTheSelectedRowsAndRemembersTheFile() {
        TestMachine m;
        prepareRun(m);
        QTemporaryDir host;
        QVERIFY(QDir(host.path()).mkpath(QStringLiteral("drive_c/saved")));
        m.system.hostRoot = host.path().toStdString();
        m.files.createFolder("C:\\saved");
        m.registry.setString("HKCU\\Software\\Korvex!\\General", "SavedForDeletion", "C:\\old.kvu" + kDel);

        frmFoundChanges window(m.app);
        window.show();
        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        files->topLevelItem(2)->setSelected(true);  // the new folder
        files->topLevelItem(0)->setSelected(true);
        window.findChild<QTreeWidget*>("lvwWinIniLinesAdded")->topLevelItem(0)->setSelected(true);

        QString filters;
        korvex::test::WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            filters = d->nameFilters().join(QStringLiteral(";;"));
            d->selectFile(host.path() + QStringLiteral("/drive_c/saved/NewApp"));
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
        QCOMPARE(filters, QStringLiteral("Korvex data files (*.kvu)"));

        bool valid = false;
        SavedData saved = ParseSavedFile(m.files.contents("C:\\saved\\NewApp.kvu"), &valid);
        QVERIFY(valid);
        QCOMPARE(saved.files, (std::vector<std::string>{"C:\\windows\\big.dll", "C:\\Program Files\\NewApp"}));
        QVERIFY(saved.registry.empty());
        QCOMPARE(saved.linesOf(SavedSystemFile::WinIni), (std::vector<SavedLine>{{"load=new.exe", "load="}}));
        QCOMPARE(m.registry.text("HKCU\\Software\\Korvex!\\General", "SavedForDeletion").value_or(""),
                 "C:\\saved\\NewApp.kvu" + kDel + "C:\\old.kvu" + kDel);
        QCOMPARE(m.registry.text("HKCU\\Software\\Korvex!\\General", "OpenSavePath").value_or(""),
                 std::string("C:\\saved"));
        // The rows stay, still selected.
        QCOMPARE(files->topLevelItemCount(), 3);
        QCOMPARE(window.SelectedCount(), std::size_t(3));
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
            window.findChild<QTreeWidget*>("lvwFilesAdded")->topLevelItem(0)->setSelected(true);
            QTest::mouseClick(window.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
            QVERIFY(!window.isVisible());
        }
        bool valid = false;
        SavedData back = ParseSavedFile(m.files.contents(saved), &valid);
        QVERIFY(valid);
        QCOMPARE(back.files, (std::vector<std::string>{"C:\\windows\\big.dll", "C:\\windows\\mid.txt",
                                                       "C:\\Program Files\\NewApp"}));
        QCOMPARE(back.registry, (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\NewVendor\\NewApp",
                                                          "HKEY_LOCAL_MACHINE\\Software\\NewVendor"}));
        QCOMPARE(back.linesOf(SavedSystemFile::WinIni), (std::vector<SavedLine>{{"load=new.exe", "load="}}));
        QVERIFY(back.linesOf(SavedSystemFile::SystemIni).empty());  // the disabled-scan row is left out

        // Nothing left to review: the saved file goes away on closing.
        {
            frmFoundChanges window(m.app, saved);
            window.show();
            QCOMPARE(window.findChild<QTreeWidget*>("lvwRegAdded")->topLevelItem(0)->text(0),
                     QStringLiteral("Scanning not enabled."));
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

    // Names, folders and lines are readable at the window's size: each column is as wide
    // as its contents when they fit; a path too long for the list is elided in the
    // middle with its full text as tooltip, and the short columns keep their width.
    void columnsFitTheirContentsWithinTheList() {
        TestMachine m;
        m.scanning("WinIniScan", "1");
        const std::string deep = "C:\\Program Files\\Acme Corporation\\Acme Log Viewer 2000 Professional Edition\\"
                                 "Shared Components\\Runtime Libraries\\Version 12.4.1\\";
        m.files.put("C:\\Program Files\\Acme\\acmelog.log", "log");
        m.files.put(deep + "runtime.dll", "dll");
        m.files.put("C:\\changes.kvd", "C:\\Program Files\\Acme\\{\r\nacmelog.log\r\n}\r\n");
        m.files.put("C:\\SysChanges.kvd", "Win.ini{\r\nPath=C:\\Program Files\\Acme\\acmelog.exe" + kDel + " " + kDel +
                                            "\r\n}\r\n");
        frmFoundChanges window(m.app);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
        auto* winIni = window.findChild<QTreeWidget*>("lvwWinIniLinesAdded");
        QVERIFY(files && winIni);
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

        auto* tabs = window.findChild<QTabWidget*>("tabChangesMade");
        tabs->setCurrentIndex(2);
        QTest::qWait(20);
        QVERIFY(fitsUnelided(winIni, 0));
        QCOMPARE(winIni->topLevelItem(0)->text(0), QStringLiteral("Path=C:\\Program Files\\Acme\\acmelog.exe"));

        // A folder path longer than the list: everything still fits, the path is elided.
        tabs->setCurrentIndex(0);
        m.files.put("C:\\changes.kvd", "!" + deep + "\r\n}\r\nC:\\Program Files\\Acme\\{\r\nacmelog.log\r\n}\r\n");
        frmFoundChanges narrow(m.app);
        narrow.resize(640, 440);
        narrow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&narrow));
        QTest::qWait(20);
        auto* list = narrow.findChild<QTreeWidget*>("lvwFilesAdded");
        QVERIFY(totalWidth(list) <= list->viewport()->width());
        QVERIFY(!fitsUnelided(list, 1));
        QVERIFY(fitsUnelided(list, 2) && fitsUnelided(list, 3));
        const auto deepRows = list->findItems(QStringLiteral("Version 12.4.1"), Qt::MatchExactly, 0);
        QCOMPARE(deepRows.size(), 1);
        QCOMPARE(deepRows[0]->toolTip(1), QString::fromStdString(deep.substr(0, deep.size() - 15)));
    }

    // What a run found is kept in the data folder as soon as the window loads it; a save
    // that fails says why and where that copy is.
    void findingsAreKeptAndAFailedSaveNamesTheCopy() {
        TestMachine m;
        prepareRun(m);
        QTemporaryDir host;
        QVERIFY(QDir(host.path()).mkpath(QStringLiteral("drive_c/saved")));
        m.system.hostRoot = host.path().toStdString();
        m.files.createFolder("C:\\saved");
        m.files.lockedFolders.insert("C:\\saved");

        frmFoundChanges window(m.app);
        window.show();
        const std::string kept = window.keptCopy();
        QVERIFY(kept.rfind("C:\\Program Files\\Korvex\\Found changes\\", 0) == 0);
        QVERIFY(m.files.contents(kept).find("C:\\Program Files\\NewApp") != std::string::npos);

        window.findChild<QTreeWidget*>("lvwFilesAdded")->topLevelItem(0)->setSelected(true);
        korvex::test::WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            d->selectFile(host.path() + QStringLiteral("/drive_c/saved/NewApp"));
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
        QTRY_VERIFY(seen.seen);
        QCOMPARE(seen.title, QStringLiteral("Error saving files"));
        QCOMPARE(seen.text, QString::fromStdString("Korvex could not save C:\\saved\\NewApp.kvu (Permission denied). "
                                                   "The changes found are kept in " + kept + "."));
        QVERIFY(!m.files.exists("C:\\saved\\NewApp.kvu"));
        window.close();
    }
};

QTEST_MAIN(FoundChangesTest)
#include "found_changes_test.moc"
