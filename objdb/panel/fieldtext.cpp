#include "objdb/panel/fieldtext.h"

#include "objdb/amount.h"

#include <QDate>
#include <QRegularExpression>

namespace objdb::FieldText {

namespace {

// A refused text as quoted back: a long one is cut.
QString shown(const QString &text)
{
    constexpr int kShown = 24;
    return text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
}

} // namespace

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
    Amount::TextError error = Amount::TextError::None;
    const auto a = Amount::parse(trimmed, &error);
    if (a)
        return {QVariant::fromValue(*a), QString()};
    switch (error) {
    case Amount::TextError::OutOfRange:
        return {QVariant(), Amount::outOfRangeMessage()};
    case Amount::TextError::TooManyDecimals:
        return {QVariant(), QStringLiteral("Importo non valido: «%1». Un importo ha al massimo quattro decimali.")
                                .arg(shown(trimmed))};
    default:
        return {QVariant(), QStringLiteral("Importo non valido: «%1».")
                                .arg(shown(trimmed))};
    }
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
        return {QVariant(), QStringLiteral("Data non valida: «%1». Scrivere la data come gg/mm/aaaa.").arg(shown(trimmed))};
    return {d, QString()};
}

} // namespace objdb::FieldText
