// The Options window driven as a user would: what it shows for the stored settings,
// the enabling of the registry options and the programs list, one change on each tab
// written by "OK", "Cancel" writing nothing, a cancelled folder pick and Help at "Options".
// (The main window's test opens it modally.)

#include "app/help_viewer.h"
#include "settings/support_files.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmOptions.h"

namespace {

const char* const kScanning = "HKCU\\Software\\Korvex!\\Scanning";
const char* const kScheduler = "HKCU\\Software\\Korvex!\\Scheduler";
const char* const kGeneral = "HKCU\\Software\\Korvex!\\General";
const char* const kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Korvex's settings, scanning the Windows folder only and weekly on Sunday, with folders
// to ignore (one gone) and a program to ignore.
void StoreSettings(TestMachine& m) {
    for (const char* folder : {"C:\\Games", "C:\\Data"}) m.files.createFolder(folder);
    m.registry.setString(kScanning, "FoldersToIgnore", "C:\\Games\\\x7f" "C:\\Gone\\\x7f" "C:\\Data\\\x7f");
    for (const char* name : {"RegScan", "RegFullScan"}) m.registry.setString(kScanning, name, "0");
    m.registry.setString(kScanning, "ScanMode", "2");
    for (const char* name : {"WinIniScan", "SystemIniScan", "ConfigSysScan", "AutoexecScan", "AutoUpdateDb"})
        m.registry.setString(kScanning, name, "1");
    m.registry.setString(kGeneral, "DeleteMode", "0");
    for (const char* name : {"Enabled", "TempFiles", "TempFolders", "SetupDetect", "Weekly"})
        m.registry.setString(kScheduler, name, "1");
    m.registry.setString(kScheduler, "WindowsToIgnore", "setup.exe\x7f" "100\x7f");
    m.registry.setString(kScheduler, "WindowsToIgnoreInfo", "C:\\Tools\\\x7f" "2026-01-01\x7f");
    m.registry.setString(kRun, "Korvex Scheduler", "C:\\Program Files\\Korvex\\Korvex Scheduler.exe");
}

// Every value of the keys the window writes, "key|name=text", in order.
QStringList Values(TestMachine& m) {
    QStringList out;
    for (const char* key : {kScanning, kGeneral, kScheduler, kRun})
        for (const std::string& name : m.registry.valueNames(key))
            out << QString::fromStdString(std::string(key) + "|" + name + "=" + m.registry.text(key, name).value_or("?"));
    return out;
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    // What the window shows for the stored settings and how its boxes enable the options
    // they rule; then one change on each tab: "OK" writes them, "Cancel" writes nothing.
    void showsTheSettingsOkWritesOneChangeOnEachTabCancelNothing() {
        for (const char* button : {"cmdOk", "cmdCancel"}) {
            TestMachine m;
            StoreSettings(m);
            PlaceSupportFiles(m.services);
            const QStringList before = Values(m);
            frmOptions w(m.app);
            w.show();
            auto* tabs = Child<QTabWidget>(w, "tabOptions");
            QStringList checked;
            for (QRadioButton* option : w.findChildren<QRadioButton*>())
                if (option->isChecked()) checked << option->objectName();
            QCOMPARE(QStringList({w.windowTitle(), QString::number(tabs->count()) + " " + tabs->tabText(3),
                                  Child<QRadioButton>(w, "optScanWinOnly")->text(), checked.join(' '),
                                  Child<QComboBox>(w, "cmbDaysOfWeek")->currentText(),
                                  Child<QLineEdit>(w, "txtMonthDate")->text()}),
                     QStringList({"Options -Korvex!", "4 Setup Detection", "Scan only Windows folder",
                                  "optWeekly optScanWinOnly optRecycleBin optSoftware", "Sunday", "3"}));
            // The folder that is gone is not shown.
            auto* folders = Child<QTreeWidget>(w, "lvwFoldersToIgnore");
            auto* programs = Child<QTreeWidget>(w, "lvwExesToIgnore");
            QCOMPARE(ColumnTexts(folders, 0) + ColumnTexts(programs, 1),
                     QStringList({"C:\\Games\\", "C:\\Data\\", "C:\\Tools\\"}));

            // General: remove the first folder and do not load the scheduler.
            folders->setCurrentItem(folders->topLevelItem(0));
            Child<QPushButton>(w, "cmdRemove")->click();
            Child<QCheckBox>(w, "chkEnableScheduler")->click();
            // Advanced: the registry options are disabled until their box is ticked; delete
            // from the hard disk.
            auto* complete = Child<QRadioButton>(w, "optCompleteReg");
            auto* software = Child<QRadioButton>(w, "optSoftware");
            QVERIFY(!complete->isEnabled() && !software->isEnabled());
            Child<QCheckBox>(w, "chkScanReg")->click();
            QVERIFY(complete->isEnabled() && software->isEnabled());
            Child<QRadioButton>(w, "optDelete")->click();
            // Scheduler: Friday.
            Child<QComboBox>(w, "cmbDaysOfWeek")->setCurrentText(QStringLiteral("Friday"));
            // Setup Detection: forget the program, then switch detection off with its list.
            programs->setCurrentItem(programs->topLevelItem(0));
            Child<QPushButton>(w, "cmdRemoveExeSetup")->click();
            Child<QCheckBox>(w, "chkSetupDetect")->click();
            QVERIFY(!programs->isEnabled() && !Child<QPushButton>(w, "cmdRemoveExeSetup")->isEnabled());
            // A cancelled folder pick adds nothing; Help opens at "Options".
            SeenFileDialog dialog;
            AnswerNextFileDialog(QString(), &dialog);
            Child<QPushButton>(w, "cmdAdd")->click();
            QCOMPARE(dialog.title, QStringLiteral("Choose the folder you want Korvex! to ignore while scanning:"));
            QCOMPARE(folders->topLevelItemCount(), 1);
            Child<QPushButton>(w, "cmdHelp")->click();
            QVERIFY(w.findChild<HelpViewer*>());
            QCOMPARE(w.findChild<HelpViewer*>()->currentTopic(), QStringLiteral("Options"));

            Child<QPushButton>(w, button)->click();
            if (std::string(button) == "cmdCancel") {
                QCOMPARE(w.result(), int(QDialog::Rejected));
                QCOMPARE(Values(m), before);
                continue;
            }
            QCOMPARE(w.result(), int(QDialog::Accepted));
            const QStringList values = Values(m);
            for (const char* written : {"Scanning|FoldersToIgnore=C:\\Data\\\x7f", "Scanning|WinIniScan=1",
                                        "Scanning|RegScan=1", "General|DeleteMode=1", "Scheduler|Enabled=0",
                                        "Scheduler|Weekly=6", "Scheduler|SetupDetect=0", "Scheduler|WindowsToIgnore=",
                                        "Scheduler|WindowsToIgnoreInfo="})
                QVERIFY2(values.contains("HKCU\\Software\\Korvex!\\" + QString::fromLatin1(written)), written);
            QVERIFY(!m.registry.text(kRun, "Korvex Scheduler"));
        }
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
