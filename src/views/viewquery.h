#pragma once
// What each section of the tree shows: the table, the field list and the condition of its query,
// and the date clauses added by the date selection and the period of "Mov. per Collaboratori".

#include <QDate>
#include <QString>

// "Statistiche" reads the payments; every other key names its own table.
QString GetSectionTable(const QString &key);
// The date field of a table that follows the date selection ("Data" of "Pagamenti"), or "".
QString GetTableDateField(const QString &table);

struct SectionQuery {
    QString table;
    QString fieldList;
    QString condition;
    QString dateField;
};

// The query of a section before any date or period clause.
SectionQuery SectionQueryFor(const QString &key);

// The payments with their cash and bank balances.
extern const char *const kBalanceFieldList;

// Appends the clause of the period D1..D2 (both included) to a condition, as the period dialog's
// result is added to the collaborators' section.
QString WithPeriod(const QString &condition, const QDate &from, const QDate &to);
// "Da data: dd/mm/yyyy A Data: dd/mm/yyyy".
QString PeriodCaptionFor(const QDate &from, const QDate &to);

enum class DateSelection { All, Day, Month, Period };
// Adds the date selection on dateField to a condition (nothing for All or an empty date field). A
// period runs from the reference date to periodEnd, both included.
QString WithDateSelection(const QString &condition, const QString &dateField, DateSelection selection,
                          const QDate &reference, const QDate &periodEnd = QDate());
