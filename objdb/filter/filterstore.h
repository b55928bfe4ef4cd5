#pragma once
// The store of saved filters inside the archive: one row per table, name and kind. A user's complex
// filters (predefined = false) and the predefined selections of the sections (predefined = true)
// share the table but never each other's names.

#include <QString>
#include <QStringList>
#include <optional>

namespace objdb {

class Database;

namespace FilterStore {

// Names in alphabetical order (case ignored).
QStringList names(Database &db, const QString &table, bool predefined);
bool exists(Database &db, const QString &table, const QString &name, bool predefined);
// The stored conditions, nullopt when nothing is stored under the name.
std::optional<QString> load(Database &db, const QString &table, const QString &name, bool predefined);
// False when the name is taken and overwrite is not given. A blank name or one with "|" throws.
bool save(Database &db, const QString &table, const QString &name, bool predefined, const QString &conditions,
          bool overwrite);
// True when something was deleted.
bool remove(Database &db, const QString &table, const QString &name, bool predefined);

} // namespace FilterStore
} // namespace objdb
