// Korvex's help: the HTML document "Korvex.hlp" in the program's folder, shown in a
// window of its own at its contents or at a keyword ("Options", "Find Changes",
// "System cleaner"). Links inside the help move within it; links to the web go to the
// user's browser. Writing the help document is the settings' business.
#pragma once

#include <QDialog>
#include <QString>
#include <string_view>

#include "ui/app_context.h"

class QTextBrowser;
class QUrl;

namespace korvex {

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    HelpViewer(AppContext& app, const QString& html, QWidget* parent = nullptr);
    // Moves to the topic of a keyword; the top of the document for "" or an unknown one.
    void showTopic(std::string_view keyword);
    // The anchor shown last ("" at the contents).
    QString currentTopic() const { return topic_; }

private:
    void linkClicked(const QUrl& url);

    AppContext& app_;
    QString html_;
    QString topic_;
    QTextBrowser* txtHelp_ = nullptr;
};

// Opens the help at keyword ("" = contents). Nothing happens when the help file is
// missing or unreadable. The window closes itself when the user closes it.
HelpViewer* ShowHelp(AppContext& app, QWidget* parent, std::string_view keyword = {});

}  // namespace korvex
