#pragma once
// Asks at start for the password of the server archive's user, when the desk does not remember it.

#include "objdb/engine/serveraddress.h"

#include <QDialog>

#include <optional>

class QLineEdit;

class frmServerPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmServerPassword(const objdb::ServerAddress &address, QWidget *parent = nullptr);

    // The password typed, modally over owner; nothing when the user gave up (Esc, Annulla).
    static std::optional<QString> Ask(const objdb::ServerAddress &address, QWidget *owner);

private:
    QLineEdit *txtServerPassword;
};
