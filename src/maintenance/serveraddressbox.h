#pragma once
// The parts of a server archive's name as the user types them: host, port, database, user, and
// the password with the choice to remember it. Shared by the options and the transfer to a server.

#include "objdb/engine/serveraddress.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

class ServerAddressBox : public QWidget {
    Q_OBJECT
public:
    explicit ServerAddressBox(QWidget *parent = nullptr);

    // Shows the address, and whether the password file remembers its password.
    void setAddress(const objdb::ServerAddress &address);
    // What is wrong with the parts typed, in Italian; "" when they name an archive.
    QString problem() const;
    // The parts typed, trimmed; meaningful once problem() is "".
    objdb::ServerAddress address() const;
    QString password() const;
    bool rememberPassword() const;
    // The password typed goes to the password file when it is to be remembered, and is this run's in
    // any case; one not to be remembered is taken out of the file. False, the user told, when the
    // file cannot be written.
    bool keepPassword(QWidget *owner) const;
    // Opens the archive typed with the password typed (this run's from now on; none typed, the one the
    // run already knows or the password file's), closes it, and tells the user in Italian whether it
    // worked and why not; parts that name no archive are told instead. True when it opened.
    bool testConnection(QWidget *owner) const;

private:
    QLineEdit *txtServerHost;
    QLineEdit *txtServerPort;
    QLineEdit *txtServerDatabase;
    QLineEdit *txtServerUser;
    QLineEdit *txtServerPassword;
    QCheckBox *chkRememberPassword;
};
