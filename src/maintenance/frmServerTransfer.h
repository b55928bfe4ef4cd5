#pragma once
// Asks where the file archive is to be transferred: the server archive's address and password.

#include "objdb/engine/serveraddress.h"

#include <QDialog>

#include <optional>

class ServerAddressBox;

class frmServerTransfer : public QDialog {
    Q_OBJECT
public:
    explicit frmServerTransfer(const objdb::ServerAddress &proposed, QWidget *parent = nullptr);

    // The address confirmed, its password kept as the user chose; nothing when he gave up.
    static std::optional<objdb::ServerAddress> Ask(const objdb::ServerAddress &proposed, QWidget *owner);

private:
    void onTransfer();

    ServerAddressBox *serverAddress;
};
