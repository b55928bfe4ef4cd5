#pragma once
#include <QString>
#include <QStringList>

namespace objdb {

// An identifier of the definition as the library's statements name it.
QString sqlName(const QString &identifier);

// Everything engine-specific in the SQL the library produces. Each engine provides its own
// (Engine::dialect()); the defaults here are the SQL that the engines share.
//
// What keeps user text out of the SQL the library builds: every value travels as a bound parameter
// (criteria render each literal as '?', writes bind every column), and the only names spliced into
// SQL text are identifiers of the definition, which quoteIdentifier refuses unless they are plain
// identifiers. Rendered clauses are made of those quoted names, the renderer's own keywords and
// operators, and placeholders.
class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    // "name"; throws for a name that is not a plain identifier (isValidIdentifier). Every engine
    // quotes the standard way, so names need no dialect.
    static QString quoteIdentifier(const QString &name);
    // Letters, digits and '_', not starting with a digit.
    static bool isValidIdentifier(const QString &name);
    // The text the engine is given for a statement of the library or the program. Names are
    // written in the definition's case, quoted or not: an engine whose quoted names are
    // case-sensitive turns them to the case it gives unquoted ones.
    virtual QString statement(const QString &sql) const { return sql; }
    virtual QString columnType(int typeCode) const;
    // The definition of a table's own key column OID, given by the engine when a row is added.
    virtual QString keyColumn() const { return QStringLiteral("OID INTEGER PRIMARY KEY"); }
    // One column of an index, kept in the order orderTerm sorts by.
    virtual QString indexColumn(const QString &column) const { return sqlName(column); }
    // One term of an ORDER BY. Null comes before every value ascending and after every value
    // descending, on every engine: the key-set conditions rely on that order.
    virtual QString orderTerm(const QString &expression, bool descending) const;
    // A text's order with ASCII letter case ignored.
    virtual QString caseInsensitiveOrder(const QString &expression) const = 0;
    // The exact sum of an integer `expression` over the rows as a 64-bit integer, Null when there
    // are none; a sum past 64 bits fails the statement.
    virtual QString integerSum(const QString &expression) const { return QStringLiteral("SUM(%1)").arg(expression); }
    // Case- and accent-insensitive pattern match of `expression` with a bound, already folded pattern.
    virtual QString likeMatch(const QString &expression, const QString &placeholder) const;
    // The function name that folds case and accents inside SQL (registered on every connection).
    virtual QString foldFunction() const { return QStringLiteral("objdb_fold"); }
    virtual QString limitClause(int count) const { return QStringLiteral(" LIMIT %1").arg(count); }
    // The sum of a floating-point `expression` over the rows, 0.0 when there are none.
    virtual QString floatSum(const QString &expression) const = 0;
    // The schema of the tables that live as long as the connection (its temporary tables).
    virtual QString temporarySchema() const = 0;
    // What follows a table in FROM so that the engine scans it by key whatever other index it has;
    // "" where the engine needs no telling.
    virtual QString keyScan() const { return QString(); }
    virtual QString trueLiteral() const { return QStringLiteral("1"); }
    virtual QString falseLiteral() const { return QStringLiteral("0"); }

    // The parts of a date that criteria can extract (Day(), Month(), Year()).
    enum class DatePart { Year, Month, Day };
    // Integer value of one part of `expression`, a date stored as ISO text 'yyyy-MM-dd'; Null stays Null.
    // Criteria compare the whole date with a range instead where they can, so an index serves them.
    virtual QString datePart(DatePart part, const QString &expression) const;
};

// Folds letter case and accents: "È" and "e" fold to the same text. Used for Like on both sides.
QString foldText(const QString &text);

} // namespace objdb
