// The Options window driven as a user would: what it shows for the stored settings,
// the enabling of the registry options and the programs list, one change on each tab
// written by "OK", "Cancel" writing nothing, Help at "Options", and the main window
// opening it modally.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/frmMain.h"
#include "app/help_viewer.h"
#include "settings/support_files.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmOptions.h"

using namespace korvex;
using korvex::test::ColumnTexts;
using korvex::test::TestMachine;
using korvex::test::WhenModal;

namespace {

const char* const kScanning = "HKCU\\Software\\Korvex!\\Scanning";
const char* const kScheduler = "HKCU\\Software\\Korvex!\\Scheduler";
const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";
const char* const kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Korvex's settings as a first start leaves them, plus folders to ignore (one gone).
void StoreSettings(TestMachine& m) {
    m.files.createFolder("C:\\Games");
    m.files.createFolder("C:\\Data");
    m.registry.setString(kScanning, "FoldersToIgnore", "C:\\Games\\\x7f" "C:\\Gone\\\x7f" "C:\\Data\\\x7f");
    for (const char* name : {"ScanMode", "RegScan", "RegFullScan"}) m.registry.setString(kScanning, name, "0");
    for (const char* name : {"WinIniScan", "SystemIniScan", "ConfigSysScan", "AutoexecScan", "AutoUpdateDb"})
        m.registry.setString(kScanning, name, "1");
    m.registry.setString(kGeneral, "DeleteMode", "0");
    for (const char* name : {"Enabled", "TempFiles", "TempFolders", "SetupDetect"})
        m.registry.setString(kScheduler, name, "1");
    m.registry.setString(kScheduler, "Weekly", "0");
    m.registry.setString(kScheduler, "WindowsToIgnore", "setup.exe\x7f" "100\x7f");
    m.registry.setString(kScheduler, "WindowsToIgnoreInfo", "C:\\Tools\\\x7f" "2026-01-01\x7f");
    m.registry.setString(kRun, "Korvex Scheduler", "C:\\Program Files\\Korvex\\Korvex Scheduler.exe");
}

// Every value of the keys the window writes, "key|name=text", in order.
QStringList Values(TestMachine& m) {
    QStringList out;
    for (const char* key : {kScanning, kGeneral, kScheduler, kRun}) {
        for (const std::string& name : m.registry.valueNames(key))
            out << QString::fromStdString(std::string(key) + "|" + name + "=" + m.registry.text(key, name).value_or("?"));
    }
    return out;
}

template <typename T>
T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheStoredSettings() {
        TestMachine m;
        StoreSettings(m);
        m.scanning("ScanMode", "2");
        m.registry.setString(kScheduler, "Weekly", "1");
        frmOptions w(m.app);
        QCOMPARE(w.windowTitle(), QStringLiteral("Options -Korvex!"));
        auto* tabs = child<QTabWidget>(w, "tabOptions");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QStringLiteral("Setup Detection"));

        QVERIFY(child<QRadioButton>(w, "optScanWinOnly")->isChecked());
        QCOMPARE(child<QRadioButton>(w, "optScanWinOnly")->text(), QStringLiteral("Scan only Windows folder"));
        QVERIFY(child<QRadioButton>(w, "optWeekly")->isChecked());
        QCOMPARE(child<QComboBox>(w, "cmbDaysOfWeek")->currentText(), QStringLiteral("Sunday"));
        QCOMPARE(child<QLineEdit>(w, "txtMonthDate")->text(), QStringLiteral("3"));
        QVERIFY(child<QRadioButton>(w, "optRecycleBin")->isChecked());

        // The folder that is gone is not shown; every row has its icon.
        auto* folders = child<QTreeWidget>(w, "lvwFoldersToIgnore");
        QCOMPARE(ColumnTexts(folders, 0), QStringList({"C:\\Games\\", "C:\\Data\\"}));
        auto* programs = child<QTreeWidget>(w, "lvwExesToIgnore");
        QCOMPARE(ColumnTexts(programs, 1), QStringList({"C:\\Tools\\"}));
        QVERIFY(programs->isColumnHidden(3));
        for (QTreeWidget* list : {folders, programs})
            for (int i = 0; i < list->topLevelItemCount(); ++i) QVERIFY(!list->topLevelItem(i)->icon(0).isNull());

        // "RegScan" "0": the registry options are disabled until the box is ticked.
        auto* scanReg = child<QCheckBox>(w, "chkScanReg");
        QVERIFY(!scanReg->isChecked());
        QVERIFY(!child<QRadioButton>(w, "optCompleteReg")->isEnabled());
        QVERIFY(!child<QRadioButton>(w, "optSoftware")->isEnabled());
        scanReg->click();
        QVERIFY(child<QRadioButton>(w, "optCompleteReg")->isEnabled());
        QVERIFY(child<QRadioButton>(w, "optSoftware")->isEnabled());

