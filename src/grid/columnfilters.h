#pragma once
// Simple column filters: one condition per column, kept in the captions of the column items
// ("Descrizione = 'ab*'" while set, the bare field name otherwise) and joined into one criterion.

#include <QList>
#include <QString>

class QModelIndex;

namespace ColumnFilters {

// One column item: its tag is the field name, its caption carries the column's condition.
struct Item {
    QString tag;
    QString caption;
};

// The caption of an item filtered by typed text: values beginning with it, or containing it when
// internal (a single character always means "beginning with").
QString filteredCaption(const QString &field, const QString &text, bool internal);
bool isFiltered(const Item &item);

// The conditions of the filtered items, in item order.
struct Combined {
    QString shown;   // "Descrizione = 'ab*' AND Operatore = 'x*'": what the status bar tells
    QString applied; // the same with Like, what the data source applies; "" when nothing is filtered
};
Combined combine(const QList<Item> &items);
// "Attivato filtro (...)" or "Nessun filtro".
QString statusText(const Combined &combined);

// The value a same-value filter or search takes from a grid cell: the text it shows, and for a check
// box, which shows none, "Sì" or "No".
QString cellValueText(const QModelIndex &cell);

} // namespace ColumnFilters
