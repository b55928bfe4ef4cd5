#pragma once
#include <QString>

// Operators' passwords are stored as salted PBKDF2-HMAC-SHA256 hashes in the text form
//   $pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>
// An empty password is stored as the empty text, so that "no password" stays visible. The rule of
// the table Operatori turns every password written into this form.

// True for the empty password and one made only of blanks.
bool isEmptyPassword(const QString &plain);

// The stored form of a new password; "" for an empty or blank-only password.
QString hashPassword(const QString &plain);

// True when the stored value is a well-formed hash (not the empty or an older form).
bool isPasswordHash(const QString &stored);

// True when the stored value begins as a hash does, well-formed or damaged: a damaged hash must not
// be taken for an older form of the password.
bool hasPasswordHashScheme(const QString &stored);

// True when stored is a well-formed hash of plain.
bool matchesPasswordHash(const QString &plain, const QString &stored);
