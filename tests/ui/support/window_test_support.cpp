#include "tests/ui/support/window_test_support.h"

namespace korvex::test {

bool HookFiles::listFolder(std::string_view folder, const EntryCallback& onEntry) {
    ++listed;
    if (onFolder) onFolder(folder);
    return MemoryFiles::listFolder(folder, onEntry);
}

TestMachine::TestMachine() { files.createFolder("C:\\Program Files\\Korvex"); }

void TestMachine::scanning(const char* name, const char* value) {
    registry.setString("HKCU\\Software\\Korvex!\\Scanning", name, value);
}

QStringList ColumnTexts(QTreeWidget* list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
    return out;
}

namespace {

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// Polls the event loop until act accepts a modal widget; gives up after ten seconds so
// a missing box fails the test instead of hanging it.
void poll(std::function<bool(QWidget*)> act, std::shared_ptr<bool> waiting, int triesLeft) {
    if (!*waiting) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && act(modal)) {
        *waiting = false;
        return;
    }
    if (triesLeft <= 0) return;
    QTimer::singleShot(10, [act, waiting, triesLeft] { poll(act, waiting, triesLeft - 1); });
}

}  // namespace

std::shared_ptr<bool> WhenModal(const std::function<bool(QWidget*)>& act) {
    auto waiting = std::make_shared<bool>(true);
    QTimer::singleShot(0, [act, waiting] { poll(act, waiting, 1000); });
    return waiting;
}

QString StatusOnEnter(QWidget* control, QLabel* panel) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(control, &enter);
    return panel->text();
}

void AnswerNextFileDialog(const QString& hostPath, SeenFileDialog* seen) {
    WhenModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return false;
        if (seen)
            *seen = {dialog->objectName(), dialog->windowTitle(), dialog->nameFilters().join(QStringLiteral(";;")),
                     QDir(dialog->directory()).canonicalPath(), QFileInfo(dialog->selectedFiles().value(0)).fileName()};
        dialog->selectFile(hostPath);
        hostPath.isEmpty() ? dialog->reject() : static_cast<QDialog*>(dialog)->accept();
        return true;
    });
}

QString OpenedModally(const std::function<void()>& act) {
    QString opened;
    QWidget* before = QApplication::activeModalWidget();
    const auto waiting = WhenModal([&opened, before](QWidget* modal) {
        if (modal == before) return false;
        opened = QString::fromLatin1(modal->metaObject()->className()).section(QStringLiteral("::"), -1);
        modal->close();
        return true;
    });
    act();
    *waiting = false;
    return opened;
}

void AnswerNextMessageBox(QMessageBox::StandardButton click, SeenMessage* seen) {
    WhenModal([click, seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return false;
        if (seen) {
            *seen = {true, box->icon(), box->windowTitle(), box->text(), {},
                     box->defaultButton() ? plain(box->defaultButton()->text()) : QString()};
            for (QAbstractButton* b : box->buttons()) seen->buttons << plain(b->text());
        }
        if (QAbstractButton* target = box->button(click))
            QTest::mouseClick(target, Qt::LeftButton);
        else
            box->close();
        return true;
    });
}

}  // namespace korvex::test
