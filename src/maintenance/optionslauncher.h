#pragma once
#include "maintenance/databaserepair.h"

#include <QString>

#include <functional>

class QWidget;
class frmOptions;

// Opens the options dialog without waiting, owned by the main window, on the program's
// working directory and settings. It deletes itself when closed.
frmOptions *ShowOptionsDialog(QWidget *mainWindow, std::function<void()> onReloadDatabase,
                              RepairEnvironment repairEnvironment);

// Where a first start proposes to keep the archive: a folder of the product in the user's documents.
QString FirstStartWorkDir();

// Shows the options dialog modally (at start-up, when the working directory holds no archive or the
// server's cannot be opened); a
// start with no working directory stored proposes FirstStartWorkDir(). Returns true when the user
// confirmed it.
bool RunOptionsDialog(QWidget *owner);
