// Shared helpers of the window tests: a whole in-memory machine with an AppContext
// over it, and answering the modal boxes a window raises, by clicking, the way a user
// would. Window tests run on the offscreen platform.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "platform/fake/fake_system.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/memory_registry.h"
#include "platform/services.h"
#include "ui/app_context.h"

namespace korvex::test {

// An in-memory machine: drive C: of the fakes, an empty registry, Korvex's program
// folder "C:\Program Files\Korvex" present, and an AppContext whose data folder is
// that folder.
struct TestMachine {
    TestMachine();
    // Sets one of Korvex's scanning settings ("RegScan", "ScanMode"...).
    void scanning(const char* name, const char* value);
    MemoryRegistry registry;
    MemoryFiles files;
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
    QStringList buttons;        // texts of the buttons, left to right as laid out
    QString defaultButton;      // text of the default button
};

// Waits (in the event loop) for the next modal message box, records it into *seen and
// clicks the button `click`. Call before the code that raises the box.
void AnswerNextMessageBox(QMessageBox::StandardButton click, SeenMessage* seen = nullptr);

// Waits for the next modal widget that act accepts (act returns true and closes it).
// Setting the returned flag to false stops the waiting.
std::shared_ptr<bool> WhenModal(const std::function<bool(QWidget*)>& act);

// The texts of one column of a list's top-level rows, top to bottom.
QStringList ColumnTexts(QTreeWidget* list, int column);

// Text of a standard button as QMessageBox shows it (mnemonics removed).
QString ButtonText(QMessageBox::StandardButton button);

}  // namespace korvex::test
