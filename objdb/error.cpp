#include "objdb/error.h"

namespace objdb {

Error::Error(const QString &description, int n)
    : m_number(static_cast<std::int32_t>(static_cast<std::uint32_t>(kErrorBase) + static_cast<std::uint32_t>(n))),
      m_description(description), m_utf8(description.toUtf8())
{
}

void fail(const QString &description, int n)
{
    throw Error(description, n);
}

QString engineErrorText(int cause, const QString &engineText)
{
    switch (cause) {
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
    case kErrOverflow:
        return QStringLiteral("il risultato è fuori dai limiti consentiti");
    case kErrConnectionLost:
        return QStringLiteral("connessione al server persa: controllare la rete e che il server dell'archivio sia "
                              "acceso, poi chiudere e riaprire il programma");
    default:
        return QStringLiteral("errore imprevisto dell'archivio (%1)").arg(engineText.trimmed());
    }
}

void failEngine(const QString &what, int cause, const QString &engineText)
{
    fail(QStringLiteral("%1: %2.").arg(what, engineErrorText(cause, engineText)), cause);
}

} // namespace objdb
