#include "objdb/report/valueformat.h"

#include "objdb/amount.h"
#include "objdb/grid/cellformat.h"
#include "objdb/types.h"

#include <optional>

namespace objdb::report {

namespace {

// A whole number written as text ("07", "-12"), small enough to be an amount.
std::optional<Amount> wholeNumberText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 12)
        return std::nullopt;
    for (qsizetype i = 0; i < trimmed.size(); ++i)
        if (!trimmed.at(i).isDigit() && !(i == 0 && trimmed.at(i) == u'-' && trimmed.size() > 1))
            return std::nullopt;
    return Amount::fromInteger(trimmed.toLongLong());
}

std::optional<Amount> numberOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<Amount>())
        return value.value<Amount>();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Amount::fromInteger(value.toLongLong());
    case QMetaType::QString:
        return wholeNumberText(value.toString());
    default:
        return std::nullopt;
    }
}

QString numberText(const Amount &amount, const QString &format)
{
    const qsizetype point = format.indexOf(u'.');
    const QString whole = point < 0 ? format : format.left(point);
    const QString fraction = point < 0 ? QString() : format.mid(point + 1);
    const int decimals = int(qMin<qsizetype>(4, fraction.count(u'0')));
    QString text = CellFormat::amountText(amount, decimals);
    if (!whole.contains(u','))
        text.remove(u'.');
    if (!whole.contains(u'0')) {
        // No zero asked for in front: 0 is "", 0,50 is ",50".
        const qsizetype digit = text.startsWith(u'-') ? 1 : 0;
        if (text.mid(digit, 1) == QLatin1String("0") && (text.size() == digit + 1 || text.at(digit + 1) == u','))
            text.remove(digit, 1);
        if (text == QLatin1String("-"))
            text.clear();
    }
    return text;
}

} // namespace

bool isNumberFormat(const QString &format)
{
    if (format.isEmpty())
        return false;
    for (const QChar ch : format)
        if (ch != u'#' && ch != u'0' && ch != u',' && ch != u'.')
            return false;
    return true;
}

QString formatValue(const QVariant &value, int type, const QString &format)
{
    if (isNull(value))
        return QString();
    if (isNumberFormat(format)) {
        if (const auto number = numberOf(value))
            return numberText(*number, format);
        return displayText(value, type);
    }
    if (!format.isEmpty() && type == TypeDate)
        return value.toDate().toString(format);
    return displayText(value, type);
}

} // namespace objdb::report
