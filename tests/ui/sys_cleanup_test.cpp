// The System clean-up window: its first opening, the states of a scan from start to
// finish, Stop during the first of two drives, sorting by size, and Delete taking out
// the rows whose files went, on a real machine folder.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <string>

#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "platform/wine/machine_builder.h"
#include "platform/wine/wine_machine.h"
#include "settings/support_files.h"
#include "tests/support/host_files.h"
#include "tests/support/scoped_env.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/avi_player.h"
#include "ui/frmSysCleanUp.h"

using namespace korvex;

namespace {

// In-memory files that can act when a chosen folder is listed (a user pressing Stop).
class HookFiles : public MemoryFiles {
public:
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override {
        if (onFolder) onFolder(folder);
        return MemoryFiles::listFolder(folder, onEntry);
    }
    std::function<void(std::string_view)> onFolder;
};

struct Machine {
    Machine() { files.createFolder("C:\\Program Files\\Korvex"); }
    MemoryRegistry registry;
    HookFiles files;
    FakeSystem system;
    FakeShell shell{files};
    Services services{registry, files, system, shell};
    AppContext app{services, "C:\\Program Files\\Korvex\\"};
};

template <class T>
T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}

constexpr const char* kSysClean = "HKCU\\Software\\Korvex!\\Sys Clean";

}  // namespace

class SysCleanUpTest : public QObject {
    Q_OBJECT

private slots:
    void firstOpeningWithoutStoredChoices() {
        Machine m;
        {
            frmSysCleanUp w(m.app);
            QCOMPARE(w.windowTitle(), QStringLiteral("Korvex! System Clean-up"));
            QCOMPARE(w.size(), QSize(frmSysCleanUp::kWidth, frmSysCleanUp::kIdleHeight));
            for (const cleanup::JunkTypeInfo& t : cleanup::kJunkTypes) {
                auto* box = w.findChild<QCheckBox*>(QString::fromUtf8(t.control.data(), t.control.size()));
                QVERIFY(box);
                QCOMPARE(box->isChecked(), t.control != "chkMSCREATEFiles");
            }
            for (const char* name : {"chkTempFolder", "chkInternetCache", "chkRecycleBin", "chkSameSize"})
                QVERIFY(child<QCheckBox>(w, name)->isChecked());
            QCOMPARE(child<QListWidget>(w, "lvwAlsoFindFiles")->count(), 0);
            QCOMPARE(child<QListWidget>(w, "lvwAlsoFindFolders")->count(), 0);
            QCOMPARE(child<QLabel>(w, "lblTempPath")->text(), QStringLiteral("C:\\users\\user\\Temp\\"));
            auto* tabs = child<QTabWidget>(w, "tabFileList");
            QCOMPARE(tabs->tabText(1), QStringLiteral("Temporary folders "));
            for (int i = 2; i < 4; ++i) QVERIFY(!tabs->isTabVisible(i) && !tabs->isTabEnabled(i));
            QVERIFY(!child<QAction>(w, "mnuDuplicateFiles")->isVisible());
            QVERIFY(!child<QAction>(w, "mnuDllFiles")->isVisible());
            QVERIFY(child<QAction>(w, "mnuTempFiles")->isVisible());
            QVERIFY(!child<QTreeWidget>(w, "lvwScannedFiles")->isVisibleTo(&w));
            QVERIFY(!child<QPushButton>(w, "cmdStop")->isEnabled());
            child<QCheckBox>(w, "chkBAKFiles")->setChecked(false);
            w.show();
            // "Scan Now" opens the popup on the current tab's entry.
            tabs->setCurrentIndex(1);
            child<QPushButton>(w, "cmdScan")->click();
            auto* popup = child<QMenu>(w, "mnuPopup");
            QTRY_VERIFY(popup->isVisible());
            QCOMPARE(popup->activeAction(), child<QAction>(w, "mnuTempFolders"));
            popup->close();
            w.close();
        }
        QCOMPARE(m.registry.valueNames(kSysClean).size(), std::size_t(21));
        QCOMPARE(m.registry.text(kSysClean, "Bak files").value_or("?"), std::string("0"));
        QCOMPARE(m.registry.text(kSysClean, "Mscreate files").value_or("?"), std::string("0"));
        QCOMPARE(m.registry.text(kSysClean, "Tmp files").value_or("?"), std::string("1"));
    }

