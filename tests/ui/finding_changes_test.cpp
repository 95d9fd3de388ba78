// The find-changes progress window on an in-memory machine: its controls, the missing
// database message, a whole run that ends in the found-changes window, and closing the
// window before or in the middle of a run (nothing follows, no work file stays behind).

#include "platform/fake/scripted_prompt.h"
#include "scandb/update_database.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmFindingChanges.h"
#include "ui/frmFoundChanges.h"

namespace {

// Files in the Windows drive root that a run leaves behind.
QStringList rootWorkFiles(TestMachine& m) {
    QStringList out;
    m.files.listFolder("C:\\", [&](std::string_view name, bool isFolder) {
        if (!isFolder) out << QString::fromStdString(std::string(name));
    });
    return out;
}

void updateDatabase(TestMachine& m) {
    ScriptedPrompt prompt;
    bool stop = false;
    QCOMPARE(scandb::UpdateDatabase(m.services, prompt, {m.app.dataFolder, "C:", {}}, stop),
             scandb::UpdateOutcome::Completed);
}

}  // namespace

class FindingChangesTest : public QObject {
    Q_OBJECT

private slots:
    // Closed before its timer fired, the run never starts; without a scan database it
    // stops at the message (its text: the logic's tests). Neither leaves a work file.
    void closedEarlyOrWithoutDatabaseNothingRuns() {
        TestMachine m;
        {
            frmFindingChanges window(m.app, "C:");
            QCOMPARE(window.windowTitle(), QStringLiteral("Finding changes..."));
            QCOMPARE(LabelText(window, "lblScanning"), QStringLiteral("Please wait. Scanning for files added or changed..."));
            QCOMPARE(Child<QTimer>(window, "timerFrmFindingChanges")->interval(), 1000);
            window.show();
            window.close();
            QTest::qWait(1200);
            QVERIFY(window.stopped() && !window.completed());
        }
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Ok, &seen);
        frmFindingChanges window(m.app, "C:");
        window.exec();
        QVERIFY(seen.seen && !window.completed());
        QVERIFY(rootWorkFiles(m).isEmpty());
    }

    // The hand-over: the bar full at the run's own maximum (folders walked + 93), the
    // progress window hidden under the found changes, which list what the run found.
    void completedRunOpensTheFoundChanges() {
        TestMachine m;
        m.scanning("ScanMode", "0");
        m.files.put("C:\\windows\\system32\\kernel32.dll", "k");
        updateDatabase(m);
        m.files.put("C:\\windows\\system32\\newlib.dll", "n");

        frmFindingChanges window(m.app, "C:");
        auto* bar = Child<QProgressBar>(window, "prgFindingChanges");
        QString handOver;  // "progress window shown or hidden|bar value/maximum|rows found"
        WhenModal([&](QWidget* modal) {
            auto* shown = qobject_cast<frmFoundChanges*>(modal);
            if (!shown) return false;
            handOver = QStringLiteral("%1|%2/%3|").arg(window.isVisible() ? "shown" : "hidden").arg(bar->value())
                           .arg(bar->maximum()) + ColumnTexts(Child<QTreeWidget>(*shown, "lvwFilesAdded"), 0).join(' ');
            shown->close();
            return true;
        });
        window.exec();
        QVERIFY(window.completed());
        QCOMPARE(handOver, QStringLiteral("hidden|97/97|newlib.dll"));  // 4 folders walked + 93
        QCOMPARE(rootWorkFiles(m), QStringList{});
    }

    // Closing the window in the middle of a run stops it: nothing follows, and no work
    // file stays behind (the logic's tests stop a run at every step).
    void closingDuringTheRunShowsNothingAndLeavesNoWorkFile() {
        TestMachine m;
        m.scanning("ScanMode", "0");
        for (int i = 0; i < 20; ++i) m.files.put("C:\\tree\\f" + std::to_string(i) + "\\x.txt", "x");
        updateDatabase(m);
        m.files.put("C:\\tree\\new.txt", "n");
        frmFindingChanges window(m.app, "C:");
        m.files.onFolder = [&](std::string_view) {  // closed once the run has made its first work file
            if (m.files.exists("C:\\current.kvd") && window.isVisible()) window.close();
        };
        bool foundShown = false;
        const auto waiting = WhenModal([&](QWidget* modal) {
            if (!qobject_cast<frmFoundChanges*>(modal)) return false;
            foundShown = true;
            return modal->close();
        });
        window.exec();
        *waiting = false;
        QVERIFY(window.stopped() && !window.completed() && !foundShown);
        QCOMPARE(rootWorkFiles(m), QStringList{});
    }
};

QTEST_MAIN(FindingChangesTest)
#include "finding_changes_test.moc"
