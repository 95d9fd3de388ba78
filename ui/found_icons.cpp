#include "ui/found_icons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QStyle>

namespace korvex {

namespace {

QString extensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

}  // namespace

QString ShellTypeName(const QString& name, bool isFolder) {
    if (isFolder) return QStringLiteral("Folder");
    const QString ext = extensionOf(name);
    QMimeDatabase db;
    const QMimeType mime = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!ext.isEmpty() && mime.isValid() && !mime.isDefault() && !mime.comment().isEmpty()) {
        QString comment = mime.comment();
        comment[0] = comment[0].toUpper();  // "plain text document" -> "Plain text document"
        return comment;
    }
    return ext.isEmpty() ? QStringLiteral("File") : ext.toUpper() + QStringLiteral(" File");
}

QString FoundIcons::typeNameFor(const QString& name, bool isFolder) {
    if (isFolder) return ShellTypeName(name, true);
    const QString key = extensionOf(name).toLower();
    const auto found = typeByExtension_.constFind(key);
    if (found != typeByExtension_.constEnd()) return *found;
    const QString type = ShellTypeName(name, false);
    typeByExtension_.insert(key, type);
    return type;
}

QIcon FoundIcons::iconFor(const QString& name, bool isFolder) {
    const QString key = name.toLower();
    const auto found = byName_.constFind(key);
    if (found != byName_.constEnd()) return *found;
    const QString kind = isFolder ? QStringLiteral("/folder") : extensionOf(name).toLower();
    auto known = byExtension_.constFind(kind);
    if (known == byExtension_.constEnd()) known = byExtension_.insert(kind, lookUp(name, isFolder));
    const QIcon icon = *known;
    byName_.insert(key, icon);
    return icon;
}

QIcon FoundIcons::lookUp(const QString& name, bool isFolder) {
    QFileIconProvider provider;
    if (isFolder) {
        QIcon icon = QIcon::fromTheme(QStringLiteral("folder"));
        if (icon.isNull()) icon = provider.icon(QAbstractFileIconProvider::Folder);
        if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
        return icon;
    }
    QMimeDatabase db;
    const QMimeType mime = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
    if (icon.isNull()) icon = provider.icon(QAbstractFileIconProvider::File);
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

}  // namespace korvex
