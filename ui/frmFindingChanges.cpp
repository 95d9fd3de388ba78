#include "ui/frmFindingChanges.h"

#include <QCloseEvent>
#include <QTimer>

namespace korvex {

frmFindingChanges::frmFindingChanges(AppContext& app, std::string drives, QWidget* parent)
    : QDialog(parent), app_(app), drives_(std::move(drives)) {
    setObjectName("frmFindingChanges");
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { run(); });
    timer_->start();
}

frmFindingChanges::~frmFindingChanges() = default;

void frmFindingChanges::closeEvent(QCloseEvent* event) {
    stop_ = true;
    QDialog::closeEvent(event);
}

void frmFindingChanges::run() {
    accept();
}

}  // namespace korvex
