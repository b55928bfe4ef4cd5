#include "objdb/amount.h"

#include <QRegularExpression>

namespace objdb {

namespace {

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Divides rounding half away from zero.
std::int64_t divideRounded(std::int64_t value, std::int64_t divisor)
{
    const bool negative = (value < 0) != (divisor < 0);
    std::uint64_t v = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    std::uint64_t d = divisor < 0 ? std::uint64_t(0) - std::uint64_t(divisor) : std::uint64_t(divisor);
    std::uint64_t q = v / d;
    if ((v % d) * 2 >= d)
        ++q;
    const auto r = static_cast<std::int64_t>(q);
    return negative ? -r : r;
}

} // namespace

std::optional<Amount> Amount::parse(const QString &input)
{
    QString text = input.trimmed();
    text.remove(QLatin1Char(' '));
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) {
        negative = text.startsWith(QLatin1Char('-'));
        text.remove(0, 1);
    }
    // Decide which separator is the decimal one: the last of '.' and ',' when both appear;
    // a lone ',' is decimal; a lone '.' is decimal unless it groups thousands ("1.234.567").
    const int lastDot = text.lastIndexOf(QLatin1Char('.'));
    const int lastComma = text.lastIndexOf(QLatin1Char(','));
    QChar decimal;
    if (lastDot >= 0 && lastComma >= 0)
        decimal = lastDot > lastComma ? QLatin1Char('.') : QLatin1Char(',');
    else if (lastComma >= 0)
        decimal = text.count(QLatin1Char(',')) == 1 ? QLatin1Char(',') : QChar();
    else if (lastDot >= 0)
        decimal = text.count(QLatin1Char('.')) == 1 ? QLatin1Char('.') : QChar();
    const QChar grouping = decimal == QLatin1Char(',') ? QLatin1Char('.')
                         : decimal == QLatin1Char('.') ? QLatin1Char(',')
                         : (lastDot >= 0 ? QLatin1Char('.') : QLatin1Char(','));
    QString whole = text, fraction;
    if (!decimal.isNull()) {
        const int at = text.lastIndexOf(decimal);
        whole = text.left(at);
        fraction = text.mid(at + 1);
    }
    if (whole.contains(grouping)) {
        static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(\\%1\\d{3})+$"));
        const QRegularExpression pattern(grouped.pattern().arg(grouping));
        if (!pattern.match(whole).hasMatch())
            return std::nullopt;
        whole.remove(grouping);
    }
    static const QRegularExpression digits(QStringLiteral("^\\d*$"));
    if (!digits.match(whole).hasMatch() || !digits.match(fraction).hasMatch())
        return std::nullopt;
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (fraction.size() > 4 || whole.size() > 14)
        return std::nullopt;
    const std::int64_t w = whole.isEmpty() ? 0 : whole.toLongLong();
    const std::int64_t f = fraction.isEmpty() ? 0 : fraction.toLongLong() * pow10(4 - int(fraction.size()));
    const std::int64_t units = w * kScale + f;
    return fromUnits(negative ? -units : units);
}

QString Amount::toString(int decimals) const
{
    decimals = std::clamp(decimals, 0, 4);
    const std::int64_t scaled = divideRounded(m_units, pow10(4 - decimals));
    const bool negative = scaled < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(0) - std::uint64_t(scaled) : std::uint64_t(scaled);
    const std::uint64_t p = std::uint64_t(pow10(decimals));
    QString text = QString::number(magnitude / p);
    if (decimals > 0)
        text += QLatin1Char('.') + QString::number(magnitude % p).rightJustified(decimals, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

QString Amount::toDisplayString(int decimals) const
{
    QString plain = toString(decimals);
    const bool negative = plain.startsWith(QLatin1Char('-'));
    if (negative)
        plain.remove(0, 1);
    const int dot = plain.indexOf(QLatin1Char('.'));
    QString whole = dot >= 0 ? plain.left(dot) : plain;
    const QString fraction = dot >= 0 ? plain.mid(dot + 1) : QString();
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    QString text = fraction.isEmpty() ? whole : whole + QLatin1Char(',') + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

Amount Amount::rounded(int decimals) const
{
    decimals = std::clamp(decimals, 0, 4);
    const std::int64_t step = pow10(4 - decimals);
    return fromUnits(divideRounded(m_units, step) * step);
}

Amount Amount::dividedBy(const Amount &divisor) const
{
    // units / (d/10000) in ten-thousandths = units * 10000 / d
    const __int128 numerator = static_cast<__int128>(m_units) * kScale;
    const __int128 d = divisor.m_units;
    const bool negative = (numerator < 0) != (d < 0);
    __int128 n = numerator < 0 ? -numerator : numerator;
    const __int128 dd = d < 0 ? -d : d;
    __int128 q = n / dd;
    if ((n % dd) * 2 >= dd)
        ++q;
    return fromUnits(static_cast<std::int64_t>(negative ? -q : q));
}

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

std::optional<Amount> toAmount(const QVariant &v)
{
    if (isNull(v))
        return std::nullopt;
    if (v.metaType() == QMetaType::fromType<Amount>())
        return v.value<Amount>();
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Amount::fromInteger(v.toLongLong());
    case QMetaType::QString:
        return Amount::parse(v.toString());
    default:
        return std::nullopt;
    }
}

QVariant addAmounts(const QVariant &a, const QVariant &b)
{
    const auto x = toAmount(a), y = toAmount(b);
    if (!x || !y)
        return QVariant();
    return QVariant::fromValue(*x + *y);
}

QVariant subtractAmounts(const QVariant &a, const QVariant &b)
{
    const auto x = toAmount(a), y = toAmount(b);
    if (!x || !y)
        return QVariant();
    return QVariant::fromValue(*x - *y);
}

} // namespace objdb
