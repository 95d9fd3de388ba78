// Status-bar help texts of Korvex's windows, and the small event filter that shows
// them: a control's text when the mouse enters it (or, for drive lists, when they get
// the focus), the idle text when the mouse is back over the window's background.
// Responsible for the texts and when they appear; the windows decide which controls
// take part.
#pragma once

#include <QCursor>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string_view>

namespace korvex {

// Shown by every status bar when the mouse is over no control. Always empty.
inline constexpr std::string_view kIdleStatusText = "";

struct ControlStatusText {
    std::string_view control;  // object name of the control
    std::string_view text;
    bool onFocus = false;      // drive lists speak when they get the focus, not on hover
};

inline constexpr ControlStatusText kMainWindowStatusTexts[] = {
    {"cmdFindChanges", "Find whether any new files were added or changed"},
    {"cmdOptions", "Customize Korvex!"},
    {"cmdSysCleanUp", "Get rid of useless system files"},
    {"cmdUninstall", "Uninstall a program from a saved data file"},
    {"cmdUpdateDbase", "Update scan database to reflect the current state of the drive"},
    {"cmbDrives", "Choose which drive to scan or find changes on", true},
};

// Puts the texts into one status panel. Controls and background are registered by
// the window; the filter lives as long as the panel's window.
class StatusTexts : public QObject {
public:
    explicit StatusTexts(QLabel* panel) : QObject(panel), panel_(panel) {}

    // Registers every control of the table found below root by its object name.
    template <std::size_t N>
    void attach(QWidget* root, const ControlStatusText (&table)[N]) {
        for (const ControlStatusText& entry : table) {
            QWidget* control = root->findChild<QWidget*>(
                QString::fromUtf8(entry.control.data(), static_cast<qsizetype>(entry.control.size())));
            if (!control) continue;
            texts_.insert(control, {QString::fromUtf8(entry.text.data(), static_cast<qsizetype>(entry.text.size())),
                                    entry.onFocus});
            control->installEventFilter(this);
        }
    }

    // The mouse over this widget (but over no control) shows the idle text.
    void attachBackground(QWidget* background) {
        background->setMouseTracking(true);
        background->installEventFilter(this);
        backgrounds_.insert(background, true);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && panel_) {
            const auto found = texts_.constFind(widget);
            if (found != texts_.constEnd()) {
                const QEvent::Type wanted = found->onFocus ? QEvent::FocusIn : QEvent::Enter;
                if (event->type() == wanted) panel_->setText(found->text);
            } else if (backgrounds_.contains(widget) &&
                       (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) &&
                       !overControl(widget, event)) {
                panel_->setText(QString::fromUtf8(kIdleStatusText.data(),
                                                  static_cast<qsizetype>(kIdleStatusText.size())));
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Moves over controls without mouse tracking reach the background too; those are
    // not moves over the background.
    bool overControl(QWidget* background, QEvent* event) const {
        const auto* pointEvent = dynamic_cast<QSinglePointEvent*>(event);
        const QPoint at = pointEvent ? pointEvent->position().toPoint() : background->mapFromGlobal(QCursor::pos());
        for (QWidget* w = background->childAt(at); w && w != background; w = w->parentWidget())
            if (texts_.contains(w)) return true;
        return false;
    }

    struct Entry {
        QString text;
        bool onFocus;
    };
    QPointer<QLabel> panel_;
    QHash<QWidget*, Entry> texts_;
    QHash<QWidget*, bool> backgrounds_;
};

}  // namespace korvex
