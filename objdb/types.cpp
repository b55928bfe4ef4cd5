#include "objdb/types.h"

#include "objdb/amount.h"
#include "objdb/error.h"

namespace objdb {

namespace {

[[noreturn]] void wrongType(const QString &column, const QString &expected)
{
    fail(column.isEmpty() ? QStringLiteral("Valore non valido: atteso %1.").arg(expected)
                          : QStringLiteral("Valore non valido per il campo %1: atteso %2.").arg(column, expected));
}

} // namespace

QVariant toStorage(const QVariant &value, int type, const QString &column)
{
    if (isNull(value))
        return QVariant();
    switch (type) {
    case TypeText:
    case TypeLongText:
        if (value.metaType() == QMetaType::fromType<Amount>())
            return value.value<Amount>().toString();
        return value.toString();
    case TypeYesNo:
        if (value.metaType().id() == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        if (value.canConvert<qlonglong>() && value.metaType().id() != QMetaType::QString)
            return value.toLongLong() != 0 ? 1 : 0;
        wrongType(column, QStringLiteral("Sì o No"));
    case TypeDate: {
        QDate date;
        if (value.metaType().id() == QMetaType::QDate)
            date = value.toDate();
        else if (value.metaType().id() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else if (value.metaType().id() == QMetaType::QString)
            date = QDate::fromString(value.toString(), Qt::ISODate);
        if (!date.isValid())
            wrongType(column, QStringLiteral("una data valida"));
        return isoDate(date);
    }
    case TypeAmount: {
        const auto amount = toAmount(value, column);
        if (!amount) // blank text
            wrongType(column, QStringLiteral("un importo"));
        if (!amount->isAccepted())
            fail(Amount::outOfRangeMessage(column));
        return qlonglong(amount->units());
    }
    case TypeInteger:
    case TypeReference: {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (!ok)
            wrongType(column, QStringLiteral("un numero intero"));
        return n;
    }
    default:
        return value;
    }
}

QVariant fromStorage(const QVariant &stored, int type)
{
    if (isNull(stored))
        return QVariant();
    switch (type) {
    case TypeText:
    case TypeLongText:
        return stored.toString();
    case TypeYesNo:
        return stored.toLongLong() != 0;
    case TypeDate:
        return QDate::fromString(stored.toString().left(10), Qt::ISODate);
    case TypeAmount:
        return QVariant::fromValue(Amount::fromUnits(stored.toLongLong()));
    case TypeInteger:
        return stored.toLongLong();
    default:
        return stored;
    }
}

QString displayText(const QVariant &value, int type)
{
    if (isNull(value))
        return QString();
    switch (type) {
    case TypeAmount:
        if (const auto a = toAmount(value))
            return a->toDisplayString(2);
        return QString();
    case TypeDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case TypeYesNo:
        return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    default:
        return value.toString();
    }
}

QString criterionDate(const QDate &date)
{
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

QString isoDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

} // namespace objdb
