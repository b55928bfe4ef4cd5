#include "users/operatorlogin.h"

#include "services/errorreport.h"
#include "services/messageservice.h"
#include "services/session.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "users/frmPassword.h"
#include "users/frmSelectOper.h"
#include "data/storedpassword.h"

namespace {

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

bool OperatorLogin::Run(objdb::DataContext &context, QString &operatorName, bool chooseOperator,
                        bool changePassword)
{
    for (;;) {
        QString candidate = operatorName;
        if (chooseOperator) {
            if (!m_frmSelectOper)
                m_frmSelectOper = new frmSelectOper(m_owner);
            m_frmSelectOper->m_objDataContext = &context;
            if (m_frmSelectOper->exec() != QDialog::Accepted)
                return false;
            candidate = m_frmSelectOper->m_strOperatore;
        }
        const Attempt result = checkPassword(context, candidate, changePassword);
        if (result == Attempt::LoggedIn) {
            operatorName = candidate;
            return true;
        }
        if (result == Attempt::Cancelled || !chooseOperator)
            return false;
    }
}

bool OperatorLogin::Run(Session &session, bool chooseOperator, bool changePassword)
{
    // Held for the whole login, which waits on dialogs.
    const std::shared_ptr<objdb::DataContext> context = session.dataContext;
    QString name = session.operatorName;
    if (!context || !Run(*context, name, chooseOperator, changePassword))
        return false;
    session.setOperator(name);
    return true;
}

OperatorLogin::Attempt OperatorLogin::refuse(const QString &why)
{
    MessageService::inform(why, MessageService::Icon::Exclamation, QString(), m_owner);
    return Attempt::Failed;
}

OperatorLogin::Attempt OperatorLogin::checkPassword(objdb::DataContext &context, const QString &operatorName,
                                                    bool changePassword)
{
    if (const QString why = unusableName(operatorName); !why.isEmpty())
        return refuse(why);
    try {
        auto &operators = context.Tables().Item(QStringLiteral("Operatori"));
        auto ds = operators.OpenDataSource(QStringLiteral("Nome=") + operators.Literal(QStringLiteral("Nome"), operatorName));
        // Another desk may have removed or renamed him since the list was read.
        if (ds->IsEmpty())
            return refuse(QStringLiteral("L'operatore %1 non è più presente nell'archivio.").arg(operatorName));
        const QVariant stored = ds->GetField(QStringLiteral("Password"));
        const QString storedPassword = stored.isNull() ? QString() : stored.toString();
        if (!m_frmPassword)
            m_frmPassword = new frmPassword(m_owner);
        if (!m_frmPassword->ValidatePassword(m_owner, changePassword, storedPassword))
            return Attempt::Cancelled;
        // The table's rule stores the password written as its hash.
        if (m_frmPassword->Changed()) {
            ds->SetField(QStringLiteral("Password"), m_frmPassword->Password());
            ds->SaveRow();
        } else if (!changePassword && !isEmptyPassword(storedPassword) && !isPasswordHash(storedPassword)) {
            // A password still kept in an older form is rewritten as a hash.
            ds->SetField(QStringLiteral("Password"), m_frmPassword->EnteredPassword());
            ds->SaveRow();
        }
        context.UserLevel = operatorName == QLatin1String("Amministratore") ? 1 : 0;
        return Attempt::LoggedIn;
    } catch (const std::exception &) {
        ShowErrorReport(QString(), PendingError::current());
        return Attempt::Failed;
    }
}
