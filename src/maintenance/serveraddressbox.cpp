#include "maintenance/serveraddressbox.h"

#include "services/archivechoice.h"
#include "services/messageservice.h"
#include "services/passwordfile.h"
#include "objdb/database.h"
#include "objdb/error.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QLineEdit>

namespace {

QLineEdit *makeBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

ServerAddressBox::ServerAddressBox(QWidget *parent)
    : QWidget(parent)
{
    txtServerHost = makeBox(this, "txtServerHost");
    txtServerPort = makeBox(this, "txtServerPort");
    txtServerDatabase = makeBox(this, "txtServerDatabase");
    txtServerUser = makeBox(this, "txtServerUser");
    txtServerPassword = makeBox(this, "txtServerPassword");
    txtServerPassword->setEchoMode(QLineEdit::Password);
    chkRememberPassword = new QCheckBox(QStringLiteral("Ricorda la password"), this);
    chkRememberPassword->setObjectName(QStringLiteral("chkRememberPassword"));
    txtServerPort->setText(QStringLiteral("5432"));

    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("&Server:"), txtServerHost);
    form->addRow(QStringLiteral("P&orta:"), txtServerPort);
    form->addRow(QStringLiteral("&Database:"), txtServerDatabase);
    form->addRow(QStringLiteral("&Utente:"), txtServerUser);
    form->addRow(QStringLiteral("Pass&word:"), txtServerPassword);
    form->addRow(QString(), chkRememberPassword);
}

void ServerAddressBox::setAddress(const objdb::ServerAddress &address)
{
    txtServerHost->setText(address.host);
    txtServerPort->setText(QString::number(address.port));
    txtServerDatabase->setText(address.database);
    txtServerUser->setText(address.user);
    // Left unchecked, a password the file already remembers would be taken out of it.
    chkRememberPassword->setChecked(!address.host.isEmpty() && PasswordFile::holds(address));
}

QString ServerAddressBox::problem() const
{
    return ServerAddressProblem(txtServerHost->text(), txtServerPort->text(), txtServerDatabase->text());
}

objdb::ServerAddress ServerAddressBox::address() const
{
    objdb::ServerAddress address;
    address.host = txtServerHost->text().trimmed();
    address.port = txtServerPort->text().trimmed().toInt();
    address.database = txtServerDatabase->text().trimmed();
    address.user = txtServerUser->text().trimmed();
    return address;
}

QString ServerAddressBox::password() const
{
    return txtServerPassword->text();
}

bool ServerAddressBox::rememberPassword() const
{
    return chkRememberPassword->isChecked();
}

bool ServerAddressBox::keepPassword(QWidget *owner) const
{
    const objdb::ServerAddress typed = address();
    const QString typedPassword = password();
    QString error;
    const bool kept = rememberPassword() ? typedPassword.isEmpty() || PasswordFile::remember(typed, typedPassword, &error)
                                         : PasswordFile::forget(typed, &error);
    if (!kept) {
        MessageService::inform(QStringLiteral("Impossibile aggiornare il file delle password %1: %2")
                                   .arg(QDir::toNativeSeparators(PasswordFile::path()), error),
                               MessageService::Icon::Critical, QString(), owner);
        return false;
    }
    if (!typedPassword.isEmpty())
        objdb::setServerPassword(typed, typedPassword);
    return true;
}

bool ServerAddressBox::testConnection(QWidget *owner) const
{
    if (const QString wrong = problem(); !wrong.isEmpty()) {
        MessageService::inform(wrong, MessageService::Icon::Exclamation, QString(), owner);
        return false;
    }
    const objdb::ServerAddress server = address();
    if (const QString typedPassword = password(); !typedPassword.isEmpty())
        objdb::setServerPassword(server, typedPassword);
    auto archive = objdb::Database::create();
    try {
        archive->Open(objdb::kDatabaseFormat, server.uri(), nullptr, 5);
    } catch (const objdb::Error &e) {
        MessageService::inform(QStringLiteral("Connessione a %1 non riuscita:\n\n%2").arg(server.caption(), e.description()),
                               MessageService::Icon::Exclamation, QString(), owner);
        return false;
    }
    archive->Close();
    MessageService::inform(QStringLiteral("Connessione a %1 riuscita.").arg(server.caption()),
                           MessageService::Icon::Information, QString(), owner);
    return true;
}
