#include "app/start_command.h"

#include "app/frmMain.h"
#include "settings/command_line.h"
#include "ui/frmFindingChanges.h"
#include "ui/frmUpdateDBase.h"

namespace korvex {

StartOutcome AnswerCommandLine(frmMain& window, const std::vector<std::string>& args) {
    const StartCommand command = ParseCommandLine(window.app().services, CommandLineText(args));
    switch (command.action) {
        case StartAction::UpdateDatabase: {
            frmUpdateDBase update(window.app(), window.currentDrives(), [&window] { window.cmbDrives_Click(); });
            update.exec();
            return StartOutcome::Done;
        }
        case StartAction::FindChanges: {
            frmFindingChanges find(window.app(), window.currentDrives());
            find.exec();
            return StartOutcome::Done;
        }
        case StartAction::Uninstall:
            // Uninstalling from a saved data file is not part of this version yet: the
            // program starts normally, as it does for a file that does not exist.
        case StartAction::Normal:
            break;
    }
    return StartOutcome::ShowMainWindow;
}

}  // namespace korvex
