#include "ui/qt_prompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <vector>

namespace korvex {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message texts come from Windows-style code and may break lines with CR LF.
QString displayText(std::string_view text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
        case Icon::Critical: return QMessageBox::Critical;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Exclamation: return QMessageBox::Warning;
        case Icon::Information: return QMessageBox::Information;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    Answer answer;
};

std::vector<ButtonChoice> buttonsOf(Buttons buttons) {
    using B = QMessageBox;
    switch (buttons) {
        case Buttons::OK: return {{B::Ok, Answer::OK}};
        case Buttons::OKCancel: return {{B::Ok, Answer::OK}, {B::Cancel, Answer::Cancel}};
        case Buttons::AbortRetryIgnore:
            return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}};
        case Buttons::YesNoCancel:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
        case Buttons::YesNo: return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
        case Buttons::RetryCancel: return {{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}};
    }
    return {{B::Ok, Answer::OK}};
}

// What closing the box without a button means, as Windows answers it.
Answer closeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::OK: return Answer::OK;
        case Buttons::YesNo: return Answer::No;
        case Buttons::AbortRetryIgnore: return Answer::Abort;
        default: return Answer::Cancel;
    }
}

}  // namespace

QtPrompt::QtPrompt(QWidget* parent, System& system) : parent_(parent), system_(system) {}

QtPrompt::~QtPrompt() {
    while (busyDepth_ > 0) busy(false);
}

Answer QtPrompt::messageBox(const Message& message) {
    QMessageBox box(parent_);
    box.setIcon(toQtIcon(message.icon));
    box.setWindowTitle(qs(message.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(message.text));
    const std::vector<ButtonChoice> choices = buttonsOf(message.buttons);
    std::vector<QAbstractButton*> made;
    for (const ButtonChoice& choice : choices) made.push_back(box.addButton(choice.button));
    const int index = message.defaultButton - 1;
    if (index >= 0 && index < static_cast<int>(made.size()))
        box.setDefaultButton(static_cast<QPushButton*>(made[static_cast<std::size_t>(index)]));
    else
        box.setDefaultButton(static_cast<QPushButton*>(made.front()));

    // The hourglass of a running operation must not hide the arrow over the box.
    const bool hadBusy = busyDepth_ > 0;
    if (hadBusy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (hadBusy) QApplication::restoreOverrideCursor();

    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < made.size(); ++i)
        if (made[i] == clicked) return choices[i].answer;
    return closeAnswer(message.buttons);
}

std::optional<std::string> QtPrompt::inputBox(std::string_view prompt, std::string_view title,
                                              std::string_view initial) {
    QInputDialog dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(qs(title));
    dialog.setLabelText(displayText(prompt));
    dialog.setTextValue(qs(initial));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

QString QtPrompt::ToQtFilter(std::string_view filter) {
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");  // Windows' "every file"
            if (!p.isEmpty()) patterns << p;
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        // Qt reads the patterns from the parentheses at the end of the description.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
        entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtPrompt::startFolder(std::string_view windowsFolder) {
    QString host;
    if (!windowsFolder.empty()) host = QString::fromStdString(system_.hostPath(windowsFolder));
    if (host.isEmpty() || !QFileInfo(host).isDir()) host = QString::fromStdString(system_.hostPath("C:\\"));
    if (host.isEmpty() || !QFileInfo(host).isDir()) host = QDir::homePath();
    return host;
}

std::string QtPrompt::toMachinePath(const QString& hostPath) {
    if (hostPath.isEmpty()) return {};
    std::string path = system_.windowsPath(QDir::cleanPath(hostPath).toStdString());
    if (path.empty()) {
        Message m;
        m.icon = Icon::Exclamation;
        m.title = "Korvex!";
        m.text = "The location you chose is not on a drive of this Windows machine. "
                 "Please choose one on drive C: or another of the machine's drives.";
        messageBox(m);
    }
    return path;
}

std::string QtPrompt::pickFolder(std::string_view title) {
    QFileDialog dialog(parent_, qs(title), startFolder({}));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return toMachinePath(dialog.selectedFiles().front());
}

std::string QtPrompt::pickOpenFile(std::string_view title, std::string_view filter,
                                   std::string_view initialFolder) {
    QFileDialog dialog(parent_, qs(title), startFolder(initialFolder), ToQtFilter(filter));
    dialog.setObjectName(QStringLiteral("dlgFileOpen"));  // the one open dialog of Korvex's windows
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return toMachinePath(dialog.selectedFiles().front());
}

std::string QtPrompt::pickSaveFile(std::string_view title, std::string_view filter,
                                   std::string_view initialFolder, std::string_view fileName) {
    QFileDialog dialog(parent_, qs(title), startFolder(initialFolder), ToQtFilter(filter));
    dialog.setObjectName(QStringLiteral("dlgFileSave"));  // the one save dialog of Korvex's windows
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!fileName.empty()) dialog.selectFile(qs(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return toMachinePath(dialog.selectedFiles().front());
}

void QtPrompt::yield() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield_ < kYieldInterval) return;
    QCoreApplication::processEvents();
    lastYield_ = std::chrono::steady_clock::now();
}

void QtPrompt::status(std::string_view text) {
    lastStatus_.assign(text);
    if (progressDialog_ && !text.empty()) progressDialog_->setLabelText(qs(text));
    if (onStatus) onStatus(text);
}

void QtPrompt::progress(std::uint64_t done, std::uint64_t total) {
    if (onProgress) {
        onProgress(done, total);
        return;
    }
    if (total == 0 || done >= total) {
        progressDialog_.reset();
        return;
    }
    if (!progressDialog_) {
        progressDialog_ = std::make_unique<QProgressDialog>(parent_);
        progressDialog_->setObjectName(QStringLiteral("dlgProgress"));
        progressDialog_->setWindowTitle(QStringLiteral("Korvex"));
        progressDialog_->setCancelButton(nullptr);
        progressDialog_->setWindowModality(Qt::WindowModal);
        progressDialog_->setAutoClose(false);
        progressDialog_->setAutoReset(false);
        progressDialog_->setMinimumDuration(500);
        progressDialog_->setRange(0, 1000);
        progressDialog_->setLabelText(qs(lastStatus_));
    }
    progressDialog_->setValue(static_cast<int>(done * 1000 / total));
}

void QtPrompt::busy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

}  // namespace korvex
