#pragma once
// Opening the data of a section: its query limited by the period of "Mov. per Collaboratori" and by
// the date selection, and the column commands its fields allow.

#include "views/viewquery.h"

#include <QDate>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace objdb {
class DataContext;
class DataSource;
class itfNotifyEvent;
}

struct SectionViewRequest {
    SectionQuery query;                      // from SectionQueryFor
    QString sort;                            // empty: the table's default order
    std::optional<QDate> periodFrom, periodTo; // both set: the period clause is added
    DateSelection selection = DateSelection::All;
    QDate selectionDate;
    QDate selectionEnd;                      // the last day of a period selection
    bool convertCurrency = false;
    objdb::itfNotifyEvent *notify = nullptr;
};

// The title above the grid: the section, and the days its rows are limited to.
QString SectionViewTitle(const QString &nodeText, const SectionViewRequest &request);

// Opens the section's data source through the data context; throws what the library throws.
std::shared_ptr<objdb::DataSource> OpenSectionView(objdb::DataContext &context, const SectionViewRequest &request);

// One item of a column menu: the text shown and the field it acts on.
struct FieldMenuEntry {
    QString caption;
    QString field;
};

// The fields of a view offered by the column menus of the grid tools.
struct FieldMenuEntries {
    QList<FieldMenuEntry> search; // text and reference fields, by caption
    QList<FieldMenuEntry> filter; // the same fields
    QList<FieldMenuEntry> order;
    QList<FieldMenuEntry> total;  // shown numeric fields, also offered for averages
    int findDefault = 0;          // 1-based search entry the toolbar's "Find" starts with; 0 none
};

FieldMenuEntries FieldMenuEntriesFor(const objdb::DataSource &ds);
