#include "ui/frmOptions.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/help_viewer.h"
#include "ui/found_icons.h"
#include "ui/qt_prompt.h"
#include "ui/qt_text.h"

namespace korvex {
namespace {


template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* checkBox(const char* name, const char* caption) {
    return named(new QCheckBox(QString::fromUtf8(caption)), name);
}

QRadioButton* option(const char* name, const char* caption) {
    return named(new QRadioButton(QString::fromUtf8(caption)), name);
}

QTreeWidget* listView(const char* name, const QStringList& columns) {
    auto* view = named(new QTreeWidget, name);
    view->setColumnCount(static_cast<int>(columns.size()));
    view->setHeaderLabels(columns);
    view->setHeaderHidden(columns.size() == 1);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setIconSize(QSize(16, 16));
    return view;
}

// The spin control beside a number box: up and down arrows that step the number in
// the box within [low, high]; the box itself still takes any text.
QWidget* upDown(const char* name, QLineEdit* buddy, int low, int high) {
    auto* box = named(new QWidget, name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int step : {1, -1}) {
        auto* arrow = new QToolButton;
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setFixedSize(16, 11);
        arrow->setAutoRepeat(true);
        QObject::connect(arrow, &QToolButton::clicked, buddy, [buddy, step, low, high] {
            bool ok = false;
            const int value = buddy->text().toInt(&ok);
            buddy->setText(QString::number(ok ? std::clamp(value + step, low, high) : low));
        });
        layout->addWidget(arrow);
    }
    return box;
}

bool checked(const QCheckBox* box) { return box->isChecked(); }

}  // namespace

frmOptions::frmOptions(AppContext& app, QWidget* parent)
    : QDialog(parent), app_(app), icons_(std::make_unique<FoundIcons>()) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options -Korvex!"));
    setModal(true);
    prompt_ = new QtPrompt(this, app_.services.system);

    tabOptions_ = named(new QTabWidget, "tabOptions");
    const char* tabs[] = {"General", "Advanced", "Scheduler", "Setup Detection"};
    QWidget* pages[4];
    for (int i = 0; i < 4; ++i) tabOptions_->addTab(pages[i] = new QWidget, QString::fromLatin1(tabs[i]));
    buildGeneralTab(pages[0]);
    buildAdvancedTab(pages[1]);
    buildSchedulerTab(pages[2]);
    buildSetupTab(pages[3]);

    auto* cmdOk = named(new QPushButton(QStringLiteral("OK")), "cmdOk");
    auto* cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");
    auto* cmdHelp = named(new QPushButton(QStringLiteral("Help")), "cmdHelp");
    cmdOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions_);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOptions::cmdHelp_Click);

    formLoad();
    resize(560, 430);
}

frmOptions::~frmOptions() = default;

void frmOptions::buildGeneralTab(QWidget* tab) {
    auto* label = named(new QLabel(QStringLiteral("While scanning, Korvex will ignore the following directories:")),
                        "Label6");
    lvwFoldersToIgnore_ = listView("lvwFoldersToIgnore", {QStringLiteral("Folder")});
    auto* cmdAdd = named(new QPushButton(QStringLiteral("Add to list...")), "cmdAdd");
    auto* cmdRemove = named(new QPushButton(QStringLiteral("Remove from list")), "cmdRemove");
    chkEnableScheduler_ = checkBox("chkEnableScheduler", "Load the Korvex! Scheduler on startup");
    auto* row = new QHBoxLayout;
    row->addWidget(cmdAdd);
    row->addWidget(cmdRemove);
    row->addStretch();
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(label);
    layout->addWidget(lvwFoldersToIgnore_);
    layout->addLayout(row);
    layout->addWidget(chkEnableScheduler_);
    connect(cmdAdd, &QPushButton::clicked, this, &frmOptions::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmOptions::cmdRemove_Click);
}

