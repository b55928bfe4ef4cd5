#pragma once
// The commands that delete or rewrite records in bulk (record deletion, the purge of settled
// payments, the Euro conversion, the import, the repair, the check of the archive and its deletion
// log) are the administrator's.

class QWidget;
struct Session;

// True when the session has an archive open and its operator logged in is the administrator.
bool IsAdministrator(const Session &session);

// Refuses a command reserved to the administrator: a beep, and with an archive open the message
// "Operazione consentita solo all'Amministratore". True when the command was refused.
bool RefuseNonAdministrator(const Session &session, QWidget *owner);
