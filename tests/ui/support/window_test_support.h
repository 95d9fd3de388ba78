// Shared helpers of the window tests: a whole in-memory machine with an AppContext
// over it, finding a window's controls by name, and answering the modal boxes and
// dialogs a window raises, by clicking, the way a user would. Window tests run on the
// offscreen platform and see all of Qt Widgets and Qt Test through this header.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/fake/fake_system.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/memory_registry.h"
#include "ui/app_context.h"

namespace korvex::test {

// In-memory files that call onFolder whenever a folder is listed (a user acting in the
// middle of a walk) and count the listings.
class HookFiles : public MemoryFiles {
public:
    bool listFolder(std::string_view folder, const EntryCallback& onEntry) override;
    std::function<void(std::string_view)> onFolder;
    int listed = 0;
};

// An in-memory machine: drive C: of the fakes, an empty registry, Korvex's program
// folder "C:\Program Files\Korvex" present, and an AppContext whose data folder is
// that folder.
struct TestMachine {
    TestMachine();
    // Sets one of Korvex's scanning settings ("RegScan", "ScanMode"...).
    void scanning(const char* name, const char* value);
    MemoryRegistry registry;
    HookFiles files;
    FakeSystem system;
    FakeShell shell{files};
    Services services{registry, files, system, shell};
    AppContext app{services, "C:\\Program Files\\Korvex\\"};
};

// What a message box showed the user.
struct SeenMessage {
    bool seen = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;        // texts of the buttons
    QString defaultButton;      // text of the default button
};

// Waits (in the event loop) for the next modal message box, records it into *seen and
// clicks the button `click`. Call before the code that raises the box.
void AnswerNextMessageBox(QMessageBox::StandardButton click, SeenMessage* seen = nullptr);

// Waits for the next modal widget that act accepts (act returns true and closes it).
// Setting the returned flag to false stops the waiting.
std::shared_ptr<bool> WhenModal(const std::function<bool(QWidget*)>& act);

// The control of that name inside w; a missing control ends the test program.
template <class T = QWidget>
T* Child(const QObject& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}
inline QString LabelText(const QObject& w, const char* name) { return Child<QLabel>(w, name)->text(); }

// Moves the mouse onto control and gives back what the status panel says then.
QString StatusOnEnter(QWidget* control, QLabel* panel);

// What a file dialog showed: its object name, title, name filters joined by ";;", the
// folder it started in (canonical) and the file name it proposed.
struct SeenFileDialog {
    QString name, title, filters, folder, proposed;
};

// Answers the next file dialog: picks hostPath (an empty path cancels it).
void AnswerNextFileDialog(const QString& hostPath, SeenFileDialog* seen = nullptr);

// Runs act (a click that opens a window modally over the others) and gives back the
// class name of the modal window that opened, closing it; "" when none opened.
QString OpenedModally(const std::function<void()>& act);

// The texts of one column of a list's top-level rows, top to bottom.
QStringList ColumnTexts(QTreeWidget* list, int column);

}  // namespace korvex::test

// Each window test is a program of its own, written in Korvex's names and these helpers'.
using namespace korvex;
using namespace korvex::test;
