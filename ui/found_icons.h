// The desktop's view of a found file or folder: the type name shown in the "Type"
// column and a small icon, both from the name's extension (the file itself need not
// be readable from here). Icons are kept by name: two rows with the same name show
// the icon that was stored first, as the found-changes list always has.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace korvex {

// "PNG image", "Folder", or "XYZ File" for an extension the desktop does not know.
QString ShellTypeName(const QString& name, bool isFolder);

class FoundIcons {
public:
    // The icon for a row's name; the first icon stored under a name wins.
    QIcon iconFor(const QString& name, bool isFolder);
    // ShellTypeName, asked once per extension.
    QString typeNameFor(const QString& name, bool isFolder);

private:
    static QIcon lookUp(const QString& name, bool isFolder);
    QHash<QString, QIcon> byName_;
    QHash<QString, QString> typeByExtension_;
    QHash<QString, QIcon> byExtension_;  // the desktop is asked once per extension
};

}  // namespace korvex
