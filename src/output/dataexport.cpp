#include "output/dataexport.h"

#include "output/outputdialogs.h"
#include "output/outputfiles.h"
#include "output/progresswindow.h"

#include "services/errorreport.h"

#include "objdb/datasource.h"
#include "objdb/export/exportwriter.h"

namespace output {

namespace {

const QString kCsvFilter = QStringLiteral("File CSV per fogli di calcolo (*.csv)");
const QString kHtmlFilter = QStringLiteral("Pagina HTML (*.htm *.html)");

} // namespace

void ExportData(objdb::DataSource &ds, const QString &fieldList, const ViewInfo &view)
{
    RunReportingFailures([&] {
        QString filter = kCsvFilter;
        QString file = dialogs().saveFile(view.owner, QStringLiteral("Esporta dati"),
                                          ProposedFile(view.title, QStringLiteral("csv")), {kCsvFilter, kHtmlFilter}, &filter);
        if (file.isEmpty())
            return;
        objdb::ExportOptions options;
        // The filter chosen decides, unless the name says otherwise.
        const bool named = file.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)
                           || file.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
                           || file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
        const bool html = named ? !file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) : filter == kHtmlFilter;
        options.format = html ? objdb::ExportFormat::Html : objdb::ExportFormat::Csv;
        file = WithExtension(file, html ? QStringList{QStringLiteral("htm"), QStringLiteral("html")}
                                        : QStringList{QStringLiteral("csv")});
        options.fieldList = fieldList;
        options.title = view.title;
        options.subtitle = view.period;
        const ProgressWindow window(html ? QStringLiteral("Esportazione dati in formato HTML...")
                                         : QStringLiteral("Esportazione dati in formato CSV..."),
                                    view.owner);
        options.progress = window.sink();
        objdb::ExportData(ds, file, options);
    });
}

} // namespace output
