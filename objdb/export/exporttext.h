#pragma once
// The texts of an export: values as the grid shows them, escaped for HTML or quoted for CSV, written
// into a buffer of plain characters (an export writes some hundred pieces a row, so no piece
// becomes a string of its own).

#include <QByteArray>
#include <QStringView>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace objdb::ExportText {

class Buffer {
public:
    void clear() { m_size = 0; }
    // Room for n more characters, to be written and then committed.
    char16_t *room(qsizetype n)
    {
        if (qsizetype(m_text.size()) - m_size < n)
            m_text.resize(std::max<size_t>(m_text.size() * 2, size_t(m_size + n)));
        return m_text.data() + m_size;
    }
    void commit(qsizetype n) { m_size += n; }
    void append(QStringView text)
    {
        char16_t *at = room(text.size());
        std::copy(text.utf16(), text.utf16() + text.size(), at);
        m_size += text.size();
    }
    void append(char16_t c) { *room(1) = c; ++m_size; }
    QStringView view() const { return QStringView(m_text.data(), m_size); }
    QByteArray toUtf8() const { return view().toUtf8(); }

private:
    std::vector<char16_t> m_text;
    qsizetype m_size = 0;
};

// & < > " ' as character references; a character XML cannot hold as U+FFFD.
void appendHtml(Buffer &out, QStringView text);
// RFC 4180 with ";" between fields: a text holding ";", a quote or a line break is quoted, its quotes
// doubled. With guardFormula a text a spreadsheet would take for a formula ("=", "+", "-", "@"
// first) gets a leading apostrophe, so that opening the file never runs what was typed.
void appendCsv(Buffer &out, QStringView text, bool guardFormula);

// Whether values of a field type are texts that need escaping (the others are numbers, dates, yes/no).
bool isTextType(int type);
// A value of a field type as the grid shows it (amounts with `decimals`, "Sì"/"No", dates
// dd/mm/yyyy), escaped for HTML; for CSV quoted, and numbers without the thousands points (a
// spreadsheet reads "1234,50" as a number whatever it makes of grouping).
void appendHtmlValue(Buffer &out, const QVariant &value, int type, int decimals);
void appendCsvValue(Buffer &out, const QVariant &value, int type, int decimals);

} // namespace objdb::ExportText