void frmOptions::buildAdvancedTab(QWidget* tab) {
    auto* fraQuickScan = named(new QGroupBox(QStringLiteral("Fast scanning")), "fraQuickScan");
    auto* quick = new QVBoxLayout(fraQuickScan);
    optScan_[0] = option("optScanAll", "Scan all folders");
    optScan_[1] = option("optScanWinProgOnly", "Scan only Windows and Program Files folders");
    optScan_[2] = option("optScanWinOnly", "Scan only Windows folder");
    optScan_[3] = option("optScanProgOnly", "Scan only Program Files folder");
    for (QRadioButton* b : optScan_) quick->addWidget(b);

    auto* fraDeleteMode = named(new QGroupBox(QStringLiteral("Delete mode")), "fraDeleteMode");
    auto* del = new QVBoxLayout(fraDeleteMode);
    optDelete_[0] = option("optRecycleBin", "Send to Recycle Bin");
    optDelete_[1] = option("optDelete", "Delete from hard disk");
    optDelete_[2] = option("optMove", "Move files to default folder");
    optDelete_[3] = option("optZip", "Zip files to default folder");
    for (QRadioButton* b : optDelete_) del->addWidget(b);

    auto* fraAdvanced = named(new QGroupBox(QStringLiteral("Advanced scanning")), "fraAdvancedScanning");
    auto* adv = new QGridLayout(fraAdvanced);
    chkScanReg_ = checkBox("chkScanReg", "Scan changes in the windows registry");
    optCompleteReg_ = option("optCompleteReg", "Complete Registry");
    optSoftware_ = option("optSoftware", "Only the \\Software sections");
    chkSystemFilesScan_ = checkBox("chkSystemFilesScan", "Scan changes in system files");
    auto* lblSysFilesInfo =
        named(new QLabel(QStringLiteral("(Win.ini, System.ini, Config.sys and Autoexec.bat) ")), "lblSysFilesInfo");
    chkAutoUpdateDb_ = checkBox("chkAutoUpdateDb", "Update Database while finding changes");
    adv->addWidget(chkScanReg_, 0, 0, 1, 2);
    adv->addWidget(optCompleteReg_, 1, 1);
    adv->addWidget(optSoftware_, 2, 1);
    adv->addWidget(chkSystemFilesScan_, 3, 0, 1, 2);
    adv->addWidget(lblSysFilesInfo, 4, 1);
    adv->addWidget(chkAutoUpdateDb_, 5, 0, 1, 2);
    adv->setColumnMinimumWidth(0, 16);
    optCompleteReg_->setEnabled(false);
    optSoftware_->setEnabled(false);

    auto* layout = new QGridLayout(tab);
    layout->addWidget(fraQuickScan, 0, 0);
    layout->addWidget(fraDeleteMode, 0, 1);
    layout->addWidget(fraAdvanced, 1, 0, 1, 2);
    connect(chkScanReg_, &QCheckBox::toggled, this, &frmOptions::chkScanReg_Click);
}

void frmOptions::buildSchedulerTab(QWidget* tab) {
    auto* lblSelectDrive = named(new QLabel(QStringLiteral("Select the drive on which to run:")), "lblSelectDrive");
    cmbDrives_ = named(new QComboBox, "cmbDrives");

    auto* fraRun = named(new QGroupBox(QStringLiteral("Run Scheduler")), "fraRunScheduler");
    auto* run = new QGridLayout(fraRun);
    optEveryDay_ = option("optEveryDay", "Every day when Windows starts");
    optWeekly_ = option("optWeekly", "Weekly, on every");
    cmbDaysOfWeek_ = named(new QComboBox, "cmbDaysOfWeek");
    for (std::string_view day : kDaysOfWeek) cmbDaysOfWeek_->addItem(q(day));
    optMonthly_ = option("optMonthly", "Once every");
    txtMonthDate_ = named(new QLineEdit, "txtMonthDate");
    txtMonthDate_->setMaximumWidth(48);
    auto* lblEverymonth = named(new QLabel(QStringLiteral("days")), "lblEverymonth");
    run->addWidget(optEveryDay_, 0, 0, 1, 4);
    run->addWidget(optWeekly_, 1, 0);
    run->addWidget(cmbDaysOfWeek_, 1, 1, 1, 3);
    run->addWidget(optMonthly_, 2, 0);
    run->addWidget(txtMonthDate_, 2, 1);
    run->addWidget(upDown("updnDaysOfMonth", txtMonthDate_, 1, 365), 2, 2);
    run->addWidget(lblEverymonth, 2, 3);
    run->setColumnStretch(4, 1);

    auto* frmSchTasks = named(new QGroupBox(QStringLiteral("Scheduler tasks")), "frmSchTasks");
    auto* tasks = new QGridLayout(frmSchTasks);
    chkSchTempFiles_ = checkBox("chkSchTempFiles", "Scan for and delete temporary files");
    chkSchTempFolders_ = checkBox("chkSchTempFolders", "Scan for and delete temporary folders");
    chkSchDllFiles_ = checkBox("chkSchDllFiles", "Scan for and move unused DLL files");
    chkSchScanDisk_ = checkBox("chkSchScanDisk", "Scan disk for errors");
    chkSchDefrag_ = checkBox("chkSchDefrag", "Defragment the disk drive");
    chkChngsStrt_ = checkBox("chkChngsStrt", "Find Changes at startup");
    QCheckBox* boxes[] = {chkSchTempFiles_, chkSchTempFolders_, chkSchDllFiles_, chkSchScanDisk_, chkSchDefrag_,
                          chkChngsStrt_};
    for (int i = 0; i < 6; ++i) tasks->addWidget(boxes[i], i, 0, 1, 6);
    chkOldDel_ = checkBox("chkOldDel", "Delete only those files which");
    txtOldDel_ = named(new QLineEdit, "txtOldDel");
    txtOldDel_->setMaximumWidth(48);
    tasks->addWidget(chkOldDel_, 6, 0);
    tasks->addWidget(named(new QLabel(QStringLiteral("are over")), "lblOld1"), 6, 1);
    tasks->addWidget(txtOldDel_, 6, 2);
    tasks->addWidget(upDown("updnOldDel", txtOldDel_, 1, 999), 6, 3);
    tasks->addWidget(named(new QLabel(QStringLiteral("days old")), "lblOld2"), 6, 4);
    tasks->setColumnStretch(5, 1);

    auto* layout = new QVBoxLayout(tab);
    auto* drive = new QHBoxLayout;
    drive->addWidget(lblSelectDrive);
    drive->addWidget(cmbDrives_, 1);
    layout->addLayout(drive);
    layout->addWidget(fraRun);
    layout->addWidget(frmSchTasks);
    layout->addStretch();
}

