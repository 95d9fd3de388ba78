// The found-changes window: shows the six lists of what an installation added (files
// and folders, registry keys, lines of win.ini, system.ini, autoexec.bat, config.sys),
// lets the user select, sort, open and save them, and when it was opened on a saved
// uninstall data file writes the rows that remain back into it on closing. What the
// lists hold and the saved file's format belong to removal/; this class owns the
// controls, their events, icons and type names.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <QDialog>

#include "platform/printer.h"
#include "removal/found_lists.h"
#include "ui/app_context.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvex {

class QtPrompt;
class FoundIcons;

class frmFoundChanges : public QDialog {
    Q_OBJECT
public:
    // viewedSavedFile: the saved data file being reviewed (Windows path), "" after a
    // find-changes run. The lists are loaded just before the window is first shown, or
    // by load().
    explicit frmFoundChanges(AppContext& app, std::string viewedSavedFile = {}, QWidget* parent = nullptr);
    ~frmFoundChanges() override;

    // Set by whoever opens the window, before it loads; used by printing.
    std::string LogFileName;
    std::string LogDate;
    // The printer "Print selected" prints on; the default printer (or a PDF in the
    // Documents folder where there is none) unless a test sets another.
    std::function<std::unique_ptr<Printer>()> makePrinter;

    // Reads the change list files into the lists (and deletes them); runs once.
    void load();
    bool loaded() const { return loaded_; }

    // Where this run's findings were kept (see kept_findings.h); "" when none.
    const std::string& keptCopy() const { return keptCopy_; }

    // Selected rows over all six lists.
    std::size_t SelectedCount() const;
    // The lists as shown: rows in display order with their selection.
    FoundLists currentLists() const;

    // Loads the lists before the window first appears, so nothing can be clicked
    // while they are being read.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QTreeWidget* makeList(const char* name, const QStringList& columns);
    QTreeWidget* list(FoundList which) const { return lists_[static_cast<std::size_t>(which)]; }
    void fill(const FoundLists& lists);
    void applySelection(const FoundLists& lists);
    void showSelectedSize();
    // Selects rows in every list the way change says, then shows the new selection.
    void changeSelection(void (*change)(FoundLists&));
    void writeBack();

    void cmdOk_Click();
    void cmdSelectAll_Click();
    void cmdInvSel_Click();
    void cmdSave_Click();
    void showSaveFailure(const std::string& path);
    void cmdDelete_Click();
    void cmdMove_Click();
    void cmdHelp_Click();
    void cmdPrint_Click();
    // Shows the lists as a removal left them, keeping their selection.
    void refill(const FoundLists& lists);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void lvwFilesAdded_ColumnClick(int column);
    void lvwRegAdded_ColumnClick(int column);
    void lvwFilesAdded_DblClick();
    void lvwRegAdded_DblClick();
    void lineList_Click(QTreeWidget* list);

    AppContext& app_;
    std::string viewedSavedFile_;
    std::string keptCopy_;  // this run's copy in the "Found changes" folder, "" when none
    QtPrompt* prompt_ = nullptr;
    FoundIcons* icons_ = nullptr;
    bool loaded_ = false;
    bool loading_ = false;
    bool writtenBack_ = false;
    bool permanentDelete_ = false;  // Shift alone at the last mouse-down on cmdDelete
    QPushButton* cmdDelete_ = nullptr;
    int filesSortOrder_ = 0;  // 0 ascending, 1 descending; each column click flips it
    int regSortOrder_ = 0;

    QTabWidget* tabChangesMade_ = nullptr;
    QLabel* lblFileSize_ = nullptr;
    QLabel* staPanel_ = nullptr;
    std::array<QTreeWidget*, kFoundListCount> lists_{};
};

}  // namespace korvex
