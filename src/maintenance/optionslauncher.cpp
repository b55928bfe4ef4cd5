#include "maintenance/optionslauncher.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "maintenance/frmOptions.h"

namespace {

WorkDirAccess programWorkDir()
{
    return WorkDirAccess{
        [] { return modGlobal::RootDir; },
        [](const QString &directory) { modGlobal::RootDir = directory; },
        [] { WriteConfiguration(); },
    };
}

} // namespace

frmOptions *ShowOptionsDialog(QWidget *mainWindow, std::function<void()> onReloadDatabase,
                              RepairEnvironment repairEnvironment)
{
    auto *dialog = new frmOptions(programWorkDir(), mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->onReloadDatabase = std::move(onReloadDatabase);
    dialog->repairEnvironment = std::move(repairEnvironment);
    dialog->show();
    return dialog;
}

bool RunOptionsDialog(QWidget *owner)
{
    frmOptions dialog(programWorkDir(), owner);
    dialog.exec();
    return dialog.Confirmed();
}
