#include "grid/columntotals.h"

#include "grid/numberformat.h"
#include "services/messageservice.h"

#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/types.h"

QString TotalFormatOf(const objdb::FieldDef &field)
{
    return field.type == objdb::TypeFloat ? QStringLiteral("#.000") : field.format;
}

QString TotalMessage(const QString &name, const QVariant &total, const QString &format)
{
    return QStringLiteral("Totale ") + name + QStringLiteral(": ") + FormatNumber(total, format);
}

QString AverageMessage(const QString &name, const objdb::ColumnSummary &summary, const QString &format)
{
    return QStringLiteral("Media ") + name + QStringLiteral(": ")
           + FormatNumber(summary.mean(FormatDecimals(format)), format);
}

std::function<QString(const objdb::ColumnSummary &)> ColumnSummaryMessage(const objdb::DataSource &ds, const QString &field,
                                                                          const QString &name, bool average)
{
    const QString format = TotalFormatOf(*ds.Field(field));
    if (average)
        return [name, format](const objdb::ColumnSummary &summary) { return AverageMessage(name, summary, format); };
    return [name, format](const objdb::ColumnSummary &summary) { return TotalMessage(name, summary.sum, format); };
}

void ShowTotalBox(const std::function<QString()> &message, QWidget *parent)
{
    QString text;
    try {
        text = message();
    } catch (const objdb::Error &e) {
        MessageService::inform(e.description(), MessageService::Icon::Exclamation, QString(), parent);
        return;
    }
    MessageService::inform(text, MessageService::Icon::None, QString(), parent);
}

void ShowColumnSummaryBox(objdb::BackgroundRead &reader, const objdb::DataSource &ds, const QString &field,
                          std::function<QString(const objdb::ColumnSummary &)> message, QWidget *parent,
                          std::function<void(bool)> busy)
{
    busy(true);
    ds.SummarizeColumnApart(
        reader, field,
        [message, parent, busy](const objdb::ColumnSummary &summary) {
            busy(false);
            ShowTotalBox([&] { return message(summary); }, parent);
        },
        [parent, busy](const objdb::Error &error) {
            busy(false);
            if (error.code() != objdb::kErrStopped)
                MessageService::inform(error.description(), MessageService::Icon::Exclamation, QString(), parent);
        });
}
