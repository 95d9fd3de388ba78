#include "ui/frmFoundChanges.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/help_viewer.h"
#include "changes/report.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "removal/kept_findings.h"
#include "removal/saved_file.h"
#include "removal/found_removal.h"
#include "ui/found_icons.h"
#include "ui/frmInUseDLL.h"
#include "ui/found_status_texts.h"
#include "ui/list_columns.h"
#include "ui/qt_printer.h"
#include "ui/qt_prompt.h"
#include "ui/qt_text.h"

namespace korvex {

namespace {

constexpr int kFolderRole = Qt::UserRole + 1;
constexpr int kSizeColumn = 2;
constexpr int kSortKeyColumn = 4;


}  // namespace

frmFoundChanges::frmFoundChanges(AppContext& app, std::string viewedSavedFile, QWidget* parent)
    : QDialog(parent), app_(app), viewedSavedFile_(std::move(viewedSavedFile)) {
    setObjectName(QStringLiteral("frmFoundChanges"));
    setWindowTitle(QStringLiteral("Changes found  -Korvex!"));
    prompt_ = new QtPrompt(this, app_.services.system);
    icons_ = new FoundIcons;

    auto* layout = new QVBoxLayout(this);
    auto* label1 = new QLabel(
        QStringLiteral("Korvex! found the following changes to your system since the last update to the drive database:"),
        this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    layout->addWidget(label1);

    tabChangesMade_ = new QTabWidget(this);
    tabChangesMade_->setObjectName(QStringLiteral("tabChangesMade"));
    layout->addWidget(tabChangesMade_, 1);

    const QStringList lineColumns = {QStringLiteral("Lines added"), QStringLiteral("Replacing lines")};
    struct Tab {
        const char* caption;
        const char* labelName;
        const char* labelText;
        const char* listName;
        FoundList which;
        QStringList columns;
    };
    const Tab tabs[] = {
        {"Hard drive  ", "lblAdded", "The following files and folders were added", "lvwFilesAdded", FoundList::Files,
         {QStringLiteral("Name"), QStringLiteral("In folder"), QStringLiteral("Size"), QStringLiteral("Type"),
          QStringLiteral("Hidden column size (in KB) for sorting")}},
        {" Registry  ", "Label2", "The following keys were added to your Registry", "lvwRegAdded", FoundList::Registry,
         {QStringLiteral("Key name"), QStringLiteral("In Parent Key")}},
        {"Win.ini  ", "lblLinesAddedWinIni", "The following lines were added to the Win.ini file",
         "lvwWinIniLinesAdded", FoundList::WinIni, lineColumns},
        {"System.ini  ", "lblAddedToSysIni", "The following lines were added to the System.ini file",
         "lvwSysIniLinesAdded", FoundList::SystemIni, lineColumns},
        {"Autoexec.bat  ", "lblLinesAddedAutoexecBat", "The following lines were added to the Autoexec.bat file",
         "lvwAutoexecBatLinesAdded", FoundList::AutoexecBat, lineColumns},
        {"Config.sys", "lblAddedToConfigSys", "The following lines were added to the Config.sys file",
         "lvwConfigSysLinesAdded", FoundList::ConfigSys, lineColumns},
    };
    for (const Tab& tab : tabs) {
        auto* page = new QWidget(tabChangesMade_);
        auto* pageLayout = new QVBoxLayout(page);
        auto* header = new QHBoxLayout;
        auto* label = new QLabel(QString::fromUtf8(tab.labelText), page);
        label->setObjectName(QString::fromUtf8(tab.labelName));
        header->addWidget(label, 1);
        if (tab.which == FoundList::Files) {
            lblFileSize_ = new QLabel(QStringLiteral("(Total size: 1024GB)"), page);
            lblFileSize_->setObjectName(QStringLiteral("lblFileSize"));
            header->addWidget(lblFileSize_);
        }
        pageLayout->addLayout(header);
        QTreeWidget* view = makeList(tab.listName, tab.columns);
        view->setParent(page);
        pageLayout->addWidget(view, 1);
        lists_[static_cast<std::size_t>(tab.which)] = view;
        tabChangesMade_->addTab(page, QString::fromUtf8(tab.caption));
    }
    list(FoundList::Files)->setColumnHidden(kSortKeyColumn, true);
    // The folder columns of the first two lists, the lines of the others, hold the paths.
    for (std::size_t l = 0; l < kFoundListCount; ++l) FitColumnsToContents(lists_[l], l < 2 ? 1 : 0);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* cmdOk = button("cmdOk", "&OK");
    QPushButton* cmdSelectAll = button("cmdSelectAll", "Select &All");
    QPushButton* cmdInvSel = button("cmdInvSel", "&Invert selection");
    QPushButton* cmdDelete = button("cmdDelete", "&Delete selected");
    QPushButton* cmdSave = button("cmdSave", "&Save selected");
    QPushButton* cmdMove = button("cmdMove", "&Move selected");
    QPushButton* cmdPrint = button("cmdPrint", "&Print selected");
    QPushButton* cmdHelp = button("cmdHelp", "&Help");
    layout->addLayout(buttons);

    auto* picIconHolder = new QLabel(this);  // icons need no scratch surface here; kept hidden
    picIconHolder->setObjectName(QStringLiteral("picIconHolder"));
    picIconHolder->hide();

    auto* sta = new QStatusBar(this);
    sta->setObjectName(QStringLiteral("staFoundChanges"));
    sta->setSizeGripEnabled(false);
    staPanel_ = new QLabel(sta);
    staPanel_->setObjectName(QStringLiteral("staFoundChangesPanel"));
    sta->addWidget(staPanel_, 1);
    layout->addWidget(sta);
    auto* statusTexts = new StatusTexts(staPanel_);
    statusTexts->attach(this, kFoundChangesStatusTexts);
    statusTexts->attachBackground(this);

    connect(cmdOk, &QPushButton::clicked, this, &frmFoundChanges::cmdOk_Click);
    connect(cmdSelectAll, &QPushButton::clicked, this, &frmFoundChanges::cmdSelectAll_Click);
    connect(cmdInvSel, &QPushButton::clicked, this, &frmFoundChanges::cmdInvSel_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmFoundChanges::cmdSave_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmFoundChanges::cmdHelp_Click);
    cmdDelete_ = cmdDelete;
    cmdDelete->installEventFilter(this);
    connect(cmdDelete, &QPushButton::clicked, this, &frmFoundChanges::cmdDelete_Click);
    connect(cmdMove, &QPushButton::clicked, this, &frmFoundChanges::cmdMove_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmFoundChanges::cmdPrint_Click);

    QTreeWidget* files = list(FoundList::Files);
    QTreeWidget* reg = list(FoundList::Registry);
    connect(files->header(), &QHeaderView::sectionClicked, this, &frmFoundChanges::lvwFilesAdded_ColumnClick);
    connect(reg->header(), &QHeaderView::sectionClicked, this, &frmFoundChanges::lvwRegAdded_ColumnClick);
    connect(files, &QTreeWidget::itemDoubleClicked, this, &frmFoundChanges::lvwFilesAdded_DblClick);
    connect(reg, &QTreeWidget::itemDoubleClicked, this, &frmFoundChanges::lvwRegAdded_DblClick);
    connect(files, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!loading_) showSelectedSize();
    });
    for (std::size_t l = 1; l < kFoundListCount; ++l) {
        QTreeWidget* view = lists_[l];
        connect(view, &QTreeWidget::itemSelectionChanged, this, [this, view] { lineList_Click(view); });
    }
    // Wide enough for an installer's usual paths; long ones are elided in the middle.
    resize(900, 520);
}

