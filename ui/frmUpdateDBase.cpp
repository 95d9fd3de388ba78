#include "ui/frmUpdateDBase.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSizePolicy>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

#include "scandb/update_database.h"
#include "ui/qt_prompt.h"

namespace korvex {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// How often the folder being read is repainted: often enough to look alive, rarely
// enough to cost nothing next to the walk.
constexpr int kStatusIntervalMs = 60;

}  // namespace

frmUpdateDBase::frmUpdateDBase(AppContext& app, std::string drives, std::function<void()> driveDone,
                               QWidget* parent)
    : QDialog(parent),
      app_(app),
      drives_(std::move(drives)),
      driveDone_(std::move(driveDone)),
      prompt_(std::make_unique<QtPrompt>(this, app.services.system)) {
    setObjectName(QStringLiteral("frmUpdateDBase"));
    setWindowTitle(QStringLiteral("Updating database..."));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    lblCurrentDir_ = new QLabel(this);
    lblCurrentDir_->setObjectName(QStringLiteral("lblCurrentDir"));
    // Long paths must not resize the window: the label takes the width it is given.
    lblCurrentDir_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblCurrentDir_->setTextFormat(Qt::PlainText);
    lblOver_ = new QLabel(QStringLiteral("The scan database has been updated"), this);
    lblOver_->setObjectName(QStringLiteral("lblOver"));
    lblOver_->setAlignment(Qt::AlignCenter);
    lblOver_->hide();
    cmdOK_ = new QPushButton(QStringLiteral("Ok"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->hide();
    layout->addWidget(lblCurrentDir_);
    layout->addWidget(lblOver_);
    layout->addWidget(cmdOK_, 0, Qt::AlignHCenter);
    setMinimumWidth(460);

    timerFrmUpdateDBase_ = new QTimer(this);
    timerFrmUpdateDBase_->setObjectName(QStringLiteral("timerFrmUpdateDBase"));
    timerFrmUpdateDBase_->setSingleShot(true);
    timerFrmUpdateDBase_->setInterval(1000);
    connect(timerFrmUpdateDBase_, &QTimer::timeout, this, &frmUpdateDBase::timerFrmUpdateDBase_Timer);
    connect(cmdOK_, &QPushButton::clicked, this, &frmUpdateDBase::cmdOK_Click);

    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(kStatusIntervalMs);
    connect(statusTimer_, &QTimer::timeout, this, &frmUpdateDBase::showPendingStatus);
    prompt_->onStatus = [this](std::string_view text) {
        pendingStatus_.assign(text);
        statusChanged_ = true;
    };

    // Form_Load.
    setBusy(true);
    timerFrmUpdateDBase_->start();
}

frmUpdateDBase::~frmUpdateDBase() { setBusy(false); }

void frmUpdateDBase::setBusy(bool on) {
    if (on == busy_) return;
    busy_ = on;
    prompt_->busy(on);
}

void frmUpdateDBase::showPendingStatus() {
    if (!statusChanged_) return;
    statusChanged_ = false;
    lblCurrentDir_->setText(qs(pendingStatus_));
}

void frmUpdateDBase::timerFrmUpdateDBase_Timer() {
    timerFrmUpdateDBase_->stop();
    if (stop_) return;  // closed before the run began
    running_ = true;
    statusTimer_->start();
    scandb::UpdateRequest request;
    request.dataFolder = app_.dataFolder;
    request.drives = drives_;
    request.driveDone = driveDone_;
    const scandb::UpdateOutcome outcome = scandb::UpdateDatabase(app_.services, *prompt_, request, stop_);
    statusTimer_->stop();
    running_ = false;
    if (outcome == scandb::UpdateOutcome::MachineInUse || outcome == scandb::UpdateOutcome::Failed) {
        close();  // the message said what happened; there is no success to show
        return;
    }
    if (outcome != scandb::UpdateOutcome::Completed) return;  // the window is already closing

    setBusy(false);
    completed_ = true;
    setWindowTitle(QStringLiteral("Scan complete"));
    statusChanged_ = false;
    lblCurrentDir_->clear();
    lblOver_->show();
    cmdOK_->show();
    cmdOK_->setDefault(true);
    cmdOK_->setFocus();
}

void frmUpdateDBase::cmdOK_Click() { close(); }

void frmUpdateDBase::requestStop() {
    stop_ = true;
    setBusy(false);
}

void frmUpdateDBase::closeEvent(QCloseEvent* event) {
    requestStop();
    event->accept();
    QDialog::closeEvent(event);
}

void frmUpdateDBase::reject() {
    requestStop();
    QDialog::reject();
}

}  // namespace korvex
