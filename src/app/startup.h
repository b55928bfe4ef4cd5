#pragma once
// Start-up of the process and of the archive: the top of the program, which knows every subsystem.

class frmMain;

namespace modGlobal {

// The one main window, set while it exists.
extern frmMain *g_frmMain;

// Process entry: single-instance test, splash, configuration, main window.
int Main(int argc, char **argv);

// Creates or opens Cobrelle.mdb in RootDir. False when the user gave up choosing a working
// directory or the archive could not be opened (the user has been told); the objects stay empty.
bool InitDatabase();
// True when both library objects exist and the data context is ready (state 5).
bool IsDatabaseReady();

} // namespace modGlobal
