// The about box: its texts, pictures and clickable addresses, the same address the Help
// menu opens. (The main window's test opens it from the Help menu.)

#include "app/frmAboutProgram.h"
#include "app/frmMain.h"
#include "tests/ui/support/window_test_support.h"

using namespace korvex;
using namespace korvex::test;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void textsPicturesAndAddresses() {
        TestMachine m;
        frmAboutProgram about(m.app);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Korvex!"));
        QCOMPARE(LabelText(about, "lblContact"),
                 QStringLiteral("For upgrades and more information please visit our web site at:"));
        QCOMPARE(LabelText(about, "lblEMail"),
                 QStringLiteral("For comments and suggestions send an e-mail to the address below:"));
        const QString web = LabelText(about, "lblWebAddress"), mail = LabelText(about, "lblEmailAddress");
        QVERIFY(web.startsWith(QStringLiteral("https://")));
        QVERIFY(mail.contains(QLatin1Char('@')));
        for (const char* picture : {"imgName", "imgLogo", "Image1"})
            QVERIFY2(!Child<QLabel>(about, picture)->pixmap().isNull(), picture);
        QVERIFY(Child<QGroupBox>(about, "Frame1"));

        // Clicking the addresses hands them to the user's browser and mail program; the
        // web address is the one the Help menu opens.
        QTest::mouseClick(Child<QLabel>(about, "lblWebAddress"), Qt::LeftButton);
        QTest::mouseClick(Child<QLabel>(about, "lblEmailAddress"), Qt::LeftButton);
        frmMain main(m.services);
        Child<QAction>(main, "mnuWWW")->trigger();
        QCOMPARE(m.system.opened,
                 std::vector<std::string>({web.toStdString(), "mailto:" + mail.toStdString(), web.toStdString()}));

        auto* cmdOk = Child<QPushButton>(about, "cmdOk");
        QCOMPARE(cmdOk->text(), QStringLiteral("OK"));
        QTest::mouseClick(cmdOk, Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
