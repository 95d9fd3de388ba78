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
            window.prompt().busy(true);
            window.uninstallFromSavedFile(command.path);
            window.prompt().busy(false);
            return StartOutcome::Done;
        case StartAction::Normal:
            break;
    }
    return StartOutcome::ShowMainWindow;
}

}  // namespace korvex
