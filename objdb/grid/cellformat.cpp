#include "objdb/grid/cellformat.h"

#include <array>

namespace objdb::CellFormat {

QString amountText(Amount amount)
{
    const bool negative = amount.units() < 0;
    // Unsigned, so that the most negative amount has a magnitude too.
    const quint64 magnitude = negative ? 0 - quint64(amount.units()) : quint64(amount.units());
    const quint64 cents = (magnitude + 50) / 100;
    std::array<char, 40> buffer{};
    int at = int(buffer.size());
    buffer[--at] = char('0' + cents % 10);
    buffer[--at] = char('0' + cents / 10 % 10);
    buffer[--at] = ',';
    quint64 whole = cents / 100;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            buffer[--at] = '.';
        buffer[--at] = char('0' + whole % 10);
        whole /= 10;
        ++digits;
    } while (whole > 0);
    if (negative && cents > 0)
        buffer[--at] = '-';
    return QString::fromLatin1(buffer.data() + at, qsizetype(buffer.size()) - at);
}

QString dateText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    const int year = date.year();
    if (year < 1 || year > 9999)
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    const char text[] = {char('0' + date.day() / 10), char('0' + date.day() % 10), '/',
                         char('0' + date.month() / 10), char('0' + date.month() % 10), '/',
                         char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                         char('0' + year % 10)};
    return QString::fromLatin1(text, sizeof text);
}

} // namespace objdb::CellFormat
