#include "app/help_viewer.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/artwork.h"
#include "platform/folders.h"
#include "settings/settings_keys.h"

namespace korvex {

HelpViewer::HelpViewer(AppContext& app, const QString& html, QWidget* parent)
    : QDialog(parent), app_(app), html_(html) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Korvex! Help"));
    setWindowIcon(KorvexIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    txtHelp_ = new QTextBrowser(this);
    txtHelp_->setObjectName(QStringLiteral("txtHelp"));
    txtHelp_->setOpenLinks(false);
    txtHelp_->setHtml(html_);
    connect(txtHelp_, &QTextBrowser::anchorClicked, this, &HelpViewer::linkClicked);
    layout->addWidget(txtHelp_);
    resize(640, 520);
}

void HelpViewer::showTopic(std::string_view keyword) {
    const QString wanted = QString::fromUtf8(keyword.data(), static_cast<qsizetype>(keyword.size()));
    topic_.clear();
    if (!wanted.isEmpty()) {
        // Keywords match their topic without regard to case, as help keywords always did.
        const QRegularExpression anchor(QStringLiteral("<a\\s+name\\s*=\\s*\"(%1)\"")
                                            .arg(QRegularExpression::escape(wanted)),
                                        QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = anchor.match(html_);
        if (match.hasMatch()) topic_ = match.captured(1);
    }
    if (topic_.isEmpty()) {
        txtHelp_->moveCursor(QTextCursor::Start);
        txtHelp_->verticalScrollBar()->setValue(0);
        return;
    }
    txtHelp_->scrollToAnchor(topic_);
}

void HelpViewer::linkClicked(const QUrl& url) {
    if (url.scheme().isEmpty() && url.path().isEmpty()) {
        showTopic(url.fragment(QUrl::FullyDecoded).toStdString());
        return;
    }
    OpenWithShell(app_.services.system, url.toString().toStdString());
}

HelpViewer* ShowHelp(AppContext& app, QWidget* parent, std::string_view keyword) {
    std::string path = app.services.system.programFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    path += settings::kHelpFile;
    std::string contents;
    if (!app.services.files.readFile(path, contents)) return nullptr;
    // One help window per owner, as the help program kept one window.
    HelpViewer* viewer = parent ? parent->findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!viewer) {
        viewer = new HelpViewer(app, QString::fromUtf8(contents.data(), static_cast<qsizetype>(contents.size())),
                                parent);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    viewer->showTopic(keyword);
    return viewer;
}

}  // namespace korvex
