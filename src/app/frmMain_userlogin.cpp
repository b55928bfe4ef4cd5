// Choosing the operator of this run and checking his password.

#include "app/frmMain.h"

#include "services/administratoronly.h"
#include "objdb/datacontext.h"

#include <QAction>
#include <QCoreApplication>

bool frmMain::UserLogin(bool p_blnChangeUser, bool p_blnChangePwd)
{
    QCoreApplication::processEvents();
    // Held for the whole login, which waits on dialogs.
    const std::shared_ptr<objdb::DataContext> context = m_objSession.dataContext;
    if (!context)
        return false; // no archive open: nobody to log in against
    // The session changes only once the new operator's password is right: a change cancelled or
    // refused keeps the operator, his title and his rights.
    if (!m_objLogin.Run(*context, m_strOperatore, p_blnChangeUser, p_blnChangePwd))
        return false;
    m_objSession.setOperator(m_strOperatore);
    SetAppTitle();
    UpdateAdministratorCommands();
    return true;
}

void frmMain::UpdateAdministratorCommands()
{
    const bool administrator = IsAdministrator(m_objSession);
    for (QAction *item : {mnuDeletePayment, mnuVerifyArchive, mnuDeletionLog, mnuImport})
        item->setEnabled(administrator);
}
