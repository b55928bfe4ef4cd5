#include "services/administratoronly.h"

#include "services/messageservice.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"

bool IsAdministrator()
{
    return modGlobal::g_objDataContext && modGlobal::g_objDataContext->UserLevel >= 1;
}

bool RefuseNonAdministrator(QWidget *owner)
{
    if (IsAdministrator())
        return false;
    MessageService::beep();
    if (modGlobal::g_objDataContext) // without an archive there is nothing to explain
        MessageService::inform(QStringLiteral("Operazione consentita solo all'Amministratore"),
                               MessageService::Icon::Exclamation, QString(), owner);
    return true;
}
