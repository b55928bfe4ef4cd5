#pragma once
// Simple column filters: one condition per column, kept in the captions of the column items
// ("Tipo Operazione = '07*'" while set, the column's title otherwise) and joined into one criterion
// on the field names.

#include <QList>
#include <QString>

class QModelIndex;

namespace ColumnFilters {

// One column item: its tag is the field name, its caption the column's title as the grid's header
// shows it, followed by the column's condition while one is set.
struct Item {
    QString tag;
    QString caption;
    QString title;
};

// The caption of an item filtered by typed text: values beginning with it, or containing it when
// internal (a single character always means "beginning with").
QString filteredCaption(const QString &title, const QString &text, bool internal);
bool isFiltered(const Item &item);

// The conditions of the filtered items, in item order.
struct Combined {
    QString shown;   // "Tipo Operazione = '07*' AND Operatore = 'x*'": what the status bar tells
    QString applied; // the same with Like, what the data source applies; "" when nothing is filtered
};
Combined combine(const QList<Item> &items);
// "Attivato filtro (...)" or "Nessun filtro".
QString statusText(const Combined &combined);

// The value a same-value filter or search takes from a grid cell: the text it shows, and for a check
// box, which shows none, "Sì" or "No".
QString cellValueText(const QModelIndex &cell);

} // namespace ColumnFilters
