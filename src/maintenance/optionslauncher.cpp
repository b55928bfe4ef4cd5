#include "maintenance/optionslauncher.h"

#include "services/configuration.h"
#include "services/modGlobal.h"
#include "maintenance/frmOptions.h"

#include <QStandardPaths>

namespace {

WorkDirAccess programWorkDir()
{
    return WorkDirAccess{
        [] { return modGlobal::RootDir; },
        [](const QString &directory) { modGlobal::RootDir = directory; },
        [] { WriteConfiguration(); },
    };
}

ArchiveChoiceAccess programArchiveChoice()
{
    return ArchiveChoiceAccess{ReadArchiveChoice, WriteArchiveChoice};
}

} // namespace

frmOptions *ShowOptionsDialog(QWidget *mainWindow, std::function<void()> onReloadDatabase,
                              RepairEnvironment repairEnvironment)
{
    auto *dialog = new frmOptions(programWorkDir(), programArchiveChoice(), mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->onReloadDatabase = std::move(onReloadDatabase);
    dialog->repairEnvironment = std::move(repairEnvironment);
    dialog->show();
    return dialog;
}

QString FirstStartWorkDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/")
           + QString::fromLatin1(modGlobal::kProductName);
}

bool RunOptionsDialog(QWidget *owner)
{
    // Nothing chosen yet: the program's own folder is seldom the user's to keep an archive in.
    if (Settings::readText(QStringLiteral("Configuration"), QStringLiteral("RootDir")).isEmpty())
        modGlobal::RootDir = FirstStartWorkDir();
    frmOptions dialog(programWorkDir(), programArchiveChoice(), owner);
    dialog.exec();
    return dialog.Confirmed();
}
