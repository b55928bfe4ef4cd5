#pragma once
// The menus of data associated with the current view's table ("Dati associati"): the items of its
// three lists, numbered as one, and the commands that show the related rows of the current row in
// the library's data window.

#include <QList>
#include <QString>

class QWidget;

namespace objdb {
class DataSource;
enum class RelationKind;
} // namespace objdb

struct AssociatedItem {
    QString caption;
    bool enabled = true;
    int tag = 0; // the relation's number, shared by the three lists
};

struct AssociatedItems {
    QList<AssociatedItem> referenced; // "< Associati >": the rows the current row refers to
    QList<AssociatedItem> references; // "< Riferimenti >": the rows that refer to it
    QList<AssociatedItem> containers; // "< Contenitori >": the rows that share its container
};

// The items of the three lists for a view.
AssociatedItems AssociatedItemsFor(const objdb::DataSource &ds);

// The connecting phrase of a container's caption, agreeing with the word: " con stessa ",
// " con stessi ", " con stesse ", " con stesso ".
QString AgreementPhrase(const QString &p_strWord, bool p_blnPlural);

// The command of an item: the related rows of the current row, by the item's number, in the data
// window. A row that may not navigate now is refused with a message. Does nothing when the number
// names no relation of that kind.
void ShowAssociatedData(const objdb::DataSource &ds, objdb::RelationKind kind, int number, QWidget *owner);
