#include "rawexport.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace RawExport {

namespace {

// The fields the payments view shows by default, in its order (the SELECT of the data source
// without OID, OID_Movimenti and the private ScontoPrivato).
enum Kind { Text, Amount, Date, YesNo };
struct Column {
    const char *sql;
    Kind kind;
};
const Column kColumns[] = {
    {"t0.Data", Date},           {"t0.Contanti", Amount},       {"t0.Bonifico_Bancomat", Amount},
    {"t0.Assegno", Amount},      {"t0.Anticipo", Amount},       {"t0.DataCopertura", Date},
    {"t0.Operatore", Text},      {"r0.Descrizione", Text},      {"r0.Codice", Text},
    {"p.Descrizione", Text},     {"p.Importo", Amount},         {"p.Sconto", Amount},
    {"p.ImportoInSospeso", Amount}, {"p.Pagato", YesNo},        {"pr0.RagioneSociale", Text},
    {"pr0.Codice", Text},        {"pr1.Nome", Text},            {"pr1.Codice", Text},
    {"p.Descrizione", Text},     {"p.Importo", Amount},
};
constexpr int kColumnCount = int(sizeof(kColumns) / sizeof(kColumns[0]));

std::string selectSql()
{
    std::string sql = "SELECT ";
    for (int i = 0; i < kColumnCount; ++i) {
        if (i > 0)
            sql += ", ";
        sql += kColumns[i].sql;
    }
    sql += " FROM Pagamenti AS t0 LEFT JOIN TipiOperazione AS r0 ON r0.OID = t0.TipoOperazione "
           "LEFT JOIN Movimenti AS p ON p.OID = t0.OID_Movimenti LEFT JOIN Compagnie AS pr0 ON pr0.OID = p.Compagnia "
           "LEFT JOIN Collaboratori AS pr1 ON pr1.OID = p.Collaboratore ORDER BY t0.Data, t0.OID";
    return sql;
}

// Ten-thousandths as "1.234,50" (grouped) or "1234,50", two decimals rounded half away from zero.
void appendAmount(std::string &out, long long units, bool grouped)
{
    const bool negative = units < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(units) : static_cast<unsigned long long>(units);
    unsigned long long rest = magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);
    const bool shownNegative = negative && rest > 0;
    char buffer[40];
    int at = sizeof(buffer);
    buffer[--at] = char('0' + rest % 10);
    rest /= 10;
    buffer[--at] = char('0' + rest % 10);
    rest /= 10;
    buffer[--at] = ',';
    int digits = 0;
    do {
        if (grouped && digits > 0 && digits % 3 == 0)
            buffer[--at] = '.';
        buffer[--at] = char('0' + rest % 10);
        rest /= 10;
        ++digits;
    } while (rest > 0);
    if (shownNegative)
        buffer[--at] = '-';
    out.append(buffer + at, sizeof(buffer) - at);
}

// "2024-06-12" as "12/06/2024".
void appendDate(std::string &out, const unsigned char *iso, int bytes)
{
    if (bytes < 10)
        return;
    const char text[10] = {char(iso[8]), char(iso[9]), '/', char(iso[5]), char(iso[6]), '/',
                           char(iso[0]), char(iso[1]), char(iso[2]), char(iso[3])};
    out.append(text, 10);
}

void appendHtmlText(std::string &out, const unsigned char *text, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const unsigned char c = text[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += "\xEF\xBF\xBD";
            else
                out += char(c);
        }
    }
}

void appendCsvText(std::string &out, const unsigned char *text, int bytes, bool guardFormula)
{
    const bool formula = guardFormula && bytes > 0
                         && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' || text[0] == '\t'
                             || text[0] == '\r');
    bool quote = false;
    for (int i = 0; i < bytes && !quote; ++i)
        quote = text[i] == ';' || text[i] == '"' || text[i] == '\n' || text[i] == '\r';
    if (!quote) {
        if (formula)
            out += '\'';
        out.append(reinterpret_cast<const char *>(text), bytes);
        return;
    }
    out += '"';
    if (formula)
        out += '\'';
    for (int i = 0; i < bytes; ++i) {
        if (text[i] == '"')
            out += '"';
        out += char(text[i]);
    }
    out += '"';
}

// The value of one column as the export writes it.
void appendValue(std::string &out, sqlite3_stmt *statement, int column, Kind kind, Format format)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return;
    switch (kind) {
    case Amount:
        appendAmount(out, sqlite3_column_int64(statement, column), format == Format::Html);
        return;
    case Date:
        appendDate(out, sqlite3_column_text(statement, column), sqlite3_column_bytes(statement, column));
        return;
    case YesNo:
        out += sqlite3_column_int(statement, column) != 0 ? "S\xC3\xAC" : "No";
        return;
    case Text:
        break;
    }
    const unsigned char *text = sqlite3_column_text(statement, column);
    const int bytes = sqlite3_column_bytes(statement, column);
    if (format == Format::Html)
        appendHtmlText(out, text, bytes);
    else
        appendCsvText(out, text, bytes, true);
}

// Italian grouping of a count: "100.000".
std::string grouped(long long number)
{
    std::string digits = std::to_string(number);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::string::size_type(at), 1, '.');
    return digits;
}

} // namespace

int write(const QString &archive, const QString &file, Format format, const QByteArray &head)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(archive.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_stmt *statement = nullptr;
    const std::string sql = selectSql();
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    const QByteArray temporary = (file + QStringLiteral(".part")).toUtf8();
    FILE *out = std::fopen(temporary.constData(), "wb");
    std::fwrite(head.constData(), 1, size_t(head.size()), out);
    std::string chunk;
    chunk.reserve(1 << 17);
    int rows = 0;
    static const char *const kHtmlCell[] = {"<td>", "<td class=\"n\">", "<td class=\"d\">", "<td class=\"c\">"};
    while (sqlite3_step(statement) == SQLITE_ROW) {
        if (format == Format::Html) {
            chunk += "<tr>";
            for (int c = 0; c < kColumnCount; ++c) {
                chunk += kHtmlCell[kColumns[c].kind];
                appendValue(chunk, statement, c, kColumns[c].kind, format);
                chunk += "</td>";
            }
            chunk += "</tr>\n";
        } else {
            for (int c = 0; c < kColumnCount; ++c) {
                if (c > 0)
                    chunk += ';';
                appendValue(chunk, statement, c, kColumns[c].kind, format);
            }
            chunk += "\r\n";
        }
        ++rows;
        if (chunk.size() > (1 << 16)) {
            std::fwrite(chunk.data(), 1, chunk.size(), out);
            chunk.clear();
        }
    }
    if (format == Format::Html)
        chunk += "</tbody>\n</table>\n<p class=\"righe\">Righe: " + grouped(rows) + "</p>\n</body>\n</html>\n";
    std::fwrite(chunk.data(), 1, chunk.size(), out);
    std::fclose(out);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    std::rename(temporary.constData(), file.toUtf8().constData());
    return rows;
}

} // namespace RawExport
