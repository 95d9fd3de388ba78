// The update-database window runs the update one second after it opens, ends in
// "Scan complete" with its label and Ok button, closes when the user will not wait for
// Wine's programs, and when closed mid-run stops without leaving a partial scan file in
// the data folder. (What the scan files hold and the waiting for Wine are tested with
// the logic.)

#include "tests/ui/support/window_test_support.h"
#include "ui/frmUpdateDBase.h"

const std::string kData = "C:\\Program Files\\Korvex\\";  // the data folder

class UpdateDbaseTest : public QObject {
    Q_OBJECT

private slots:
    void completeRunShowsTheEndState() {
        TestMachine m;
        m.files.put("C:\\Apps\\tool.exe", "");
        int drivesDone = 0;
        frmUpdateDBase window(m.app, "C:", [&] { ++drivesDone; });
        auto* lblOver = Child<QLabel>(window, "lblOver");
        auto* cmdOK = Child<QPushButton>(window, "cmdOK");
        QCOMPARE(Child<QTimer>(window, "timerFrmUpdateDBase")->interval(), 1000);
        window.show();  // (its title while it runs: the last test)
        QVERIFY(lblOver->isHidden() && cmdOK->isHidden() && !m.files.exists(kData + "Cdbase.kvd"));

        QTRY_VERIFY_WITH_TIMEOUT(window.completed(), 5000);
        QCOMPARE(QStringList({window.windowTitle(), LabelText(window, "lblCurrentDir"), lblOver->text(), cmdOK->text()}),
                 QStringList({"Scan complete", "", "The scan database has been updated", "Ok"}));
        QVERIFY(lblOver->isVisible() && cmdOK->isVisible());
        QCOMPARE(QPair(drivesDone, m.system.beeps), QPair(1, 1));
        QVERIFY(m.files.exists(kData + "Cdbase.kvd"));  // what it holds: the logic's tests
        QTest::mouseClick(cmdOK, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void closingMidRunLeavesNoPartialFile() {
        TestMachine m;
        m.files.put(kData + "Cdbase.kvd", "old list");
        for (int i = 0; i < 300; ++i) m.files.put("C:\\F" + std::to_string(1000 + i) + "\\x.txt", "");
        frmUpdateDBase window(m.app, "C:", nullptr);
        QString shownDuringRun;
        m.files.onFolder = [&](std::string_view folder) {
            QThread::msleep(2);  // a run lasts long enough to be closed in the middle
            if (folder != "C:\\F1100\\") return;
            shownDuringRun = LabelText(window, "lblCurrentDir");
            QTimer::singleShot(0, &window, &QWidget::close);
        };
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible() && !window.running(), 5000);

        QVERIFY(!window.completed() && m.files.listed < 250);  // the walk ended soon after the close
        QVERIFY(shownDuringRun.startsWith(QStringLiteral("C:\\")));
        QCOMPARE(m.files.contents(kData + "Cdbase.kvd"), std::string("old list"));
        QCOMPARE(m.system.beeps, 0);
    }

    // While Wine runs programs in the machine the window asks first (Retry is the
    // logic's to handle); Cancel closes it with nothing done and no success shown.
    void wineRunningAsksFirstAndCancelCloses() {
        TestMachine m;
        m.system.inUse = "Wine is running programs in this machine (wineserver process 7).";
        frmUpdateDBase window(m.app, "C:", nullptr);
        SeenMessage seen;
        AnswerNextMessageBox(QMessageBox::Cancel, &seen);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
        QVERIFY(seen.seen && !window.completed());  // its text and buttons: the logic's and the prompt's tests
        QVERIFY(!m.files.exists(kData + "Cdbase.kvd"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Updating database..."));
    }
};

QTEST_MAIN(UpdateDbaseTest)
#include "update_dbase_test.moc"
