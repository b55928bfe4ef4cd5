// Choosing the operator of this run and checking his password.

#include "services/errorreport.h"
#include "app/frmMain.h"
#include "services/modGlobal.h"
#include "services/messageservice.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "users/frmPassword.h"
#include "users/frmSelectOper.h"
#include "users/passwordhash.h"

#include <QCoreApplication>

namespace {

enum class Attempt { LoggedIn, Cancelled, Failed };

// Why the name chosen in the list cannot log in; empty when it can.
QString unusableName(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Nessun operatore scelto: scegliere un nome dall'elenco.");
    if (name.trimmed().isEmpty())
        return QStringLiteral("L'operatore scelto ha un nome vuoto e non può accedere: sceglierne un altro dall'elenco.");
    return QString();
}

} // namespace

bool frmMain::UserLogin(bool p_blnChangeUser, bool p_blnChangePwd)
{
    QCoreApplication::processEvents();
    const auto refuse = [this](const QString &why) {
        MessageService::inform(why, MessageService::Icon::Exclamation, QString(), this);
        return Attempt::Failed;
    };
    const auto attempt = [&]() -> Attempt {
        if (const QString why = unusableName(m_strOperatore); !why.isEmpty())
            return refuse(why);
        try {
            auto &operators = modGlobal::g_objDataContext->Tables().Item(QStringLiteral("Operatori"));
            auto ds = operators.OpenDataSource(QStringLiteral("Nome=") + operators.Literal(QStringLiteral("Nome"), m_strOperatore));
            // Another desk may have removed or renamed him since the list was read.
            if (ds->IsEmpty())
                return refuse(QStringLiteral("L'operatore %1 non è più presente nell'archivio.").arg(m_strOperatore));
            const QVariant stored = ds->GetField(QStringLiteral("Password"));
            const QString storedPassword = stored.isNull() ? QString() : stored.toString();
            if (!m_frmPassword)
                m_frmPassword = new frmPassword(this);
            if (!m_frmPassword->ValidatePassword(this, p_blnChangePwd, storedPassword))
                return Attempt::Cancelled;
            if (m_frmPassword->Changed()) {
                ds->SetField(QStringLiteral("Password"), hashPassword(m_frmPassword->Password()));
                ds->SaveRow();
            } else if (!p_blnChangePwd && !isEmptyPassword(storedPassword) && !isPasswordHash(storedPassword)) {
                // A password still kept in the old reversible form is rewritten as a hash.
                ds->SetField(QStringLiteral("Password"), hashPassword(m_frmPassword->EnteredPassword()));
                ds->SaveRow();
            }
            modGlobal::g_objDataContext->UserLevel = m_strOperatore == QLatin1String("Amministratore") ? 1 : 0;
            return Attempt::LoggedIn;
        } catch (const std::exception &) {
            ShowErrorReport(QString(), PendingError::current());
            return Attempt::Failed;
        }
    };

    // A login that fails is told and the list comes back; only cancelling ends it.
    for (;;) {
        if (p_blnChangeUser) {
            if (!m_frmSelectOper)
                m_frmSelectOper = new frmSelectOper(this);
            const bool chosen = m_frmSelectOper->exec() == QDialog::Accepted;
            m_strOperatore = m_frmSelectOper->m_strOperatore;
            SetAppTitle();
            if (!chosen)
                return false;
        }
        const Attempt result = attempt();
        if (result != Attempt::Failed || !p_blnChangeUser)
            return result == Attempt::LoggedIn;
    }
}
