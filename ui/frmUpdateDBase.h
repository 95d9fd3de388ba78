// The "Update database" window: shows which folder is being read, lets the user close
// it at any moment (which stops the run without leaving a partial scan file), and
// shows the end state. The work itself is UpdateDatabase in scandb/; this class only
// owns the controls, the timer that starts the run and the stop flag.
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

class frmUpdateDBase : public QDialog {
    Q_OBJECT
public:
    // drives is the drive text of the main window ("C:" or "C:,D:"); driveDone runs
    // after each drive's file list is in place, so the caller can refresh its label.
    frmUpdateDBase(AppContext& app, std::string drives, std::function<void()> driveDone,
                   QWidget* parent = nullptr);
    ~frmUpdateDBase() override;

    // True once the run went through to the end ("Scan complete").
    bool completed() const { return completed_; }
    // True while the run is in progress (between the timer and its end).
    bool running() const { return running_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void timerFrmUpdateDBase_Timer();
    void cmdOK_Click();
    void finishRun();

    AppContext& app_;
    std::string drives_;
    std::function<void()> driveDone_;
    std::string workFolder_;
    bool stop_ = false;
    bool running_ = false;
    bool completed_ = false;

    QLabel* lblCurrentDir_ = nullptr;
    QLabel* lblOver_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QTimer* timerFrmUpdateDBase_ = nullptr;
};

}  // namespace korvex
