// The "Update database" window: shows which folder is being read, lets the user close
// it at any moment (which stops the run without leaving a partial scan file), and
// shows the end state. The work itself is scandb::UpdateDatabase; this class only
// owns the controls, the timer that starts the run, the stop flag and the hourglass.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

#include "ui/app_context.h"

class QLabel;
class QPushButton;
class QTimer;

namespace korvex {

class QtPrompt;

class frmUpdateDBase : public QDialog {
    Q_OBJECT
public:
    // drives is the drive text of the main window ("C:" or "C:,D:"); driveDone runs
    // after each drive's file list is in place, so the caller can refresh its label.
    // The run starts one second after the window is created (exec() shows it).
    frmUpdateDBase(AppContext& app, std::string drives, std::function<void()> driveDone,
                   QWidget* parent = nullptr);
    ~frmUpdateDBase() override;

    // True once the run went through to the end ("Scan complete").
    bool completed() const { return completed_; }
    // True while the run is in progress.
    bool running() const { return running_; }

protected:
    // Form_QueryUnload: closing at any moment asks a running update to stop.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape closes the window the same way

private:
    void timerFrmUpdateDBase_Timer();
    void cmdOK_Click();
    void requestStop();
    void showPendingStatus();
    void setBusy(bool on);

    AppContext& app_;
    std::string drives_;
    std::function<void()> driveDone_;
    std::unique_ptr<QtPrompt> prompt_;
    bool stop_ = false;
    bool running_ = false;
    bool completed_ = false;
    bool busy_ = false;
    // The folder being read, shown a few times a second rather than once per folder.
    std::string pendingStatus_;
    bool statusChanged_ = false;

    QLabel* lblCurrentDir_ = nullptr;
    QLabel* lblOver_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QTimer* timerFrmUpdateDBase_ = nullptr;
    QTimer* statusTimer_ = nullptr;
};

}  // namespace korvex
