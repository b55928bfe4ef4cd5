#pragma once
// Splits criterion, field-list and sort text into tokens.

#include <QDate>
#include <QList>
#include <QString>

namespace objdb::query {

struct Token {
    enum class Kind {
        End, Name, Text, Number, Date,
        LParen, RParen, Comma, Dot, Star, Plus, Minus,
        Eq, Ne, Lt, Gt, Le, Ge,
    };
    Kind kind = Kind::End;
    int position = 0;   // 0-based offset in the source
    int length = 0;     // characters of the source the token covers
    QString text;       // Name: the name (brackets removed); Text: the value; Number: the digits; else the symbol
    QDate date;         // Date
    bool bracketed = false; // Name written as [name]: never a keyword

    // Case-insensitive keyword test; bracketed names are never keywords.
    bool isKeyword(const char *keyword) const;
    bool isComparison() const { return kind >= Kind::Eq && kind <= Kind::Ge; }
};

// Tokenizes `source`; the list always ends with an End token placed at source.size().
// Throws objdb::Error via syntaxError(what, …) for an unterminated quote, a bad date or a stray character.
QList<Token> tokenize(const QString &source, const QString &what);

// How a token reads in a message: 'And', la fine del testo, …
QString describe(const Token &token);

} // namespace objdb::query
