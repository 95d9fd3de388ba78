// Korvex's main window: the drive list with its last-scan date, the buttons and menus
// that open every other window, the recent saved files, the Tools and Help menus and
// the status-bar help. Responsible for start-up (Form_Load) and for remembering the
// chosen drive on closing; the work behind each button belongs to the window it opens.
#pragma once

#include <QMainWindow>
#include <array>
#include <string>

#include "platform/registry_access.h"
#include "ui/app_context.h"
#include "ui/qt_prompt.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace korvex {

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up up to the drive list's restored selection (settling the data
    // folder, first-run defaults included). The command line and the single-instance
    // test are main()'s; then loadRecentFiles() completes the start.
    explicit frmMain(Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Fills the Uninstall menu from the recent saved files list.
    void loadRecentFiles();

    AppContext& app() { return app_; }
    QtPrompt& prompt() { return prompt_; }
    // The drives of the selected drive list entry ("C:" or "C:,D:").
    std::string currentDrives() const;
    // Refreshes the last-scan label for the selected entry.
    void cmbDrives_Click();
    // Names the machine the window works on (its folder, "~/.wine"), so that two
    // windows on two machines can be told apart.
    void showMachine(const std::string& folderText);
    // One-step uninstall from a saved data file (the Uninstall menu, the command line).
    void uninstallFromSavedFile(const std::string& path);
    // The saved data file being reviewed in the found-changes window, "" otherwise.
    const std::string& viewedFile() const { return viewedFile_; }

protected:
    // Form_QueryUnload: remembers the drive list's text.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void formLoad();

    void cmdUpdateDbase_Click();
    void cmdFindChanges_Click();
    void cmdUninstall_Click();
    void cmdSysCleanUp_Click();
    void cmdOptions_Click();
    void mnuName_Click(int slot);
    void mnuTools_Click();
    void mnuHelpTopics_Click();
    void mnuAbout_Click();
    // Review of a saved data file in the found-changes window.
    void reviewSavedFile(const std::string& path);

    QtPrompt prompt_;
    RegistryAccess access_;
    AppContext app_;
    std::string shellFolder_;   // working folder of shell launches: the Windows drive root
    std::string viewedFile_;    // saved data file being reviewed, "" otherwise

    QComboBox* cmbDrives_ = nullptr;
    QLabel* lblMachine_ = nullptr;
    QLabel* lblScanDate_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QMenu* mnuTools_ = nullptr;
    QAction* mnuEmpty_ = nullptr;
    std::array<QAction*, 4> mnuName_{};
};

}  // namespace korvex
