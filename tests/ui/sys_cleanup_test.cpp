// The System clean-up window: its first opening, the states and status texts of a scan
// from start to finish and Delete taking out the rows whose files went, Stop during the
// first of two drives, closing during a scan, sorting and its animation. (What
// a scan finds, on a real machine folder too, and what a removal does are tested with
// the logic; so is what the hidden duplicate and unused-DLL entries find.)

#include "settings/support_files.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/avi_player.h"
#include "ui/frmSysCleanUp.h"

namespace {

constexpr const char* kSysClean = "HKCU\\Software\\Korvex!\\Sys Clean";

QTreeWidget* results(QWidget& w) { return Child<QTreeWidget>(w, "lvwScannedFiles"); }
void trigger(QWidget& w, const char* name) { Child<QAction>(w, name)->trigger(); }
QString totals(QWidget& w) { return LabelText(w, "lblFileNo") + " / " + LabelText(w, "lblFileSize"); }

// The enabled buttons (the default one marked), the visible parts and the height.
QString states(frmSysCleanUp& w) {
    QStringList out;
    for (const char* name : {"cmdScan", "cmdDelete", "cmdMove", "cmdSelectAll", "cmdStop"}) {
        auto* button = Child<QPushButton>(w, name);
        if (button->isEnabled()) out << QString::fromLatin1(name) + (button->isDefault() ? "(default)" : "");
    }
    if (results(w)->isVisible()) out << "list";
    if (Child<AviPlayer>(w, "aniScan")->isVisible()) out << "animation";
    if (Child<QLabel>(w, "lblFileNo")->isVisible()) out << "totals";
    out << "height " + QString::number(w.height());
    if (w.scanning()) out << "scanning";
    return out.join(' ');
}

}  // namespace

class SysCleanUpTest : public QObject {
    Q_OBJECT

private slots:
    void firstOpeningWithoutStoredChoices() {
        TestMachine m;
        {
            frmSysCleanUp w(m.app);
            // Every kind of file and every other choice ticked but MSCREATE.DIR files.
            QStringList unticked;
            for (QCheckBox* box : w.findChildren<QCheckBox*>())
                if (!box->isChecked()) unticked << box->objectName();
            auto* tabs = Child<QTabWidget>(w, "tabFileList");
            QCOMPARE(QStringList({w.windowTitle(), unticked.join(' '), LabelText(w, "lblTempPath"), tabs->tabText(1)}),
                     QStringList({"Korvex! System Clean-up", "chkMSCREATEFiles", "C:\\users\\user\\Temp\\",
                                  "Temporary folders "}));
            for (int i = 2; i < 4; ++i) QVERIFY(!tabs->isTabVisible(i) && !tabs->isTabEnabled(i));
            QVERIFY(!Child<QAction>(w, "mnuDuplicateFiles")->isVisible() && !Child<QAction>(w, "mnuDllFiles")->isVisible());
            Child<QCheckBox>(w, "chkBAKFiles")->setChecked(false);
            w.show();
            QCOMPARE(states(w), QStringLiteral("cmdScan(default) cmdDelete cmdMove cmdSelectAll totals height 343"));
            // "Scan Now" opens the popup on the current tab's entry.
            tabs->setCurrentIndex(1);
            Child<QPushButton>(w, "cmdScan")->click();
            auto* popup = Child<QMenu>(w, "mnuPopup");
            QTRY_VERIFY(popup->isVisible());
            QCOMPARE(popup->activeAction(), Child<QAction>(w, "mnuTempFolders"));
            popup->close();
            w.close();
        }
        // Closing stores the choices, the changed one too (how many: the Stop test).
        QCOMPARE(m.registry.text(kSysClean, "Bak files").value_or("?") + m.registry.text(kSysClean, "Tmp files").value_or("?"),
                 std::string("01"));
    }

