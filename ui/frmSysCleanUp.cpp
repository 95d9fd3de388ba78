#include "ui/frmSysCleanUp.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/help_viewer.h"
#include "cleanup/duplicates.h"
#include "cleanup/removal_calls.h"
#include "cleanup/temp_folders.h"
#include "cleanup/unused_dlls.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "removal/found_lists.h"
#include "settings/drive_list.h"
#include "settings/settings_keys.h"
#include "settings/setting_value.h"
#include "ui/avi_player.h"
#include "ui/found_icons.h"
#include "ui/qt_prompt.h"
#include "ui/qt_text.h"

namespace korvex {

namespace {

constexpr int kBytesRole = Qt::UserRole + 1;


std::vector<std::string> entries(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(s(list->item(i)->text()));
    return out;
}

}  // namespace

frmSysCleanUp::frmSysCleanUp(AppContext& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("frmSysCleanUp"));
    setWindowTitle(QStringLiteral("Korvex! System Clean-up"));
    prompt_ = new QtPrompt(this, app_.services.system);
    prompt_->onStatus = [this](std::string_view text) { setStatus(q(text)); };
    icons_ = new FoundIcons;
    registry_ = new RegistryAccess(app_.services.registry, *prompt_);
    removal_ = cleanup::RemovalLayerCalls(app_.services, *registry_, *prompt_, app_.dataFolder);
    buildTop();
    buildButtons();
    buildResults();
    attachStatusTexts();
    setFixedSize(kWidth, kIdleHeight);
    load();
}

frmSysCleanUp::~frmSysCleanUp() {
    removal_ = {};
    delete registry_;
    delete icons_;
    delete prompt_;
}

// ---- Opening and closing ----

void frmSysCleanUp::load() {
    windowsDriveRoot_ = WindowsDriveRoot(app_.services.system);
    for (const std::string& entry : FillDriveList(app_.services.system)) cmbDrives_->addItem(q(entry));
    RegistryAccess registry(app_.services.registry, *prompt_);
    const cleanup::CleanUpChoices c = cleanup::LoadCleanUpChoices(registry);
    for (std::size_t i = 0; i < cleanup::kJunkTypeCount; ++i) junkBoxes_[i]->setChecked(c.junk[i]);
    for (const std::string& e : c.alsoScanFiles) lvwAlsoFindFiles_->addItem(q(e));
    for (const std::string& e : c.alsoScanFolders) lvwAlsoFindFolders_->addItem(q(e));
    rebuildIconsAlsoScanFolders();
    chkTempFolder_->setChecked(c.tempFolder);
    chkInternetCache_->setChecked(c.cacheFolder);
    chkRecycleBin_->setChecked(c.recycleBin);
    chkSkipZeroLength_->setChecked(c.skipZeroLength);
    chkSameSize_->setChecked(c.sameSize);
    chkSameDateTime_->setChecked(c.sameDateTime);
    chkSkipSysbckup_->setChecked(c.skipSysbckup);
    // A stored drive that is no entry of the list leaves the selection as it is.
    const int stored = cmbDrives_->findText(q(ReadSetting(registry, settings::kGeneralKey, "DriveName")));
    if (stored >= 0) cmbDrives_->setCurrentIndex(stored);
    lblTempPath_->setText(q(TempFolder(app_.services.system)));
}

void frmSysCleanUp::save() {
    if (saved_) return;
    saved_ = true;
    RegistryAccess registry(app_.services.registry, *prompt_);
    cleanup::SaveCleanUpChoices(registry, choices());
}

void frmSysCleanUp::closeEvent(QCloseEvent* event) {
    if (scanning_) {
        // The scan must end before the controls go away: it sees the flag at its next
        // entry, and the window closes when it is done.
        stop_ = true;
        closePending_ = true;
        event->ignore();
        return;
    }
    save();
    QDialog::closeEvent(event);
}

void frmSysCleanUp::reject() {
    if (scanning_) {
        stop_ = true;
        closePending_ = true;
        return;
    }
    save();
    QDialog::reject();
}

