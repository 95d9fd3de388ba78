// The Qt prompt shows the logic's messages exactly and gives back what the user chose;
// its pickers hand back Windows paths of the machine only.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "tests/ui/support/window_test_support.h"
#include "ui/qt_prompt.h"

using namespace korvex;
using korvex::test::AnswerNextMessageBox;
using korvex::test::ButtonText;
using korvex::test::SeenMessage;
using korvex::test::WhenModal;

class QtPromptTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesShowIconButtonsTitleAndText() {
        FakeSystem system;
        QWidget owner;
        QtPrompt prompt(&owner, system);
        using B = QMessageBox;
        struct Case {
            Icon icon;
            Buttons buttons;
            int defaultButton;
            B::Icon qtIcon;
            QList<B::StandardButton> shown;
            B::StandardButton click;
            Answer expected;
        };
        const QList<Case> cases = {
            {Icon::Exclamation, Buttons::OK, 1, B::Warning, {B::Ok}, B::Ok, Answer::OK},
            {Icon::Question, Buttons::OKCancel, 2, B::Question, {B::Ok, B::Cancel}, B::Cancel, Answer::Cancel},
            {Icon::Critical, Buttons::AbortRetryIgnore, 2, B::Critical, {B::Abort, B::Retry, B::Ignore}, B::Ignore,
             Answer::Ignore},
            {Icon::Information, Buttons::YesNoCancel, 1, B::Information, {B::Yes, B::No, B::Cancel}, B::No, Answer::No},
            {Icon::Information, Buttons::YesNo, 2, B::Information, {B::Yes, B::No}, B::Yes, Answer::Yes},
            {Icon::None, Buttons::RetryCancel, 1, B::NoIcon, {B::Retry, B::Cancel}, B::Retry, Answer::Retry},
        };
        for (const Case& c : cases) {
            SeenMessage seen;
            AnswerNextMessageBox(c.click, &seen);
            Message m;
            m.icon = c.icon;
            m.buttons = c.buttons;
            m.defaultButton = c.defaultButton;
            m.title = "Confirm Korvex! Uninstall";
            m.text = "Are you sure you want to remove Game <b>X</b> and and all of its components?";
            const Answer answer = prompt.messageBox(m);
            QVERIFY(seen.seen);
            QCOMPARE(answer, c.expected);
            QCOMPARE(seen.icon, c.qtIcon);
            QCOMPARE(seen.title, QStringLiteral("Confirm Korvex! Uninstall"));
            // Shown as plain text: markup-like characters stay as they are.
            QCOMPARE(seen.text,
                     QStringLiteral("Are you sure you want to remove Game <b>X</b> and and all of its components?"));
            QStringList expectedButtons;
            for (B::StandardButton b : c.shown) expectedButtons << ButtonText(b);
            QStringList sortedSeen = seen.buttons, sortedExpected = expectedButtons;
            sortedSeen.sort();
            sortedExpected.sort();
            QCOMPARE(sortedSeen, sortedExpected);
            QCOMPARE(seen.defaultButton, ButtonText(c.shown[c.defaultButton - 1]));
        }

