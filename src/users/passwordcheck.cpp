#include "users/passwordcheck.h"

#include "data/storedpassword.h"
#include "users/scramble.h"

namespace {

// Compares without stopping at the first difference, so timing tells nothing about the content.
bool equalTextInConstantTime(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    unsigned int difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned int>(a[i].unicode() ^ b[i].unicode());
    return difference == 0;
}

} // namespace

bool verifyPassword(const QString &plain, const QString &stored)
{
    if (hasPasswordHashScheme(stored))
        return matchesPasswordHash(plain, stored);
    if (stored.isEmpty())
        return isEmptyPassword(plain);
    if (isEmptyPassword(plain))
        return false;
    // Both older forms are checked in full, whichever matches.
    const bool scrambled = equalTextInConstantTime(ScrambleText(plain), stored);
    const bool asTyped = equalTextInConstantTime(plain, stored);
    return scrambled || asTyped;
}
