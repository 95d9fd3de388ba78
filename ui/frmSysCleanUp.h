// The System clean-up window: the junk-file categories, the user's own file types and
// folders, the popup of scans under "&Scan Now", the result list with its totals,
// selection summary and sorting, and the Delete and Move buttons. Owns the controls,
// their events, the shared start and finish steps of every scan and the stored
// choices; the scans, the rules for own types and folders and what Delete and Move
// do are the clean-up logic's (cleanup/).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QDialog>
#include <QHash>
#include <QString>

#include "cleanup/clean_results.h"
#include "cleanup/clean_settings.h"
#include "cleanup/junk_scan.h"
#include "ui/app_context.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;

namespace korvex {

class AviPlayer;
class FoundIcons;
class QtPrompt;
class RegistryAccess;

class frmSysCleanUp : public QDialog {
    Q_OBJECT
public:
    // Sizes in pixels of the window's fixed width and its two heights (before the
    // first scan, and when a scan shows the result list).
    static constexpr int kWidth = 496;
    static constexpr int kIdleHeight = 343;
    static constexpr int kScanHeight = 443;

    explicit frmSysCleanUp(AppContext& app, QWidget* parent = nullptr);
    ~frmSysCleanUp() override;

    // The popup's entries: each runs one scan from start to finish.
    void mnuTempFiles_Click();
    void mnuTempFolders_Click();
    void mnuDuplicateFiles_Click();
    void mnuDllFiles_Click();

    // The start every scan shares: empty list, buttons for a running scan, list shown,
    // animation playing, stop flag cleared.
    void subScanClick();
    // The Stop button, and the last step of every scan.
    void cmdStop_Click();
    // "Total files:" and "Total size:" after a scan.
    void showTotals(const cleanup::CleanUpTotals& totals);
    // One result row, shown at once with its icon and type.
    void addResultRow(const cleanup::CleanUpRow& row);

    // The choices as the controls show them now.
    cleanup::CleanUpChoices choices() const;
    std::string currentDrives() const;
    bool scanning() const { return scanning_; }
    bool stopRequested() const { return stop_; }

    // What Delete and Move hand the files to; the removal layer unless a test says else.
    void setRemoval(cleanup::CleanUpRemoval removal) { removal_ = std::move(removal); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kSizeColumn = 2;
    static constexpr int kSortKeyColumn = 4;  // the hidden size key of the size sort
    static constexpr int kListTop = 300;      // where the result list starts

    void buildTop();
    void buildTempFilesTab(QWidget* page);
    void buildTempFoldersTab(QWidget* page);
    void buildDuplicatesTab(QWidget* page);
    void buildDllTab(QWidget* page);
    void buildButtons();
    void buildResults();
    void attachStatusTexts();
    void load();
    void save();
    // Runs one scan between the shared start and finish steps.
    void runScan(cleanup::ResultsKind kind, const std::function<void(cleanup::CleanUpScan&)>& body);
    // The hidden scans (duplicate files, unused shared DLLs); rows go through scan.onRow.
    void scanDuplicateFiles(cleanup::CleanUpScan& scan);
    void scanUnusedDlls(cleanup::CleanUpScan& scan);

    void cmdScan_Click();
    void cmdSelectAll_Click();
    void cmdDelete_Click();
    void cmdMove_Click();
    void cmdHelp_Click();
    void cmdAddFiles_Click();
    void cmdRemoveFiles_Click();
    void cmdAddFolders_Click();
    void cmdRemoveFolders_Click();
    void lvwScannedFiles_ColumnClick(int column);
    void lvwScannedFiles_DblClick();
    void showSelectionSummary();
    void rebuildIconsAlsoScanFolders();
    void setStatus(const QString& text);
    cleanup::ResultRows resultRows() const;
    void takeOutRows(const std::vector<std::size_t>& highestFirst);
    void placeResults();

    AppContext& app_;
    QtPrompt* prompt_ = nullptr;
    RegistryAccess* registry_ = nullptr;  // what Delete and Move's removal layer writes through
    FoundIcons* icons_ = nullptr;
    cleanup::CleanUpRemoval removal_;

    bool stop_ = false;
    bool scanning_ = false;
    bool dllResults_ = false;
    bool duplicateResults_ = false;
    bool shiftDelete_ = false;
    bool closePending_ = false;
    bool saved_ = false;
    int sortOrder_ = 0;  // 0 ascending, 1 descending; every column click flips it
    std::string windowsDriveRoot_;

    QLabel* lblScanDrive_ = nullptr;
    QComboBox* cmbDrives_ = nullptr;
    QTabWidget* tabFileList_ = nullptr;
    QCheckBox* junkBoxes_[cleanup::kJunkTypeCount] = {};
    QListWidget* lvwAlsoFindFiles_ = nullptr;
    QCheckBox* chkTempFolder_ = nullptr;
    QLabel* lblTempPath_ = nullptr;
    QCheckBox* chkInternetCache_ = nullptr;
    QCheckBox* chkRecycleBin_ = nullptr;
    QListWidget* lvwAlsoFindFolders_ = nullptr;
    QComboBox* cboDuplicateNamed_ = nullptr;
    QLineEdit* txtContainingTxt_ = nullptr;
    QCheckBox* chkSameSize_ = nullptr;
    QCheckBox* chkSameDateTime_ = nullptr;
    QCheckBox* chkSkipZeroLength_ = nullptr;
    QCheckBox* chkSkipSysbckup_ = nullptr;
    QPushButton* cmdScan_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QPushButton* cmdSelectAll_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdMove_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    AviPlayer* aniScan_ = nullptr;
    QTreeWidget* lvwScannedFiles_ = nullptr;
    QLabel* lblFileNo_ = nullptr;
    QLabel* lblFileSize_ = nullptr;
    QStatusBar* staFrmSysCleanUp_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QMenu* mnuPopup_ = nullptr;
    QAction* mnuTempFiles_ = nullptr;
    QAction* mnuTempFolders_ = nullptr;
    QAction* mnuDuplicateFiles_ = nullptr;
    QAction* mnuDllFiles_ = nullptr;
    QHash<QObject*, QString> helpTexts_;  // status texts by control
    QHash<QObject*, bool> idleAreas_;     // the background and the frames
};

}  // namespace korvex