        // Line breaks of the Windows kind become plain line breaks.
        SeenMessage seen;
        AnswerNextMessageBox(B::Ok, &seen);
        Message m;
        m.text = "First line\r\nSecond line";
        prompt.messageBox(m);
        QCOMPARE(seen.text, QStringLiteral("First line\nSecond line"));
    }

    void inputBoxGivesTextOrNothing() {
        FakeSystem system;
        QtPrompt prompt(nullptr, system);
        WhenModal([](QWidget* w) {
            auto* d = qobject_cast<QInputDialog*>(w);
            if (!d) return false;
            if (d->windowTitle() != QStringLiteral("Days") || d->labelText() != QStringLiteral("How many days?") ||
                d->textValue() != QStringLiteral("7")) {
                d->reject();
                return true;
            }
            d->setTextValue(QStringLiteral("14"));
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        QCOMPARE(prompt.inputBox("How many days?", "Days", "7"), std::optional<std::string>("14"));
        WhenModal([](QWidget* w) {
            auto* d = qobject_cast<QInputDialog*>(w);
            if (!d) return false;
            d->reject();
            return true;
        });
        QCOMPARE(prompt.inputBox("How many days?", "Days", "7"), std::optional<std::string>());
    }

    void filtersTakeQtForm() {
        QCOMPARE(QtPrompt::ToQtFilter("Korvex data files (*.kvu) | *.kvu"), QStringLiteral("Korvex data files (*.kvu)"));
        QCOMPARE(QtPrompt::ToQtFilter("Uninstall data|*.kvu|All files (*.*)|*.*"),
                 QStringLiteral("Uninstall data (*.kvu);;All files (*)"));
        QCOMPARE(QtPrompt::ToQtFilter("Text|*.txt;*.log"), QStringLiteral("Text (*.txt *.log)"));
    }

    void pickersMapPathsOfTheMachine() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        FakeSystem system;
        system.hostRoot = root.path().toStdString();
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("drive_c/Uninstall logs")));
        const QString saved = root.path() + QStringLiteral("/drive_c/Uninstall logs/GameX.kvu");
        {
            QFile f(saved);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QtPrompt prompt(nullptr, system);

        // Open: the dialog starts in the host folder of the Windows folder and lists .kvu files.
        QString startedIn, filters, names;
        WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            names += d->objectName();
            startedIn = QDir(d->directory()).canonicalPath();
            filters = d->nameFilters().join(QStringLiteral(";;"));
            d->selectFile(saved);
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        QCOMPARE(prompt.pickOpenFile("Open", "Korvex data files (*.kvu) | *.kvu", "C:\\Uninstall logs"),
                 std::string("C:\\Uninstall logs\\GameX.kvu"));
        QCOMPARE(startedIn, QDir(root.path() + QStringLiteral("/drive_c/Uninstall logs")).canonicalPath());
        QCOMPARE(filters, QStringLiteral("Korvex data files (*.kvu)"));

        // Cancelled: "".
        WhenModal([](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            d->reject();
            return true;
        });
        QCOMPARE(prompt.pickOpenFile("Open", "Korvex data files (*.kvu) | *.kvu", "C:\\Uninstall logs"),
                 std::string());

        // A file outside the machine: the user is told, and nothing is picked.
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.path() + QStringLiteral("/other.kvu");
        {
            QFile f(outside);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        SeenMessage seen;
        WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            AnswerNextMessageBox(QMessageBox::Ok, &seen);
            d->selectFile(outside);
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        QCOMPARE(prompt.pickOpenFile("Open", "Korvex data files (*.kvu) | *.kvu", "C:\\Uninstall logs"),
                 std::string());
        QVERIFY(seen.seen);
        QCOMPARE(seen.icon, QMessageBox::Warning);

        // Save: the proposed name is filled in; the result is the machine's path.
        QString proposed;
        WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            names += QLatin1Char(' ') + d->objectName();
            proposed = d->selectedFiles().value(0);
            d->selectFile(root.path() + QStringLiteral("/drive_c/Uninstall logs/New.kvu"));
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        QCOMPARE(prompt.pickSaveFile("Save", "Korvex data files (*.kvu) | *.kvu", "C:\\Uninstall logs", "New.kvu"),
                 std::string("C:\\Uninstall logs\\New.kvu"));
        QVERIFY(proposed.endsWith(QStringLiteral("/New.kvu")));
        QCOMPARE(names, QStringLiteral("dlgFileOpen dlgFileSave"));
    }

    void yieldRunsTheEventLoopAndHooksReachTheWindow() {
        FakeSystem system;
        QtPrompt prompt(nullptr, system);
        bool delivered = false;
        QMetaObject::invokeMethod(qApp, [&] { delivered = true; }, Qt::QueuedConnection);
        prompt.yield();
        QVERIFY(delivered);

        std::string status;
        std::uint64_t done = 0, total = 0;
        prompt.status("no hook yet");  // dropped, not a crash
        prompt.onStatus = [&](std::string_view t) { status = std::string(t); };
        prompt.onProgress = [&](std::uint64_t d, std::uint64_t t) { done = d, total = t; };
        prompt.status("C:\\windows\\");
        prompt.progress(3, 10);
        QCOMPARE(status, std::string("C:\\windows\\"));
        QCOMPARE(done, 3u);
        QCOMPARE(total, 10u);

        QVERIFY(!QApplication::overrideCursor());
        prompt.busy(true);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        prompt.busy(false);
        QVERIFY(!QApplication::overrideCursor());
        prompt.busy(false);  // unbalanced: ignored
        {
            QtPrompt shortLived(nullptr, system);
            shortLived.busy(true);
        }
        QVERIFY(!QApplication::overrideCursor());  // a prompt never leaves the hourglass behind
    }
};

QTEST_MAIN(QtPromptTest)
#include "qt_prompt_test.moc"
