#include "users/frmPassword.h"

#include "services/messageservice.h"
#include "users/passwordcheck.h"
#include "data/storedpassword.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <iterator>

namespace {

constexpr int kWidth = 330;
constexpr int kLabelLeft = 10;
constexpr int kFieldLeft = 95;
constexpr int kFieldWidth = 140;
constexpr int kRowHeight = 24;

const QString kWrongPassword = QStringLiteral("La password non è corretta.");
const QString kCaseHint = QStringLiteral("Fare attenzione all'utilizzo delle maiuscole/minuscole");
const QString kConfirmMismatch = QStringLiteral("La password di conferma non corrisponde...");
const QString kPasswordChanged = QStringLiteral("La password e' stata modificata.");
const QString kNoPasswordNote =
    QStringLiteral("NOTA: Senza password sono disattivate tutte le restrizioni di accesso.");

QLineEdit *makePasswordBox(QWidget *parent, const char *name, const QString &toolTip)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(toolTip);
    box->setEchoMode(QLineEdit::Password);
    return box;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmPassword::frmPassword(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Password"));
    setModal(true);

    txtPassword = makePasswordBox(this, "txtPassword", QStringLiteral("Immetti la password di accesso"));
    Label1 = makeLabel(this, "Label1", QStringLiteral("&Password:"), txtPassword);
    chkNew = new QCheckBox(QStringLiteral("C&ambia"), this);
    chkNew->setObjectName(QStringLiteral("chkNew"));
    chkNew->setToolTip(QStringLiteral("Attiva la possibilita' di cambiare la password"));
    cmdConfirm = new QPushButton(QStringLiteral("&Conferma"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    txtNewPwd = makePasswordBox(this, "txtNewPwd", QStringLiteral("Specifica la nuova password"));
    lblNew = makeLabel(this, "lblNew", QStringLiteral("&Nuova:"), txtNewPwd);
    txtConfirmNewPwd =
        makePasswordBox(this, "txtConfirmNewPwd", QStringLiteral("Conferma la nuova password"));
    lblConfirmNewPwd = makeLabel(this, "lblConfirmNewPwd", QStringLiteral("Conferma:"), txtConfirmNewPwd);

    // The new-password rows lie below the buttons, so a shorter window hides them.
    Label1->setGeometry(kLabelLeft, 12, kFieldLeft - kLabelLeft, kRowHeight);
    txtPassword->setGeometry(kFieldLeft, 12, kFieldWidth, kRowHeight);
    chkNew->setGeometry(kFieldLeft + kFieldWidth + 10, 12, 80, kRowHeight);
    cmdConfirm->setGeometry(kFieldLeft, 48, 90, 28);
    cmdCancel->setGeometry(kFieldLeft + 100, 48, 90, 28);
    lblNew->setGeometry(kLabelLeft, 92, kFieldLeft - kLabelLeft, kRowHeight);
    txtNewPwd->setGeometry(kFieldLeft, 92, kFieldWidth, kRowHeight);
    lblConfirmNewPwd->setGeometry(kLabelLeft, 122, kFieldLeft - kLabelLeft, kRowHeight);
    txtConfirmNewPwd->setGeometry(kFieldLeft, 122, kFieldWidth, kRowHeight);
    QWidget *tabOrder[] = {txtPassword, chkNew, txtNewPwd, txtConfirmNewPwd, cmdConfirm, cmdCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmPassword::onConfirm);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPassword::onCancel);
    connect(chkNew, &QCheckBox::toggled, this, &frmPassword::onNewToggled);
    makeShort();
}

bool frmPassword::ValidatePassword(QWidget *owner, bool bChange, const QString &storedPassword)
{
    if (owner != parentWidget())
        setParent(owner, windowFlags());
    prepare(bChange, storedPassword);
    exec();
    return m_blnValidated;
}

void frmPassword::prepare(bool bChange, const QString &storedPassword)
{
    m_blnValidated = false;
    m_blnChanged = false;
    m_strNewPassword.clear();
    m_strEnteredPassword.clear();
    m_strStoredPassword = storedPassword;
    m_blnChangeMode = bChange;

    // The current password is never shown: it is stored only as a hash, and in change mode the
    // operator has already proved it at login.
    txtPassword->clear();
    txtPassword->setEnabled(!bChange);
    txtNewPwd->clear();
    txtConfirmNewPwd->clear();
    chkNew->setChecked(bChange);
    chkNew->setEnabled(!bChange);
    onNewToggled(bChange);
    if (bChange)
        makeTall();
    else
        makeShort();
}

void frmPassword::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    focusFirstField();
}

void frmPassword::focusFirstField()
{
    if (txtPassword->isEnabled())
        txtPassword->setFocus();
    else if (txtNewPwd->isVisibleTo(this) && height() > txtNewPwd->y())
        txtNewPwd->setFocus();
}

void frmPassword::onConfirm()
{
    if (!m_blnChangeMode && !verifyPassword(txtPassword->text(), m_strStoredPassword)) {
        MessageService::beep();
        MessageService::inform(kWrongPassword + QStringLiteral("\n\n") + kCaseHint,
                               MessageService::Icon::Information, QString(), this);
        // Selected, so that the password is typed again over the wrong one.
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    if (!m_blnChangeMode)
        m_strEnteredPassword = txtPassword->text();
    if (chkNew->isChecked()) {
        if (txtNewPwd->text() != txtConfirmNewPwd->text()) {
            MessageService::beep();
            MessageService::inform(kConfirmMismatch, MessageService::Icon::Exclamation, QString(), this);
            txtConfirmNewPwd->setFocus();
            return;
        }
        m_strNewPassword = txtNewPwd->text();
        m_blnChanged = true;
        QString message = kPasswordChanged;
        if (isEmptyPassword(m_strNewPassword))
            message += QStringLiteral("\n\n") + kNoPasswordNote;
        MessageService::beep();
        MessageService::inform(message, MessageService::Icon::Information, QString(), this);
    }
    m_blnValidated = true;
    accept();
}

void frmPassword::onCancel()
{
    m_blnValidated = false;
    reject();
}

void frmPassword::onNewToggled(bool checked)
{
    txtNewPwd->setEnabled(checked);
    txtConfirmNewPwd->setEnabled(checked);
    lblNew->setEnabled(checked);
    lblConfirmNewPwd->setEnabled(checked);
    if (checked)
        makeTall();
}

void frmPassword::makeTall()
{
    const int gap = txtNewPwd->geometry().top() - cmdConfirm->geometry().bottom();
    setFixedSize(kWidth, txtConfirmNewPwd->geometry().bottom() + gap);
}

void frmPassword::makeShort()
{
    setFixedSize(kWidth, txtNewPwd->geometry().top());
}