    void scanStartAndFinishStates() {
        Machine m;
        m.files.put("C:\\Apps\\a.bak", std::string(3000, 'x'));
        m.files.put("C:\\Apps\\b.old", "x");
        frmSysCleanUp w(m.app);
        w.show();
        QStringList during;
        m.files.onFolder = [&](std::string_view folder) {
            if (folder != "C:\\Apps\\") return;
            for (const char* name : {"cmdScan", "cmdDelete", "cmdMove", "cmdSelectAll"})
                if (child<QPushButton>(w, name)->isEnabled()) during << QString::fromLatin1(name) + " enabled";
            if (!child<QPushButton>(w, "cmdStop")->isEnabled() || !child<QPushButton>(w, "cmdStop")->isDefault())
                during << "Stop not the enabled default";
            if (!child<QTreeWidget>(w, "lvwScannedFiles")->isVisible()) during << "list hidden";
            if (!child<AviPlayer>(w, "aniScan")->isVisible()) during << "no animation";
            if (child<QLabel>(w, "lblFileNo")->isVisible()) during << "totals shown";
            if (w.height() != frmSysCleanUp::kScanHeight) during << "height " + QString::number(w.height());
            if (!w.scanning()) during << "not scanning";
        };
        child<QAction>(w, "mnuTempFiles")->trigger();
        QCOMPARE(during, QStringList());
        QVERIFY(!w.scanning());
        QVERIFY(!child<QPushButton>(w, "cmdStop")->isEnabled());
        for (const char* name : {"cmdScan", "cmdDelete", "cmdMove", "cmdSelectAll"})
            QVERIFY2(child<QPushButton>(w, name)->isEnabled(), name);
        QVERIFY(child<QPushButton>(w, "cmdScan")->isDefault());
        QVERIFY(!child<AviPlayer>(w, "aniScan")->isVisible());
        QCOMPARE(child<QLabel>(w, "staFrmSysCleanUpPanel")->text(), QStringLiteral("Scan complete"));
        QCOMPARE(child<QLabel>(w, "lblFileNo")->text(), QStringLiteral("Total files:2"));
        QCOMPARE(child<QLabel>(w, "lblFileSize")->text(), QStringLiteral("Total size:2.9 KB"));
        auto* list = child<QTreeWidget>(w, "lvwScannedFiles");
        QCOMPARE(test::ColumnTexts(list, 0), QStringList({"a.bak", "b.old"}));
        QCOMPARE(test::ColumnTexts(list, 1), QStringList({"C:\\Apps\\", "C:\\Apps\\"}));
        QCOMPARE(test::ColumnTexts(list, 2), QStringList({"2KB", "0KB"}));
        QVERIFY(!list->topLevelItem(0)->text(3).isEmpty());
        // The window keeps its width; its height is free now.
        w.resize(frmSysCleanUp::kWidth + 100, 600);
        QCOMPARE(w.width(), frmSysCleanUp::kWidth);
        QCOMPARE(w.height(), 600);

        child<QPushButton>(w, "cmdSelectAll")->click();
        QCOMPARE(child<QLabel>(w, "lblFileNo")->text(), QStringLiteral("Files: 2"));
        QCOMPARE(child<QLabel>(w, "lblFileSize")->text(), QStringLiteral("Size: 2.9 KB"));
        w.close();
    }

