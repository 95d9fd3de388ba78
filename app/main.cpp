// korvex: the windowed program. Finds and opens the machine (a Wine prefix), starts
// the main window (which settles the settings), answers the command line ("\u" and
// "\f" run one window and end; a quoted saved data file is uninstalled from),
// refuses a second interactive instance on the same machine, then shows the window.
#include <QApplication>
#include <QMessageBox>
#include <memory>
#include <string>
#include <vector>

#include "app/artwork.h"
#include "app/frmMain.h"
#include "app/single_instance.h"
#include "app/start_command.h"
#include "platform/wine/machine_locator.h"
#include "platform/wine/wine_machine.h"

using namespace korvex;

namespace {

int cannotStart(const std::string& error) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Korvex!"),
                    QStringLiteral("Korvex! cannot open the Windows machine to work on.\n\n") +
                        QString::fromStdString(error));
    box.setWindowIcon(KorvexIcon());
    box.exec();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("korvex"));
    QApplication::setDesktopFileName(QStringLiteral("korvex"));
    QApplication::setWindowIcon(KorvexIcon());

    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string explicitDir = wine::TakeMachineArgument(args);

    std::string error;
    const std::optional<wine::MachineLocation> location = wine::LocateMachine(explicitDir, &error);
    if (!location) return cannotStart(error);
    const std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(location->dir, &error);
    if (!machine) return cannotStart(error);
    Services services = machine->services();

    frmMain window(services);

    if (AnswerCommandLine(window, args) == StartOutcome::Done) return 0;

    SingleInstance instance(QString::fromStdString(machine->prefix()));
    if (!instance.acquire()) return 0;

    window.loadRecentFiles();
    window.show();
    return application.exec();
}
