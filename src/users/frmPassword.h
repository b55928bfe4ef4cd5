#pragma once
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the operator's password and lets him set a new one. It never touches the database:
// the caller hands in the stored password and writes the new one back when Changed() is true.
class frmPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmPassword(QWidget *parent = nullptr);

    // Shows the dialog modally over owner and returns true when the password was confirmed.
    // storedPassword is the operator's stored form (hash, an older form, or empty).
    // With bChange the dialog only asks for the new password: the operator is already logged in.
    bool ValidatePassword(QWidget *owner, bool bChange, const QString &storedPassword);

    // True when a new password was accepted during the last call.
    bool Changed() const { return m_blnChanged; }
    // The new password in plain text after a change; empty otherwise.
    QString Password() const { return m_strNewPassword; }
    // The password typed at a confirmed login, so that an older stored form can be rewritten as a hash.
    QString EnteredPassword() const { return m_strEnteredPassword; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void prepare(bool bChange, const QString &storedPassword);
    void onConfirm();
    void onCancel();
    void onNewToggled(bool checked);
    void makeTall();
    void makeShort();
    void focusFirstField();

    QLabel *Label1;
    QLineEdit *txtPassword;
    QCheckBox *chkNew;
    QLabel *lblNew;
    QLineEdit *txtNewPwd;
    QLabel *lblConfirmNewPwd;
    QLineEdit *txtConfirmNewPwd;
    QPushButton *cmdConfirm;
    QPushButton *cmdCancel;

    QString m_strStoredPassword;
    QString m_strNewPassword;
    QString m_strEnteredPassword;
    bool m_blnChangeMode = false;
    bool m_blnValidated = false;
    bool m_blnChanged = false;
};
