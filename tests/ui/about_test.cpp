// The about box: its texts, pictures and clickable addresses, opened from the Help menu.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/frmAboutProgram.h"
#include "app/frmMain.h"
#include "tests/ui/support/window_test_support.h"

using namespace korvex;
using korvex::test::TestMachine;
using korvex::test::WhenModal;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void textsPicturesAndAddresses() {
        TestMachine m;
        frmAboutProgram about(m.app);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Korvex!"));
        auto label = [&](const char* name) {
            auto* l = about.findChild<QLabel*>(QString::fromLatin1(name));
            return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
        };
        QCOMPARE(label("lblContact"), QStringLiteral("For upgrades and more information please visit our web site at:"));
        QCOMPARE(label("lblEMail"), QStringLiteral("For comments and suggestions send an e-mail to the address below:"));
        QVERIFY(label("lblWebAddress").startsWith(QStringLiteral("https://")));
        QVERIFY(label("lblEmailAddress").contains(QLatin1Char('@')));
        for (const char* picture : {"imgName", "imgLogo", "Image1"}) {
            auto* image = about.findChild<QLabel*>(QString::fromLatin1(picture));
            QVERIFY2(image && !image->pixmap().isNull(), picture);
        }
        QVERIFY(about.findChild<QGroupBox*>(QStringLiteral("Frame1")));

        // Clicking the addresses hands them to the user's browser and mail program.
        QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("lblWebAddress")), Qt::LeftButton);
        QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("lblEmailAddress")), Qt::LeftButton);
        QCOMPARE(m.system.opened,
                 std::vector<std::string>({label("lblWebAddress").toStdString(),
                                           "mailto:" + label("lblEmailAddress").toStdString()}));

        auto* cmdOk = about.findChild<QPushButton*>(QStringLiteral("cmdOk"));
        QVERIFY(cmdOk);
        QCOMPARE(cmdOk->text(), QStringLiteral("OK"));
        QTest::mouseClick(cmdOk, Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    void helpMenuShowsItModally() {
        TestMachine m;
        frmMain w(m.services);
        w.show();
        QString title;
        bool wasModal = false;
        WhenModal([&](QWidget* modal) {
            auto* about = qobject_cast<frmAboutProgram*>(modal);
            if (!about) return false;
            title = about->windowTitle();
            wasModal = about->isModal();
            QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOk")), Qt::LeftButton);
            return true;
        });
        w.findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
        QCOMPARE(title, QStringLiteral("About Korvex!"));
        QVERIFY(wasModal);
        // The address of the about box is the one the Help menu opens.
        w.findChild<QAction*>(QStringLiteral("mnuWWW"))->trigger();
        frmAboutProgram about(m.app);
        QCOMPARE(QString::fromStdString(m.system.opened.back()),
                 about.findChild<QLabel*>(QStringLiteral("lblWebAddress"))->text());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
