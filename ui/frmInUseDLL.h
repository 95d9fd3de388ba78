// The in-use DLL prompt: asks whether a library that other programs are counted as
// using should be deleted anyway (Delete, Delete All, Skip). Sets the answer into the
// removal run's prompt state; closing it any other way counts as Skip. Deciding when
// to ask belongs to the removal logic.
#pragma once

#include <QDialog>

#include "removal/shared_dll.h"

class QLabel;

namespace korvex {

class frmInUseDLL : public QDialog {
    Q_OBJECT
public:
    frmInUseDLL(InUseDll& state, QWidget* parent = nullptr);

protected:
    void reject() override;

private:
    void answer(bool deleteThis, bool deleteAll);

    InUseDll& state_;
    QLabel* lblMsg_ = nullptr;
};

// A prompt state whose show() puts up frmInUseDLL over owner.
InUseDll WindowInUseDllPrompt(QWidget* owner);

}  // namespace korvex
