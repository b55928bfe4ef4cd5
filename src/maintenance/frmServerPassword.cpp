#include "maintenance/frmServerPassword.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmServerPassword::frmServerPassword(const objdb::ServerAddress &address, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmServerPassword"));
    setWindowTitle(QStringLiteral("Password del server"));
    setModal(true);
    auto *label = new QLabel(QStringLiteral("Password dell'utente %1 per l'archivio %2:")
                                 .arg(address.user.isEmpty() ? QStringLiteral("predefinito") : address.user, address.caption()),
                             this);
    label->setWordWrap(true);
    txtServerPassword = new QLineEdit(this);
    txtServerPassword->setObjectName(QStringLiteral("txtServerPassword"));
    txtServerPassword->setEchoMode(QLineEdit::Password);
    label->setBuddy(txtServerPassword);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(txtServerPassword);
    layout->addWidget(buttons);
    resize(360, 120);
}

std::optional<QString> frmServerPassword::Ask(const objdb::ServerAddress &address, QWidget *owner)
{
    frmServerPassword dialog(address, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.txtServerPassword->text();
}
