// The main window over an in-memory machine: drive list and last-scan label, the
// remembered drive, recent saved files, status-bar help, the menus, the windows its
// buttons open, the command line and one instance per machine.

#include "app/addresses.h"
#include "app/frmMain.h"
#include "app/help_viewer.h"
#include "app/single_instance.h"
#include "app/start_command.h"
#include "platform/types.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/support/window_test_support.h"

namespace {

const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";

QAction* action(QWidget& window, const char* name) { return Child<QAction>(window, name); }
QComboBox* drives(QWidget& window) { return Child<QComboBox>(window, "cmbDrives"); }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The drive list, the last-scan label following the chosen drive, the machine line,
    // and the chosen drive remembered across starts.
    void driveListLastScanAndTheRememberedDrive() {
        TestMachine m;
        m.system.drives['D'] = {DRIVE_FIXED, "DATA"};
        {
            frmMain w(m.services);
            QStringList shown{w.windowTitle()};  // and the drive list's entries
            for (int i = 0; i < drives(w)->count(); ++i) shown << drives(w)->itemText(i);
            QCOMPARE(shown, QStringList({"Korvex!", "(C:) ", "(D:) DATA", "Local hard drives (C:,D:)"}));
            // The stored "DriveName" of a first start (the Windows drive root) is no entry.
            QCOMPARE(drives(w)->currentIndex(), 0);
            QCOMPARE(LabelText(w, "lblScanDate"), QStringLiteral("This drive has not been scanned."));

            // Refreshed (as Update database does after each drive), a scanned drive speaks of its file list's time.
            m.files.put("C:\\Program Files\\Korvex\\Cdbase.kvd", "C:\\{\r\n}\r\n", 1700000000);
            w.cmbDrives_Click();
            QCOMPARE(LabelText(w, "lblScanDate"), "This drive was last scanned on " +
                                                      QString::fromStdString(m.system.formatDateTime(1700000000)));
            drives(w)->setCurrentIndex(1);
            emit drives(w)->activated(1);
            QCOMPARE(LabelText(w, "lblScanDate"), QStringLiteral("This drive has not been scanned."));

            // Two windows on two machines are told apart by a line below the last-scan label.
            w.showMachine("~/.wine");
            w.show();
            QCOMPARE(LabelText(w, "lblMachine"), QStringLiteral("Machine: ~/.wine"));
            QVERIFY(Child(w, "lblMachine")->isVisible());
            action(w, "mnuExit")->trigger();  // closes the way the close box does
            QVERIFY(!w.isVisible());
            QCOMPARE(m.registry.text(kGeneral, "DriveName"), std::optional<std::string>("(D:) DATA"));
        }
        {
            frmMain w(m.services);
            QCOMPARE(drives(w)->currentText(), QStringLiteral("(D:) DATA"));
            QCOMPARE(w.currentDrives(), std::string("D:"));
        }
        // A stored text that is no entry (letter case counts) leaves the first entry selected.
        m.registry.setString(kGeneral, "DriveName", "(d:) data");
        frmMain w(m.services);
        QCOMPARE(drives(w)->currentIndex(), 0);
    }

    void recentFilesMenu() {
        TestMachine m;
        std::string list;
        for (const char* name : {"One", "Two", "Three", "Four", "Five"}) {  // which are listed: the logic's tests
            list += "C:\\users\\user\\" + std::string(name) + ".kvu" + kListSeparator;
            m.files.put("C:\\users\\user\\" + std::string(name) + ".kvu", "Files{\r\n}\r\n");
        }
        m.registry.setString(kGeneral, "SavedForDeletion", list);
        frmMain w(m.services);
        auto shown = [&w] {
            QStringList out;
            for (const char* name : {"mnuName1", "mnuName2", "mnuName3", "mnuName4", "mnuEmpty"})
                if (action(w, name)->isVisible()) out << action(w, name)->text();
            return out;
        };
        w.loadRecentFiles();
        QCOMPARE(shown(), QStringList({"One", "Two", "Three", "Four"}));

        // (Choosing one runs the uninstall: the removal windows' test.)
        // An empty list: only "(Empty)" shows, disabled.
        m.registry.setString(kGeneral, "SavedForDeletion", "");
        w.loadRecentFiles();
        QCOMPARE(shown(), QStringList({"(Empty)"}));
        QVERIFY(!action(w, "mnuEmpty")->isEnabled());
    }

