#include "users/scramble.h"

#include <QByteArray>

namespace {

bool isBlankOnly(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

QString ScrambleText(const QString &text, bool unscramble)
{
    if (isBlankOnly(text))
        return QString();

    QByteArray codes = text.toLatin1();
    const int parity = codes.size() % 2;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const auto c = static_cast<unsigned char>(codes[i]);
        // Positions count from 1, so even indexes are the odd positions.
        const bool oddPosition = (i % 2) == 0;
        int bit;
        int out;
        if (unscramble) {
            bit = c >> 7;
            if (oddPosition)
                bit ^= parity;
            out = ((c & 0x7F) << 1) | bit;
        } else {
            bit = c & 1;
            if (oddPosition)
                bit ^= parity;
            out = (bit << 7) | (c >> 1);
        }
        codes[i] = static_cast<char>(out);
    }
    return QString::fromLatin1(codes);
}