    // Through a scan and Delete on an in-memory machine: the controls and help texts
    // while the scan runs and after it, the totals of the list and of the selection, and
    // the window's Delete key taking out the rows whose files went.
    void scanStatesAndDeletingWhatWasFound() {
        TestMachine m;
        m.files.put("C:\\Apps\\a.bak", std::string(3000, 'x'));
        m.files.put("C:\\Apps\\b.old", "x");
        m.files.put("C:\\Apps\\c.tmp", std::string(10 * 1024 + 1, 'x'));
        frmSysCleanUp w(m.app);
        w.show();
        auto* panel = Child<QLabel>(w, "staFrmSysCleanUpPanel");
        auto enter = [&](const char* name) { return StatusOnEnter(Child(w, name), panel); };
        QCOMPARE(QStringList({enter("chkBAKFiles"), enter("fraTempFile"), enter("cmdRemoveFolders")}),
                 QStringList({"*.Bak files are earlier versions of saved files", "",
                              "Remove the selected folders from the 'Also scan for these folders' list"}));
        QStringList during;  // the states, then two help texts in turn (a choice's waits)
        m.files.onFolder = [&](std::string_view folder) {
            if (folder == "C:\\Apps\\" && during.isEmpty())
                during = {states(w), enter("chkLOGFiles").left(10), enter("cmdSelectAll")};
        };
        trigger(w, "mnuTempFiles");
        QCOMPARE(during, QStringList({"cmdStop(default) list animation height 443 scanning", "Scanning: ",
                                      "Select all the scanned files"}));
        QCOMPARE(states(w), QStringLiteral("cmdScan(default) cmdDelete cmdMove cmdSelectAll list totals height 443"));
        QCOMPARE(LabelText(w, "staFrmSysCleanUpPanel"), QStringLiteral("Scan complete"));
        QCOMPARE(totals(w), QStringLiteral("Total files:3 / Total size:12.9 KB"));
        QCOMPARE(ColumnTexts(results(w), 0) + ColumnTexts(results(w), 1) + ColumnTexts(results(w), 2),
                 QStringList({"a.bak", "b.old", "c.tmp", "C:\\Apps\\", "C:\\Apps\\", "C:\\Apps\\", "2KB", "0KB",
                              "10KB"}));
        // Sorting: by size (its hidden key) ascending first, the order flipping on every click.
        QStringList sorted;
        for (int column : {2, 2, 0}) {
            emit results(w)->header()->sectionClicked(column);
            sorted << ColumnTexts(results(w), column).join(' ');
        }
        QCOMPARE(sorted, QStringList({"0KB 2KB 10KB", "10KB 2KB 0KB", "a.bak b.old c.tmp"}));

        Child<QPushButton>(w, "cmdSelectAll")->click();
        QCOMPARE(totals(w), QStringLiteral("Files: 3 / Size: 12.9 KB"));
        SeenMessage confirm;
        AnswerNextMessageBox(QMessageBox::Yes, &confirm);
        QTest::keyClick(&w, Qt::Key_Delete);
        QVERIFY(confirm.seen);
        QCOMPARE(results(w)->topLevelItemCount(), 0);
        QCOMPARE(m.files.tree("C:\\Apps"), std::vector<std::string>{});
    }

    // Stop, and closing the window (refused while the scan runs, it stops it instead and
    // closes once the scan has ended), cut the walk short the same way; what was found
    // so far stays listed.
    void stopOrCloseDuringTheFirstOfTwoDrives() {
        for (const std::string action : {"cmdStop", "close"}) {
            TestMachine m;
            m.system.drives['D'] = {DRIVE_FIXED, ""};
            for (const char* file : {"C:\\one\\1.bak", "C:\\two\\2.bak", "D:\\first.bak", "D:\\second.bak"})
                m.files.put(file, "j");
            frmSysCleanUp w(m.app);
            w.show();
            Child<QComboBox>(w, "cmbDrives")->setCurrentIndex(2);  // Local hard drives (C:,D:)
            QStringList listed;
            m.files.onFolder = [&](std::string_view folder) {
                listed << QString::fromStdString(std::string(folder));
                if (folder != "C:\\two\\") return;
                if (action == "close") w.close();
                else Child<QPushButton>(w, "cmdStop")->click();
            };
            trigger(w, "mnuTempFiles");
            QVERIFY(w.stopRequested());
            QCOMPARE(listed, QStringList({"C:\\", "C:\\two\\", "D:\\"}));
            QCOMPARE(ColumnTexts(results(w), 0), QStringList({"2.bak", "first.bak"}));
            QCOMPARE(LabelText(w, "lblFileNo"), QStringLiteral("Total files:2"));
            const bool closed = action == "close";
            QTRY_COMPARE(w.isVisible(), !closed);
            QCOMPARE(m.registry.valueNames(kSysClean).size(), closed ? 21u : 0u);  // a closed window stored its choices
        }
    }

    void scanAnimationFrames() {
        int frameMs = 0;
        const QList<QImage> frames = AviPlayer::ReadFrames(QByteArray::fromStdString(ScanAnimation()), &frameMs);
        QCOMPARE(QString("%1 frames, %2 ms").arg(frames.size()).arg(frameMs), QStringLiteral("12 frames, 125 ms"));
        QVERIFY(frames.value(0) != frames.value(5));
        QVERIFY(AviPlayer::ReadFrames(QByteArray("RIFF\x04\0\0\0AVI ", 12), nullptr).isEmpty());
    }
};

QTEST_MAIN(SysCleanUpTest)
#include "sys_cleanup_test.moc"
