#include "ui/frmSysCleanUp.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileIconProvider>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/help_viewer.h"
#include "cleanup/removal_calls.h"
#include "cleanup/temp_folders.h"
#include "platform/folders.h"
#include "platform/registry_access.h"
#include "removal/found_lists.h"
#include "settings/drive_list.h"
#include "settings/settings_keys.h"
#include "settings/setting_value.h"
#include "ui/avi_player.h"
#include "ui/found_icons.h"
#include "ui/qt_prompt.h"
#include "ui/status_texts.h"
#include "ui/sys_clean_status_texts.h"

namespace korvex {

namespace {

constexpr int kSizeColumn = 2;
constexpr int kSortKeyColumn = 4;
constexpr int kBytesRole = Qt::UserRole + 1;
constexpr int kListTop = 300;  // where the result list starts

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string s(const QString& text) { return text.toStdString(); }

// Rows sort by their text without regard to letter case, as report lists do.
class RowItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

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

// ---- Layout ----

void frmSysCleanUp::buildTop() {
    lblScanDrive_ = new QLabel(QStringLiteral("Select the drive to be scanned:"), this);
    lblScanDrive_->setObjectName(QStringLiteral("lblScanDrive"));
    lblScanDrive_->setGeometry(8, 8, 196, 20);
    cmbDrives_ = new QComboBox(this);
    cmbDrives_->setObjectName(QStringLiteral("cmbDrives"));
    cmbDrives_->setGeometry(206, 6, 186, 22);

    tabFileList_ = new QTabWidget(this);
    tabFileList_->setObjectName(QStringLiteral("tabFileList"));
    tabFileList_->setGeometry(8, 34, 384, 240);
    const char* captions[] = {"Temporary files ", "Temporary folders ", " Duplicate files ", "   DLL files    "};
    void (frmSysCleanUp::*builders[])(QWidget*) = {&frmSysCleanUp::buildTempFilesTab,
                                                   &frmSysCleanUp::buildTempFoldersTab,
                                                   &frmSysCleanUp::buildDuplicatesTab, &frmSysCleanUp::buildDllTab};
    for (int i = 0; i < 4; ++i) {
        auto* page = new QWidget;
        (this->*builders[i])(page);
        tabFileList_->addTab(page, QString::fromUtf8(captions[i]));
    }
    // The duplicate finder and the unused-DLL scan stay out of the user's reach.
    for (int i = 2; i < 4; ++i) {
        tabFileList_->setTabVisible(i, false);
        tabFileList_->setTabEnabled(i, false);
    }
}

void frmSysCleanUp::buildTempFilesTab(QWidget* page) {
    auto* fra = new QGroupBox(QStringLiteral("Files to scan for"), page);
    fra->setObjectName(QStringLiteral("fraTempFile"));
    fra->setGeometry(4, 4, 262, 204);
    for (std::size_t i = 0; i < cleanup::kJunkTypeCount; ++i) {
        const cleanup::JunkTypeInfo& t = cleanup::kJunkTypes[i];
        auto* box = new QCheckBox(q(t.caption), fra);
        box->setObjectName(q(t.control));
        box->setGeometry(i < 6 ? 8 : 124, 20 + static_cast<int>(i % 6) * 30, i < 6 ? 114 : 136, 24);
        junkBoxes_[i] = box;
    }
    auto* lbl = new QLabel(QStringLiteral("Also scan for these files :"), page);
    lbl->setObjectName(QStringLiteral("lblAlsoScanFiles"));
    lbl->setWordWrap(true);
    lbl->setGeometry(270, 4, 104, 32);
    lvwAlsoFindFiles_ = new QListWidget(page);
    lvwAlsoFindFiles_->setObjectName(QStringLiteral("lvwAlsoFindFiles"));
    lvwAlsoFindFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwAlsoFindFiles_->setGeometry(270, 38, 104, 138);
    auto* add = new QPushButton(QStringLiteral("&Add..."), page);
    add->setObjectName(QStringLiteral("cmdAddFiles"));
    add->setGeometry(270, 180, 51, 26);
    auto* remove = new QPushButton(QStringLiteral("&Remove"), page);
    remove->setObjectName(QStringLiteral("cmdRemoveFiles"));
    remove->setGeometry(323, 180, 51, 26);
    connect(add, &QPushButton::clicked, this, &frmSysCleanUp::cmdAddFiles_Click);
    connect(remove, &QPushButton::clicked, this, &frmSysCleanUp::cmdRemoveFiles_Click);
}

void frmSysCleanUp::buildTempFoldersTab(QWidget* page) {
    auto* fra = new QGroupBox(QStringLiteral("Folders to scan for"), page);
    fra->setObjectName(QStringLiteral("fraTempFolders"));
    fra->setGeometry(4, 4, 368, 98);
    chkTempFolder_ = new QCheckBox(QStringLiteral("&Temporary folder:"), fra);
    chkTempFolder_->setObjectName(QStringLiteral("chkTempFolder"));
    chkTempFolder_->setGeometry(8, 20, 130, 24);
    lblTempPath_ = new QLabel(fra);
    lblTempPath_->setObjectName(QStringLiteral("lblTempPath"));
    lblTempPath_->setGeometry(140, 20, 222, 24);
    chkInternetCache_ = new QCheckBox(QStringLiteral("Temporary &Internet files"), fra);
    chkInternetCache_->setObjectName(QStringLiteral("chkInternetCache"));
    chkInternetCache_->setGeometry(8, 46, 300, 24);
    chkRecycleBin_ = new QCheckBox(QStringLiteral("&Recycle Bin"), fra);
    chkRecycleBin_->setObjectName(QStringLiteral("chkRecycleBin"));
    chkRecycleBin_->setGeometry(8, 72, 300, 24);
    auto* lbl = new QLabel(QStringLiteral("Also scan for these folders :"), page);
    lbl->setObjectName(QStringLiteral("lblAlsoScanFolder"));
    lbl->setGeometry(4, 106, 300, 18);
    lvwAlsoFindFolders_ = new QListWidget(page);
    lvwAlsoFindFolders_->setObjectName(QStringLiteral("lvwAlsoFindFolders"));
    lvwAlsoFindFolders_->setGeometry(4, 126, 300, 82);
    lvwAlsoFindFolders_->setIconSize(QSize(16, 16));
    auto* add = new QPushButton(QStringLiteral("&Add..."), page);
    add->setObjectName(QStringLiteral("cmdAddFolders"));
    add->setGeometry(310, 126, 62, 26);
    auto* remove = new QPushButton(QStringLiteral("&Remove"), page);
    remove->setObjectName(QStringLiteral("cmdRemoveFolders"));
    remove->setGeometry(310, 156, 62, 26);
    connect(add, &QPushButton::clicked, this, &frmSysCleanUp::cmdAddFolders_Click);
    connect(remove, &QPushButton::clicked, this, &frmSysCleanUp::cmdRemoveFolders_Click);
}

void frmSysCleanUp::buildDuplicatesTab(QWidget* page) {
    auto* fra = new QGroupBox(QStringLiteral("Duplicate files"), page);
    fra->setObjectName(QStringLiteral("fraDuplicateFiles"));
    fra->setGeometry(4, 4, 368, 204);
    auto* named = new QLabel(QStringLiteral("&Named:"), fra);
    named->setObjectName(QStringLiteral("lblNamed"));
    named->setGeometry(8, 22, 110, 20);
    cboDuplicateNamed_ = new QComboBox(fra);
    cboDuplicateNamed_->setObjectName(QStringLiteral("cboDuplicateNamed"));
    cboDuplicateNamed_->setEditable(true);
    cboDuplicateNamed_->setGeometry(120, 20, 240, 22);
    named->setBuddy(cboDuplicateNamed_);
    auto* containing = new QLabel(QStringLiteral("&Containing text:"), fra);
    containing->setObjectName(QStringLiteral("lblContainingText"));
    containing->setGeometry(8, 50, 110, 20);
    txtContainingTxt_ = new QLineEdit(fra);
    txtContainingTxt_->setObjectName(QStringLiteral("txtContainingTxt"));
    txtContainingTxt_->setGeometry(120, 48, 240, 22);
    containing->setBuddy(txtContainingTxt_);
    auto box = [fra](const char* name, const char* caption, int y) {
        auto* b = new QCheckBox(QString::fromUtf8(caption), fra);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(8, y, 300, 24);
        return b;
    };
    chkSameSize_ = box("chkSameSize", "Require same &size", 80);
    chkSameDateTime_ = box("chkSameDateTime", "Require same &date/time", 106);
    chkSkipZeroLength_ = box("chkSkipZeroLength", "Skip &zero length files", 132);
    chkSkipSysbckup_ = box("chkSkipSysbckup", "Skip SYSBCKUP &folder", 158);
}

void frmSysCleanUp::buildDllTab(QWidget* page) {
    auto* fra = new QGroupBox(QStringLiteral("DLL files"), page);
    fra->setObjectName(QStringLiteral("fraDllFiles"));
    fra->setGeometry(4, 4, 368, 204);
    const struct {
        const char* name;
        const char* text;
        int y, h;
    } labels[] = {
        {"lblDllText1",
         "          DLL files, found in the windows\\System directory are application extensions installed by various "
         "programs to provide enhanced functionality.",
         18, 40},
        {"lblDllText2",
         "Over time, as old programs are deleted, some shared DLL files associated with these programs remain in the "
         "windows\\System directory. Scanning for and removing these files can free up considerable disk space.",
         60, 54},
        {"lblDllText4",
         "To start scanning for unused DLL files, click on &Scan and then click on Scan for unused DLL files.", 116,
         28},
        {"lblDllText3",
         "WARNING: It is however recommended that instead of deleting these files, you move them to an alternative "
         "storage/backup medium, like floppy disks or tape drives.",
         146, 54},
    };
    for (const auto& l : labels) {
        auto* label = new QLabel(QString::fromUtf8(l.text), fra);
        label->setObjectName(QString::fromUtf8(l.name));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setGeometry(8, l.y, 352, l.h);
    }
}

void frmSysCleanUp::buildButtons() {
    auto button = [this](const char* name, const char* caption, int y) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(398, y, 90, 26);
        return b;
    };
    cmdScan_ = button("cmdScan", "&Scan Now", 40);
    cmdStop_ = button("cmdStop", "S&top", 70);
    cmdSelectAll_ = button("cmdSelectAll", "Select &All", 100);
    cmdDelete_ = button("cmdDelete", "&Delete", 130);
    cmdMove_ = button("cmdMove", "&Move", 160);
    cmdHelp_ = button("cmdHelp", "&Help", 190);
    cmdStop_->setEnabled(false);
    cmdScan_->setDefault(true);
    aniScan_ = new AviPlayer(this);
    aniScan_->setObjectName(QStringLiteral("aniScan"));
    aniScan_->setGeometry(398, 226, 90, 40);
    aniScan_->hide();

