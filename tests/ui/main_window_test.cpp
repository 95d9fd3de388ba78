// The main window over an in-memory machine: start-up, drive list, last-scan label,
// remembered drive, recent saved files, status-bar help, Tools and Help menus.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/frmMain.h"
#include "app/help_viewer.h"
#include "app/single_instance.h"
#include "app/start_command.h"
#include "platform/types.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/support/window_test_support.h"

using namespace korvex;
using korvex::test::AnswerNextMessageBox;
using korvex::test::ScopedEnv;
using korvex::test::SeenMessage;
using korvex::test::TestMachine;
using korvex::test::WhenModal;

namespace {

const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";

QStringList entries(QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

QAction* action(QWidget& window, const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartDriveListAndLastScan() {
        TestMachine m;
        m.system.drives['D'] = {DRIVE_FIXED, ""};
        m.system.drives['E'] = {DRIVE_CDROM, "DISC"};
        frmMain w(m.services);
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvex!"));

        auto* cmbDrives = w.findChild<QComboBox*>(QStringLiteral("cmbDrives"));
        QVERIFY(cmbDrives);
        QCOMPARE(entries(cmbDrives),
                 QStringList({QStringLiteral("(C:) "), QStringLiteral("(D:) "), QStringLiteral("Local hard drives (C:,D:)")}));
        // First start: defaults written, data folder is the program's folder; the
        // stored "DriveName" (the Windows drive root) is no entry, so the first stays.
        QCOMPARE(cmbDrives->currentIndex(), 0);
        QCOMPARE(m.registry.text(kGeneral, "DefaultPath"), std::optional<std::string>("C:\\Program Files\\Korvex\\"));
        QCOMPARE(w.app().dataFolder, std::string("C:\\Program Files\\Korvex\\"));
        QCOMPARE(w.currentDrives(), std::string("C:"));

        auto* lblScanDate = w.findChild<QLabel*>(QStringLiteral("lblScanDate"));
        QVERIFY(lblScanDate);
        QCOMPARE(lblScanDate->text(), QStringLiteral("This drive has not been scanned."));

        // A scanned drive speaks of its file list's time, once the label is refreshed
        // (as Update database does after each drive).
        m.files.put("C:\\Program Files\\Korvex\\Cdbase.kvd", "C:\\{\r\n}\r\n", 1700000000);
        w.cmbDrives_Click();
        QCOMPARE(lblScanDate->text(),
                 QStringLiteral("This drive was last scanned on ") + QString::fromStdString(m.system.formatDateTime(1700000000)));

        // Choosing the all-disks entry: its drives, and the first disk's date.
        cmbDrives->setCurrentIndex(2);
        QCOMPARE(w.currentDrives(), std::string("C:,D:"));
        cmbDrives->setCurrentIndex(1);
        emit cmbDrives->activated(1);
        QCOMPARE(lblScanDate->text(), QStringLiteral("This drive has not been scanned."));

        QVERIFY(w.findChild<QStatusBar*>(QStringLiteral("staFrmMain")));
    }

    void settledDataFolderOfAnEarlierStart() {
        TestMachine m;
        // "DefaultPath" names a folder that is gone: the program's folder is stored and used.
        m.registry.setString(kGeneral, "DefaultPath", "D:\\Gone");
        frmMain w(m.services);
        QCOMPARE(w.app().dataFolder, std::string("C:\\Program Files\\Korvex\\"));
        QCOMPARE(m.registry.text(kGeneral, "DefaultPath"), std::optional<std::string>("C:\\Program Files\\Korvex"));
        // Not a first start: no defaults were written.
        QVERIFY(!m.registry.text(kGeneral, "DeleteMode"));
    }

    void chosenDriveIsRememberedAcrossStarts() {
        TestMachine m;
        m.system.drives['C'].label = "SYSTEM";
        m.system.drives['D'] = {DRIVE_FIXED, "DATA"};
        {
            frmMain w(m.services);
            auto* cmbDrives = w.findChild<QComboBox*>(QStringLiteral("cmbDrives"));
            QCOMPARE(cmbDrives->currentText(), QStringLiteral("(C:) SYSTEM"));
            w.show();
            w.close();
            QCOMPARE(m.registry.text(kGeneral, "DriveName"), std::optional<std::string>("(C:) SYSTEM"));
        }
        {
            frmMain w(m.services);
            auto* cmbDrives = w.findChild<QComboBox*>(QStringLiteral("cmbDrives"));
            QCOMPARE(cmbDrives->currentText(), QStringLiteral("(C:) SYSTEM"));
            cmbDrives->setCurrentIndex(1);
            w.show();
            action(w, "mnuExit")->trigger();  // closes the same way
            QVERIFY(!w.isVisible());
            QCOMPARE(m.registry.text(kGeneral, "DriveName"), std::optional<std::string>("(D:) DATA"));
        }
        {
            frmMain w(m.services);
            QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbDrives"))->currentText(), QStringLiteral("(D:) DATA"));
            QCOMPARE(w.currentDrives(), std::string("D:"));
        }
        // A stored text that is no entry leaves the first entry selected.
        m.registry.setString(kGeneral, "DriveName", "(d:) data");
        frmMain w(m.services);
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbDrives"))->currentIndex(), 0);
    }

    void recentFilesMenu() {
        TestMachine m;
        const std::string folder = "C:\\users\\user\\Documents\\Uninstall logs\\";
        std::string list;
        const char* const names[] = {"One", "Two", "Three", "Four", "Five", "Six"};
        for (const char* name : names) list += folder + name + ".kvu" + kListSeparator;
        for (const char* name : names)
            if (std::string(name) != "Two") m.files.put(folder + name + ".kvu", "Files{\r\n}\r\n");
        m.registry.setString(kGeneral, "DefaultPath", "C:\\Program Files\\Korvex");
        m.registry.setString(kGeneral, "SavedForDeletion", list);

        frmMain w(m.services);
        w.loadRecentFiles();
        const QStringList expected = {QStringLiteral("One"), QStringLiteral("Three"), QStringLiteral("Four"),
                                      QStringLiteral("Five")};
        for (int i = 0; i < 4; ++i) {
            QAction* item = action(w, QByteArray("mnuName" + QByteArray::number(i + 1)).constData());
            QVERIFY(item);
            QVERIFY(item->isVisible());
            QCOMPARE(item->text(), expected[i]);
        }
        QVERIFY(!action(w, "mnuEmpty")->isVisible());

        // Choosing one finds its file again and asks before uninstalling from it; No
        // leaves everything as it was.
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::No, &seen);
        action(w, "mnuName2")->trigger();
        QVERIFY(seen.seen);
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.title, QStringLiteral("Confirm Korvex! Uninstall"));
        QCOMPARE(seen.text, QStringLiteral("Are you sure you want to remove Three and and all of its components?"));
        QVERIFY(m.files.exists(folder + "Three.kvu"));

        // An empty list: "(Empty)" shows, disabled, and the four slots stay hidden.
        m.registry.setString(kGeneral, "SavedForDeletion", "");
        frmMain empty(m.services);
        empty.loadRecentFiles();
        QAction* mnuEmpty = action(empty, "mnuEmpty");
        QVERIFY(mnuEmpty->isVisible());
        QVERIFY(!mnuEmpty->isEnabled());
        QCOMPARE(mnuEmpty->text(), QStringLiteral("(Empty)"));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!action(empty, QByteArray("mnuName" + QByteArray::number(i)).constData())->isVisible());
    }

    void statusBarHelpTexts() {
        TestMachine m;
        frmMain w(m.services);
        auto* panel = w.findChild<QLabel*>(QStringLiteral("staFrmMainPanel1"));
        QVERIFY(panel);
        QCOMPARE(panel->text(), QString());  // the idle text after start-up
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QPair<QString, QString>> table = {
            {QStringLiteral("cmdFindChanges"), QStringLiteral("Find whether any new files were added or changed")},
            {QStringLiteral("cmdOptions"), QStringLiteral("Customize Korvex!")},
            {QStringLiteral("cmdSysCleanUp"), QStringLiteral("Get rid of useless system files")},
            {QStringLiteral("cmdUninstall"), QStringLiteral("Uninstall a program from a saved data file")},
            {QStringLiteral("cmdUpdateDbase"),
             QStringLiteral("Update scan database to reflect the current state of the drive")},
        };
        QWidget* background = w.centralWidget();
        for (const auto& [name, text] : table) {
            auto* control = w.findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(control, &enter);
            QCOMPARE(panel->text(), text);
            // Moving on over the control keeps its text; the background brings the idle text.
            QTest::mouseMove(control, QPoint(5, 5));
            QCOMPARE(panel->text(), text);
            QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), background->mapToGlobal(QPointF(1, 1)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(background, &move);
            QCOMPARE(panel->text(), QString());
        }
        auto* cmbDrives = w.findChild<QComboBox*>(QStringLiteral("cmbDrives"));
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(cmbDrives, &focus);
        QCOMPARE(panel->text(), QStringLiteral("Choose which drive to scan or find changes on"));
    }

    void menusInOrder() {
        TestMachine m;
        frmMain w(m.services);
        // Menu order on the bar, and the separators where they belong.
        QStringList bar;
        for (QAction* a : w.menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, QStringList({QStringLiteral("&File"), QStringLiteral("&Uninstall"), QStringLiteral("&Tools"),
                                   QStringLiteral("&Help")}));
        QStringList tools;
        for (QAction* a : w.findChild<QMenu*>(QStringLiteral("mnuTools"))->actions()) tools << a->objectName();
        QCOMPARE(tools, QStringList({"mnuSysCleanUp", "mnuLine2", "mnuCleanup", "mnuSysFileChecker", "mnuDefrag",
                                     "mnuScanDisk", "mnuDrvSpace", "mnuMaintainWiz", "mnuLine5", "mnuOptions"}));
        QVERIFY(action(w, "mnuLine5")->isSeparator());
        QAction* scanDisk = action(w, "mnuScanDisk");
        QVERIFY(!scanDisk->isVisible());
        QVERIFY(!scanDisk->isEnabled());
    }

    void toolsMenuFollowsTheMachine() {
        TestMachine m;
        m.files.put("C:\\windows\\cleanmgr.exe", "MZ");
        m.files.put("C:\\windows\\defrag.exe", "MZ");
        m.files.put("C:\\windows\\system32\\sfc.exe", "MZ");
        m.files.setAttributes("C:\\windows\\defrag.exe", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        m.files.createFolder("C:\\windows\\tuneup.exe");  // a folder is not the program
        frmMain w(m.services);
        auto* tools = w.findChild<QMenu*>(QStringLiteral("mnuTools"));
        emit tools->aboutToShow();
        QVERIFY(action(w, "mnuCleanup")->isEnabled());
        QVERIFY(action(w, "mnuDefrag")->isEnabled());
        QVERIFY(action(w, "mnuSysFileChecker")->isEnabled());
        QVERIFY(!action(w, "mnuDrvSpace")->isEnabled());
        QVERIFY(!action(w, "mnuMaintainWiz")->isEnabled());
        QVERIFY(!action(w, "mnuScanDisk")->isVisible());

        // Once disabled, an item stays so even when its program appears.
        m.files.put("C:\\windows\\drvspace.exe", "MZ");
        emit tools->aboutToShow();
        QVERIFY(!action(w, "mnuDrvSpace")->isEnabled());

        action(w, "mnuSysFileChecker")->trigger();
        action(w, "mnuCleanup")->trigger();
        m.system.platform = VER_PLATFORM_WIN32_WINDOWS;
        m.system.startSucceeds = false;  // ignored
        action(w, "mnuSysFileChecker")->trigger();
        action(w, "mnuDefrag")->trigger();
        QCOMPARE(m.system.started, std::vector<std::string>({"C:\\windows\\system32\\sfc.exe /scannow",
                                                             "C:\\windows\\cleanmgr.exe",
                                                             "C:\\windows\\system32\\sfc.exe",
                                                             "C:\\windows\\defrag.exe"}));
    }

    void helpMenuOpensHelpAndAddresses() {
        TestMachine m;
        frmMain w(m.services);
        for (const char* name : {"mnuWWW", "mnuSupport", "mnuUpdate", "mnuEmail"}) action(w, name)->trigger();
        QCOMPARE(m.system.opened.size(), 4u);
        QVERIFY(m.system.opened[0].starts_with("https://") && m.system.opened[0].find(".example.org") != std::string::npos);
        QVERIFY(m.system.opened[1].starts_with("https://") && m.system.opened[1] != m.system.opened[0]);
        QVERIFY(m.system.opened[2].starts_with("https://") && m.system.opened[2] != m.system.opened[1]);
        QVERIFY(m.system.opened[3].starts_with("mailto:") && m.system.opened[3].find("@") != std::string::npos);

        // Help Topics: the help placed beside the program, at its contents.
        action(w, "mnuHelpTopics")->trigger();
        auto* viewer = w.findChild<HelpViewer*>();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->currentTopic(), QString());
        viewer->close();

        // Other windows open it at a keyword; keywords match without regard to case.
        HelpViewer* options = ShowHelp(w.app(), &w, "Options");
        QVERIFY(options);
        QCOMPARE(options->currentTopic(), QStringLiteral("Options"));
        options->showTopic("find changes");
        QCOMPARE(options->currentTopic(), QStringLiteral("Find Changes"));
        options->showTopic("System cleaner");
        QCOMPARE(options->currentTopic(), QStringLiteral("System cleaner"));
        options->showTopic("No such topic");
        QCOMPARE(options->currentTopic(), QString());
        options->close();

        // Without the help file nothing opens and nothing is said.
        m.files.deleteFile("C:\\Program Files\\Korvex\\Korvex.hlp");
        QVERIFY(!ShowHelp(w.app(), &w, "Options"));
    }

    void buttonsOpenTheirWindows() {
        TestMachine m;
        frmMain w(m.services);
        w.show();

        // View & delete changes: an open dialog for saved data files; cancelling does nothing more.
        QString title, filters;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            title = dialog->windowTitle();
            filters = dialog->nameFilters().join(QStringLiteral(";;"));
            dialog->reject();
            return true;
        });
        w.findChild<QPushButton*>(QStringLiteral("cmdUninstall"))->click();
        QCOMPARE(filters, QStringLiteral("Korvex data files (*.kvu)"));
        QVERIFY(!title.isEmpty());

        // Update database, Find changes and System clean-up open their windows modally over this one.
        for (const char* name : {"cmdUpdateDbase", "cmdFindChanges", "cmdSysCleanUp"}) {
            QString opened;
            WhenModal([&](QWidget* modal) {
                if (modal == &w || !qobject_cast<QDialog*>(modal)) return false;
                opened = modal->objectName().isEmpty() ? QString::fromLatin1(modal->metaObject()->className())
                                                       : modal->objectName();
                modal->close();
                return true;
            });
            w.findChild<QPushButton*>(QString::fromLatin1(name))->click();
            const std::string button = name;
            const QString expected = button == "cmdUpdateDbase"   ? QStringLiteral("frmUpdateDBase")
                                     : button == "cmdFindChanges" ? QStringLiteral("frmFindingChanges")
                                                                  : QStringLiteral("frmSysCleanUp");
            QVERIFY2(opened.contains(expected), qPrintable(opened));
        }
    }

    void commandLineRunsOneWindowAndEnds() {
        TestMachine m;
        m.system.drives['D'] = {DRIVE_FIXED, "DATA"};
        m.registry.setString(kGeneral, "DefaultPath", "C:\\Program Files\\Korvex");
        m.registry.setString(kGeneral, "DriveName", "(D:) DATA");
        m.files.put("C:\\users\\user\\GameX.kvu", "Files{\r\n}\r\n");
        frmMain w(m.services);

        struct Case {
            std::vector<std::string> args;
            QString window;  // the window that must run alone, "" for none
            StartOutcome outcome;
        };
        const QList<Case> cases = {
            {{"\\u"}, QStringLiteral("frmUpdateDBase"), StartOutcome::Done},
            {{"\\f"}, QStringLiteral("frmFindingChanges"), StartOutcome::Done},
            {{"\\U"}, QString(), StartOutcome::ShowMainWindow},  // the switches are exact
            // A quoted saved data file: its uninstall asks first (closed here: No), then the program ends.
            {{"\"C:\\users\\user\\GameX.kvu\""}, QStringLiteral("QMessageBox"), StartOutcome::Done},
            {{"\"C:\\users\\user\\Missing.kvu\""}, QString(), StartOutcome::ShowMainWindow},
            {{}, QString(), StartOutcome::ShowMainWindow},
        };
        for (const Case& c : cases) {
            QString opened;
            bool mainVisible = false;
            const auto waiting = WhenModal([&](QWidget* modal) {
                opened = QString::fromLatin1(modal->metaObject()->className());
                mainVisible = w.isVisible();
                modal->close();
                return true;
            });
            const StartOutcome outcome = AnswerCommandLine(w, c.args);
            *waiting = false;
            QCOMPARE(outcome, c.outcome);
            QCOMPARE(opened.section(QStringLiteral("::"), -1), c.window);
            QVERIFY(!mainVisible);
        }
        // The drive of the run is the one remembered by the main window.
        QCOMPARE(w.currentDrives(), std::string("D:"));
    }

    void oneInstancePerMachine() {
        QTemporaryDir runtime;
        ScopedEnv runtimeFolder("XDG_RUNTIME_DIR", runtime.path().toStdString());
        QTemporaryDir prefixA, prefixB;
        auto first = std::make_unique<SingleInstance>(prefixA.path());
        QVERIFY(first->lockPath().startsWith(runtime.path()));
        QVERIFY(first->acquire());
        SingleInstance second(prefixA.path() + QStringLiteral("/"));  // the same machine, spelt differently
        QVERIFY(!second.acquire());
        SingleInstance other(prefixB.path());
        QVERIFY(other.acquire());
        first.reset();
        QVERIFY(second.acquire());

        // Without a runtime folder the lock goes to a private folder in /tmp.
        ScopedEnv noRuntimeFolder("XDG_RUNTIME_DIR", nullptr);
        SingleInstance fallback(prefixA.path());
        QVERIFY(fallback.lockPath().startsWith(QStringLiteral("/tmp/korvex-")));
        QVERIFY(fallback.acquire());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
