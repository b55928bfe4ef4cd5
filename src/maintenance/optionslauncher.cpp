#include "maintenance/optionslauncher.h"

#include "core/configuration.h"
#include "core/modGlobal.h"
#include "maintenance/frmOptions.h"

frmOptions *ShowOptionsDialog(QWidget *mainWindow, std::function<void()> onReloadDatabase)
{
    WorkDirAccess access{
        [] { return modGlobal::RootDir; },
        [](const QString &directory) { modGlobal::RootDir = directory; },
        [] { WriteConfiguration(); },
    };
    auto *dialog = new frmOptions(std::move(access), mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->onReloadDatabase = std::move(onReloadDatabase);
    dialog->show();
    return dialog;
}
