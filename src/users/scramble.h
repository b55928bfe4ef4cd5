#pragma once
#include <QString>

// The reversible scrambling of the operators' passwords as older archives hold them.
// Works on the Latin-1 code of each character; the result has the input's length.
// A text made only of blanks (or empty) gives the empty text.
QString ScrambleText(const QString &text, bool unscramble = false);
