#include "desktop/helpguide.h"

#include "desktop/modOSWinUtil.h"
#include "services/messageservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace HelpGuide {

namespace {
const QString kFile = QStringLiteral("guida.html");
const QString kInstalled = QStringLiteral("cobrelle/") + kFile;
} // namespace

QStringList Candidates()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    QStringList places{programFolder.filePath(kFile), programFolder.filePath(QStringLiteral("../share/") + kInstalled)};
    places += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, kInstalled);
    places += QStringLiteral(COBRELLE_HELP_SOURCE);
    return places;
}

QString Path()
{
    for (const QString &place : Candidates())
        if (QFileInfo(place).isFile())
            return QFileInfo(place).absoluteFilePath();
    return QString();
}

bool Open(QWidget *owner, const QString &section)
{
    const QString path = Path();
    if (path.isEmpty()) {
        MessageService::inform(QStringLiteral("La guida non è disponibile: il file %1 non è stato trovato.").arg(kFile),
                               MessageService::Icon::Exclamation, QString(), owner);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (!section.isEmpty())
        url.setFragment(section);
    if (!modOSWinUtil::ShellOpenDocument(url.toString())) {
        MessageService::inform(QStringLiteral("Impossibile aprire la guida nel browser."), MessageService::Icon::Exclamation,
                               QString(), owner);
        return false;
    }
    return true;
}

} // namespace HelpGuide