void frmOptions::buildSetupTab(QWidget* tab) {
    chkSetupDetect_ = checkBox("chkSetupDetect", "Enable automatic Setup detection");
    auto* lblIgnoreExes = named(new QLabel(QStringLiteral("Korvex! will ignore the following programs (will always "
                                                          "consider them as non-setup programs):")),
                                "lblIgnoreExes");
    lblIgnoreExes->setWordWrap(true);
    lvwExesToIgnore_ = listView("lvwExesToIgnore", {QStringLiteral("Executable name"), QStringLiteral("In Folder"),
                                                    QStringLiteral("Added on"), QStringLiteral("Size (hidden from user)")});
    lvwExesToIgnore_->setColumnHidden(3, true);
    lvwExesToIgnore_->setColumnWidth(0, 150);
    lvwExesToIgnore_->setColumnWidth(1, 230);
    cmdRemoveExeSetup_ = named(new QPushButton(QStringLiteral("Remove from list")), "cmdRemoveExeSetup");
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(chkSetupDetect_);
    layout->addWidget(lblIgnoreExes);
    layout->addWidget(lvwExesToIgnore_);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdRemoveExeSetup_);
    row->addStretch();
    layout->addLayout(row);
    connect(chkSetupDetect_, &QCheckBox::toggled, this, &frmOptions::chkSetupDetect_Click);
    connect(cmdRemoveExeSetup_, &QPushButton::clicked, this, &frmOptions::cmdRemoveExeSetup_Click);
}

void frmOptions::formLoad() {
    RegistryAccess registry(app_.services.registry, *prompt_);
    const OptionsState o = LoadOptions(app_.services, registry);

    for (const std::string& entry : o.driveEntries) cmbDrives_->addItem(q(entry));
    optScan_[o.scanMode]->setChecked(true);
    chkScanReg_->setChecked(o.scanRegistry);
    (o.completeRegistry ? optCompleteReg_ : optSoftware_)->setChecked(true);
    chkSystemFilesScan_->setChecked(o.scanSystemFiles);
    chkAutoUpdateDb_->setChecked(o.autoUpdateDb);
    optDelete_[o.deleteMode]->setChecked(true);
    chkSetupDetect_->setChecked(o.setupDetect);
    chkSchTempFiles_->setChecked(o.tempFiles);
    chkSchTempFolders_->setChecked(o.tempFolders);
    chkSchDllFiles_->setChecked(o.dllFiles);
    chkSchScanDisk_->setChecked(o.scanDisk);
    chkSchDefrag_->setChecked(o.defragment);
    chkChngsStrt_->setChecked(o.changesAtStartup);
    chkEnableScheduler_->setChecked(o.enableScheduler);
    cmbDrives_->setCurrentIndex(cmbDrives_->findText(q(o.driveText)));
    if (o.driveText.empty()) cmbDrives_->setCurrentIndex(-1);
    optEveryDay_->setChecked(o.timing == SchedulerTiming::EveryDay);
    optMonthly_->setChecked(o.timing == SchedulerTiming::Monthly);
    optWeekly_->setChecked(o.timing == SchedulerTiming::Weekly);
    txtMonthDate_->setText(q(o.monthDays));
    cmbDaysOfWeek_->setCurrentIndex(cmbDaysOfWeek_->findText(q(o.dayOfWeek)));
    chkOldDel_->setChecked(o.oldDelete);
    txtOldDel_->setText(q(o.oldDeleteDays));

    for (const std::string& folder : o.foldersToIgnore) addFolderRow(folder);
    for (const IgnoredProgram& p : o.programs) {
        new QTreeWidgetItem(lvwExesToIgnore_, {q(p.name), q(p.folder), q(p.added), q(p.size)});
    }
    rebuildIcons();
    chkScanReg_Click();
    chkSetupDetect_Click();
}

