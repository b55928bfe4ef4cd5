#pragma once
// The check of an archive: the file's own integrity, every movement's outstanding amount and paid
// flag against its payments and its purged payments, payments without their movement, references
// to rows that do not exist. Each finding is one line of text; nothing is changed.

#include <QStringList>

namespace objdb {
class DataContext;
}

namespace ArchiveCheck {

struct Report {
    QStringList lines;          // findings, or the one line of a correct archive
    int movementMismatches = 0; // what Recalculate mends
    bool clean = false;
};

inline const QString kCleanLine = QStringLiteral("Archivio corretto: nessuna differenza trovata.");
// Heads the engine's findings on the file.
inline const QString kFileDamagedLine =
    QStringLiteral("File danneggiato: lo ripara Strumenti > Opzioni... > Recupera Database.");
// Findings of one kind listed at most; the rest are counted.
inline constexpr int kListedPerKind = 1000;

Report Run(objdb::DataContext &context);

// Sets the outstanding amounts and paid flags that differ from the payments, in one transaction,
// logging each change. Returns how many movements changed.
int Recalculate(objdb::DataContext &context);

} // namespace ArchiveCheck
