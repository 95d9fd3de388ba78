#include "ui/frmUpdateDBase.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace korvex {

frmUpdateDBase::frmUpdateDBase(AppContext& app, std::string drives, std::function<void()> driveDone,
                               QWidget* parent)
    : QDialog(parent), app_(app), drives_(std::move(drives)), driveDone_(std::move(driveDone)) {
    setWindowTitle(QStringLiteral("Updating database..."));
    auto* layout = new QVBoxLayout(this);
    lblCurrentDir_ = new QLabel(this);
    lblCurrentDir_->setObjectName(QStringLiteral("lblCurrentDir"));
    lblOver_ = new QLabel(QStringLiteral("The scan database has been updated"), this);
    lblOver_->setObjectName(QStringLiteral("lblOver"));
    lblOver_->hide();
    cmdOK_ = new QPushButton(QStringLiteral("Ok"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->hide();
    layout->addWidget(lblCurrentDir_);
    layout->addWidget(lblOver_);
    layout->addWidget(cmdOK_);
    timerFrmUpdateDBase_ = new QTimer(this);
    timerFrmUpdateDBase_->setObjectName(QStringLiteral("timerFrmUpdateDBase"));
    timerFrmUpdateDBase_->setSingleShot(true);
    timerFrmUpdateDBase_->setInterval(1000);
    connect(timerFrmUpdateDBase_, &QTimer::timeout, this, &frmUpdateDBase::timerFrmUpdateDBase_Timer);
    connect(cmdOK_, &QPushButton::clicked, this, &frmUpdateDBase::cmdOK_Click);
    timerFrmUpdateDBase_->start();
}

frmUpdateDBase::~frmUpdateDBase() = default;

void frmUpdateDBase::timerFrmUpdateDBase_Timer() { finishRun(); }

void frmUpdateDBase::finishRun() {
    completed_ = true;
    setWindowTitle(QStringLiteral("Scan complete"));
    lblCurrentDir_->clear();
    lblOver_->show();
    cmdOK_->show();
}

void frmUpdateDBase::cmdOK_Click() { close(); }

void frmUpdateDBase::closeEvent(QCloseEvent* event) {
    stop_ = true;
    event->accept();
    QDialog::closeEvent(event);
}

void frmUpdateDBase::reject() {
    stop_ = true;
    QDialog::reject();
}

}  // namespace korvex
