#include "app/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/addresses.h"
#include "app/artwork.h"
#include "app/frmAboutProgram.h"
#include "app/help_viewer.h"
#include "app/tools_menu.h"
#include "platform/folders.h"
#include "settings/command_line.h"
#include "settings/drive_list.h"
#include "settings/setting_value.h"
#include "settings/settings_keys.h"
#include "settings/startup.h"
#include "removal/uninstall.h"
#include "ui/frmFindingChanges.h"
#include "ui/frmFoundChanges.h"
#include "ui/frmInUseDLL.h"
#include "ui/frmOptions.h"
#include "ui/frmSysCleanUp.h"
#include "ui/frmUpdateDBase.h"
#include "ui/status_texts.h"

namespace korvex {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* addLine(QMenu* menu, const char* name) {
    QAction* line = menu->addSeparator();
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    return menu;
}

QPushButton* addButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(150);
    return button;
}

QFrame* addLineControl(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmMain::frmMain(Services& services, QWidget* parent)
    : QMainWindow(parent), prompt_(this, services.system), access_(services.registry, prompt_), app_{services, {}} {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Korvex!"));
    setWindowIcon(KorvexIcon());
    buildControls();
    buildMenus();
    prompt_.onStatus = [this](std::string_view text) { statusPanel_->setText(qs(text)); };
    formLoad();
}

frmMain::~frmMain() = default;

void frmMain::showMachine(const std::string& folderText) {
    lblMachine_->setText(QStringLiteral("Machine: ") + qs(folderText));
    lblMachine_->setToolTip(qs(folderText));
    lblMachine_->show();
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);

    auto* lblScanDrive = new QLabel(QStringLiteral("Scan drive"), central);
    lblScanDrive->setObjectName(QStringLiteral("lblScanDrive"));
    cmbDrives_ = new QComboBox(central);
    cmbDrives_->setObjectName(QStringLiteral("cmbDrives"));
    cmbDrives_->setMinimumWidth(260);
    auto* lblLastScan = new QLabel(QStringLiteral("Last scan"), central);
    lblLastScan->setObjectName(QStringLiteral("lblLastScan"));
    lblScanDate_ = new QLabel(central);
    lblScanDate_->setObjectName(QStringLiteral("lblScanDate"));
    lblScanDate_->setTextFormat(Qt::PlainText);

    auto* cmdUpdateDbase = addButton(central, "cmdUpdateDbase", "Update database");
    auto* cmdFindChanges = addButton(central, "cmdFindChanges", "Find changes");
    auto* cmdUninstall = addButton(central, "cmdUninstall", "View && delete changes");
    auto* cmdSysCleanUp = addButton(central, "cmdSysCleanUp", "System clean-up");
    auto* cmdOptions = addButton(central, "cmdOptions", "Options");

    auto* drives = new QGridLayout;
    drives->addWidget(lblScanDrive, 0, 0);
    drives->addWidget(cmbDrives_, 0, 1);
    drives->addWidget(lblLastScan, 1, 0);
    drives->addWidget(lblScanDate_, 1, 1);
    lblMachine_ = new QLabel(central);
    lblMachine_->setObjectName(QStringLiteral("lblMachine"));
    lblMachine_->setTextFormat(Qt::PlainText);
    lblMachine_->hide();
    drives->addWidget(lblMachine_, 2, 0, 1, 2);
    drives->setColumnStretch(1, 1);

    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdUpdateDbase, 0, 0);
    buttons->addWidget(cmdFindChanges, 0, 1);
    buttons->addWidget(cmdUninstall, 0, 2);
    buttons->addWidget(cmdSysCleanUp, 1, 0);
    buttons->addWidget(cmdOptions, 1, 1);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(drives);
    layout->addWidget(addLineControl(central, "line1"));
    layout->addLayout(buttons);
    layout->addWidget(addLineControl(central, "Line2"));
    layout->addStretch();

    auto* staFrmMain = new QStatusBar(this);
    staFrmMain->setObjectName(QStringLiteral("staFrmMain"));
    statusPanel_ = new QLabel(staFrmMain);
    statusPanel_->setObjectName(QStringLiteral("staFrmMainPanel1"));
    statusPanel_->setTextFormat(Qt::PlainText);
    staFrmMain->addWidget(statusPanel_, 1);
    setStatusBar(staFrmMain);

    connect(cmbDrives_, qOverload<int>(&QComboBox::activated), this, [this] { cmbDrives_Click(); });
    connect(cmdUpdateDbase, &QPushButton::clicked, this, &frmMain::cmdUpdateDbase_Click);
    connect(cmdFindChanges, &QPushButton::clicked, this, &frmMain::cmdFindChanges_Click);
    connect(cmdUninstall, &QPushButton::clicked, this, &frmMain::cmdUninstall_Click);
    connect(cmdSysCleanUp, &QPushButton::clicked, this, &frmMain::cmdSysCleanUp_Click);
    connect(cmdOptions, &QPushButton::clicked, this, &frmMain::cmdOptions_Click);

    auto* texts = new StatusTexts(statusPanel_);
    texts->attach(central, kMainWindowStatusTexts);
    texts->attachBackground(central);
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* mnuFile = addMenu(bar, "mnuFile", "&File");
    connect(addItem(mnuFile, "mnuUpdateDbase", "&Update database"), &QAction::triggered, this,
            &frmMain::cmdUpdateDbase_Click);
    connect(addItem(mnuFile, "mnuFindChanges", "&Find changes..."), &QAction::triggered, this,
            &frmMain::cmdFindChanges_Click);
    addLine(mnuFile, "mnuLine1");
    connect(addItem(mnuFile, "mnuExit", "&Exit"), &QAction::triggered, this, &QWidget::close);

    QMenu* mnuUninstall = addMenu(bar, "mnuUninstall", "&Uninstall");
    mnuEmpty_ = addItem(mnuUninstall, "mnuEmpty", "(Empty)");
    mnuEmpty_->setEnabled(false);
    const char* const placeholders[] = {"1st user defined", "2nd user defined", "3rd user defined", "4th user defined"};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "mnuName" + QByteArray::number(i + 1);
        mnuName_[static_cast<std::size_t>(i)] = addItem(mnuUninstall, name.constData(), placeholders[i]);
        mnuName_[static_cast<std::size_t>(i)]->setVisible(false);
        connect(mnuName_[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuName_Click(i); });
    }

    mnuTools_ = addMenu(bar, "mnuTools", "&Tools");
    connect(mnuTools_, &QMenu::aboutToShow, this, &frmMain::mnuTools_Click);
    connect(addItem(mnuTools_, "mnuSysCleanUp", "&System clean-up..."), &QAction::triggered, this,
            &frmMain::cmdSysCleanUp_Click);
    addLine(mnuTools_, "mnuLine2");
    const auto addTool = [this](const char* name, const char* caption, Tool tool) {
        connect(addItem(mnuTools_, name, caption), &QAction::triggered, this, [this, tool] {
            app_.services.system.startProgram(ToolCommandLine(app_.services.system, tool));  // result ignored
        });
    };
    addTool("mnuCleanup", "Disk &Cleanup", Tool::Cleanup);
    addTool("mnuSysFileChecker", "System &File Checker", Tool::SysFileChecker);
    addTool("mnuDefrag", "&Disk Defragmenter", Tool::Defrag);
    QAction* mnuScanDisk = addItem(mnuTools_, "mnuScanDisk", "&ScanDisk");
    mnuScanDisk->setVisible(false);
    mnuScanDisk->setEnabled(false);
    addTool("mnuDrvSpace", "&DriveSpace", Tool::DrvSpace);
    addTool("mnuMaintainWiz", "&Maintainence wizard", Tool::MaintainWiz);
    addLine(mnuTools_, "mnuLine5");
    connect(addItem(mnuTools_, "mnuOptions", "&Options..."), &QAction::triggered, this, &frmMain::cmdOptions_Click);

    QMenu* mnuHelp = addMenu(bar, "mnuHelp", "&Help");
    connect(addItem(mnuHelp, "mnuHelpTopics", "&Help Topics..."), &QAction::triggered, this,
            &frmMain::mnuHelpTopics_Click);
    addLine(mnuHelp, "mnuLine3");
    QMenu* mnuNet = mnuHelp->addMenu(QStringLiteral("Korvex! &Online"));
    mnuNet->setObjectName(QStringLiteral("mnuNet"));
    mnuNet->menuAction()->setObjectName(QStringLiteral("mnuNetAction"));
    const auto addAddress = [this, mnuNet](const char* name, const char* caption, std::string_view address) {
        connect(addItem(mnuNet, name, caption), &QAction::triggered, this,
                [this, address] { OpenWithShell(app_.services.system, address); });
    };
    addAddress("mnuWWW", "Korvex! &Web Site", kWebSite);
    addAddress("mnuSupport", "&Support Pages", kSupportPage);
    addAddress("mnuUpdate", "&Upgrade Korvex!", kUpgradePage);
    addAddress("mnuEmail", "&E-mail ", kMailTo);
    addLine(mnuHelp, "mnuLine4");
    connect(addItem(mnuHelp, "mnuAbout", "&About Korvex!..."), &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

// Form_Load up to the command line: every step goes on whatever the previous one did.
void frmMain::formLoad() {
    System& system = app_.services.system;
    shellFolder_ = WindowsDriveRoot(system);
    for (const std::string& entry : FillDriveList(system)) cmbDrives_->addItem(qs(entry));
    if (cmbDrives_->count() > 0) cmbDrives_->setCurrentIndex(0);
    statusPanel_->setText(qs(kIdleStatusText));

    app_.dataFolder = SettleDataFolder(app_.services, access_);

    const std::string driveName = ReadSetting(access_, settings::kGeneralKey, "DriveName");
    const int index = cmbDrives_->findText(qs(driveName), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) cmbDrives_->setCurrentIndex(index);
    cmbDrives_Click();
}

void frmMain::loadRecentFiles() {
    const std::string saved = ReadSetting(access_, settings::kGeneralKey, "SavedForDeletion");
    const std::vector<RecentFile> recent = RecentFiles(app_.services, saved);
    for (std::size_t i = 0; i < mnuName_.size(); ++i) {
        const bool used = i < recent.size();
        if (used) mnuName_[i]->setText(qs(recent[i].caption));
        mnuName_[i]->setVisible(used);
    }
    mnuEmpty_->setVisible(recent.empty());
}

std::string frmMain::currentDrives() const { return CurrentDrives(cmbDrives_->currentText().toStdString()); }

void frmMain::cmbDrives_Click() {
    lblScanDate_->setText(qs(LastScanText(app_.services, app_.dataFolder, currentDrives())));
}

void frmMain::closeEvent(QCloseEvent* event) {
    const HKEY general = access_.OpenKey(HKEY_CURRENT_USER, settings::kGeneralKey);
    if (general) {
        access_.SetValue(general, "DriveName", cmbDrives_->currentText().toStdString(), REG_SZ);
        access_.CloseKey(general);
    }
    event->accept();
}

void frmMain::cmdUpdateDbase_Click() {
    frmUpdateDBase window(app_, currentDrives(), [this] { cmbDrives_Click(); }, this);
    window.exec();
}

void frmMain::cmdFindChanges_Click() {
    frmFindingChanges window(app_, currentDrives(), this);
    window.exec();
}

void frmMain::cmdUninstall_Click() {
    const std::string startIn = ReadSetting(access_, settings::kGeneralKey, "OpenSavePath");
    const std::string path = prompt_.pickOpenFile("Open", "Korvex data files (*.kvu) | *.kvu", startIn);
    if (path.empty()) return;
    reviewSavedFile(path);
}

void frmMain::mnuName_Click(int slot) {
    const std::string saved = ReadSetting(access_, settings::kGeneralKey, "SavedForDeletion");
    const std::string path =
        RecentFilePath(saved, mnuName_[static_cast<std::size_t>(slot)]->text().toStdString());
    prompt_.busy(true);
    uninstallFromSavedFile(path);
    prompt_.busy(false);
    loadRecentFiles();
}

void frmMain::uninstallFromSavedFile(const std::string& path) {
    RemovalContext context{app_.services, access_, prompt_, app_.dataFolder};
    InUseDll dll = WindowInUseDllPrompt(this);
    const UninstallResult result = UninstallFromSavedFile(context, path, dll);
    ShowRefusals(prompt_, result.refusals);
}

void frmMain::reviewSavedFile(const std::string& path) {
    viewedFile_ = path;
    prompt_.busy(true);
    RemovalContext context{app_.services, access_, prompt_, app_.dataFolder};
    ChangesFromSavedFile(context, path);
    frmFoundChanges window(app_, path, this);
    window.LogFileName = path.substr(path.rfind('\\') + 1);
    window.LogDate = app_.services.system.formatDateTime(app_.services.files.info(path).modified);
    window.load();
    prompt_.busy(false);
    window.exec();
    viewedFile_.clear();
}

void frmMain::cmdSysCleanUp_Click() {
    frmSysCleanUp window(app_, this);
    window.exec();
}

void frmMain::cmdOptions_Click() {
    prompt_.busy(true);  // the hourglass while the settings and the row icons load
    frmOptions window(app_, this);
    prompt_.busy(false);
    window.exec();
}

// Items whose program is missing are disabled and stay so for the rest of the run.
void frmMain::mnuTools_Click() {
    for (const ToolItem& item : kToolItems) {
        QAction* action = mnuTools_->findChild<QAction*>(qs(item.item));
        if (action && !ToolProgramExists(app_.services, item.tool)) action->setEnabled(false);
    }
}

void frmMain::mnuHelpTopics_Click() { ShowHelp(app_, this); }

void frmMain::mnuAbout_Click() {
    frmAboutProgram about(app_, this);
    about.exec();
}

}  // namespace korvex
