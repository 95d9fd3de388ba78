// The window that shows the search for changes while it runs: it owns the controls,
// the one-second timer and the stop flag; the comparisons themselves belong to the
// changes driver. When the run completes it opens the found-changes window.
#pragma once

#include <string>

#include <QDialog>

#include "ui/app_context.h"

class QLabel;
class QTimer;

namespace korvex {

class frmFindingChanges : public QDialog {
    Q_OBJECT
public:
    frmFindingChanges(AppContext& app, std::string drives, QWidget* parent = nullptr);
    ~frmFindingChanges() override;

    // Whether the run was stopped by closing the window.
    bool stopped() const { return stop_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void run();

    AppContext& app_;
    std::string drives_;
    bool stop_ = false;
    bool running_ = false;
    QTimer* timer_ = nullptr;
};

}  // namespace korvex