    void stopDuringTheFirstOfTwoDrives() {
        Machine m;
        m.system.drives['D'] = {DRIVE_FIXED, ""};
        m.files.put("C:\\one\\1.bak", "1");
        m.files.put("C:\\two\\2.bak", "2");
        m.files.put("D:\\first.bak", "d");
        m.files.put("D:\\second.bak", "d");
        frmSysCleanUp w(m.app);
        w.show();
        auto* drives = child<QComboBox>(w, "cmbDrives");
        drives->setCurrentIndex(drives->count() - 1);
        QCOMPARE(w.currentDrives(), std::string("C:,D:"));
        QStringList listed;
        m.files.onFolder = [&](std::string_view folder) {
            listed << QString::fromStdString(std::string(folder));
            if (folder == "C:\\two\\") child<QPushButton>(w, "cmdStop")->click();
        };
        child<QAction>(w, "mnuTempFiles")->trigger();
        QCOMPARE(listed, QStringList({"C:\\", "C:\\two\\", "D:\\"}));
        QCOMPARE(test::ColumnTexts(child<QTreeWidget>(w, "lvwScannedFiles"), 0), QStringList({"2.bak", "first.bak"}));
        QCOMPARE(child<QLabel>(w, "lblFileNo")->text(), QStringLiteral("Total files:2"));
        QCOMPARE(child<QLabel>(w, "staFrmSysCleanUpPanel")->text(), QStringLiteral("Scan complete"));
        w.close();
    }

    void closingDuringAScanEndsItFirst() {
        Machine m;
        m.files.put("C:\\one\\1.bak", "1");
        m.files.put("C:\\two\\2.bak", "2");
        frmSysCleanUp w(m.app);
        w.show();
        m.files.onFolder = [&](std::string_view folder) {
            if (folder == "C:\\two\\") w.close();  // refused while the scan runs; it stops instead
        };
        child<QAction>(w, "mnuTempFiles")->trigger();
        QVERIFY(w.stopRequested());
        QCOMPARE(test::ColumnTexts(child<QTreeWidget>(w, "lvwScannedFiles"), 0), QStringList({"2.bak"}));
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(m.registry.valueNames(kSysClean).size(), std::size_t(21));
    }

    void statusTextsOnlyWhileNoScanRuns() {
        Machine m;
        frmSysCleanUp w(m.app);
        w.show();
        auto* panel = child<QLabel>(w, "staFrmSysCleanUpPanel");
        auto enter = [&](const char* name) {
            QEvent e(QEvent::Enter);
            QCoreApplication::sendEvent(w.findChild<QWidget*>(QString::fromLatin1(name)), &e);
            return panel->text();
        };
        QCOMPARE(enter("chkBAKFiles"), QStringLiteral("*.Bak files are earlier versions of saved files"));
        QCOMPARE(enter("fraTempFile"), QString());
        QCOMPARE(enter("cmdRemoveFolders"),
                 QStringLiteral("Remove the selected folders from the 'Also scan for these folders' list"));
        QStringList during;
        m.files.onFolder = [&](std::string_view) {
            if (during.isEmpty()) during << enter("chkLOGFiles") << enter("cmdSelectAll");
        };
        child<QAction>(w, "mnuTempFiles")->trigger();
        QCOMPARE(during.size(), 2);
        QVERIFY(during[0].startsWith(QStringLiteral("Scanning: ")));  // the help text waits
        QCOMPARE(during[1], QStringLiteral("Select all the scanned files"));
        w.close();
    }

    void sortingBySizeTwice() {
        Machine m;
        m.files.put("C:\\s\\b.bak", std::string(3000, 'x'));
        m.files.put("C:\\s\\a.bak", std::string(2 * 1024 * 1024 + 10, 'x'));
        m.files.put("C:\\s\\d.bak", std::string(100, 'x'));
        m.files.put("C:\\s\\c.bak", std::string(10 * 1024 + 1, 'x'));
        frmSysCleanUp w(m.app);
        w.show();
        child<QAction>(w, "mnuTempFiles")->trigger();
        auto* list = child<QTreeWidget>(w, "lvwScannedFiles");
        QHeaderView* header = list->header();
        emit header->sectionClicked(2);
        QCOMPARE(test::ColumnTexts(list, 2), QStringList({"0KB", "2KB", "10KB", "2MB"}));
        emit header->sectionClicked(2);
        QCOMPARE(test::ColumnTexts(list, 2), QStringList({"2MB", "10KB", "2KB", "0KB"}));
        emit header->sectionClicked(0);  // the opposite of the last order: ascending
        QCOMPARE(test::ColumnTexts(list, 0), QStringList({"a.bak", "b.bak", "c.bak", "d.bak"}));
        w.close();
    }

