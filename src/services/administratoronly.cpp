#include "services/administratoronly.h"

#include "services/messageservice.h"
#include "services/session.h"
#include "objdb/datacontext.h"

bool IsAdministrator(const Session &session)
{
    return session.dataContext && session.dataContext->UserLevel >= 1;
}

bool RefuseNonAdministrator(const Session &session, QWidget *owner)
{
    if (IsAdministrator(session))
        return false;
    MessageService::beep();
    if (session.dataContext) // without an archive there is nothing to explain
        MessageService::inform(QStringLiteral("Operazione consentita solo all'Amministratore"),
                               MessageService::Icon::Exclamation, QString(), owner);
    return true;
}
