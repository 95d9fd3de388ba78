#include "ui/frmInUseDLL.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace korvex {

frmInUseDLL::frmInUseDLL(InUseDll& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmInUseDLL"));
    setWindowTitle(QStringLiteral("DLL file in use"));
    setModal(true);

    auto* imgWarning = new QLabel(this);
    imgWarning->setObjectName(QStringLiteral("imgWarning"));
    imgWarning->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    lblMsg_ = new QLabel(this);
    lblMsg_->setObjectName(QStringLiteral("lblMsg"));
    lblMsg_->setWordWrap(true);
    lblMsg_->setTextFormat(Qt::PlainText);
    lblMsg_->setText(QStringLiteral("The DLL file ") + QString::fromStdString(state_.InUseDllPath) +
                     QStringLiteral(" may be in use by other applications. Delete it?"));

    auto* top = new QHBoxLayout;
    top->addWidget(imgWarning, 0, Qt::AlignTop);
    top->addWidget(lblMsg_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto button = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    QPushButton* cmdDelete = button("cmdDelete", "&Delete");
    QPushButton* cmdDeleteAll = button("cmdDeleteAll", "Delete &All");
    QPushButton* cmdSkip = button("cmdSkip", "&Skip");
    cmdSkip->setDefault(true);
    connect(cmdDelete, &QPushButton::clicked, this, [this] { answer(true, false); });
    connect(cmdDeleteAll, &QPushButton::clicked, this, [this] { answer(true, true); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { answer(false, false); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(420, 130);
}

void frmInUseDLL::answer(bool deleteThis, bool deleteAll) {
    state_.DeleteThisDll = deleteThis;
    state_.DeleteAllDlls = deleteAll;
    accept();
}

// The close box, Escape and the system menu: the library is skipped.
void frmInUseDLL::reject() {
    state_.DeleteThisDll = false;
    state_.DeleteAllDlls = false;
    QDialog::reject();
}

InUseDll WindowInUseDllPrompt(QWidget* owner) {
    InUseDll state;
    state.show = [owner](InUseDll& s) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        frmInUseDLL prompt(s, owner);
        prompt.exec();
        QApplication::restoreOverrideCursor();
    };
    return state;
}

}  // namespace korvex
