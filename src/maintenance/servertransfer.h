#pragma once
// The transfer of the open file archive, whole, into an empty archive on a database server, so
// that the desks can keep their archive there from then on.

#include <QString>

class QWidget;
struct Session;

// The whole command: asks the server archive (proposing the one of the options), copies the open
// archive into it in one transaction (objdb::ArchiveTransfer) under the progress window, compares
// the two and tells the result; then offers to keep the desk's archive on the server from now on.
// True when the desk's choice became that server: the caller reopens the archive.
bool TransferArchiveToServer(Session &session, QWidget *owner);

// The copy of the session's archive into the empty archive named `target` (a server's URI, or a
// file path), with every question and message; the target is left as it was unless the copy is
// whole and equal to the source. True when it was committed.
bool TransferArchive(Session &session, const QString &target, QWidget *owner);
