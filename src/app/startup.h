#pragma once
// Start-up of the process and of the archive: the top of the program, which knows every subsystem.

class QWidget;
struct Session;
namespace objdb {
class itfNotifyEvent;
}

namespace modGlobal {

// This run's session: start-up owns it, the main window hands it on to the subsystems.
Session &AppSession();

// Process entry: single-instance test, splash, configuration, main window.
int Main(int argc, char **argv);

// Opens the desk's archive into the session: Cobrelle.mdb in RootDir (made when missing), or the
// server's archive chosen in the options (its password asked when no password file gives it), the
// dialogs over parent, the library's notifications to notify. False when the user gave up choosing
// an archive or its password, or the archive could not be opened (the user has been told); the
// session then holds no archive.
bool InitDatabase(Session &session, QWidget *parent, objdb::itfNotifyEvent *notify);

} // namespace modGlobal
