// The update-database window runs the update one second after it opens, ends in
// "Scan complete" with its label and Ok button, and when closed mid-run stops without
// leaving a partial scan file in the data folder.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <string>
#include <thread>

#include "platform/fake/fake_system.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmUpdateDBase.h"

using namespace korvex;

namespace {

// In-memory files whose folders take a moment to list, so that a run lasts long enough
// to be closed in the middle; can close a window when a chosen folder is listed.
class SlowFiles : public MemoryFiles {
public:
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override {
        ++listed;
        if (onFolder) onFolder(folder);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return MemoryFiles::listFolder(folder, onEntry);
    }
    std::function<void(std::string_view)> onFolder;
    int listed = 0;
};

constexpr const char* kData = "C:\\Program Files\\Korvex\\";

}  // namespace

class UpdateDbaseTest : public QObject {
    Q_OBJECT

private slots:
    void completeRunShowsTheEndState() {
        test::TestMachine m;
        m.files.put("C:\\windows\\win.ini", "[windows]\r\n");
        m.files.put("C:\\Apps\\tool.exe", "");
        m.registry.setString("HKCU\\Software\\Vendor", "v", "1");
        int drivesDone = 0;
        frmUpdateDBase window(m.app, "C:", [&] { ++drivesDone; });

        auto* timer = window.findChild<QTimer*>(QStringLiteral("timerFrmUpdateDBase"));
        auto* lblCurrentDir = window.findChild<QLabel*>(QStringLiteral("lblCurrentDir"));
        auto* lblOver = window.findChild<QLabel*>(QStringLiteral("lblOver"));
        auto* cmdOK = window.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(timer && lblCurrentDir && lblOver && cmdOK);
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isSingleShot());
        QCOMPARE(window.windowTitle(), QStringLiteral("Updating database..."));

        window.show();
        QVERIFY(lblOver->isHidden());
        QVERIFY(cmdOK->isHidden());
        QTest::qWait(500);
        QVERIFY(!m.files.exists(std::string(kData) + "Cdbase.kvd"));  // nothing before the second is up

        QTRY_VERIFY_WITH_TIMEOUT(window.completed(), 5000);
        QCOMPARE(window.windowTitle(), QStringLiteral("Scan complete"));
        QCOMPARE(lblCurrentDir->text(), QString());
        QVERIFY(lblOver->isVisible());
        QCOMPARE(lblOver->text(), QStringLiteral("The scan database has been updated"));
        QVERIFY(cmdOK->isVisible());
        QCOMPARE(cmdOK->text(), QStringLiteral("Ok"));
        QCOMPARE(drivesDone, 1);
        QCOMPARE(m.system.beeps, 1);
        const std::string list = m.files.contents(std::string(kData) + "Cdbase.kvd");
        QVERIFY(list.find("C:\\Apps\\{\r\ntool.exe\r\n}\r\n") != std::string::npos);
        QCOMPARE(m.files.contents(std::string(kData) + "hkcuReg.kvd"),
                 std::string("\r\nSoftware\r\nSoftware\\Vendor\r\n"));
        QCOMPARE(m.files.contents(std::string(kData) + "winIni.kvd"), std::string("[windows]\r\n"));

        QTest::mouseClick(cmdOK, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void closingMidRunLeavesNoPartialFile() {
        MemoryRegistry registry;
        SlowFiles files;
        FakeSystem system;
        FakeShell shell{files};
        Services services{registry, files, system, shell};
        AppContext app{services, kData};
        files.createFolder("C:\\Program Files\\Korvex");
        files.put(std::string(kData) + "Cdbase.kvd", "old list");
        for (int i = 0; i < 300; ++i) files.put("C:\\F" + std::to_string(1000 + i) + "\\x.txt", "");

        frmUpdateDBase window(app, "C:", nullptr);
        auto* lblCurrentDir = window.findChild<QLabel*>(QStringLiteral("lblCurrentDir"));
        QVERIFY(lblCurrentDir);
        QString shownDuringRun;
        files.onFolder = [&](std::string_view folder) {
            if (folder == "C:\\F1100\\") {
                shownDuringRun = lblCurrentDir->text();
                QTimer::singleShot(0, &window, &QWidget::close);
            }
        };
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), 5000);

        QVERIFY(!window.completed());
        QVERIFY(files.listed < 250);  // the walk ended soon after the close
        QVERIFY(shownDuringRun.startsWith(QStringLiteral("C:\\")));
        QCOMPARE(files.contents(std::string(kData) + "Cdbase.kvd"), std::string("old list"));
        QVERIFY(!files.exists("C:\\dbstemp.kvd"));
        QVERIFY(!files.exists(std::string(kData) + "hkcuReg.kvd"));
        QCOMPARE(system.beeps, 0);
    }

    // While Wine runs programs in the machine the window asks first: Cancel closes it
    // with nothing done and no success shown; Retry once the programs ended runs it.
    void wineRunningAsksRetryOrCancelFirst() {
        test::TestMachine m;
        m.files.put("C:\\windows\\win.ini", "[windows]\r\n");
        m.system.inUse = "Wine is running programs in this machine (wineserver process 7).";
        {
            frmUpdateDBase window(m.app, "C:", nullptr);
            test::SeenMessage seen;
            test::AnswerNextMessageBox(QMessageBox::Cancel, &seen);
            window.show();
            QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
            QVERIFY(seen.seen);
            QCOMPARE(seen.icon, QMessageBox::Warning);
            QVERIFY(seen.text.startsWith(QString::fromStdString(m.system.inUse)));
            QCOMPARE(seen.buttons, (QStringList{test::ButtonText(QMessageBox::Retry), test::ButtonText(QMessageBox::Cancel)}));
            QVERIFY(!window.completed());
            QVERIFY(!m.files.exists(std::string(kData) + "Cdbase.kvd"));
        }
        frmUpdateDBase window(m.app, "C:", nullptr);
        // The user closes the programs, then presses Retry.
        test::WhenModal([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->button(QMessageBox::Retry)) return false;
            m.system.inUse.clear();
            box->button(QMessageBox::Retry)->click();
            return true;
        });
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.completed(), 10000);
        QVERIFY(m.files.exists(std::string(kData) + "Cdbase.kvd"));
    }
};

QTEST_MAIN(UpdateDbaseTest)
#include "update_dbase_test.moc"
