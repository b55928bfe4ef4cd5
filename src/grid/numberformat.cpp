#include "grid/numberformat.h"

#include "objdb/amount.h"
#include "objdb/types.h"

#include <QLocale>

#include <algorithm>

namespace {

// "-1234.500" (a '.' before the decimals, none after a whole number) written in the format.
QString shape(QString plain, const QString &format)
{
    const QLocale locale;
    const bool negative = plain.startsWith(QLatin1Char('-'));
    if (negative)
        plain.remove(0, 1);
    const qsizetype dot = plain.indexOf(QLatin1Char('.'));
    QString whole = dot >= 0 ? plain.left(dot) : plain;
    QString fraction = dot >= 0 ? plain.mid(dot + 1) : QString();

    const QString integerPart = format.section(QLatin1Char('.'), 0, 0);
    if (format.isEmpty()) {
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
    } else if (whole == QLatin1String("0") && !integerPart.endsWith(QLatin1Char('0'))) {
        whole.clear(); // "#.000": ",500"
    }
    if (integerPart.contains(QLatin1Char(',')))
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, locale.groupSeparator());
    QString text = fraction.isEmpty() ? whole : whole + locale.decimalPoint() + fraction;
    // A value rounded to zero loses its sign.
    const bool nonZero = std::any_of(plain.begin(), plain.end(), [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); });
    if (negative && nonZero)
        text.prepend(locale.negativeSign());
    return text;
}

} // namespace

int FormatDecimals(const QString &format)
{
    if (format.isEmpty())
        return 4;
    const qsizetype dot = format.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(format.mid(dot + 1).count(QLatin1Char('0')) + format.mid(dot + 1).count(QLatin1Char('#')));
}

QString FormatNumber(const QVariant &value, const QString &format)
{
    if (objdb::isNull(value))
        return QString();
    const int decimals = FormatDecimals(format);
    if (value.metaType() == QMetaType::fromType<objdb::Amount>())
        return shape(value.value<objdb::Amount>().toString(decimals), format);
    if (value.metaType().id() == QMetaType::Double)
        return shape(QString::number(value.toDouble(), 'f', format.isEmpty() ? 10 : decimals), format);
    return shape(QString::number(value.toLongLong()), format);
}
