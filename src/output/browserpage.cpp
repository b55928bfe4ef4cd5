#include "output/browserpage.h"

#include "output/outputdialogs.h"
#include "output/progresswindow.h"

#include "services/configuration.h"
#include "services/errorreport.h"
#include "services/messageservice.h"

#include "objdb/datasource.h"
#include "objdb/export/exportwriter.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace output {

namespace {

const QString kPageName = QStringLiteral("TableData.htm");

} // namespace

QStringList PageFolders()
{
    QStringList folders{ProgramFolder()};
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folders.contains(perUser))
        folders.append(perUser);
    return folders;
}

QString BrowserPageFile(const QStringList &folders)
{
    // A folder that says it is writable may still refuse a file (a share, a protected folder), so
    // each is tried with a file of its own.
    for (const QString &folder : folders) {
        if (!QDir().mkpath(folder))
            continue;
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("TableData-XXXXXX.tmp")));
        if (probe.open())
            return QDir(folder).filePath(kPageName);
    }
    objdb::failFileWrite(QDir(folders.value(0)).filePath(kPageName), QStringLiteral("la cartella non è scrivibile."));
}

void ShowInBrowser(objdb::DataSource &ds, const QString &fieldList, const ViewInfo &view)
{
    RunReportingFailures([&] {
        QString fields = fieldList;
        if (MessageService::askYesNo(QStringLiteral("Vuoi modificare la sequenza dei campi per il browser ?"),
                                     MessageService::Icon::Question, MessageService::Answer::Yes, QString(), view.owner)
            && !dialogs().editFieldSequence(ds, QStringLiteral("Esportazione HTML - Selezione Campi"), fields, view.owner))
            return;
        const QString file = BrowserPageFile(PageFolders());
        {
            const ProgressWindow window(QStringLiteral("Esportazione dati in formato HTML..."), view.owner);
            objdb::ExportOptions options;
            options.format = objdb::ExportFormat::Html;
            options.fieldList = fields;
            options.title = view.title;
            options.subtitle = view.period;
            options.progress = window.sink();
            objdb::ExportData(ds, file, options);
        }
        if (view.openDocument && !view.openDocument(file))
            MessageService::inform(QStringLiteral("Impossibile aprire la pagina \"%1\" con il browser.")
                                       .arg(QDir::toNativeSeparators(file)),
                                   MessageService::Icon::Exclamation, QString(), view.owner);
    });
}

} // namespace output