cleanup::CleanUpChoices frmSysCleanUp::choices() const {
    cleanup::CleanUpChoices c;
    for (std::size_t i = 0; i < cleanup::kJunkTypeCount; ++i) c.junk[i] = junkBoxes_[i]->isChecked();
    c.alsoScanFiles = entries(lvwAlsoFindFiles_);
    c.alsoScanFolders = entries(lvwAlsoFindFolders_);
    c.tempFolder = chkTempFolder_->isChecked();
    c.cacheFolder = chkInternetCache_->isChecked();
    c.recycleBin = chkRecycleBin_->isChecked();
    c.skipZeroLength = chkSkipZeroLength_->isChecked();
    c.sameSize = chkSameSize_->isChecked();
    c.sameDateTime = chkSameDateTime_->isChecked();
    c.skipSysbckup = chkSkipSysbckup_->isChecked();
    return c;
}

std::string frmSysCleanUp::currentDrives() const { return CurrentDrives(s(cmbDrives_->currentText())); }

// ---- Scans ----

void frmSysCleanUp::cmdScan_Click() {
    dllResults_ = false;
    duplicateResults_ = false;
    QAction* const entries[] = {mnuTempFiles_, mnuTempFolders_, mnuDuplicateFiles_, mnuDllFiles_};
    const int tab = qBound(0, tabFileList_->currentIndex(), 3);
    // The popup opens with the current tab's entry under the pointer.
    activateWindow();
    mnuPopup_->popup(mapToGlobal(cmdScan_->geometry().topLeft() + QPoint(45, 25)), entries[tab]);
    mnuPopup_->setActiveAction(entries[tab]);
}

void frmSysCleanUp::subScanClick() {
    lvwScannedFiles_->setSortingEnabled(false);
    {
        const QSignalBlocker quiet(lvwScannedFiles_);
        lvwScannedFiles_->clear();
    }
    cmdScan_->setEnabled(false);
    cmdStop_->setEnabled(true);
    cmdStop_->setDefault(true);
    cmdDelete_->setEnabled(false);
    cmdMove_->setEnabled(false);
    cmdSelectAll_->setEnabled(false);
    lvwScannedFiles_->show();
    setMinimumSize(kWidth, kIdleHeight);
    setMaximumSize(kWidth, QWIDGETSIZE_MAX);
    resize(kWidth, kScanHeight);
    placeResults();
    lblFileNo_->hide();
    lblFileSize_->hide();
    aniScan_->show();
    std::string folder = app_.services.system.programFolder();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    const std::string animation = folder + std::string(settings::kAnimationFile);
    if (app_.services.files.info(animation).exists)
        aniScan_->open(q(app_.services.system.hostPath(animation)));
    stop_ = false;
    scanning_ = true;
}

void frmSysCleanUp::cmdStop_Click() {
    stop_ = true;
    cmdStop_->setEnabled(false);
    cmdScan_->setEnabled(true);
    cmdScan_->setDefault(true);
    cmdSelectAll_->setEnabled(true);
    cmdDelete_->setEnabled(true);
    cmdMove_->setEnabled(true);
    aniScan_->stop();
    aniScan_->hide();
    scanning_ = false;
    setStatus(QStringLiteral("Scan complete"));
}

void frmSysCleanUp::showTotals(const cleanup::CleanUpTotals& totals) {
    lblFileNo_->setText(QStringLiteral("Total files:") + QString::number(totals.files));
    lblFileSize_->setText(QStringLiteral("Total size:") +
                          q(FormatSize(totals.bytes, true, app_.services.system.decimalSeparator())));
    lblFileNo_->show();
    lblFileSize_->show();
}

void frmSysCleanUp::addResultRow(const cleanup::CleanUpRow& row) {
    auto* item = new RowItem;
    const QString name = q(row.name);
    item->setText(0, name);
    item->setText(1, q(row.folder));
    item->setText(kSizeColumn,
                  q(FormatSize(static_cast<double>(row.bytes), false, app_.services.system.decimalSeparator())));
    item->setText(3, icons_->typeNameFor(name, false));
    item->setIcon(0, icons_->iconFor(name, false));
    item->setData(0, kBytesRole, QVariant::fromValue<qulonglong>(row.bytes));
    lvwScannedFiles_->addTopLevelItem(item);
}

