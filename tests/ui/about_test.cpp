// The about box: its texts and clickable addresses. (The main window's test
// opens it from the Help menu.)

#include "app/frmAboutProgram.h"
#include "app/addresses.h"
#include "tests/ui/support/window_test_support.h"

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void textsAndAddresses() {
        TestMachine m;
        frmAboutProgram about(m.app);
        about.show();
        const auto text = [](std::string_view address) { return QString::fromUtf8(address.data(), address.size()); };
        auto* cmdOk = Child<QPushButton>(about, "cmdOk");
        QCOMPARE(QStringList({about.windowTitle(), LabelText(about, "lblContact"), LabelText(about, "lblWebAddress"),
                              LabelText(about, "lblEMail"), LabelText(about, "lblEmailAddress"), cmdOk->text()}),
                 QStringList({"About Korvex!", "For upgrades and more information please visit our web site at:",
                              text(kWebSite), "For comments and suggestions send an e-mail to the address below:",
                              text(kSupportEmail), "OK"}));

        // Clicking the addresses hands them to the user's browser and mail program.
        QTest::mouseClick(Child<QLabel>(about, "lblWebAddress"), Qt::LeftButton);
        QTest::mouseClick(Child<QLabel>(about, "lblEmailAddress"), Qt::LeftButton);
        QCOMPARE(m.system.opened, (std::vector<std::string>{std::string(kWebSite), std::string(kMailTo)}));
        QTest::mouseClick(cmdOk, Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
