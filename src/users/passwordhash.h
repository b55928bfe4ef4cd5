#pragma once
#include <QString>

// Operators' passwords are stored as salted PBKDF2-HMAC-SHA256 hashes in the text form
//   $pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>
// An empty password is stored as the empty text, so that "no password" stays visible.
// Older archives hold the scrambled form (ScrambleText); it is still accepted on verification.

// True for the empty password and one made only of blanks.
bool isEmptyPassword(const QString &plain);

// The stored form of a new password; "" for an empty or blank-only password.
QString hashPassword(const QString &plain);

// True when the stored value is a well-formed hash (not the empty or the scrambled form).
bool isPasswordHash(const QString &stored);

// True when the plain password matches the stored value, hashed or scrambled. An empty or Null
// stored value accepts the empty password and one made only of blanks.
bool verifyPassword(const QString &plain, const QString &stored);
