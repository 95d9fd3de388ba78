// What the windows share between Korvex's UTF-8 texts and Qt: the two conversions, and
// a list row that sorts by its text without regard to letter case, as report lists do.
// Not responsible for the lists' columns (list_columns.h) or what the rows hold.
#pragma once

#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <string>
#include <string_view>

namespace korvex {

inline QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string s(const QString& text) { return text.toStdString(); }

class RowItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

}  // namespace korvex
