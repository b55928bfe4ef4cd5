#include "objdb/export/exporttext.h"

#include "objdb/amount.h"
#include "objdb/grid/cellformat.h"
#include "objdb/types.h"

#include <QLocale>
#include <array>

namespace objdb::ExportText {

namespace {

// Per ASCII character: whether HTML needs it written otherwise (markup characters and the control
// characters XML does not allow).
constexpr std::array<bool, 128> kHtmlSpecial = [] {
    std::array<bool, 128> special{};
    for (int c = 0; c < 0x20; ++c)
        special[c] = c != '\t' && c != '\n' && c != '\r';
    for (const char c : {'&', '<', '>', '"', '\''})
        special[size_t(c)] = true;
    return special;
}();

bool htmlSpecial(char16_t c)
{
    return c < 128 ? kHtmlSpecial[c] : (c == 0xFFFE || c == 0xFFFF);
}

// The text of a text-like value, without copying a string the variant holds.
QString textOf(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QString>() ? *static_cast<const QString *>(value.constData())
                                                              : value.toString();
}

// Numbers, dates and yes/no as the grid shows them; none of their characters needs escaping.
void appendShown(Buffer &out, const QVariant &value, int type, int decimals, bool grouped)
{
    switch (type) {
    case TypeAmount: {
        Amount amount;
        if (value.metaType() == QMetaType::fromType<Amount>()) {
            amount = *static_cast<const Amount *>(value.constData());
        } else if (const auto read = toAmount(value)) {
            amount = *read;
        } else {
            return;
        }
        char16_t *at = out.room(CellFormat::kMaxAmountChars);
        int length = CellFormat::writeAmount(at, amount, decimals);
        if (!grouped)
            length = int(std::remove(at, at + length, u'.') - at);
        out.commit(length);
        return;
    }
    case TypeDate: {
        const QDate date = value.metaType() == QMetaType::fromType<QDate>() ? *static_cast<const QDate *>(value.constData())
                                                                             : value.toDate();
        const int length = CellFormat::writeDate(out.room(10), date);
        if (length >= 0)
            out.commit(length);
        else
            out.append(CellFormat::dateText(date));
        return;
    }
    case TypeYesNo:
        out.append(value.toBool() ? QStringView(u"Sì") : QStringView(u"No"));
        return;
    case TypeFloat: {
        QString text = QLocale(QLocale::Italian).toString(value.toDouble(), 'f', 3);
        if (!grouped)
            text.remove(u'.');
        out.append(text);
        return;
    }
    default:
        out.append(value.toString());
    }
}

} // namespace

void appendHtml(Buffer &out, QStringView text)
{
    // Runs of plain characters go in whole; most values have nothing to escape.
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!htmlSpecial(c))
            continue;
        out.append(text.mid(plain, i - plain));
        plain = i + 1;
        switch (c) {
        case u'&': out.append(u"&amp;"); break;
        case u'<': out.append(u"&lt;"); break;
        case u'>': out.append(u"&gt;"); break;
        case u'"': out.append(u"&quot;"); break;
        case u'\'': out.append(u"&#39;"); break;
        default: out.append(char16_t(QChar::ReplacementCharacter));
        }
    }
    out.append(text.mid(plain));
}

void appendCsv(Buffer &out, QStringView text, bool guardFormula)
{
    const bool formula = guardFormula && !text.isEmpty()
                         && (text.front() == u'=' || text.front() == u'+' || text.front() == u'-' || text.front() == u'@'
                             || text.front() == u'\t' || text.front() == u'\r');
    bool quote = false;
    for (const QChar ch : text)
        if (ch == u';' || ch == u'"' || ch == u'\n' || ch == u'\r') {
            quote = true;
            break;
        }
    if (quote)
        out.append(u'"');
    if (formula)
        out.append(u'\'');
    if (!quote) {
        out.append(text);
        return;
    }
    for (const QChar ch : text) {
        if (ch == u'"')
            out.append(u'"');
        out.append(ch.unicode());
    }
    out.append(u'"');
}

bool isTextType(int type)
{
    return type == TypeText || type == TypeLongText || type == TypeReference;
}

void appendHtmlValue(Buffer &out, const QVariant &value, int type, int decimals)
{
    if (isNull(value))
        return;
    if (isTextType(type))
        appendHtml(out, textOf(value));
    else
        appendShown(out, value, type, decimals, true);
}

void appendCsvValue(Buffer &out, const QVariant &value, int type, int decimals)
{
    if (isNull(value))
        return;
    if (isTextType(type))
        appendCsv(out, textOf(value), true);
    else
        appendShown(out, value, type, decimals, false);
}

} // namespace objdb::ExportText
