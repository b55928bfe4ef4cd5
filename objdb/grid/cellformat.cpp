#include "objdb/grid/cellformat.h"

#include <algorithm>
#include <array>

namespace objdb::CellFormat {

namespace {

// The amount's characters, written backwards ending at `end`; returns where they start.
char *amountChars(char *end, Amount amount, int decimals)
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
    char *at = end;
    for (int i = 0; i < decimals; ++i) {
        *--at = char('0' + shown % 10);
        shown /= 10;
    }
    if (decimals > 0)
        *--at = ',';
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            *--at = '.';
        *--at = char('0' + shown % 10);
        shown /= 10;
        ++digits;
    } while (shown > 0);
    if (negative && rounded > 0)
        *--at = '-';
    return at;
}

} // namespace

QString amountText(Amount amount, int decimals)
{
    std::array<char, kMaxAmountChars> buffer{};
    const char *start = amountChars(buffer.data() + buffer.size(), amount, decimals);
    return QString::fromLatin1(start, buffer.data() + buffer.size() - start);
}

int writeAmount(char16_t *out, Amount amount, int decimals)
{
    std::array<char, kMaxAmountChars> buffer{};
    const char *end = buffer.data() + buffer.size();
    const char *start = amountChars(buffer.data() + buffer.size(), amount, decimals);
    for (const char *c = start; c != end; ++c)
        *out++ = char16_t(*c);
    return int(end - start);
}

int writeDate(char16_t *out, const QDate &date)
{
    if (!date.isValid())
        return 0;
    // One calendar conversion for the three parts (year(), month() and day() convert each).
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999)
        return -1;
    const char16_t text[] = {char16_t('0' + day / 10), char16_t('0' + day % 10), u'/',
                             char16_t('0' + month / 10), char16_t('0' + month % 10), u'/',
                             char16_t('0' + year / 1000), char16_t('0' + year / 100 % 10),
                             char16_t('0' + year / 10 % 10), char16_t('0' + year % 10)};
    std::copy(std::begin(text), std::end(text), out);
    return int(std::size(text));
}

QString dateText(const QDate &date)
{
    char16_t text[10];
    const int length = writeDate(text, date);
    if (length < 0)
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    return QString(reinterpret_cast<const QChar *>(text), length);
}

} // namespace objdb::CellFormat
