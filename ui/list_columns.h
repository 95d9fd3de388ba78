// Readable report lists: every visible column as wide as its header and contents need,
// within the list's width. When everything does not fit, the short columns (sizes,
// types) keep their width and the long ones (names, folders, lines) share what is left,
// eliding in the middle so a path keeps its drive and its last names; every cell's full
// text is its tooltip. Refits whenever the list is resized or its rows change. Not
// responsible for what the rows hold or how they sort.
#pragma once

class QTreeWidget;
class QTreeWidgetItem;

namespace korvex {

// Sets the list up for fitting (middle elision, refit on resize and on new rows) and
// fits it once now. Width to spare goes to spareColumn, the one that holds paths.
void FitColumnsToContents(QTreeWidget* list, int spareColumn);

// Sizes the columns of a list made ready by FitColumnsToContents.
void RefitColumns(QTreeWidget* list);

// Gives every non-empty cell of the row its own text as tooltip.
void SetFullTextTooltips(QTreeWidgetItem* item);

}  // namespace korvex