void frmOptions::addFolderRow(const std::string& folder) {
    new QTreeWidgetItem(lvwFoldersToIgnore_, {q(folder)});
}

void frmOptions::rebuildIcons() {
    // Every row shows the desktop's small icon for its folder or program.
    for (int i = 0; i < lvwFoldersToIgnore_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwFoldersToIgnore_->topLevelItem(i);
        item->setIcon(0, icons_->iconFor(item->text(0), true));
    }
    for (int i = 0; i < lvwExesToIgnore_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwExesToIgnore_->topLevelItem(i);
        item->setIcon(0, icons_->iconFor(item->text(0), false));
    }
}

OptionsState frmOptions::state() const {
    OptionsState o;
    for (int i = 0; i < lvwFoldersToIgnore_->topLevelItemCount(); ++i)
        o.foldersToIgnore.push_back(s(lvwFoldersToIgnore_->topLevelItem(i)->text(0)));
    o.enableScheduler = checked(chkEnableScheduler_);
    o.scanMode = 0;
    for (int i = 1; i < 4; ++i)
        if (optScan_[i]->isChecked()) o.scanMode = i;
    o.deleteMode = 0;  // the first option checked, in order
    for (int i = 3; i >= 0; --i)
        if (optDelete_[i]->isChecked()) o.deleteMode = i;
    o.scanRegistry = checked(chkScanReg_);
    o.completeRegistry = optCompleteReg_->isChecked();
    o.scanSystemFiles = checked(chkSystemFilesScan_);
    o.autoUpdateDb = checked(chkAutoUpdateDb_);
    for (int i = 0; i < cmbDrives_->count(); ++i) o.driveEntries.push_back(s(cmbDrives_->itemText(i)));
    o.driveText = s(cmbDrives_->currentText());
    o.timing = optEveryDay_->isChecked() ? SchedulerTiming::EveryDay
               : optWeekly_->isChecked() ? SchedulerTiming::Weekly
               : optMonthly_->isChecked() ? SchedulerTiming::Monthly
                                          : SchedulerTiming::None;
    o.dayOfWeek = s(cmbDaysOfWeek_->currentText());
    o.monthDays = s(txtMonthDate_->text());
    o.tempFiles = checked(chkSchTempFiles_);
    o.tempFolders = checked(chkSchTempFolders_);
    o.dllFiles = checked(chkSchDllFiles_);
    o.scanDisk = checked(chkSchScanDisk_);
    o.defragment = checked(chkSchDefrag_);
    o.changesAtStartup = checked(chkChngsStrt_);
    o.oldDelete = checked(chkOldDel_);
    o.oldDeleteDays = s(txtOldDel_->text());
    o.setupDetect = checked(chkSetupDetect_);
    for (int i = 0; i < lvwExesToIgnore_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvwExesToIgnore_->topLevelItem(i);
        o.programs.push_back({s(item->text(0)), s(item->text(1)), s(item->text(2)), s(item->text(3))});
    }
    return o;
}

void frmOptions::cmdOk_Click() {
    RegistryAccess registry(app_.services.registry, *prompt_);
    SaveOptions(app_.services, registry, state());
    accept();
}

void frmOptions::cmdHelp_Click() { ShowHelp(app_, this, "Options"); }

void frmOptions::cmdAdd_Click() {
    const std::string picked = prompt_->pickFolder("Choose the folder you want Korvex! to ignore while scanning:");
    const std::optional<std::string> folder = FolderToAdd(picked, state().foldersToIgnore);
    if (!folder) return;
    addFolderRow(*folder);
    rebuildIcons();
}

void frmOptions::cmdRemove_Click() {
    const QList<QTreeWidgetItem*> selected = lvwFoldersToIgnore_->selectedItems();
    if (!selected.isEmpty()) delete selected.first();
}

void frmOptions::cmdRemoveExeSetup_Click() {
    const QList<QTreeWidgetItem*> selected = lvwExesToIgnore_->selectedItems();
    if (!selected.isEmpty()) delete selected.first();
}

void frmOptions::chkScanReg_Click() {
    optCompleteReg_->setEnabled(chkScanReg_->isChecked());
    optSoftware_->setEnabled(chkScanReg_->isChecked());
}

void frmOptions::chkSetupDetect_Click() {
    lvwExesToIgnore_->setEnabled(chkSetupDetect_->isChecked());
    cmdRemoveExeSetup_->setEnabled(chkSetupDetect_->isChecked());
}

}  // namespace korvex