    mnuPopup_ = new QMenu(QStringLiteral("ScanPopup"), this);
    mnuPopup_->setObjectName(QStringLiteral("mnuPopup"));
    auto entry = [this](const char* name, const char* caption, void (frmSysCleanUp::*slot)()) {
        QAction* a = mnuPopup_->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuTempFiles_ = entry("mnuTempFiles", "Scan for temporary files", &frmSysCleanUp::mnuTempFiles_Click);
    mnuTempFolders_ = entry("mnuTempFolders", "Scan for temporary folders", &frmSysCleanUp::mnuTempFolders_Click);
    mnuDuplicateFiles_ =
        entry("mnuDuplicateFiles", "Scan for &duplicate files", &frmSysCleanUp::mnuDuplicateFiles_Click);
    mnuDllFiles_ = entry("mnuDllFiles", "Scan for unused DLL files", &frmSysCleanUp::mnuDllFiles_Click);
    mnuDuplicateFiles_->setVisible(false);
    mnuDllFiles_->setVisible(false);

    connect(cmdScan_, &QPushButton::clicked, this, &frmSysCleanUp::cmdScan_Click);
    connect(cmdStop_, &QPushButton::clicked, this, &frmSysCleanUp::cmdStop_Click);
    connect(cmdSelectAll_, &QPushButton::clicked, this, &frmSysCleanUp::cmdSelectAll_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmSysCleanUp::cmdDelete_Click);
    connect(cmdMove_, &QPushButton::clicked, this, &frmSysCleanUp::cmdMove_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmSysCleanUp::cmdHelp_Click);
    cmdDelete_->installEventFilter(this);
    // The window sees the Delete key before its controls do.
    auto* deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), this);
    deleteKey->setContext(Qt::WindowShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        if (cmdDelete_->isEnabled()) cmdDelete_Click();
    });
}

