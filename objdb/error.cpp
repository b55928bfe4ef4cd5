#include "objdb/error.h"

#include <QSqlError>

namespace objdb {

namespace {

// The engine's result codes that the library tells apart. An extended code carries its primary
// code in the low byte.
enum EngineCode {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
    kReadOnlyDbMoved = kReadOnly | (4 << 8),
};

} // namespace

Error::Error(const QString &description, int n)
    : m_number(static_cast<std::int32_t>(static_cast<std::uint32_t>(kErrorBase) + static_cast<std::uint32_t>(n))),
      m_description(description), m_utf8(description.toUtf8())
{
}

void fail(const QString &description, int n)
{
    throw Error(description, n);
}

int engineErrorCode(const QSqlError &error)
{
    bool ok = false;
    const int extended = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        return kErrEngine;
    if (extended == kReadOnlyDbMoved)
        return kErrReplaced;
    switch (extended & 0xff) {
    case kBusy:
    case kLocked: return kErrLocked;
    case kReadOnly: return kErrReadOnly;
    case kIoError: return kErrDiskIo;
    case kCorrupt: return kErrDamaged;
    case kFull: return kErrDiskFull;
    case kCantOpen: return kErrFileAccess;
    case kNotADatabase: return kErrNotArchive;
    default: return kErrEngine;
    }
}

QString engineErrorText(const QSqlError &error)
{
    switch (engineErrorCode(error)) {
    case kErrLocked:
        return QStringLiteral("l'archivio è occupato da un altro terminale che vi sta scrivendo: riprovare tra poco");
    case kErrReadOnly:
        return QStringLiteral("l'archivio non può essere scritto (il file, la sua cartella o il disco sono di sola "
                              "lettura): controllarne i permessi, poi chiudere e riaprire il programma");
    case kErrReplaced:
        return QStringLiteral("l'archivio è stato sostituito mentre era aperto, per esempio dal recupero eseguito su "
                              "un altro terminale: chiudere e riaprire il programma per lavorare sull'archivio nuovo");
    case kErrDiskIo:
        return QStringLiteral("errore di lettura o scrittura sul disco dell'archivio: controllare il disco o la rete "
                              "e riprovare");
    case kErrDamaged:
        return QStringLiteral("l'archivio è danneggiato: recuperarlo con \"Recupera Database\" nelle opzioni");
    case kErrDiskFull:
        return QStringLiteral("il disco è pieno: liberare spazio sul disco dell'archivio e riprovare");
    case kErrFileAccess:
        return QStringLiteral("il file dell'archivio non è accessibile: controllare che la sua cartella esista e si "
                              "possa scrivere");
    case kErrNotArchive:
        return QStringLiteral("il file non è un archivio di dati");
    default:
        return QStringLiteral("errore imprevisto dell'archivio (%1)").arg(error.text().trimmed());
    }
}

void failEngine(const QString &what, const QSqlError &error)
{
    fail(QStringLiteral("%1: %2.").arg(what, engineErrorText(error)), engineErrorCode(error));
}

} // namespace objdb
