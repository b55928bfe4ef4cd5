#pragma once
// The column menus built for each view: numbered item arrays whose item 0 is a hidden template, the
// others named after it ("mnuSearchItems_1", ...) and tagged with the field they act on.

#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
struct FieldMenuEntries;
namespace ColumnFilters {
struct Item;
}

namespace MenuItems {

// Removes every item but the template.
void clear(QList<QAction *> &items);
// A new item in the template's menu, after the others.
QAction *add(QList<QAction *> &items, const QString &caption, const QString &tag);
// The item tagged with the field; 0 when none is.
int indexOfField(const QList<QAction *> &items, const QString &field);
// The array rebuilt with one item per name, each put before the template in the menu.
void replaceByNames(QList<QAction *> &items, QMenu *menu, const QStringList &names);

} // namespace MenuItems

// The column menus of the window, as one.
struct FieldMenus {
    QList<QAction *> &search, &filter, &order, &total, &average, &complexFilter;
    QAction *find; // the toolbar's Find: its menu repeats the search items, its tag the one it runs

    void clear();
    void build(const FieldMenuEntries &entries);
};

// A filter item's caption and check mark for the text typed on it; empty text lifts its condition.
void MarkFilterItem(QAction *item, const QString &text, bool internal);
// Every filter item back to its column's title, unmarked.
void ResetFilterItems(const QList<QAction *> &items);
// The filter items as the column filters know them.
QList<ColumnFilters::Item> FilterItemsOf(const QList<QAction *> &items);
