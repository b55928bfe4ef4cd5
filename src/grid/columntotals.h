#pragma once
// The boxes of "Totalizza in" and "Media in": the sum or the mean of one column over every row of
// the view (its filter included), written in the column's display format.

#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

namespace objdb {
class BackgroundRead;
class DataSource;
struct ColumnSummary;
struct FieldDef;
}

// The column's display format; numbers with decimals are shown with three.
QString TotalFormatOf(const objdb::FieldDef &field);
// "Totale Contanti: 1.234,50"; a Null total ends after ": ".
QString TotalMessage(const QString &name, const QVariant &total, const QString &format);
// "Media Contanti: 411,50": the exact mean rounded once to the format's decimals.
QString AverageMessage(const QString &name, const objdb::ColumnSummary &summary, const QString &format);
// The message of the column's total, or of its mean, under the name the menu gives the column.
std::function<QString(const objdb::ColumnSummary &)> ColumnSummaryMessage(const objdb::DataSource &ds, const QString &field,
                                                                          const QString &name, bool average);
// Shows the message the function makes, without icon; a total the library refuses (one beyond the
// limits of the computation) is told with its reason instead.
void ShowTotalBox(const std::function<QString()> &message, QWidget *parent);
// The box of one column's summary, read apart from the window on a big archive
// (objdb::DataSource::SummarizeColumnApart); busy(true) while it is read, busy(false) once it is
// in, failed or dropped (the rows were read again meanwhile: no box then).
void ShowColumnSummaryBox(objdb::BackgroundRead &reader, const objdb::DataSource &ds, const QString &field,
                          std::function<QString(const objdb::ColumnSummary &)> message, QWidget *parent,
                          std::function<void(bool)> busy);
