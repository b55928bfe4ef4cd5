#include "objdb/panel/fieldtext.h"

#include "objdb/amount.h"

#include <QDate>
#include <QRegularExpression>

namespace objdb::FieldText {

QString amount(const QVariant &value)
{
    const auto a = toAmount(value);
    if (!a)
        return QString();
    // Show the third and fourth decimals only when they carry something.
    const std::int64_t units = a->units();
    const int decimals = units % 100 == 0 ? 2 : units % 10 == 0 ? 3 : 4;
    return a->toDisplayString(decimals);
}

QString date(const QVariant &value)
{
    if (isNull(value))
        return QString();
    return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
}

Parsed parseAmount(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    const auto a = Amount::parse(trimmed);
    if (!a)
        return {QVariant(), QStringLiteral("Importo non valido: «%1».").arg(trimmed)};
    return {QVariant::fromValue(*a), QString()};
}

Parsed parseDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    // QDate::fromString accepts a single digit for "d" and "M", so "1/2/2005" is read too.
    static const QRegularExpression shape(QStringLiteral("^\\d{1,2}/\\d{1,2}/\\d{4}$"));
    const QDate d = shape.match(trimmed).hasMatch() ? QDate::fromString(trimmed, QStringLiteral("d/M/yyyy")) : QDate();
    if (!d.isValid())
        return {QVariant(), QStringLiteral("Data non valida: «%1». Scrivere la data come gg/mm/aaaa.").arg(trimmed)};
    return {d, QString()};
}

} // namespace objdb::FieldText
