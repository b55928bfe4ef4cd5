#include "objdb/export/exportwriter.h"

#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/export/exporttext.h"
#include "objdb/grid/gridmodel.h"
#include "objdb/notify.h"
#include "objdb/progresspacer.h"
#include "objdb/types.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <limits>

namespace objdb {

namespace {

constexpr int kRowsPerPage = 500;

bool isNumeric(int type)
{
    return type == TypeAmount || type == TypeFloat || type == TypeInteger;
}

class Writer {
public:
    Writer(const DataSource &ds, const QList<int> &columns, const ExportOptions &options)
        : m_fields(ds.fields()), m_columns(columns), m_options(options), m_decimals(ds.amountDecimals())
    {
    }

    void head(ExportText::Buffer &out, const QString &title) const
    {
        if (csv()) {
            out.append(u'\xFEFF'); // the BOM tells spreadsheets the file is UTF-8
            for (int i = 0; i < m_columns.size(); ++i) {
                if (i > 0)
                    out.append(u';');
                ExportText::appendCsv(out, m_fields.at(m_columns.at(i)).caption, false);
            }
            out.append(u"\r\n");
            return;
        }
        out.append(u"<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>");
        ExportText::appendHtml(out, title);
        out.append(u"</title>\n<style>\n"
                   u"body{font-family:Arial,Helvetica,sans-serif;font-size:10pt;margin:16px;color:#000}\n"
                   u"h1{font-size:15pt;margin:0 0 4px}\n"
                   u"p.periodo{margin:0 0 10px}\n"
                   u"table{border-collapse:collapse;font-size:9pt}\n"
                   u"th,td{border:1px solid #999;padding:2px 6px;vertical-align:top}\n"
                   u"th{background:#e4e4e4;text-align:left}\n"
                   u"td{white-space:nowrap}\n"
                   u"td.n{text-align:right}\n"
                   u"td.c{text-align:center}\n"
                   u"tbody tr:nth-child(even){background:#f3f3f3}\n"
                   u"p.righe{margin:8px 0 0;font-size:9pt}\n"
                   u"@media print{body{margin:0;font-size:8pt}table{font-size:7pt}}\n"
                   u"</style>\n</head>\n<body>\n<h1>");
        ExportText::appendHtml(out, title);
        out.append(u"</h1>\n");
        if (!m_options.subtitle.isEmpty()) {
            out.append(u"<p class=\"periodo\">");
            ExportText::appendHtml(out, m_options.subtitle);
            out.append(u"</p>\n");
        }
        out.append(u"<table>\n<thead><tr>");
        for (const int column : m_columns) {
            out.append(u"<th>");
            ExportText::appendHtml(out, m_fields.at(column).caption);
            out.append(u"</th>");
        }
        out.append(u"</tr></thead>\n<tbody>\n");
    }

    void row(ExportText::Buffer &out, const QVariantList &values) const
    {
        if (csv()) {
            for (int i = 0; i < m_columns.size(); ++i) {
                if (i > 0)
                    out.append(u';');
                const int column = m_columns.at(i);
                ExportText::appendCsvValue(out, values.at(column), m_fields.at(column).type, m_decimals);
            }
            out.append(u"\r\n");
            return;
        }
        out.append(u"<tr>");
        for (const int column : m_columns) {
            const int type = m_fields.at(column).type;
            out.append(isNumeric(type)      ? QStringView(u"<td class=\"n\">")
                       : type == TypeDate  ? QStringView(u"<td class=\"d\">")
                       : type == TypeYesNo ? QStringView(u"<td class=\"c\">")
                                           : QStringView(u"<td>"));
            ExportText::appendHtmlValue(out, values.at(column), type, m_decimals);
            out.append(u"</td>");
        }
        out.append(u"</tr>\n");
    }

    void tail(ExportText::Buffer &out, int rows) const
    {
        if (csv())
            return;
        out.append(u"</tbody>\n</table>\n<p class=\"righe\">Righe: ");
        out.append(QLocale(QLocale::Italian).toString(rows));
        out.append(u"</p>\n</body>\n</html>\n");
    }

private:
    bool csv() const { return m_options.format == ExportFormat::Csv; }

    const QList<FieldDef> &m_fields;
    const QList<int> m_columns;
    const ExportOptions &m_options;
    const int m_decimals;
};

// Writes the buffer's text and empties it.
void writeText(QSaveFile &out, ExportText::Buffer &text, const QString &file)
{
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size())
        failFileWrite(file, out.errorString());
    text.clear();
}

} // namespace

void failFileWrite(const QString &file, const QString &reason)
{
    fail(QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(QDir::toNativeSeparators(file), reason),
         kErrFileAccess);
}

int ExportData(const DataSource &ds, const QString &file, const ExportOptions &options)
{
    QList<int> columns = GridModel::columnsFor(ds.fields(), options.fieldList);
    if (columns.isEmpty())
        columns = GridModel::columnsFor(ds.fields(), QString());
    const QString title = options.title.isEmpty() ? ds.tableDef().caption() : options.title;

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        failFileWrite(file, out.errorString());
    if (itfNotifyEvent *sink = ds.context()->notify())
        sink->OnEvent(ActionExport, const_cast<DataSource *>(&ds), QFileInfo(file).fileName());

    const Writer writer(ds, columns, options);
    ExportText::Buffer text;
    writer.head(text, title);
    writeText(out, text, file);
    ProgressPacer pacer(options.progress, ActionExport, ds.countRows(std::numeric_limits<int>::max()));
    int done = 0;
    ds.readPages(kRowsPerPage, [&](const QList<QVariantList> &rows) {
        for (const QVariantList &values : rows)
            writer.row(text, values);
        writeText(out, text, file);
        done += int(rows.size());
        return pacer.step(done);
    });
    if (pacer.stopped() || !pacer.finish(done)) {
        out.cancelWriting();
        fail(QStringLiteral("Esportazione interrotta: il file \"%1\" non è stato scritto.").arg(QDir::toNativeSeparators(file)),
             kErrStopped);
    }
    writer.tail(text, done);
    writeText(out, text, file);
    if (!out.commit())
        failFileWrite(file, out.errorString());
    return done;
}

} // namespace objdb