frmFoundChanges::~frmFoundChanges() {
    delete icons_;
    delete prompt_;
}

QTreeWidget* frmFoundChanges::makeList(const char* name, const QStringList& columns) {
    auto* view = new QTreeWidget(this);
    view->setObjectName(QString::fromUtf8(name));
    view->setColumnCount(static_cast<int>(columns.size()));
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->header()->setSectionsClickable(true);
    view->setIconSize(QSize(16, 16));
    return view;
}

void frmFoundChanges::setVisible(bool visible) {
    if (visible && !loaded_) load();
    QDialog::setVisible(visible);
}

void frmFoundChanges::load() {
    if (loaded_) return;
    loaded_ = true;
    loading_ = true;
    if (LogDate.empty()) LogDate = app_.services.system.formatDateTime(app_.services.system.now());
    prompt_->busy(true);
    RegistryAccess registry(app_.services.registry, *prompt_);
    FoundLists lists = LoadFoundLists(app_.services, registry, *prompt_);
    if (viewedSavedFile_.empty()) keptCopy_ = KeepFoundChanges(app_.services, app_.dataFolder, lists);
    fill(lists);
    lblFileSize_->setText(q(TotalSizeText(lists.total, app_.services.system.decimalSeparator())));
    prompt_->busy(false);
    loading_ = false;
}

