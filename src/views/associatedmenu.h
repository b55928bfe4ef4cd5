#pragma once
// The menu "Dati associati" of a view: three lists of items under their disabled headers (item 0 of
// each array), the whole menu hidden while no list has an item.

#include <QList>
#include <utility>

class QAction;
class QMenu;
namespace objdb {
class DataSource;
enum class RelationKind;
}

struct AssociatedMenu {
    QMenu *menu;
    QList<QAction *> &referenced, &references, &containers;

    // The headers' captions and the relation each list stands for.
    void setHeaders();
    // The lists rebuilt for the view's data source; nullptr only empties them.
    void rebuild(const objdb::DataSource *ds);
    // The list holding the item and the item's place in it; nullptr and 0 for an item of none.
    std::pair<const QList<QAction *> *, int> find(QAction *item) const;
};

// The relation an item of a list stands for and its number; the list's header tells the relation.
objdb::RelationKind RelationOf(const QList<QAction *> &items);
int RelationNumberOf(const QAction *item);
