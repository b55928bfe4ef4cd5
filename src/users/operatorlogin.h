#pragma once
// The login of the operator of this run: the name chosen from the list of operators, the password
// checked against the archive (or a new one set), the data context's user level.

#include <QString>

class QWidget;
struct Session;
class frmPassword;
class frmSelectOper;
namespace objdb {
class DataContext;
}

class OperatorLogin {
public:
    // The dialogs open over owner and stay with it, so that the list offers the last choice again.
    explicit OperatorLogin(QWidget *owner) : m_owner(owner) {}

    // Logs an operator in. With chooseOperator the list is shown first, and a login that fails is
    // told and the list comes back; only cancelling the list or the password ends the login.
    // Without it operatorName logs in again, and with changePassword he sets a new password.
    // True when he is logged in; operatorName is then the operator's name. A login cancelled or
    // refused leaves operatorName and the context's user level as they were.
    bool Run(objdb::DataContext &context, QString &operatorName, bool chooseOperator, bool changePassword);
    // The same over the session's archive, starting from its operator; a login that succeeds makes
    // the operator the session's. False without an archive: nobody to log in against.
    bool Run(Session &session, bool chooseOperator, bool changePassword);

private:
    enum class Attempt { LoggedIn, Cancelled, Failed };
    Attempt checkPassword(objdb::DataContext &context, const QString &operatorName, bool changePassword);
    Attempt refuse(const QString &why);

    QWidget *m_owner;
    frmSelectOper *m_frmSelectOper = nullptr;
    frmPassword *m_frmPassword = nullptr;
};