void frmSysCleanUp::buildResults() {
    lblFileNo_ = new QLabel(this);
    lblFileNo_->setObjectName(QStringLiteral("lblFileNo"));
    lblFileNo_->setGeometry(8, 278, 180, 18);
    lblFileSize_ = new QLabel(this);
    lblFileSize_->setObjectName(QStringLiteral("lblFileSize"));
    lblFileSize_->setGeometry(196, 278, 196, 18);

    lvwScannedFiles_ = new QTreeWidget(this);
    lvwScannedFiles_->setObjectName(QStringLiteral("lvwScannedFiles"));
    lvwScannedFiles_->setColumnCount(5);
    lvwScannedFiles_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("In Folder"), QStringLiteral("Size"),
                                       QStringLiteral("Type"), QStringLiteral("Hidden size in KB for sort")});
    lvwScannedFiles_->setColumnHidden(kSortKeyColumn, true);
    lvwScannedFiles_->setRootIsDecorated(false);
    lvwScannedFiles_->setUniformRowHeights(true);
    lvwScannedFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwScannedFiles_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwScannedFiles_->setIconSize(QSize(16, 16));
    lvwScannedFiles_->header()->setSectionsClickable(true);
    lvwScannedFiles_->hide();
    connect(lvwScannedFiles_->header(), &QHeaderView::sectionClicked, this,
            &frmSysCleanUp::lvwScannedFiles_ColumnClick);
    connect(lvwScannedFiles_, &QTreeWidget::itemDoubleClicked, this, &frmSysCleanUp::lvwScannedFiles_DblClick);
    connect(lvwScannedFiles_, &QTreeWidget::itemSelectionChanged, this, &frmSysCleanUp::showSelectionSummary);

    staFrmSysCleanUp_ = new QStatusBar(this);
    staFrmSysCleanUp_->setObjectName(QStringLiteral("staFrmSysCleanUp"));
    staFrmSysCleanUp_->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(staFrmSysCleanUp_);
    statusPanel_->setObjectName(QStringLiteral("staFrmSysCleanUpPanel"));
    staFrmSysCleanUp_->addWidget(statusPanel_, 1);

    auto* picIconHolder = new QLabel(this);  // Qt draws icons itself; kept for the name
    picIconHolder->setObjectName(QStringLiteral("picIconHolder"));
    picIconHolder->hide();
}

