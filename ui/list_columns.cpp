#include "ui/list_columns.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QObject>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace korvex {

namespace {

// Narrowest a shortened column gets: enough for a few characters and the ellipsis.
constexpr int kMinimumWidth = 72;
constexpr int kPadding = 12;
constexpr const char* kSpareColumn = "korvexSpareColumn";

// Refits its list when the list's viewport changes size; rows added or removed ask
// for a refit once the event loop runs, so filling a long list refits only once.
class Refitter : public QObject {
public:
    explicit Refitter(QTreeWidget* list) : QObject(list), list_(list) {
        list->viewport()->installEventFilter(this);
        QAbstractItemModel* model = list->model();
        connect(model, &QAbstractItemModel::rowsInserted, this, &Refitter::later);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &Refitter::later);
        connect(model, &QAbstractItemModel::modelReset, this, &Refitter::later);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == list_->viewport() && event->type() == QEvent::Resize) RefitColumns(list_);
        return false;
    }

private:
    void later() {
        if (pending_) return;
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            pending_ = false;
            RefitColumns(list_);
        });
    }

    QTreeWidget* list_;
    bool pending_ = false;
};

}  // namespace

void FitColumnsToContents(QTreeWidget* list, int spareColumn) {
    list->setProperty(kSpareColumn, spareColumn);
    list->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // A column hidden while the last one stretched keeps counting in the header's
    // length (and so in the scroll range): hide it again now that nothing stretches.
    for (int c = 0; c < list->columnCount(); ++c) {
        if (!header->isSectionHidden(c)) continue;
        header->showSection(c);
        header->resizeSection(c, 0);
        header->hideSection(c);
    }
    new Refitter(list);
    RefitColumns(list);
}

void RefitColumns(QTreeWidget* list) {
    QHeaderView* header = list->header();
    std::vector<int> columns;
    std::vector<int> wanted;
    for (int c = 0; c < list->columnCount(); ++c) {
        if (list->isColumnHidden(c)) continue;
        columns.push_back(c);
        wanted.push_back(std::max(header->sectionSizeHint(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) + kPadding);
    }
    if (columns.empty()) return;
    // The frame's own pixel aside, so that no horizontal scroll bar appears.
    const int available = std::max(list->viewport()->width() - 2, 1);
    int total = 0;
    for (int w : wanted) total += w;

    std::vector<int> widths = wanted;
    if (total <= available) {
        // Room to spare: it goes to the column of paths, where a later, longer row needs it.
        const int spare = list->property(kSpareColumn).toInt();
        const auto at = std::find(columns.begin(), columns.end(), spare) - columns.begin();
        widths[static_cast<std::size_t>(at < static_cast<long>(columns.size()) ? at : 0)] += available - total;
    } else {
        // The largest cap under which every column fits: short columns keep their width.
        std::vector<int> sorted = wanted;
        std::sort(sorted.begin(), sorted.end());
        int left = available;
        int cap = kMinimumWidth;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            const int share = left / static_cast<int>(sorted.size() - i);
            if (sorted[i] > share) {
                cap = std::max(share, kMinimumWidth);
                break;
            }
            left -= sorted[i];
        }
        for (int& w : widths) w = std::min(w, cap);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) header->resizeSection(columns[i], widths[i]);
}

void SetFullTextTooltips(QTreeWidgetItem* item) {
    for (int c = 0; c < item->columnCount(); ++c)
        if (!item->text(c).isEmpty()) item->setToolTip(c, item->text(c));
}

}  // namespace korvex
