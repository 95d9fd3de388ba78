#include "app/frmAboutProgram.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/addresses.h"
#include "app/artwork.h"
#include "platform/folders.h"

namespace korvex {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QLabel* makeAddress(QWidget* parent, const char* name, std::string_view address) {
    QLabel* label = makeLabel(parent, name, qs(address));
    label->setWordWrap(false);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    label->setPalette(palette);
    return label;
}

}  // namespace

frmAboutProgram::frmAboutProgram(AppContext& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("frmAboutProgram"));
    setWindowTitle(QStringLiteral("About Korvex!"));
    setWindowIcon(KorvexIcon());

    auto* imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(KorvexLogo(64));
    auto* imgName = new QLabel(this);
    imgName->setObjectName(QStringLiteral("imgName"));
    imgName->setPixmap(KorvexNameBanner(40));
    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(KorvexLogo(24));

    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* lblContact =
        makeLabel(Frame1, "lblContact", QStringLiteral("For upgrades and more information please visit our web site at:"));
    lblWebAddress_ = makeAddress(Frame1, "lblWebAddress", kWebSite);
    auto* lblEMail =
        makeLabel(Frame1, "lblEMail", QStringLiteral("For comments and suggestions send an e-mail to the address below:"));
    lblEmailAddress_ = makeAddress(Frame1, "lblEmailAddress", kSupportEmail);
    lblWebAddress_->installEventFilter(this);
    lblEmailAddress_->installEventFilter(this);

    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(lblContact);
    frameLayout->addWidget(lblWebAddress_);
    frameLayout->addSpacing(8);
    frameLayout->addWidget(lblEMail);
    frameLayout->addWidget(lblEmailAddress_);

    cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdOk_->setDefault(true);
    connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);

    auto* header = new QHBoxLayout;
    header->addWidget(imgLogo);
    header->addWidget(imgName);
    header->addStretch();
    header->addWidget(Image1, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Frame1->setMinimumWidth(380);
}

void frmAboutProgram::lblWebAddress_Click() { OpenWithShell(app_.services.system, kWebSite); }

void frmAboutProgram::lblEmailAddress_Click() { OpenWithShell(app_.services.system, kMailTo); }

bool frmAboutProgram::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblWebAddress_) lblWebAddress_Click();
        if (watched == lblEmailAddress_) lblEmailAddress_Click();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace korvex
