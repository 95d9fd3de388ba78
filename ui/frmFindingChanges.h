// The window that shows the search for changes while it runs: it owns the controls,
// the one-second timer and the stop flag; the comparisons themselves belong to the
// changes driver. When the run completes it opens the found-changes window over the
// change list files; a run that was stopped shows nothing more.
#pragma once

#include <string>

#include <QDialog>

#include "ui/app_context.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace korvex {

class QtPrompt;

class frmFindingChanges : public QDialog {
    Q_OBJECT
public:
    // drives is the drive text of the main window ("C:" or "C:,D:").
    frmFindingChanges(AppContext& app, std::string drives, QWidget* parent = nullptr);
    ~frmFindingChanges() override;

    // True once the user asked to stop (closed the window).
    bool stopped() const { return stop_; }
    // True once the run went through and the found-changes window was shown.
    bool completed() const { return completed_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void timerFrmFindingChanges_Timer();
    void queryUnload();

    AppContext& app_;
    std::string drives_;
    bool stop_ = false;
    bool completed_ = false;
    QtPrompt* prompt_ = nullptr;
    QLabel* lblScanning_ = nullptr;
    QProgressBar* prgFindingChanges_ = nullptr;
    QTimer* timerFrmFindingChanges_ = nullptr;
};

}  // namespace korvex
