// The removal windows: the in-use DLL prompt's three buttons and its close box, and
// Delete selected in the found-changes window with and without Shift.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "tests/ui/support/window_test_support.h"
#include "ui/frmFoundChanges.h"
#include "ui/frmInUseDLL.h"

using namespace korvex;
using korvex::test::AnswerNextMessageBox;
using korvex::test::ColumnTexts;
using korvex::test::TestMachine;
using korvex::test::WhenModal;

namespace {

const std::string kDel(1, '\x7f');

void prepareRun(TestMachine& m) {
    m.scanning("WinIniScan", "1");
    m.scanning("RegScan", "1");
    m.files.put("C:\\windows\\win.ini", "[windows]\r\nload=new.exe\r\n");
    m.files.put("C:\\windows\\mid.txt", "m");
    m.files.put("C:\\windows\\keep.txt", "k");
    m.files.put("C:\\Program Files\\NewApp\\a.exe", "a");
    m.files.put("C:\\changes.kvd", "!C:\\Program Files\\NewApp\\{\r\n}\r\nC:\\windows\\{\r\nmid.txt\r\nkeep.txt\r\n}\r\n");
    m.files.put("C:\\SysChanges.kvd", "Win.ini{\r\nload=new.exe" + kDel + "\r\nload=" + kDel + "\r\n}\r\n");
    m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "v", "1");
    m.files.put("C:\\hkcuchanges.kvd", "Software\\NewVendor\r\n");
    m.files.put("C:\\hklmchanges.kvd", "");
}

void select(QTreeWidget* list, const QString& text) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == text) list->topLevelItem(i)->setSelected(true);
}

}  // namespace

class RemovalWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void inUseDllPromptAnswers() {
        struct Case {
            const char* button;  // nullptr: the close box
            bool deleteThis, deleteAll;
        } cases[] = {{"cmdDelete", true, false}, {"cmdDeleteAll", true, true}, {"cmdSkip", false, false},
                     {nullptr, false, false}};
        for (const Case& k : cases) {
            InUseDll state = WindowInUseDllPrompt(nullptr);
            state.InUseDllPath = "C:\\windows\\system32\\newapp.dll";
            state.DeleteThisDll = !k.deleteThis;
            state.DeleteAllDlls = !k.deleteAll;
            QString caption, message;
            bool warning = false;
            WhenModal([&](QWidget* modal) {
                auto* prompt = qobject_cast<frmInUseDLL*>(modal);
                if (!prompt) return false;
                caption = prompt->windowTitle();
                message = prompt->findChild<QLabel*>("lblMsg")->text();
                warning = prompt->findChild<QLabel*>("imgWarning") != nullptr;
                if (k.button)
                    QTest::mouseClick(prompt->findChild<QPushButton*>(k.button), Qt::LeftButton);
                else
                    prompt->close();
                return true;
            });
            state.show(state);
            QCOMPARE(caption, QStringLiteral("DLL file in use"));
            QVERIFY(warning);
            QCOMPARE(message, QStringLiteral("The DLL file C:\\windows\\system32\\newapp.dll may be in use by other "
                                             "applications. Delete it?"));
            QCOMPARE(state.DeleteThisDll, k.deleteThis);
            QCOMPARE(state.DeleteAllDlls, k.deleteAll);
        }
    }

    void shiftDeletesForGoodAndRowsThatRemainStay() {
        for (const bool shift : {true, false}) {
            TestMachine m;
            prepareRun(m);
            frmFoundChanges window(m.app);
            window.show();
            auto* files = window.findChild<QTreeWidget*>("lvwFilesAdded");
            select(files, "NewApp");
            select(files, "mid.txt");
            select(window.findChild<QTreeWidget*>("lvwWinIniLinesAdded"), "load=new.exe");
            select(window.findChild<QTreeWidget*>("lvwRegAdded"), "NewVendor");
            AnswerNextMessageBox(QMessageBox::Yes);  // the shell's confirmation
            QTest::mouseClick(window.findChild<QPushButton*>("cmdDelete"), Qt::LeftButton,
                              shift ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(int(m.shell.operations.size()), 1);
            QCOMPARE(int(m.shell.operations[0].fFlags), shift ? 0x401 : 0x441);
            QCOMPARE(int(m.shell.trash.size()), shift ? 0 : 2);
            QCOMPARE(ColumnTexts(files, 0), QStringList{"keep.txt"});
            QCOMPARE(window.findChild<QTreeWidget*>("lvwWinIniLinesAdded")->topLevelItemCount(), 0);
            QCOMPARE(window.findChild<QTreeWidget*>("lvwRegAdded")->topLevelItemCount(), 0);
            QCOMPARE(m.files.contents("C:\\windows\\win.ini"), std::string("[windows]\r\nload=\r\n"));
            QVERIFY(!m.registry.keyExists("HKCU\\Software\\NewVendor"));
            // Ctrl with Shift is no permanent delete.
            if (shift) {
                prepareRun(m);
                m.files.put("C:\\windows\\mid.txt", "m");
                frmFoundChanges again(m.app);
                again.show();
                select(again.findChild<QTreeWidget*>("lvwFilesAdded"), "mid.txt");
                AnswerNextMessageBox(QMessageBox::Yes);
                QTest::mouseClick(again.findChild<QPushButton*>("cmdDelete"), Qt::LeftButton,
                                  Qt::ShiftModifier | Qt::ControlModifier);
                QCOMPARE(int(m.shell.operations.back().fFlags), 0x441);
            }
        }
    }
};

QTEST_MAIN(RemovalWindowsTest)
#include "removal_windows_test.moc"
