#pragma once
#include <QString>

// The check of a password typed at login against what the archive holds for the operator: the
// hash of today's archives, or one of the older forms a login rewrites as a hash (the scrambled
// form of the first archives, and the plain text an operator created in the editing panel was
// once stored as).
//
// An empty or Null stored value accepts the empty password and one made only of blanks; a blank
// password is never taken for an older form (the scrambled "A" is a single blank).
bool verifyPassword(const QString &plain, const QString &stored);