void frmSysCleanUp::runScan(cleanup::ResultsKind kind, const std::function<void(cleanup::CleanUpScan&)>& body) {
    subScanClick();
    dllResults_ = kind == cleanup::ResultsKind::UnusedDlls;
    duplicateResults_ = kind == cleanup::ResultsKind::Duplicates;
    cleanup::CleanUpScan scan{app_.services.files, *prompt_, stop_,
                              [this](const cleanup::CleanUpRow& row) { addResultRow(row); },
                              cleanup::LocalDay(app_.services.system.now()), {}};
    body(scan);
    cmdStop_Click();
    showTotals(scan.totals);
    if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

void frmSysCleanUp::mnuTempFiles_Click() {
    const cleanup::CleanUpChoices c = choices();
    const std::string drives = currentDrives();
    runScan(cleanup::ResultsKind::Junk, [&](cleanup::CleanUpScan& scan) {
        RegistryAccess registry(app_.services.registry, *prompt_);
        cleanup::ScanForJunkFiles(app_.services, registry, scan, c, drives);
    });
}

void frmSysCleanUp::mnuTempFolders_Click() {
    const cleanup::CleanUpChoices c = choices();
    const std::string temp = s(lblTempPath_->text());
    runScan(cleanup::ResultsKind::Junk,
            [&](cleanup::CleanUpScan& scan) { cleanup::ScanTempFolders(app_.services, scan, c, temp); });
}

void frmSysCleanUp::mnuDuplicateFiles_Click() {
    runScan(cleanup::ResultsKind::Duplicates, [this](cleanup::CleanUpScan& scan) { scanDuplicateFiles(scan); });
}

void frmSysCleanUp::mnuDllFiles_Click() {
    runScan(cleanup::ResultsKind::UnusedDlls, [this](cleanup::CleanUpScan& scan) { scanUnusedDlls(scan); });
}

// The duplicate finder over currentDrives() with the duplicate tab's choices; its work
// files go into the Windows drive root. The list then stands sorted by name, so that
// the files of one name are side by side. The entry is hidden from the user.
void frmSysCleanUp::scanDuplicateFiles(cleanup::CleanUpScan& scan) {
    cleanup::DuplicateOptions options;
    options.named = s(cboDuplicateNamed_->currentText());
    options.containing = s(txtContainingTxt_->text());
    options.sameSize = chkSameSize_->isChecked();
    options.sameDateTime = chkSameDateTime_->isChecked();
    options.skipZeroLength = chkSkipZeroLength_->isChecked();
    options.skipSysbckup = chkSkipSysbckup_->isChecked();
    cleanup::ScanDuplicates(app_.services, scan, options, currentDrives());
    lvwScannedFiles_->sortItems(0, Qt::AscendingOrder);
}

// The unused shared DLL scan. The entry is hidden from the user.
void frmSysCleanUp::scanUnusedDlls(cleanup::CleanUpScan& scan) {
    RegistryAccess registry(app_.services.registry, *prompt_);
    cleanup::ScanUnusedDlls(app_.services, registry, scan);
}

// ---- Results ----

cleanup::ResultRows frmSysCleanUp::resultRows() const {
    cleanup::ResultRows rows;
    for (int i = 0; i < lvwScannedFiles_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvwScannedFiles_->topLevelItem(i);
        rows.paths.push_back(s(item->text(1) + item->text(0)));
        rows.selected.push_back(item->isSelected());
    }
    return rows;
}

void frmSysCleanUp::takeOutRows(const std::vector<std::size_t>& highestFirst) {
    // Taking rows out is no click in the list: the labels keep what they show.
    const QSignalBlocker quiet(lvwScannedFiles_);
    for (std::size_t i : highestFirst)
        if (static_cast<int>(i) < lvwScannedFiles_->topLevelItemCount())
            delete lvwScannedFiles_->takeTopLevelItem(static_cast<int>(i));
}

void frmSysCleanUp::showSelectionSummary() {
    if (scanning_) return;
    std::uint64_t count = 0;
    double bytes = 0;
    for (QTreeWidgetItem* item : lvwScannedFiles_->selectedItems()) {
        ++count;
        const std::string path = s(item->text(1) + item->text(0));
        const FileInfo info = app_.services.files.info(path);
        bytes += info.isFolder ? FolderSize(app_.services.files, path) : static_cast<double>(info.size);
    }
    lblFileSize_->setText(QStringLiteral("Size: ") +
                          q(FormatSize(bytes, true, app_.services.system.decimalSeparator())));
    lblFileNo_->setText(QStringLiteral("Files: ") + QString::number(count));
}

void frmSysCleanUp::cmdSelectAll_Click() {
    lvwScannedFiles_->selectAll();
    showSelectionSummary();
    lvwScannedFiles_->setFocus();
}

void frmSysCleanUp::lvwScannedFiles_ColumnClick(int column) {
    if (column == kSizeColumn) {
        for (int i = 0; i < lvwScannedFiles_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = lvwScannedFiles_->topLevelItem(i);
            item->setText(kSortKeyColumn, q(SizeSortKey(s(item->text(kSizeColumn)))));
        }
        column = kSortKeyColumn;
    }
    sortOrder_ = 1 - sortOrder_;
    const Qt::SortOrder order = sortOrder_ ? Qt::AscendingOrder : Qt::DescendingOrder;
    lvwScannedFiles_->sortItems(column, order);
    lvwScannedFiles_->header()->setSortIndicator(column, order);
}

void frmSysCleanUp::lvwScannedFiles_DblClick() {
    for (const QTreeWidgetItem* item : lvwScannedFiles_->selectedItems())
        OpenWithShell(app_.services.system, s(item->text(1) + item->text(0)));
}

void frmSysCleanUp::cmdDelete_Click() {
    const cleanup::ResultsKind kind = dllResults_         ? cleanup::ResultsKind::UnusedDlls
                                      : duplicateResults_ ? cleanup::ResultsKind::Duplicates
                                                          : cleanup::ResultsKind::Junk;
    const auto how = shiftDelete_ ? cleanup::DeleteHow::Permanent : cleanup::DeleteHow::DeleteMode;
    takeOutRows(cleanup::DeleteResults(app_.services.files, *prompt_, resultRows(), kind, how, removal_));
}

void frmSysCleanUp::cmdMove_Click() { takeOutRows(cleanup::MoveResults(*prompt_, resultRows(), removal_)); }

void frmSysCleanUp::cmdHelp_Click() { ShowHelp(app_, this, "System cleaner"); }

// ---- Own file types and folders ----

void frmSysCleanUp::cmdAddFiles_Click() {
    const std::optional<std::string> answer =
        prompt_->inputBox("Enter the file extension of the file type to scan for:", "Enter file type", "");
    if (!answer) return;
    std::vector<std::string> list = entries(lvwAlsoFindFiles_);
    if (cleanup::AddOwnFileType(list, *answer)) lvwAlsoFindFiles_->addItem(q(list.back()));
}

void frmSysCleanUp::cmdRemoveFiles_Click() {
    std::vector<std::size_t> chosen;
    for (int i = 0; i < lvwAlsoFindFiles_->count(); ++i)
        if (lvwAlsoFindFiles_->item(i)->isSelected()) chosen.push_back(static_cast<std::size_t>(i));
    std::sort(chosen.begin(), chosen.end(), std::greater<>());
    for (std::size_t i : chosen) delete lvwAlsoFindFiles_->takeItem(static_cast<int>(i));
}

void frmSysCleanUp::cmdAddFolders_Click() {
    const std::string folder = BrowseForFolder(*prompt_, "Choose the folder you wish to scan :");
    std::vector<std::string> list = entries(lvwAlsoFindFolders_);
    if (!cleanup::AddOwnFolder(list, folder)) return;
    lvwAlsoFindFolders_->clear();
    for (const std::string& e : list) lvwAlsoFindFolders_->addItem(q(e));
    rebuildIconsAlsoScanFolders();
}

void frmSysCleanUp::cmdRemoveFolders_Click() {
    const int row = lvwAlsoFindFolders_->currentRow();
    if (row < 0 || !lvwAlsoFindFolders_->item(row)->isSelected()) return;
    delete lvwAlsoFindFolders_->takeItem(row);
}

void frmSysCleanUp::rebuildIconsAlsoScanFolders() {
    QFileIconProvider provider;
    const QIcon folderIcon = provider.icon(QAbstractFileIconProvider::Folder);
    for (int i = 0; i < lvwAlsoFindFolders_->count(); ++i) lvwAlsoFindFolders_->item(i)->setIcon(folderIcon);
}

}  // namespace korvex
