// The System clean-up window's controls: where they stand, their captions and names,
// the popup of scans, and the status texts shown while the mouse is over them. The
// events and the work are in frmSysCleanUp.cpp.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "ui/avi_player.h"
#include "ui/frmSysCleanUp.h"
#include "ui/status_texts.h"
#include "ui/sys_clean_status_texts.h"
#include "ui/qt_text.h"

namespace korvex {


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
        box->setGeometry(i < 6 ? 8 : 114, 20 + static_cast<int>(i % 6) * 30, i < 6 ? 104 : 146, 24);
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

}  // namespace korvex