void frmSysCleanUp::attachStatusTexts() {
    for (const cleanup::JunkTypeInfo& t : cleanup::kJunkTypes)
        if (QWidget* w = findChild<QWidget*>(q(t.control))) helpTexts_.insert(w, q(t.help));
    for (const SysCleanStatusText& t : kSysCleanStatusTexts)
        if (QWidget* w = findChild<QWidget*>(q(t.control))) helpTexts_.insert(w, q(t.text));
    for (auto it = helpTexts_.constBegin(); it != helpTexts_.constEnd(); ++it) it.key()->installEventFilter(this);
    idleAreas_.insert(this, true);
    for (std::string_view name : kSysCleanIdleAreas)
        if (QWidget* w = findChild<QWidget*>(q(name))) idleAreas_.insert(w, true);
    for (auto it = idleAreas_.constBegin(); it != idleAreas_.constEnd(); ++it) {
        static_cast<QWidget*>(it.key())->setMouseTracking(true);
        it.key()->installEventFilter(this);
    }
}

void frmSysCleanUp::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeResults();
}

void frmSysCleanUp::placeResults() {
    const int barHeight = staFrmSysCleanUp_->sizeHint().height();
    staFrmSysCleanUp_->setGeometry(0, height() - barHeight, width(), barHeight);
    lvwScannedFiles_->setGeometry(8, kListTop, width() - 16, qMax(0, height() - barHeight - kListTop));
}

bool frmSysCleanUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmdDelete_ && event->type() == QEvent::MouseButtonPress)
        shiftDelete_ = static_cast<QMouseEvent*>(event)->modifiers() == Qt::ShiftModifier;
    if (event->type() == QEvent::Enter) {
        const auto found = helpTexts_.constFind(watched);
        if (found != helpTexts_.constEnd()) {
            if (!scanning_ || watched == cmdSelectAll_) setStatus(*found);
        } else if (idleAreas_.contains(watched)) {
            setStatus(q(kIdleStatusText));
        }
    } else if (event->type() == QEvent::MouseMove && idleAreas_.contains(watched)) {
        auto* area = static_cast<QWidget*>(watched);
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        bool overControl = false;
        for (QWidget* w = area->childAt(at); w && w != area; w = w->parentWidget())
            if (helpTexts_.contains(w)) overControl = true;
        if (!overControl) setStatus(q(kIdleStatusText));
    }
    return QDialog::eventFilter(watched, event);
}

void frmSysCleanUp::setStatus(const QString& text) { statusPanel_->setText(text); }

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

// The duplicate finder over currentDrives() with the duplicate tab's choices
// (cboDuplicateNamed_, txtContainingTxt_ and the four boxes); keeps its work files in
// windowsDriveRoot_. Not part of Korvex yet: the entry is hidden and finds nothing.
void frmSysCleanUp::scanDuplicateFiles(cleanup::CleanUpScan&) {}

// The unused shared DLL scan. Not part of Korvex yet: the entry is hidden and finds
// nothing.
void frmSysCleanUp::scanUnusedDlls(cleanup::CleanUpScan&) {}

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
