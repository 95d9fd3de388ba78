// The Qt prompt shows the logic's messages exactly and gives back what the user chose;
// its pickers hand back Windows paths of the machine only.

#include "tests/ui/support/window_test_support.h"
#include "ui/qt_prompt.h"

namespace {

// Answers the next input box: with `answer`, or cancelled when it is empty. Records the
// box as "title|label|proposed text".
void AnswerNextInputBox(const QString& answer, QString* seen) {
    WhenModal([=](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        if (!d) return false;
        *seen = d->windowTitle() + "|" + d->labelText() + "|" + d->textValue();
        d->setTextValue(answer);
        answer.isEmpty() ? d->reject() : static_cast<QDialog*>(d)->accept();
        return true;
    });
}

void CreateHostFile(const QString& path) { QFile(path).open(QIODevice::WriteOnly); }

}  // namespace

class QtPromptTest : public QObject {
    Q_OBJECT
    FakeSystem system;
    QtPrompt prompt{nullptr, system};

private slots:
    void messageBoxesShowIconButtonsTitleAndText() {
        using B = QMessageBox;
        struct Case {
            Icon icon; Buttons buttons; int defaultButton;  // what the logic asks for
            B::Icon qtIcon; QString shown;                   // what the box shows: its buttons sorted|the default
            B::StandardButton click; Answer expected;        // the user's click and what the logic gets
        };
        const QList<Case> cases = {
            {Icon::Exclamation, Buttons::OK, 1, B::Warning, "OK|OK", B::Ok, Answer::OK},
            {Icon::Question, Buttons::OKCancel, 2, B::Question, "Cancel OK|Cancel", B::Cancel, Answer::Cancel},
            {Icon::Critical, Buttons::AbortRetryIgnore, 2, B::Critical, "Abort Ignore Retry|Retry", B::Ignore, Answer::Ignore},
            {Icon::Information, Buttons::YesNoCancel, 1, B::Information, "Cancel No Yes|Yes", B::No, Answer::No},
            {Icon::Information, Buttons::YesNo, 2, B::Information, "No Yes|No", B::Yes, Answer::Yes},
            {Icon::None, Buttons::RetryCancel, 1, B::NoIcon, "Cancel Retry|Retry", B::Retry, Answer::Retry},
        };
        // Shown as plain text: markup-like characters stay as they are; line breaks of the
        // Windows kind become plain line breaks.
        const std::string text = "Are you sure you want to remove Game <b>X</b>\r\nand all of its components?";
        for (const Case& c : cases) {
            SeenMessage seen;
            AnswerNextMessageBox(c.click, &seen);
            QCOMPARE(prompt.messageBox({c.icon, c.buttons, c.defaultButton, "Confirm Korvex! Uninstall", text}),
                     c.expected);
            QCOMPARE(seen.icon, c.qtIcon);
            QCOMPARE(seen.title + "|" + seen.text,
                     "Confirm Korvex! Uninstall|Are you sure you want to remove Game <b>X</b>\nand all of its components?");
            seen.buttons.sort();
            QCOMPARE(seen.buttons.join(' ') + "|" + seen.defaultButton, c.shown);
        }
    }

    void inputBoxGivesTextOrNothing() {
        QString seen;
        AnswerNextInputBox(QStringLiteral("14"), &seen);
        QCOMPARE(prompt.inputBox("How many days?", "Days", "7"), std::optional<std::string>("14"));
        QCOMPARE(seen, QStringLiteral("Days|How many days?|7"));
        AnswerNextInputBox(QString(), &seen);
        QCOMPARE(prompt.inputBox("How many days?", "Days", "7"), std::optional<std::string>());
    }

    // (The one-pair form with spaces: the pickers below.)
    void filtersTakeQtForm() {
        QCOMPARE(QtPrompt::ToQtFilter("Uninstall data|*.kvu|All files (*.*)|*.*") + "/" +
                     QtPrompt::ToQtFilter("Text|*.txt;*.log"),
                 QStringLiteral("Uninstall data (*.kvu);;All files (*)/Text (*.txt *.log)"));
    }

    void pickersMapPathsOfTheMachine() {
        QTemporaryDir root, elsewhere;
        system.hostRoot = root.path().toStdString();
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("drive_c/Uninstall logs")));
        const QString logs = root.path() + QStringLiteral("/drive_c/Uninstall logs");
        CreateHostFile(logs + QStringLiteral("/GameX.kvu"));
        CreateHostFile(elsewhere.path() + QStringLiteral("/other.kvu"));
        const char* const filter = "Korvex data files (*.kvu) | *.kvu";

        // Open: the dialog starts in the host folder of the Windows folder and lists .kvu files.
        SeenFileDialog seen;
        AnswerNextFileDialog(logs + QStringLiteral("/GameX.kvu"), &seen);
        QCOMPARE(prompt.pickOpenFile("Open", filter, "C:\\Uninstall logs"), std::string("C:\\Uninstall logs\\GameX.kvu"));
        QCOMPARE(seen.name + "|" + seen.folder + "|" + seen.filters,
                 "dlgFileOpen|" + QDir(logs).canonicalPath() + "|Korvex data files (*.kvu)");

        // Cancelled: "".
        AnswerNextFileDialog(QString());
        QCOMPARE(prompt.pickOpenFile("Open", filter, "C:\\Uninstall logs"), std::string());

        // A file outside the machine: the user is warned, and nothing is picked.
        SeenMessage outside;
        AnswerNextFileDialog(elsewhere.path() + QStringLiteral("/other.kvu"));
        AnswerNextMessageBox(QMessageBox::Ok, &outside);
        QCOMPARE(prompt.pickOpenFile("Open", filter, "C:\\Uninstall logs"), std::string());
        QCOMPARE(outside.icon, QMessageBox::Warning);  // NoIcon when no box came

        // Save: the proposed name is filled in; the result is the machine's path.
        AnswerNextFileDialog(logs + QStringLiteral("/New.kvu"), &seen);
        QCOMPARE(prompt.pickSaveFile("Save", filter, "C:\\Uninstall logs", "New.kvu"),
                 std::string("C:\\Uninstall logs\\New.kvu"));
        QCOMPARE(seen.name + "|" + seen.proposed, QStringLiteral("dlgFileSave|New.kvu"));
    }

    void progressHookAndTheHourglass() {
        prompt.status("no hook yet");  // dropped, not a crash (a window's hook: the windows' tests)
        QString reached;
        prompt.onProgress = [&](std::uint64_t d, std::uint64_t t) { reached = QStringLiteral("%1 of %2").arg(d).arg(t); };
        prompt.progress(3, 10);
        QCOMPARE(reached, QStringLiteral("3 of 10"));

        // The hourglass: on and off, an unbalanced "off" ignored, never left behind by a prompt.
        const auto cursor = [] { return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1; };
        prompt.busy(true);
        QList<int> cursors{cursor()};
        prompt.busy(false);
        prompt.busy(false);
        cursors << cursor();
        QtPrompt(nullptr, system).busy(true);
        cursors << cursor();
        QCOMPARE(cursors, QList<int>({Qt::WaitCursor, -1, -1}));
    }
};

QTEST_MAIN(QtPromptTest)
#include "qt_prompt_test.moc"
