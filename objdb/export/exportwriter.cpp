#include "objdb/export/exportwriter.h"

#include "objdb/amount.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/grid/cellformat.h"
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

// XML 1.0 allows no control character but tab and line breaks, and neither U+FFFE nor U+FFFF.
bool allowedInXml(char16_t c)
{
    return (c >= 0x20 && c != 0xFFFE && c != 0xFFFF) || c == u'\t' || c == u'\n' || c == u'\r';
}

void appendHtml(QString &out, QStringView text)
{
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        default: out += allowedInXml(ch.unicode()) ? ch : QChar(QChar::ReplacementCharacter);
        }
    }
}

// RFC 4180: a field holding the separator, a quote or a line break is quoted, its quotes doubled.
void appendCsv(QString &out, QStringView text)
{
    bool quote = false;
    for (const QChar ch : text)
        if (ch == u';' || ch == u'"' || ch == u'\n' || ch == u'\r') {
            quote = true;
            break;
        }
    if (!quote) {
        out += text;
        return;
    }
    out += u'"';
    for (const QChar ch : text) {
        if (ch == u'"')
            out += u'"';
        out += ch;
    }
    out += u'"';
}

// A text a spreadsheet would take for a formula ("=", "+", "-", "@" first) is written with a leading
// apostrophe, so that opening an export never runs what someone typed into a description.
bool looksLikeFormula(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' || first == u'\r';
}

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

    QString head(const QString &title) const
    {
        QString out;
        if (csv()) {
            out += QChar(0xFEFF); // the BOM tells spreadsheets the file is UTF-8
            for (int i = 0; i < m_columns.size(); ++i) {
                if (i > 0)
                    out += u';';
                appendCsv(out, m_fields.at(m_columns.at(i)).caption);
            }
            out += QLatin1String("\r\n");
            return out;
        }
        out += QLatin1String("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>");
        appendHtml(out, title);
        out += QLatin1String(
            "</title>\n<style>\n"
            "body{font-family:Arial,Helvetica,sans-serif;font-size:10pt;margin:16px;color:#000}\n"
            "h1{font-size:15pt;margin:0 0 4px}\n"
            "p.periodo{margin:0 0 10px}\n"
            "table{border-collapse:collapse}\n"
            "th,td{border:1px solid #999;padding:2px 6px;vertical-align:top}\n"
            "th{background:#e4e4e4;text-align:left}\n"
            "td.n{text-align:right;white-space:nowrap}\n"
            "td.d{white-space:nowrap}\n"
            "td.c{text-align:center}\n"
            "tbody tr:nth-child(even){background:#f3f3f3}\n"
            "p.righe{margin:8px 0 0;font-size:9pt}\n"
            "</style>\n</head>\n<body>\n<h1>");
        appendHtml(out, title);
        out += QLatin1String("</h1>\n");
        if (!m_options.subtitle.isEmpty()) {
            out += QLatin1String("<p class=\"periodo\">");
            appendHtml(out, m_options.subtitle);
            out += QLatin1String("</p>\n");
        }
        out += QLatin1String("<table>\n<thead><tr>");
        for (const int column : m_columns) {
            out += QLatin1String("<th>");
            appendHtml(out, m_fields.at(column).caption);
            out += QLatin1String("</th>");
        }
        out += QLatin1String("</tr></thead>\n<tbody>\n");
        return out;
    }

    void row(QString &out, const QVariantList &values) const
    {
        if (csv()) {
            for (int i = 0; i < m_columns.size(); ++i) {
                if (i > 0)
                    out += u';';
                const int column = m_columns.at(i);
                const FieldDef &field = m_fields.at(column);
                const QString text = csvText(values.value(column), field.type);
                if ((field.type == TypeText || field.type == TypeLongText || field.type == TypeReference)
                    && looksLikeFormula(text)) {
                    appendCsv(out, QLatin1Char('\'') + text);
                } else {
                    appendCsv(out, text);
                }
            }
            out += QLatin1String("\r\n");
            return;
        }
        out += QLatin1String("<tr>");
        for (const int column : m_columns) {
            const int type = m_fields.at(column).type;
            out += isNumeric(type)        ? QLatin1String("<td class=\"n\">")
                   : type == TypeDate     ? QLatin1String("<td class=\"d\">")
                   : type == TypeYesNo    ? QLatin1String("<td class=\"c\">")
                                          : QLatin1String("<td>");
            appendHtml(out, shownText(values.value(column), type));
            out += QLatin1String("</td>");
        }
        out += QLatin1String("</tr>\n");
    }

    QString tail(int rows) const
    {
        if (csv())
            return QString();
        return QLatin1String("</tbody>\n</table>\n<p class=\"righe\">Righe: ") + QLocale(QLocale::Italian).toString(rows)
               + QLatin1String("</p>\n</body>\n</html>\n");
    }

private:
    bool csv() const { return m_options.format == ExportFormat::Csv; }

    // The text the grid shows.
    QString shownText(const QVariant &value, int type) const
    {
        if (isNull(value))
            return QString();
        switch (type) {
        case TypeAmount:
            if (value.metaType() == QMetaType::fromType<Amount>())
                return CellFormat::amountText(*static_cast<const Amount *>(value.constData()), m_decimals);
            return displayText(value, type);
        case TypeDate: return CellFormat::dateText(value.toDate());
        case TypeYesNo: return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
        case TypeFloat: return QLocale(QLocale::Italian).toString(value.toDouble(), 'f', 3);
        default: return value.toString();
        }
    }

    // As shown, but numbers without the thousands points: a spreadsheet reads "1234,50" as a number
    // whatever it makes of grouping.
    QString csvText(const QVariant &value, int type) const
    {
        QString text = shownText(value, type);
        if (type == TypeAmount || type == TypeFloat)
            text.remove(u'.');
        return text;
    }

    const QList<FieldDef> &m_fields;
    const QList<int> m_columns;
    const ExportOptions &m_options;
    const int m_decimals;
};

void writeText(QSaveFile &out, const QString &text, const QString &file)
{
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size())
        failFileWrite(file, out.errorString());
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
    writeText(out, writer.head(title), file);
    ProgressPacer pacer(options.progress, ActionExport, ds.countRows(std::numeric_limits<int>::max()));
    int done = 0;
    QString chunk;
    ds.readPages(kRowsPerPage, [&](const QList<QVariantList> &rows) {
        chunk.clear();
        for (const QVariantList &values : rows)
            writer.row(chunk, values);
        writeText(out, chunk, file);
        done += int(rows.size());
        return pacer.step(done);
    });
    if (pacer.stopped() || !pacer.finish(done)) {
        out.cancelWriting();
        fail(QStringLiteral("Esportazione interrotta: il file \"%1\" non è stato scritto.").arg(QDir::toNativeSeparators(file)),
             kErrStopped);
    }
    writeText(out, writer.tail(done), file);
    if (!out.commit())
        failFileWrite(file, out.errorString());
    return done;
}

} // namespace objdb
