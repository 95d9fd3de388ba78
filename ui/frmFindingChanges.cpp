#include "ui/frmFindingChanges.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "changes/find_changes.h"
#include "platform/registry_access.h"
#include "ui/frmFoundChanges.h"
#include "ui/qt_prompt.h"

namespace korvex {

frmFindingChanges::frmFindingChanges(AppContext& app, std::string drives, QWidget* parent)
    : QDialog(parent), app_(app), drives_(std::move(drives)) {
    setObjectName(QStringLiteral("frmFindingChanges"));
    setWindowTitle(QStringLiteral("Finding changes..."));
    prompt_ = new QtPrompt(this, app_.services.system);

    auto* layout = new QVBoxLayout(this);
    lblScanning_ = new QLabel(QStringLiteral("Please wait. Scanning for files added or changed..."), this);
    lblScanning_->setObjectName(QStringLiteral("lblScanning"));
    prgFindingChanges_ = new QProgressBar(this);
    prgFindingChanges_->setObjectName(QStringLiteral("prgFindingChanges"));
    prgFindingChanges_->setRange(0, 100);
    prgFindingChanges_->setValue(0);
    layout->addWidget(lblScanning_);
    layout->addWidget(prgFindingChanges_);
    setMinimumWidth(380);

    // Form_Load: the hourglass until the window goes away.
    setCursor(Qt::WaitCursor);

    timerFrmFindingChanges_ = new QTimer(this);
    timerFrmFindingChanges_->setObjectName(QStringLiteral("timerFrmFindingChanges"));
    timerFrmFindingChanges_->setInterval(1000);
    timerFrmFindingChanges_->setSingleShot(true);
    connect(timerFrmFindingChanges_, &QTimer::timeout, this, &frmFindingChanges::timerFrmFindingChanges_Timer);
    timerFrmFindingChanges_->start();
}

frmFindingChanges::~frmFindingChanges() { delete prompt_; }

void frmFindingChanges::timerFrmFindingChanges_Timer() {
    timerFrmFindingChanges_->stop();
    if (stop_) return;
    RegistryAccess registry(app_.services.registry, *prompt_);
    FindProgress progress;
    progress.prompt = prompt_;
    progress.onChange = [this](double position, double maximum) {
        const int max = maximum > 2e9 ? 2000000000 : static_cast<int>(maximum);
        if (max != prgFindingChanges_->maximum()) prgFindingChanges_->setMaximum(max);
        if (position >= 0 && position <= maximum) prgFindingChanges_->setValue(static_cast<int>(position));
    };
    const FindOutcome outcome =
        FindChanges(app_.services, registry, *prompt_, app_.dataFolder, drives_, stop_, progress);
    if (outcome == FindOutcome::Completed && !stop_) {
        completed_ = true;
        prgFindingChanges_->setValue(prgFindingChanges_->maximum());
        frmFoundChanges found(app_, {}, parentWidget());
        hide();
        found.exec();
    }
    close();
}

void frmFindingChanges::queryUnload() {
    // Never refused: the run sees the flag at its next yield and removes its work files.
    stop_ = true;
    QCoreApplication::processEvents();
    unsetCursor();
}

void frmFindingChanges::closeEvent(QCloseEvent* event) {
    queryUnload();
    event->accept();
    QDialog::closeEvent(event);
}

void frmFindingChanges::reject() {
    if (!stop_) queryUnload();
    QDialog::reject();
}

}  // namespace korvex
