#pragma once
#include <QString>
#include <QStringList>

namespace objdb {

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
    virtual QString columnType(int typeCode) const;
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

// An identifier of the definition as the library's statements name it.
QString sqlName(const QString &identifier);

// Folds letter case and accents: "È" and "e" fold to the same text. Used for Like on both sides.
QString foldText(const QString &text);

} // namespace objdb
