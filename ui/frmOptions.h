// The Options window ("Options -Korvex!"): four tabs over Korvex's settings, the
// folders that scans skip, how Find changes scans, the delete mode, the scheduler's
// timing and tasks, and the programs that setup detection ignores. Owns the controls
// and their events; what is read and written, and the rules for it, belong to
// settings/options_settings. Nothing is written before "OK".
#pragma once

#include <memory>

#include <QDialog>

#include "settings/options_settings.h"
#include "ui/app_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace korvex {

class FoundIcons;
class QtPrompt;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Reads the settings into the controls (Form_Load).
    explicit frmOptions(AppContext& app, QWidget* parent = nullptr);
    ~frmOptions() override;

    // What the controls show now, as the settings "OK" would write.
    OptionsState state() const;

private:
    void buildGeneralTab(QWidget* tab);
    void buildAdvancedTab(QWidget* tab);
    void buildSchedulerTab(QWidget* tab);
    void buildSetupTab(QWidget* tab);
    void formLoad();
    void addFolderRow(const std::string& folder);
    void rebuildIcons();

    void cmdOk_Click();
    void cmdHelp_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdRemoveExeSetup_Click();
    void chkScanReg_Click();
    void chkSetupDetect_Click();

    AppContext& app_;
    QtPrompt* prompt_ = nullptr;
    std::unique_ptr<FoundIcons> icons_;

    QTabWidget* tabOptions_ = nullptr;
    QTreeWidget* lvwFoldersToIgnore_ = nullptr;
    QCheckBox* chkEnableScheduler_ = nullptr;
    QRadioButton* optScan_[4] = {};    // all, Windows and Program Files, Windows, Program Files
    QRadioButton* optDelete_[4] = {};  // Recycle Bin, delete, move, zip
    QCheckBox* chkScanReg_ = nullptr;
    QRadioButton* optCompleteReg_ = nullptr;
    QRadioButton* optSoftware_ = nullptr;
    QCheckBox* chkSystemFilesScan_ = nullptr;
    QCheckBox* chkAutoUpdateDb_ = nullptr;
    QComboBox* cmbDrives_ = nullptr;
    QRadioButton* optEveryDay_ = nullptr;
    QRadioButton* optWeekly_ = nullptr;
    QRadioButton* optMonthly_ = nullptr;
    QComboBox* cmbDaysOfWeek_ = nullptr;
    QLineEdit* txtMonthDate_ = nullptr;
    QCheckBox* chkSchTempFiles_ = nullptr;
    QCheckBox* chkSchTempFolders_ = nullptr;
    QCheckBox* chkSchDllFiles_ = nullptr;
    QCheckBox* chkSchScanDisk_ = nullptr;
    QCheckBox* chkSchDefrag_ = nullptr;
    QCheckBox* chkChngsStrt_ = nullptr;
    QCheckBox* chkOldDel_ = nullptr;
    QLineEdit* txtOldDel_ = nullptr;
    QCheckBox* chkSetupDetect_ = nullptr;
    QTreeWidget* lvwExesToIgnore_ = nullptr;
    QPushButton* cmdRemoveExeSetup_ = nullptr;
};

}  // namespace korvex
