// Choosing the operator of this run and checking his password.

#include "app/frmMain.h"

#include "services/deskmark.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"

#include <QCoreApplication>

bool frmMain::UserLogin(bool p_blnChangeUser, bool p_blnChangePwd)
{
    QCoreApplication::processEvents();
    // Held for the whole login, which waits on dialogs.
    const std::shared_ptr<objdb::DataContext> context = modGlobal::g_objDataContext;
    if (!context)
        return false; // no archive open: nobody to log in against
    const bool loggedIn =
        m_objLogin.Run(*context, m_strOperatore, p_blnChangeUser, p_blnChangePwd, [this] { SetAppTitle(); });
    modGlobal::OperatorName = m_strOperatore;
    if (modGlobal::g_objDeskMark)
        modGlobal::g_objDeskMark->setOperator(m_strOperatore);
    return loggedIn;
}
