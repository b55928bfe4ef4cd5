// Choosing the operator of this run and checking his password.

#include "services/errorreport.h"
#include "app/frmMain.h"
#include "services/modGlobal.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "users/frmPassword.h"
#include "users/frmSelectOper.h"
#include "users/passwordhash.h"

#include <QCoreApplication>

bool frmMain::UserLogin(bool p_blnChangeUser, bool p_blnChangePwd)
{
    QCoreApplication::processEvents();
    if (p_blnChangeUser) {
        if (!m_frmSelectOper)
            m_frmSelectOper = new frmSelectOper(this);
        m_frmSelectOper->exec();
        m_strOperatore = m_frmSelectOper->m_strOperatore;
        SetAppTitle();
    }
    if (m_strOperatore.trimmed().isEmpty())
        return false;
    try {
        auto &operators = modGlobal::g_objDataContext->Tables().Item(QStringLiteral("Operatori"));
        auto ds = operators.OpenDataSource(QStringLiteral("Nome=") + operators.Literal(QStringLiteral("Nome"), m_strOperatore));
        const QVariant stored = ds->GetField(QStringLiteral("Password"));
        const QString storedPassword = stored.isNull() ? QString() : stored.toString();
        if (!m_frmPassword)
            m_frmPassword = new frmPassword(this);
        if (!m_frmPassword->ValidatePassword(this, p_blnChangePwd, storedPassword))
            return false;
        if (m_frmPassword->Changed()) {
            ds->SetField(QStringLiteral("Password"), hashPassword(m_frmPassword->Password()));
            ds->SaveRow();
        } else if (!p_blnChangePwd && !isEmptyPassword(storedPassword) && !isPasswordHash(storedPassword)) {
            // A password still kept in the old reversible form is rewritten as a hash.
            ds->SetField(QStringLiteral("Password"), hashPassword(m_frmPassword->EnteredPassword()));
            ds->SaveRow();
        }
        modGlobal::g_objDataContext->UserLevel = m_strOperatore == QLatin1String("Amministratore") ? 1 : 0;
        return true;
    } catch (const std::exception &) {
        ShowErrorReport(QString(), PendingError::current());
        return false;
    }
}