    void junkOnARealMachineListedAndDeletedToTheTrash() {
        test::TempHostFolder temp("korvex-cleanup-window");
        const std::string dir = temp / "machine";
        const std::string xdg = temp / "xdg";
        test::ScopedEnv home("XDG_DATA_HOME", xdg);
        QVERIFY(wine::CreateMachine(dir, wine::WindowsVersion::Win10));
        test::WriteHostFile(dir + "/drive_c/Games/X/save.bak", std::string(1500, 'j'));
        test::WriteHostFile(dir + "/drive_c/Games/X/Logs/error.log", std::string(3000, 'j'));
        test::WriteHostFile(dir + "/drive_c/Apps/page.~mp", "j");
        test::WriteHostFile(dir + "/drive_c/Apps/readme.txt", "keep");
        std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(dir);
        QVERIFY(machine);
        Services services = machine->services();
        AppContext app{services, "C:\\Program Files\\Korvex\\"};
        frmSysCleanUp w(app);
        w.show();
        auto* drives = child<QComboBox>(w, "cmbDrives");
        drives->setCurrentIndex(drives->findText(QStringLiteral("(C:)"), Qt::MatchStartsWith));
        child<QAction>(w, "mnuTempFiles")->trigger();
        auto* list = child<QTreeWidget>(w, "lvwScannedFiles");
        QStringList paths;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            paths << list->topLevelItem(i)->text(1) + list->topLevelItem(i)->text(0);
        paths.sort();
        QCOMPARE(paths, QStringList({"C:\\Apps\\page.~mp", "C:\\Games\\X\\Logs\\error.log",
                                     "C:\\Games\\X\\save.bak"}));
        QCOMPARE(child<QLabel>(w, "lblFileNo")->text(), QStringLiteral("Total files:3"));
        QCOMPARE(child<QLabel>(w, "lblFileSize")->text(), QStringLiteral("Total size:4.3 KB"));

        child<QPushButton>(w, "cmdSelectAll")->click();
        test::SeenMessage confirm;
        test::AnswerNextMessageBox(QMessageBox::Yes, &confirm);
        QTest::keyClick(&w, Qt::Key_Delete);  // the window's Delete key is the Delete button
        QVERIFY(confirm.seen);
        QCOMPARE(list->topLevelItemCount(), 0);
        for (const char* name : {"save.bak", "error.log", "page.~mp"})
            QVERIFY2(QFile::exists(QString::fromStdString(xdg + "/Trash/files/" + name)), name);
        QVERIFY(QFile::exists(QString::fromStdString(dir + "/drive_c/Apps/readme.txt")));
        w.close();
    }

    void scanAnimationFrames() {
        int frameMs = 0;
        const std::string avi = ScanAnimation();
        const QList<QImage> frames =
            AviPlayer::ReadFrames(QByteArray(avi.data(), static_cast<qsizetype>(avi.size())), &frameMs);
        QCOMPARE(frames.size(), 12);
        QCOMPARE(frames[0].size(), QSize(64, 24));
        QCOMPARE(frameMs, 125);
        QVERIFY(frames[0] != frames[5]);
        QVERIFY(AviPlayer::ReadFrames(QByteArray("RIFF\x04\0\0\0AVI ", 12), nullptr).isEmpty());
    }
};

QTEST_MAIN(SysCleanUpTest)
#include "sys_cleanup_test.moc"
