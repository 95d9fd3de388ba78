// The removal windows: the in-use DLL prompt's three buttons and its close box, and the
// Uninstall menu end to end. (What a removal does to the machine is tested with the
// logic; Delete selected with the found-changes window.)

#include "app/frmMain.h"
#include "tests/ui/support/window_test_support.h"
#include "ui/frmInUseDLL.h"

namespace {

// Clicks the in-use DLL prompt's button (nullptr: its close box) when it comes up, then
// runs then; records the prompt as "caption|message".
void AnswerNextDllPrompt(const char* button, QString* seen, std::function<void()> then = nullptr) {
    WhenModal([=](QWidget* modal) {
        auto* prompt = qobject_cast<frmInUseDLL*>(modal);
        if (!prompt) return false;
        *seen = prompt->windowTitle() + "|" + LabelText(*prompt, "lblMsg");
        if (button) QTest::mouseClick(Child<QPushButton>(*prompt, button), Qt::LeftButton);
        else prompt->close();
        if (then) then();
        return true;
    });
}

}  // namespace

class RemovalWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void inUseDllPromptAnswers() {
        const std::tuple<const char*, bool, bool> cases[] = {  // button (nullptr: the close box), this, all
            {"cmdDelete", true, false}, {"cmdDeleteAll", true, true}, {"cmdSkip", false, false}, {nullptr, false, false}};
        for (const auto& [button, deleteThis, deleteAll] : cases) {
            InUseDll state = WindowInUseDllPrompt(nullptr);
            state.InUseDllPath = "C:\\windows\\system32\\newapp.dll";
            state.DeleteThisDll = !deleteThis;
            state.DeleteAllDlls = !deleteAll;
            QString seen;
            AnswerNextDllPrompt(button, &seen);
            state.show(state);
            QCOMPARE(seen, QStringLiteral("DLL file in use|The DLL file C:\\windows\\system32\\newapp.dll may be in "
                                          "use by other applications. Delete it?"));
            QCOMPARE(QPair(state.DeleteThisDll, state.DeleteAllDlls), QPair(deleteThis, deleteAll));
        }
    }

    // The Uninstall menu on a saved file of an installation with a library that
    // SharedDLLs counts for two other programs: one question, the DLL prompt answered
    // Delete, and the installation and its saved file are gone.
    void uninstallMenuRemovesAnInstallation() {
        TestMachine m;
        m.registry.setString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                             "C:\\windows\\system32\\newapp.dll", "2");
        m.files.put("C:\\Program Files\\NewApp\\newapp.exe", "MZ");
        m.files.put("C:\\windows\\system32\\newapp.dll", "MZ");
        m.registry.setString("HKCU\\Software\\NewVendor\\NewApp", "Level", "3");
        const std::string saved = "C:\\users\\user\\NewApp.kvu";
        m.files.put(saved, "Files{\r\nC:\\Program Files\\NewApp\r\nC:\\windows\\system32\\newapp.dll\r\n}\r\n"
                           "Registry{\r\nHKEY_CURRENT_USER\\Software\\NewVendor\r\n}\r\n");
        m.registry.setString("HKCU\\Software\\Korvex!\\General", "SavedForDeletion", saved + "\x7f");

        frmMain w(m.services);
        w.loadRecentFiles();
        QAction* item = Child<QAction>(w, "mnuName1");  // NewApp
        QStringList asked;
        QString dllPrompt;
        WhenModal([&](QWidget* modal) {  // the question, then the DLL prompt, then the closing message
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return false;
            asked << box->windowTitle() << box->text();
            AnswerNextDllPrompt("cmdDelete", &dllPrompt, [] { AnswerNextMessageBox(QMessageBox::Ok); });
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            return true;
        });
        item->trigger();
        QCOMPARE(asked.value(0), QStringLiteral("Confirm Korvex! Uninstall"));  // its text: the uninstall's tests
        QVERIFY(dllPrompt.startsWith(QStringLiteral("DLL file in use|")));
        // What went is the uninstall's tests' business; here the installation and its saved file.
        QVERIFY(!m.files.exists("C:\\Program Files\\NewApp") && !m.files.exists(saved));
        QVERIFY(!item->isVisible());
    }
};

QTEST_MAIN(RemovalWindowsTest)
#include "removal_windows_test.moc"
