#include "objdb/query/lexer.h"

#include "objdb/error.h"
#include "objdb/query/ast.h"

#include <QRegularExpression>

namespace objdb::query {

void syntaxError(const QString &what, int position, const QString &detail)
{
    fail(QStringLiteral("%1 non valido alla posizione %2: %3").arg(what).arg(position + 1).arg(detail));
}

bool Token::isKeyword(const char *keyword) const
{
    return kind == Kind::Name && !bracketed && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

QString describe(const Token &token)
{
    switch (token.kind) {
    case Token::Kind::End:
        return QStringLiteral("la fine del testo");
    case Token::Kind::Text:
        return QStringLiteral("il testo '%1'").arg(token.text.left(40));
    case Token::Kind::Date:
        return QStringLiteral("la data #%1#").arg(token.date.toString(QStringLiteral("MM/dd/yyyy")));
    case Token::Kind::Number:
        return QStringLiteral("il numero %1").arg(token.text);
    case Token::Kind::Name:
        return QStringLiteral("'%1'").arg(token.text.left(40));
    default:
        return QStringLiteral("'%1'").arg(token.text);
    }
}

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.category() == QChar::Mark_NonSpacing;
}

QDate parseDate(const QString &body)
{
    static const QRegularExpression us(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})\\s*$"));
    if (const auto m = us.match(body); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    if (const auto m = iso.match(body); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return QDate();
}

} // namespace

QList<Token> tokenize(const QString &source, const QString &what)
{
    QList<Token> tokens;
    const int n = int(source.size());
    int i = 0;
    auto symbol = [&](Token::Kind kind, int length) {
        Token t;
        t.kind = kind;
        t.position = i;
        t.length = length;
        t.text = source.mid(i, length);
        tokens.append(t);
        i += length;
    };
    while (i < n) {
        const QChar c = source.at(i);
        const QChar next = i + 1 < n ? source.at(i + 1) : QChar();
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            Token t;
            t.kind = Token::Kind::Text;
            t.position = i;
            t.text = QStringLiteral(""); // '' is the empty text, which binds as '' (a null QString binds as Null)
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (source.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && source.at(j + 1) == QLatin1Char('\'')) {
                        t.text.append(QLatin1Char('\''));
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                // SQLite reads a pattern only up to a NUL: the rest of the text would be lost.
                if (source.at(j).isNull())
                    syntaxError(what, j, QStringLiteral("il testo contiene il carattere NUL, che non è ammesso."));
                t.text.append(source.at(j));
                ++j;
            }
            if (!closed)
                syntaxError(what, i, QStringLiteral("testo non chiuso: manca l'apice finale."));
            t.length = j - i;
            tokens.append(t);
            i = j;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const int close = int(source.indexOf(QLatin1Char('#'), i + 1));
            if (close < 0)
                syntaxError(what, i, QStringLiteral("data non chiusa: manca il '#' finale."));
            const QString body = source.mid(i + 1, close - i - 1);
            Token t;
            t.kind = Token::Kind::Date;
            t.position = i;
            t.length = close + 1 - i;
            t.date = parseDate(body);
            if (!t.date.isValid())
                syntaxError(what, i, QStringLiteral("data non valida #%1# (il formato è #mm/gg/aaaa#).").arg(body.left(40)));
            t.text = source.mid(i, t.length);
            tokens.append(t);
            i = close + 1;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && next.isDigit())) {
            int j = i;
            while (j < n && source.at(j).isDigit())
                ++j;
            if (j < n && source.at(j) == QLatin1Char('.') && j + 1 < n && source.at(j + 1).isDigit()) {
                ++j;
                while (j < n && source.at(j).isDigit())
                    ++j;
            } else if (j < n && source.at(j) == QLatin1Char('.') && !(j + 1 < n && isNameStart(source.at(j + 1)))) {
                ++j; // "12." reads as 12
            }
            Token t;
            t.kind = Token::Kind::Number;
            t.position = i;
            t.length = j - i;
            t.text = source.mid(i, j - i);
            // Only ASCII digits are numbers: other decimal digits would not convert.
            for (const QChar d : std::as_const(t.text)) {
                if (d != QLatin1Char('.') && (d < QLatin1Char('0') || d > QLatin1Char('9')))
                    syntaxError(what, i, QStringLiteral("numero non valido '%1'.").arg(t.text));
            }
            if (t.text.startsWith(QLatin1Char('.')))
                t.text.prepend(QLatin1Char('0'));
            if (t.text.endsWith(QLatin1Char('.')))
                t.text.chop(1);
            tokens.append(t);
            i = j;
            continue;
        }
        if (isNameStart(c)) {
            int j = i + 1;
            while (j < n && isNamePart(source.at(j)))
                ++j;
            Token t;
            t.kind = Token::Kind::Name;
            t.position = i;
            t.length = j - i;
            t.text = source.mid(i, j - i);
            tokens.append(t);
            i = j;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const int close = int(source.indexOf(QLatin1Char(']'), i + 1));
            if (close < 0)
                syntaxError(what, i, QStringLiteral("nome non chiuso: manca la ']' finale."));
            Token t;
            t.kind = Token::Kind::Name;
            t.bracketed = true;
            t.position = i;
            t.length = close + 1 - i;
            t.text = source.mid(i + 1, close - i - 1).trimmed();
            if (t.text.isEmpty() || t.text.contains(QLatin1Char('[')))
                syntaxError(what, i, QStringLiteral("nome tra parentesi quadre non valido."));
            tokens.append(t);
            i = close + 1;
            continue;
        }
        switch (c.unicode()) {
        case '(': symbol(Token::Kind::LParen, 1); continue;
        case ')': symbol(Token::Kind::RParen, 1); continue;
        case ',': symbol(Token::Kind::Comma, 1); continue;
        case '.': symbol(Token::Kind::Dot, 1); continue;
        case '*': symbol(Token::Kind::Star, 1); continue;
        case '+': symbol(Token::Kind::Plus, 1); continue;
        case '-': symbol(Token::Kind::Minus, 1); continue;
        case '=': symbol(Token::Kind::Eq, 1); continue;
        case '<':
            if (next == QLatin1Char('>'))
                symbol(Token::Kind::Ne, 2);
            else if (next == QLatin1Char('='))
                symbol(Token::Kind::Le, 2);
            else
                symbol(Token::Kind::Lt, 1);
            continue;
        case '>':
            if (next == QLatin1Char('='))
                symbol(Token::Kind::Ge, 2);
            else
                symbol(Token::Kind::Gt, 1);
            continue;
        default:
            break;
        }
        if (c == QLatin1Char('"'))
            syntaxError(what, i, QStringLiteral("i testi vanno scritti tra apici singoli ('testo')."));
        syntaxError(what, i, QStringLiteral("carattere non ammesso '%1'.").arg(c));
    }
    Token end;
    end.kind = Token::Kind::End;
    end.position = n;
    tokens.append(end);
    return tokens;
}

} // namespace objdb::query
