#include "objdb/query/values.h"

#include "objdb/amount.h"
#include "objdb/error.h"
#include "objdb/types.h"

#include <charconv>
#include <cmath>

namespace objdb::query {

namespace {

const QString kCriterion = QStringLiteral("Criterio");

QString shownLiteral(const Node &literal)
{
    switch (literal.literalKind) {
    case Node::LiteralKind::Text:
        return textLiteral(literal.text.left(40));
    case Node::LiteralKind::Number:
        return literal.text.size() > 40 ? literal.text.left(40) + QChar(0x2026) : literal.text;
    case Node::LiteralKind::Date:
        return QLatin1Char('#') + criterionDate(literal.date) + QLatin1Char('#');
    case Node::LiteralKind::Boolean:
        break;
    }
    return literal.boolean ? QStringLiteral("True") : QStringLiteral("False");
}

[[noreturn]] void doesNotFit(const Node &literal, int type, const QString &field, const QString &why = QString())
{
    QString detail = QStringLiteral("il valore %1 non è adatto al campo %2, che richiede %3")
                         .arg(shownLiteral(literal), field, expectedValue(type));
    detail += why.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(why);
    syntaxError(kCriterion, literal.position, detail);
}

bool isTextType(int type)
{
    return type == TypeText || type == TypeLongText || type == TypeReference;
}

bool isKnownType(int type)
{
    switch (type) {
    case TypeText:
    case TypeLongText:
    case TypeReference:
    case TypeInteger:
    case TypeYesNo:
    case TypeFloat:
    case TypeDate:
    case TypeAmount:
        return true;
    default:
        return false;
    }
}

std::optional<double> decimalNumber(const QString &digits)
{
    bool ok = false;
    const double value = digits.toDouble(&ok); // QString::toDouble is locale-free ('.' decimal)
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString amountTextError(Amount::TextError error)
{
    switch (error) {
    case Amount::TextError::TooManyDecimals:
        return QStringLiteral("al massimo quattro decimali");
    case Amount::TextError::OutOfRange:
        return QStringLiteral("fuori dai limiti consentiti, da -%1 a %1")
            .arg(Amount::largestText());
    default:
        return QString();
    }
}

QVariant numberFor(const Node &literal, int type, const QString &field)
{
    const QString &digits = literal.text;
    if (isTextType(type))
        return digits; // compared as written: Codice = 07 means the text "07"
    switch (type) {
    case TypeAmount: {
        Amount::TextError error = Amount::TextError::None;
        const auto amount = Amount::parseDecimal(digits, &error);
        if (!amount)
            doesNotFit(literal, type, field, amountTextError(error));
        return qlonglong(amount->units());
    }
    case TypeYesNo:
    case TypeInteger: {
        const auto n = integralNumber(digits);
        if (!n)
            doesNotFit(literal, type, field);
        return toStorage(qlonglong(*n), type, field);
    }
    case TypeFloat: {
        const auto d = decimalNumber(digits);
        if (!d)
            doesNotFit(literal, type, field);
        return *d;
    }
    case TypeDate:
        doesNotFit(literal, type, field);
    default:
        return literalNatural(literal);
    }
}

QVariant textFor(const Node &literal, int type, const QString &field)
{
    if (isTextType(type) || !isKnownType(type))
        return literal.text;
    if (type == TypeFloat) {
        const auto d = decimalNumber(literal.text.trimmed());
        if (!d)
            doesNotFit(literal, type, field);
        return *d;
    }
    if (type == TypeYesNo)
        doesNotFit(literal, type, field);
    try {
        return toStorage(literal.text, type, field);
    } catch (const Error &) {
        doesNotFit(literal, type, field);
    }
}

} // namespace

QString expectedValue(int type)
{
    switch (type) {
    case TypeText:
    case TypeLongText:
    case TypeReference:
        return QStringLiteral("un testo tra apici");
    case TypeYesNo:
        return QStringLiteral("True o False");
    case TypeDate:
        return QStringLiteral("una data #mm/gg/aaaa#");
    case TypeAmount:
        return QStringLiteral("un importo");
    case TypeInteger:
        return QStringLiteral("un numero intero");
    case TypeFloat:
        return QStringLiteral("un numero");
    default:
        return QStringLiteral("un valore adatto");
    }
}

std::optional<qint64> integralNumber(const QString &digits)
{
    QString whole = digits;
    const int dot = int(whole.indexOf(QLatin1Char('.')));
    if (dot >= 0) {
        for (int i = dot + 1; i < whole.size(); ++i) {
            if (whole.at(i) != QLatin1Char('0'))
                return std::nullopt;
        }
        whole.truncate(dot);
    }
    bool ok = false;
    const qint64 n = whole.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

QVariant literalNatural(const Node &literal)
{
    switch (literal.literalKind) {
    case Node::LiteralKind::Text:
        return literal.text;
    case Node::LiteralKind::Number:
        if (const auto n = integralNumber(literal.text))
            return qlonglong(*n);
        if (const auto d = decimalNumber(literal.text))
            return *d;
        syntaxError(kCriterion, literal.position, QStringLiteral("numero non valido %1.").arg(literal.text));
    case Node::LiteralKind::Date:
        return isoDate(literal.date);
    case Node::LiteralKind::Boolean:
        break;
    }
    return qlonglong(literal.boolean ? 1 : 0);
}

QVariant literalStorage(const Node &literal, int type, const QString &field)
{
    switch (literal.literalKind) {
    case Node::LiteralKind::Text:
        return textFor(literal, type, field);
    case Node::LiteralKind::Number:
        return numberFor(literal, type, field);
    case Node::LiteralKind::Date:
        if (type == TypeDate || !isKnownType(type))
            return isoDate(literal.date);
        doesNotFit(literal, type, field);
    case Node::LiteralKind::Boolean:
        break;
    }
    if (type == TypeYesNo || !isKnownType(type))
        return qlonglong(literal.boolean ? 1 : 0);
    doesNotFit(literal, type, field);
}

QString likePattern(const QString &pattern)
{
    const QString folded = foldText(pattern);
    QString like;
    like.reserve(folded.size() + 8);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        switch (c.unicode()) {
        case '[': // "[*]" is an asterisk as data
            if (folded.mid(i, 3) == QLatin1String("[*]")) {
                like.append(QLatin1Char('*'));
                i += 2;
            } else {
                like.append(c);
            }
            break;
        case '*':
            like.append(QLatin1Char('%'));
            break;
        case '%':
        case '_':
        case '\\':
            like.append(QLatin1Char('\\'));
            like.append(c);
            break;
        default:
            like.append(c);
        }
    }
    return like;
}

// Public literal helpers ------------------------------------------------------------------------

QString textLiteral(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString likeData(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('*'), QStringLiteral("[*]"));
}

QString patternLiteral(const QString &pattern)
{
    // '*' is the criterion language's own wildcard, so the pattern is written as it is; Like turns
    // '*' into "any run" and keeps every other character ('%', '_', '\' too) as data.
    return textLiteral(pattern);
}

QString sqlNumber(double value)
{
    if (!std::isfinite(value))
        fail(QStringLiteral("Numero non valido in un criterio: %1.").arg(value));
    if (value == 0)
        return QStringLiteral("0"); // also -0
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        fail(QStringLiteral("Numero non valido in un criterio."));
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

namespace {

QString amountText(const Amount &amount)
{
    QString text = amount.toString(4);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString dateLiteral(const QVariant &value)
{
    const QDate date = QDate::fromString(toStorage(value, TypeDate).toString(), Qt::ISODate);
    return QLatin1Char('#') + criterionDate(date) + QLatin1Char('#');
}

} // namespace

QString literal(const QVariant &value, int type)
{
    if (isNull(value))
        fail(QStringLiteral("Un valore Null non si scrive in un criterio: usare Is Null oppure Is Not Null."));
    const int id = value.metaType().id();
    switch (type) {
    case TypeText:
    case TypeLongText:
    case TypeReference:
        return textLiteral(toStorage(value, TypeText).toString());
    case TypeYesNo:
        return toStorage(value, TypeYesNo).toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case TypeDate:
        return dateLiteral(value);
    case TypeAmount: {
        const auto amount = toAmount(value); // a double is refused, never rounded
        if (!amount)
            fail(QStringLiteral("Valore non valido: atteso un importo."));
        return amountText(*amount);
    }
    case TypeInteger:
        return QString::number(toStorage(value, TypeInteger).toLongLong());
    case TypeFloat: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok || id == QMetaType::QString)
            fail(QStringLiteral("Valore non valido: atteso un numero."));
        return sqlNumber(d);
    }
    default:
        break;
    }
    // A type code the language does not know: write the value as what it holds.
    switch (id) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return dateLiteral(value);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlNumber(value.toDouble());
    default:
        if (value.metaType() == QMetaType::fromType<Amount>())
            return amountText(value.value<Amount>());
        return textLiteral(value.toString());
    }
}

} // namespace objdb::query