void frmFoundChanges::fill(const FoundLists& lists) {
    for (std::size_t l = 0; l < kFoundListCount; ++l) {
        QTreeWidget* view = lists_[l];
        view->clear();
        QList<QTreeWidgetItem*> items;
        for (const FoundRow& row : lists.lists[l]) {
            auto* item = new RowItem;
            item->setText(0, q(row.text));
            if (!row.isDisabledScan()) item->setText(1, q(row.sub1));
            if (l == static_cast<std::size_t>(FoundList::Files)) {
                item->setText(2, q(row.size));
                const QString type = row.type.empty() ? icons_->typeNameFor(q(row.text), row.isFolder) : q(row.type);
                item->setText(3, type);
                item->setText(4, q(row.sortKey));
                item->setData(0, kFolderRole, row.isFolder);
                item->setIcon(0, icons_->iconFor(q(row.text), row.isFolder));
            } else if (l == static_cast<std::size_t>(FoundList::Registry) && !row.isDisabledScan()) {
                item->setIcon(0, icons_->iconFor(QStringLiteral("ClsFolder"), true));
            }
            SetFullTextTooltips(item);
            items.append(item);
            prompt_->yield();
        }
        view->addTopLevelItems(items);
        RefitColumns(view);
    }
}

FoundLists frmFoundChanges::currentLists() const {
    FoundLists out;
    for (std::size_t l = 0; l < kFoundListCount; ++l) {
        const QTreeWidget* view = lists_[l];
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = view->topLevelItem(i);
            FoundRow row;
            row.text = s(item->text(0));
            row.sub1 = s(item->text(1));
            if (view->columnCount() > 2) {
                row.size = s(item->text(2));
                row.type = s(item->text(3));
                row.sortKey = s(item->text(4));
                row.isFolder = item->data(0, kFolderRole).toBool();
            }
            row.selected = item->isSelected();
            out.lists[l].push_back(std::move(row));
        }
    }
    return out;
}

void frmFoundChanges::applySelection(const FoundLists& lists) {
    for (std::size_t l = 0; l < kFoundListCount; ++l) {
        QTreeWidget* view = lists_[l];
        QItemSelection selection;
        const auto& rows = lists.lists[l];
        const int last = view->columnCount() - 1;
        for (int i = 0; i < view->topLevelItemCount() && i < static_cast<int>(rows.size()); ++i)
            if (rows[static_cast<std::size_t>(i)].selected)
                selection.select(view->model()->index(i, 0), view->model()->index(i, last));
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
}

std::size_t frmFoundChanges::SelectedCount() const { return korvex::SelectedCount(currentLists()); }

void frmFoundChanges::showSelectedSize() {
    FoundLists lists = currentLists();
    const double bytes = SelectedSize(app_.services.files, lists[FoundList::Files]);
    lblFileSize_->setText(q(SelectedSizeText(bytes, app_.services.system.decimalSeparator())));
}

void frmFoundChanges::changeSelection(void (*change)(FoundLists&)) {
    FoundLists lists = currentLists();
    change(lists);
    applySelection(lists);
    showSelectedSize();
    list(FoundList::Files)->setFocus();
}

void frmFoundChanges::cmdSelectAll_Click() { changeSelection(SelectAll); }

void frmFoundChanges::cmdInvSel_Click() { changeSelection(InvertSelection); }

void frmFoundChanges::lineList_Click(QTreeWidget* view) {
    if (view->topLevelItemCount() == 0) return;
    QTreeWidgetItem* first = view->topLevelItem(0);
    if (first->text(0) == q(kScanningNotEnabled) && first->isSelected()) first->setSelected(false);
}

void frmFoundChanges::lvwFilesAdded_ColumnClick(int column) {
    QTreeWidget* view = list(FoundList::Files);
    filesSortOrder_ = 1 - filesSortOrder_;
    const Qt::SortOrder order = filesSortOrder_ ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (column == kSizeColumn) {
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = view->topLevelItem(i);
            item->setText(kSortKeyColumn, q(SizeSortKey(s(item->text(kSizeColumn)))));
        }
        column = kSortKeyColumn;
    }
    view->sortItems(column, order);
}