    void menusToolsHelpAndAddresses() {
        TestMachine m;
        for (const char* tool : {"C:\\windows\\cleanmgr.exe", "C:\\windows\\defrag.exe", "C:\\windows\\system32\\sfc.exe"})
            m.files.put(tool, "MZ");
        m.files.setAttributes("C:\\windows\\defrag.exe", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        m.files.createFolder("C:\\windows\\tuneup.exe");  // a folder is not the program
        frmMain w(m.services);
        QStringList bar;
        for (QAction* a : w.menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, QStringList({"&File", "&Uninstall", "&Tools", "&Help"}));
        // The Tools menu as the user finds it: a line as "-", disabled items in brackets, hidden ones left out.
        auto* tools = Child<QMenu>(w, "mnuTools");
        emit tools->aboutToShow();
        QStringList items;
        for (QAction* a : tools->actions())
            if (a->isVisible())
                items << (a->isSeparator() ? "-" : a->isEnabled() ? a->objectName() : "(" + a->objectName() + ")");
        QCOMPARE(items, QStringList({"mnuSysCleanUp", "-", "mnuCleanup", "mnuSysFileChecker", "mnuDefrag", "(mnuDrvSpace)",
                                     "(mnuMaintainWiz)", "-", "mnuOptions"}));

        for (const char* name : {"mnuSysFileChecker", "mnuCleanup"}) action(w, name)->trigger();
        m.system.platform = VER_PLATFORM_WIN32_WINDOWS;
        m.system.startSucceeds = false;  // ignored
        for (const char* name : {"mnuSysFileChecker", "mnuDefrag"}) action(w, name)->trigger();
        QCOMPARE(m.system.started, std::vector<std::string>({"C:\\windows\\system32\\sfc.exe /scannow",
                                                             "C:\\windows\\cleanmgr.exe",
                                                             "C:\\windows\\system32\\sfc.exe",
                                                             "C:\\windows\\defrag.exe"}));

        // Help: the addresses, and the help file.
        for (const char* name : {"mnuWWW", "mnuSupport", "mnuUpdate", "mnuEmail"}) action(w, name)->trigger();
        QCOMPARE(m.system.opened, (std::vector<std::string>{std::string(kWebSite), std::string(kSupportPage),
                                                            std::string(kUpgradePage), std::string(kMailTo)}));

        // Help Topics: the help placed beside the program, at its contents; keywords (other
        // windows open it at one: the Options test) match without regard to case.
        action(w, "mnuHelpTopics")->trigger();
        auto* help = w.findChild<HelpViewer*>();
        QVERIFY(help && help->isVisible());
        QStringList topics{help->currentTopic()};
        for (const char* keyword : {"find changes", "No such topic"}) {
            help->showTopic(keyword);
            topics << help->currentTopic();
        }
        QCOMPARE(topics, QStringList({"", "Find Changes", ""}));
        help->close();

        // Without the help file nothing opens and nothing is said.
        m.files.deleteFile("C:\\Program Files\\Korvex\\Korvex.hlp");
        QVERIFY(!ShowHelp(w.app(), &w, "Options"));
    }

    // The buttons' help texts in the status bar, and the windows the buttons and menus open.
    void buttonsSpeakAndOpenTheirWindowsModally() {
        TestMachine m;
        frmMain w(m.services);
        auto* panel = Child<QLabel>(w, "staFrmMainPanel1");
        QCOMPARE(panel->text(), QString());  // the idle text after start-up
        w.show();
        const QList<QPair<const char*, QString>> texts = {
            {"cmdFindChanges", "Find whether any new files were added or changed"},
            {"cmdOptions", "Customize Korvex!"},
            {"cmdSysCleanUp", "Get rid of useless system files"},
            {"cmdUninstall", "Uninstall a program from a saved data file"},
            {"cmdUpdateDbase", "Update scan database to reflect the current state of the drive"},
        };
        for (const auto& [name, text] : texts) QCOMPARE(StatusOnEnter(Child(w, name), panel), text);
        // Moving on over the background brings the idle text.
        QWidget* background = w.centralWidget();
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), background->mapToGlobal(QPointF(1, 1)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(background, &move);
        QCOMPARE(panel->text(), QString());
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(drives(w), &focus);
        QCOMPARE(panel->text(), QStringLiteral("Choose which drive to scan or find changes on"));

        // View & delete changes: an open dialog for saved data files; cancelling does nothing more.
        SeenFileDialog dialog;
        AnswerNextFileDialog(QString(), &dialog);
        Child<QPushButton>(w, "cmdUninstall")->click();
        QCOMPARE(dialog.filters, QStringLiteral("Korvex data files (*.kvu)"));

        const QList<QPair<const char*, QString>> table = {
            {"cmdUpdateDbase", "frmUpdateDBase"}, {"cmdFindChanges", "frmFindingChanges"},
            {"cmdSysCleanUp", "frmSysCleanUp"},   {"cmdOptions", "frmOptions"},
            {"mnuOptions", "frmOptions"},         {"mnuAbout", "frmAboutProgram"},
        };
        for (const auto& [name, window] : table) {
            const QString opened = OpenedModally([&w, name = name] {
                if (auto* button = w.findChild<QPushButton*>(QString::fromLatin1(name))) button->click();
                else action(w, name)->trigger();
            });
            QCOMPARE(opened, window);
        }
    }

    void commandLineRunsOneWindowAndEnds() {
        TestMachine m;
        m.registry.setString(kGeneral, "DefaultPath", "C:\\Program Files\\Korvex");  // not a first start
        m.files.put("C:\\users\\user\\GameX.kvu", "Files{\r\n}\r\n");
        frmMain w(m.services);
        struct Case { std::vector<std::string> args; QString window; StartOutcome outcome; };  // window: runs alone
        const QList<Case> cases = {
            {{"\\u"}, "frmUpdateDBase", StartOutcome::Done},
            {{"\\f"}, "frmFindingChanges", StartOutcome::Done},
            // A quoted saved data file: its uninstall asks first (closed here: No), then the program ends.
            {{"\"C:\\users\\user\\GameX.kvu\""}, "QMessageBox", StartOutcome::Done},
            {{}, "", StartOutcome::ShowMainWindow},
        };
        for (const Case& c : cases) {
            StartOutcome outcome{};
            QCOMPARE(OpenedModally([&] { outcome = AnswerCommandLine(w, c.args); }), c.window);
            QCOMPARE(outcome, c.outcome);
            QVERIFY(!w.isVisible());
        }
    }

    void oneInstancePerMachine() {
        QTemporaryDir runtime, prefixA, prefixB;
        ScopedEnv runtimeFolder("XDG_RUNTIME_DIR", runtime.path().toStdString());
        auto first = std::make_unique<SingleInstance>(prefixA.path());
        SingleInstance second(prefixA.path() + QStringLiteral("/"));  // the same machine, spelt differently
        SingleInstance other(prefixB.path());
        QVERIFY(first->lockPath().startsWith(runtime.path()));
        QCOMPARE(QList<bool>({first->acquire(), second.acquire(), other.acquire()}), QList<bool>({true, false, true}));
        first.reset();
        QVERIFY(second.acquire());

        // Without a runtime folder the lock goes to a private folder in /tmp.
        ScopedEnv noRuntimeFolder("XDG_RUNTIME_DIR", nullptr);
        SingleInstance fallback(prefixA.path());
        QVERIFY(fallback.lockPath().startsWith(QStringLiteral("/tmp/korvex-")) && fallback.acquire());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
