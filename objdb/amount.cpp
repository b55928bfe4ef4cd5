#include "objdb/amount.h"

#include "objdb/error.h"

#include <QRegularExpression>
#include <limits>

namespace objdb {

namespace {

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// A result beyond 64 bits is far beyond what the archive accepts: the same message tells both.
[[noreturn]] void overflow()
{
    fail(Amount::outOfRangeMessage());
}

// Divides rounding half away from zero; the divisor is not zero.
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

// Whole digits and up to four decimals, checked against the archive's bound.
std::optional<Amount> fromDigits(bool negative, const QString &whole, const QString &fraction, Amount::TextError *error)
{
    static const QRegularExpression digits(QStringLiteral("^\\d*$"));
    auto refuse = [error](Amount::TextError why) -> std::optional<Amount> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!digits.match(whole).hasMatch() || !digits.match(fraction).hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return refuse(Amount::TextError::Malformed);
    if (fraction.size() > 4)
        return refuse(Amount::TextError::TooManyDecimals);
    qsizetype firstDigit = 0;
    while (firstDigit < whole.size() && whole.at(firstDigit) == QLatin1Char('0'))
        ++firstDigit;
    // Fourteen digits of whole units still fit in 64 bits of ten-thousandths; any more are far out.
    if (whole.size() - firstDigit > 14)
        return refuse(Amount::TextError::OutOfRange);
    const std::int64_t w = whole.isEmpty() ? 0 : whole.mid(firstDigit).toLongLong();
    const std::int64_t f = fraction.isEmpty() ? 0 : fraction.toLongLong() * pow10(4 - int(fraction.size()));
    const Amount amount = Amount::fromUnits(negative ? -(w * Amount::kScale + f) : w * Amount::kScale + f);
    if (!amount.isAccepted())
        return refuse(Amount::TextError::OutOfRange);
    if (error)
        *error = Amount::TextError::None;
    return amount;
}

// Takes a leading sign off `text`; true when it was '-'.
bool takeSign(QString &text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    return negative;
}

QString elided(const QString &text)
{
    constexpr int kShown = 24;
    return text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
}

} // namespace

Amount Amount::fromInteger(std::int64_t whole)
{
    std::int64_t units = 0;
    if (__builtin_mul_overflow(whole, kScale, &units))
        overflow();
    return fromUnits(units);
}

std::optional<Amount> Amount::parse(const QString &input, TextError *error)
{
    QString text = input.trimmed();
    text.remove(QLatin1Char(' '));
    const bool negative = takeSign(text);
    // "1.234", "12.345.678": dots that group thousands (a first group with no leading zero).
    static const QRegularExpression grouped(QStringLiteral("^[1-9]\\d{0,2}(\\.\\d{3})+$"));
    QString whole = text, fraction;
    if (const qsizetype comma = text.indexOf(QLatin1Char(',')); comma >= 0) {
        whole = text.left(comma);
        fraction = text.mid(comma + 1);
        if (whole.contains(QLatin1Char('.'))) {
            if (!grouped.match(whole).hasMatch()) {
                if (error)
                    *error = TextError::Malformed;
                return std::nullopt;
            }
            whole.remove(QLatin1Char('.'));
        }
    } else if (grouped.match(text).hasMatch()) {
        whole.remove(QLatin1Char('.'));
    } else if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) {
        whole = text.left(dot); // a second '.' leaves a non-digit in the fraction
        fraction = text.mid(dot + 1);
    }
    return fromDigits(negative, whole, fraction, error);
}

std::optional<Amount> Amount::parseDecimal(const QString &input, TextError *error)
{
    QString text = input.trimmed();
    const bool negative = takeSign(text);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return fromDigits(negative, dot < 0 ? text : text.left(dot), dot < 0 ? QString() : text.mid(dot + 1), error);
}

QString Amount::largestText()
{
    return fromUnits(kMaxUnits).toDisplayString(4);
}

QString Amount::outOfRangeMessage(const QString &field)
{
    const QString limit = largestText();
    const QString where = field.isEmpty() ? QString() : QStringLiteral(" per il campo %1").arg(field);
    return QStringLiteral("Importo fuori dai limiti consentiti%1: sono ammessi importi da -%2 a %2.").arg(where, limit);
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

Amount Amount::scaled(std::int64_t numerator, std::int64_t denominator, int decimals) const
{
    if (denominator == 0)
        fail(QStringLiteral("Calcolo di importi non valido: divisione per zero."));
    // The exact value m_units * numerator / denominator in ten-thousandths, rounded once to the
    // step of `decimals`: both products fit in 128 bits.
    const __int128 step = pow10(4 - std::clamp(decimals, 0, 4));
    const __int128 n = static_cast<__int128>(m_units) * numerator;
    const __int128 d = static_cast<__int128>(denominator) * step;
    const bool negative = (n < 0) != (d < 0);
    const __int128 magnitude = n < 0 ? -n : n, divisor = d < 0 ? -d : d;
    __int128 q = magnitude / divisor;
    if ((magnitude % divisor) * 2 >= divisor)
        ++q;
    const __int128 units = (negative ? -q : q) * step;
    if (units < std::numeric_limits<std::int64_t>::min() || units > std::numeric_limits<std::int64_t>::max())
        overflow();
    return fromUnits(static_cast<std::int64_t>(units));
}

Amount Amount::dividedBy(const Amount &divisor, int decimals) const
{
    return scaled(kScale, divisor.m_units, decimals);
}

Amount Amount::multipliedBy(const Amount &factor, int decimals) const
{
    return scaled(factor.m_units, kScale, decimals);
}

Amount Amount::abs() const
{
    return m_units < 0 ? -*this : *this;
}

Amount &Amount::operator+=(Amount b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(m_units, b.m_units, &sum))
        overflow();
    m_units = sum;
    return *this;
}

Amount &Amount::operator-=(Amount b)
{
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(m_units, b.m_units, &difference))
        overflow();
    m_units = difference;
    return *this;
}

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

std::optional<Amount> toAmount(const QVariant &v, const QString &field)
{
    if (isNull(v))
        return std::nullopt;
    if (v.metaType() == QMetaType::fromType<Amount>())
        return v.value<Amount>();
    const QString where = field.isEmpty() ? QString() : QStringLiteral(" per il campo %1").arg(field);
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        break;
    case QMetaType::ULongLong:
        if (v.toULongLong() > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            fail(Amount::outOfRangeMessage(field));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        fail(QStringLiteral("Valore non valido%1: un importo non può essere dato come numero in virgola mobile (%2).")
                 .arg(where, elided(v.toString())));
    case QMetaType::QString: {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return std::nullopt;
        Amount::TextError error = Amount::TextError::None;
        if (const auto amount = Amount::parse(text, &error))
            return amount;
        if (error == Amount::TextError::OutOfRange)
            fail(Amount::outOfRangeMessage(field));
        fail(QStringLiteral("Valore non valido%1: «%2» non è un importo%3.")
                 .arg(where, elided(text),
                      error == Amount::TextError::TooManyDecimals ? QStringLiteral(" (al massimo quattro decimali)")
                                                                  : QString()));
    }
    default:
        fail(QStringLiteral("Valore non valido%1: atteso un importo.").arg(where));
    }
    return Amount::fromInteger(v.toLongLong());
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
