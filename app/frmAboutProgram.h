// The about box: Korvex's name and logo, where to find upgrades and where to write.
// The two addresses open in the user's browser and mail program when clicked.
#pragma once

#include <QDialog>

#include "ui/app_context.h"

class QLabel;
class QPushButton;

namespace korvex {

class frmAboutProgram : public QDialog {
    Q_OBJECT
public:
    explicit frmAboutProgram(AppContext& app, QWidget* parent = nullptr);

    void lblWebAddress_Click();
    void lblEmailAddress_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& app_;
    QLabel* lblWebAddress_ = nullptr;
    QLabel* lblEmailAddress_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
};

}  // namespace korvex
