#include "objdb/notify.h"

#include "objdb/error.h"

namespace objdb::Application {

QString ActionText(int action)
{
    switch (action) {
    case ActionOpen: return QStringLiteral("Apertura");
    case ActionRead: return QStringLiteral("Lettura");
    case ActionSave: return QStringLiteral("Salvataggio");
    case ActionDelete: return QStringLiteral("Eliminazione");
    case ActionExport: return QStringLiteral("Esportazione");
    case ActionCopy: return QStringLiteral("Copia dati");
    case ActionCheck: return QStringLiteral("Verifica archivio");
    default: return QString();
    }
}

QString Message(int number, int /*language*/)
{
    switch (number) {
    case kErrRefused: return QStringLiteral("Operazione non completata: i dati non sono stati modificati.");
    case kErrStopped: return QStringLiteral("Operazione interrotta dall'utente.");
    default: return QStringLiteral("Errore %1.").arg(number);
    }
}

} // namespace objdb::Application