        // Setup detection switches its list and button.
        auto* setup = child<QCheckBox>(w, "chkSetupDetect");
        QVERIFY(programs->isEnabled());
        setup->click();
        QVERIFY(!programs->isEnabled());
        QVERIFY(!child<QPushButton>(w, "cmdRemoveExeSetup")->isEnabled());
    }

    void oneChangeOnEachTabIsWrittenByOk() {
        TestMachine m;
        StoreSettings(m);
        frmOptions w(m.app);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // General: remove the first folder and do not load the scheduler.
        auto* folders = child<QTreeWidget>(w, "lvwFoldersToIgnore");
        folders->setCurrentItem(folders->topLevelItem(0));
        child<QPushButton>(w, "cmdRemove")->click();
        child<QCheckBox>(w, "chkEnableScheduler")->click();
        // Advanced: delete from the hard disk.
        child<QRadioButton>(w, "optDelete")->click();
        // Scheduler: weekly on Friday.
        child<QRadioButton>(w, "optWeekly")->click();
        child<QComboBox>(w, "cmbDaysOfWeek")->setCurrentText(QStringLiteral("Friday"));
        // Setup Detection: forget the program.
        auto* programs = child<QTreeWidget>(w, "lvwExesToIgnore");
        programs->setCurrentItem(programs->topLevelItem(0));
        child<QPushButton>(w, "cmdRemoveExeSetup")->click();

        child<QPushButton>(w, "cmdOk")->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(m.registry.text(kScanning, "FoldersToIgnore").value_or("?"), std::string("C:\\Data\\\x7f"));
        QCOMPARE(m.registry.text(kScheduler, "Enabled").value_or("?"), std::string("0"));
        QVERIFY(!m.registry.text(kRun, "Korvex Scheduler"));
        QCOMPARE(m.registry.text(kGeneral, "DeleteMode").value_or("?"), std::string("1"));
        QCOMPARE(m.registry.text(kScheduler, "Weekly").value_or("?"), std::string("6"));
        QCOMPARE(m.registry.text(kScheduler, "WindowsToIgnore").value_or("?"), std::string());
        QCOMPARE(m.registry.text(kScheduler, "WindowsToIgnoreInfo").value_or("?"), std::string());
        QCOMPARE(m.registry.text(kScanning, "WinIniScan").value_or("?"), std::string("1"));
    }

    void cancelWritesNothing() {
        TestMachine m;
        StoreSettings(m);
        const QStringList before = Values(m);
        frmOptions w(m.app);
        child<QCheckBox>(w, "chkEnableScheduler")->click();
        child<QRadioButton>(w, "optZip")->click();
        child<QLineEdit>(w, "txtOldDel")->setText(QStringLiteral("30"));
        child<QPushButton>(w, "cmdCancel")->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(Values(m), before);
    }

    void addingFoldersAndHelp() {
        TestMachine m;
        StoreSettings(m);
        PlaceSupportFiles(m.services);
        frmOptions w(m.app);
        // A cancelled folder pick adds nothing.
        QString title;
        WhenModal([&](QWidget* modal) {
            if (QString::fromLatin1(modal->metaObject()->className()) != QStringLiteral("QFileDialog")) return false;
            title = modal->windowTitle();
            modal->close();
            return true;
        });
        child<QPushButton>(w, "cmdAdd")->click();
        QCOMPARE(title, QStringLiteral("Choose the folder you want Korvex! to ignore while scanning:"));
        QCOMPARE(child<QTreeWidget>(w, "lvwFoldersToIgnore")->topLevelItemCount(), 2);

        child<QPushButton>(w, "cmdHelp")->click();
        auto* help = w.findChild<HelpViewer*>();
        QVERIFY(help);
        QCOMPARE(help->currentTopic(), QStringLiteral("Options"));
    }

    void mainWindowOpensItModally() {
        TestMachine m;
        frmMain main(m.services);
        main.show();
        for (const char* name : {"cmdOptions", "mnuOptions"}) {
            bool modal = false;
            WhenModal([&](QWidget* w) {
                auto* options = qobject_cast<frmOptions*>(w);
                if (!options) return false;
                modal = options->isModal();
                child<QPushButton>(*options, "cmdCancel")->click();
                return true;
            });
            if (std::string(name) == "cmdOptions") child<QPushButton>(main, name)->click();
            else child<QAction>(main, name)->trigger();
            QVERIFY2(modal, name);
        }
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
