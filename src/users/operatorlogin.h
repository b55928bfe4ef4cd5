#pragma once
// The login of the operator of this run: the name chosen from the list of operators, the password
// checked against the archive (or a new one set), the data context's user level.

#include <QString>
#include <functional>

class QWidget;
class frmPassword;
class frmSelectOper;
namespace objdb {
class DataContext;
}

class OperatorLogin {
public:
    // The dialogs open over owner and stay with it, so that the list offers the last choice again.
    explicit OperatorLogin(QWidget *owner) : m_owner(owner) {}

    // Logs operatorName in. With chooseOperator the list is shown first: its choice is written to
    // operatorName (empty when cancelled) and chosen() runs, and a login that fails is told and
    // the list comes back; only cancelling it ends the login. With changePassword the operator
    // sets a new password. True when he is logged in.
    bool Run(objdb::DataContext &context, QString &operatorName, bool chooseOperator, bool changePassword,
             const std::function<void()> &chosen);

private:
    enum class Attempt { LoggedIn, Cancelled, Failed };
    Attempt checkPassword(objdb::DataContext &context, const QString &operatorName, bool changePassword);
    Attempt refuse(const QString &why);

    QWidget *m_owner;
    frmSelectOper *m_frmSelectOper = nullptr;
    frmPassword *m_frmPassword = nullptr;
};