void frmFoundChanges::lvwRegAdded_ColumnClick(int column) {
    regSortOrder_ = 1 - regSortOrder_;
    list(FoundList::Registry)->sortItems(column, regSortOrder_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmFoundChanges::lvwFilesAdded_DblClick() {
    // The lists are a copy: keep it alive for the whole loop.
    const FoundLists lists = currentLists();
    for (const FoundRow& row : lists[FoundList::Files])
        if (row.selected) OpenWithShell(app_.services.system, row.fullPath());
}

void frmFoundChanges::lvwRegAdded_DblClick() {
    if (list(FoundList::Registry)->topLevelItemCount() == 0) return;
    const std::string regedit = WindowsFolder(app_.services.system) + "regedit.exe";
    if (WindowsFolder(app_.services.system).empty() || !app_.services.files.info(regedit).exists) return;
    app_.services.system.startProgram(regedit);
}

void frmFoundChanges::cmdSave_Click() {
    FoundLists lists = currentLists();
    if (korvex::SelectedCount(lists) == 0) {
        prompt_->messageBox({Icon::Exclamation, Buttons::OK, 1, "Error saving files",
                             "No files or system changes selected. Select a file or a system change and then "
                             "click on Save selected."});
        return;
    }
    RegistryAccess registry(app_.services.registry, *prompt_);
    std::string path = prompt_->pickSaveFile("Save selected", "Korvex data files (*.kvu) | *.kvu",
                                             ReadOpenSavePath(registry), "");
    if (path.empty()) return;
    if (!EndsWithNoCase(path, ".kvu")) path += ".kvu";
    RememberSavedFile(registry, path);
    prompt_->busy(true);
    const bool saved = WriteSavedFile(app_.services.files, path, ToSavedData(lists, RowChoice::Selected));
    prompt_->busy(false);
    if (!saved) showSaveFailure(path);
}

void frmFoundChanges::showSaveFailure(const std::string& path) {
    const std::string reason = app_.services.files.lastError();
    std::string text = "Korvex could not save " + path + (reason.empty() ? "" : " (" + reason + ")") + ".";
    if (!keptCopy_.empty()) text += " The changes found are kept in " + keptCopy_ + ".";
    prompt_->messageBox({Icon::Exclamation, Buttons::OK, 1, "Error saving files", text});
}

bool frmFoundChanges::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmdDelete_ && event->type() == QEvent::MouseButtonPress) {
        const Qt::KeyboardModifiers held = static_cast<QMouseEvent*>(event)->modifiers() &
                                           (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        permanentDelete_ = held == Qt::ShiftModifier;
    }
    return QDialog::eventFilter(watched, event);
}

void frmFoundChanges::refill(const FoundLists& lists) {
    loading_ = true;
    fill(lists);
    applySelection(lists);
    loading_ = false;
}

void frmFoundChanges::cmdDelete_Click() {
    FoundLists lists = currentLists();
    RegistryAccess registry(app_.services.registry, *prompt_);
    RemovalContext context{app_.services, registry, *prompt_, app_.dataFolder};
    InUseDll dll = WindowInUseDllPrompt(this);
    prompt_->busy(true);
    const Refusals refusals = DeleteSelected(context, lists, permanentDelete_, dll);
    refill(lists);
    prompt_->busy(false);
    ShowRefusals(*prompt_, refusals);
}

void frmFoundChanges::cmdMove_Click() {
    FoundLists lists = currentLists();
    RegistryAccess registry(app_.services.registry, *prompt_);
    RemovalContext context{app_.services, registry, *prompt_, app_.dataFolder};
    const Refusals refusals = MoveSelected(context, lists);
    refill(lists);
    ShowRefusals(*prompt_, refusals);
}

void frmFoundChanges::cmdHelp_Click() { ShowHelp(app_, this, "Find Changes"); }

void frmFoundChanges::cmdPrint_Click() {
    const FoundLists lists = currentLists();
    std::unique_ptr<Printer> printer = makePrinter ? makePrinter() : std::make_unique<QtPrinter>();
    const bool printing = korvex::SelectedCount(lists) > 0;  // else a message, without the hourglass
    if (printing) prompt_->busy(true);
    PrintChangesReport(*printer, *prompt_, lists, LogFileName, LogDate);
    if (printing) prompt_->busy(false);
}

void frmFoundChanges::writeBack() {
    // A window closed before or while loading holds only part of the file's rows.
    if (writtenBack_ || !loaded_ || loading_ || viewedSavedFile_.empty()) return;
    writtenBack_ = true;
    prompt_->busy(true);
    RewriteSavedFile(app_.services.files, viewedSavedFile_, ToSavedData(currentLists(), RowChoice::Remaining));
    prompt_->busy(false);
}

void frmFoundChanges::cmdOk_Click() { close(); }

void frmFoundChanges::closeEvent(QCloseEvent* event) {
    writeBack();
    QDialog::closeEvent(event);
}

void frmFoundChanges::reject() {
    writeBack();
    QDialog::reject();
}

}  // namespace korvex
