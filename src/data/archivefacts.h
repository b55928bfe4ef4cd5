#pragma once
// What the archive knows of itself, kept in it so that every desk reads the same: its identity (made
// with it, or given by the structure upgrade to an archive made before), whether its amounts were
// converted to Euro (when, by whom), and the imports of other archives' rows it received. Written
// only by the commands they record, inside their own transaction; nobody edits them.

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

namespace objdb {
class Currency;
class Database;
} // namespace objdb

namespace ArchiveFacts {

inline const QString kFactsTable = QStringLiteral("InfoArchivio");
inline const QString kImportsTable = QStringLiteral("Importazioni");

// The archive's identity; "" for an archive of an older structure that was only read, never opened
// for writing by this program.
QString Identity(objdb::Database &database);

struct ConversionMark {
    bool converted = false;
    QDateTime when; // invalid when the mark came from an older program, which kept no date
    QString who;
};
ConversionMark Conversion(objdb::Database &database);
// Marks the archive converted, now, by the operator; inside the conversion's transaction.
void RecordConversion(objdb::Database &database, const QString &operatorName);
// An archive converted by an older program is known by a per-user setting of the desk that
// converted it: the mark goes into the archive open on that desk, and the setting goes away.
void AdoptConversionSetting(objdb::Database &database);
// The currency a view can show the amounts in: Euro for an archive kept in lire, lire once it has
// been converted to Euro.
std::shared_ptr<objdb::Currency> ConversionCurrency(objdb::Database &database);

struct ImportRecord {
    QDateTime when;
    QString who;
    QString table;   // the caption of the table imported
    qint64 rows = 0; // rows copied
};
// The last import from the archive of the given identity; none when it was never imported.
std::optional<ImportRecord> LastImportFrom(objdb::Database &database, const QString &sourceIdentity);
// Records an import inside its transaction: what was imported from which archive, now, by the operator.
void RecordImport(objdb::Database &database, const QString &operatorName, const QString &sourceIdentity,
                  const QString &sourceFile, const QString &tableCaption, qint64 rows, const QString &counts);

} // namespace ArchiveFacts
