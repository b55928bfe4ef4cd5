#include "objdb/grid/cellformat.h"

#include <algorithm>
#include <array>

namespace objdb::CellFormat {

QString amountText(Amount amount, int decimals)
{
    const bool negative = amount.units() < 0;
    // Unsigned, so that the most negative amount has a magnitude too.
    const quint64 magnitude = negative ? 0 - quint64(amount.units()) : quint64(amount.units());
    decimals = std::clamp(decimals, 0, 4);
    quint64 step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    const quint64 rounded = magnitude / step + (magnitude % step * 2 >= step ? 1 : 0); // half away from zero
    quint64 shown = rounded;
    std::array<char, 40> buffer{};
    int at = int(buffer.size());
    for (int i = 0; i < decimals; ++i) {
        buffer[--at] = char('0' + shown % 10);
        shown /= 10;
    }
    if (decimals > 0)
        buffer[--at] = ',';
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            buffer[--at] = '.';
        buffer[--at] = char('0' + shown % 10);
        shown /= 10;
        ++digits;
    } while (shown > 0);
    if (negative && rounded > 0)
        buffer[--at] = '-';
    return QString::fromLatin1(buffer.data() + at, qsizetype(buffer.size()) - at);
}

QString dateText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    // One calendar conversion for the three parts (year(), month() and day() convert each).
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999)
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    const char16_t text[] = {char16_t('0' + day / 10), char16_t('0' + day % 10), u'/',
                             char16_t('0' + month / 10), char16_t('0' + month % 10), u'/',
                             char16_t('0' + year / 1000), char16_t('0' + year / 100 % 10),
                             char16_t('0' + year / 10 % 10), char16_t('0' + year % 10)};
    return QString(reinterpret_cast<const QChar *>(text), std::size(text));
}

} // namespace objdb::CellFormat
