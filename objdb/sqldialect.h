#pragma once
#include <QString>
#include <QStringList>

namespace objdb {

// SQL text that was built from identifiers the library itself checked, never from user text.
// Values always travel as bound parameters; this type marks the few places where text is spliced.
class EscapedSql {
public:
    EscapedSql() = default;
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    EscapedSql operator+(const EscapedSql &other) const { return EscapedSql(m_text + other.m_text); }
    static EscapedSql raw(const QString &trustedText) { return EscapedSql(trustedText); }

private:
    explicit EscapedSql(QString text) : m_text(std::move(text)) {}
    QString m_text;
};

// Everything engine-specific in the SQL the library produces. Only SQLite exists today;
// a server engine is a second implementation of this class.
class SqlDialect {
public:
    virtual ~SqlDialect() = default;
    static const SqlDialect &sqlite();

    // "name" with embedded quotes doubled. Identifiers must also pass isValidIdentifier.
    virtual QString quoteIdentifier(const QString &name) const;
    static bool isValidIdentifier(const QString &name);
    virtual QString columnType(int typeCode) const;
    // Case- and accent-insensitive pattern match of `expression` with a bound, already folded pattern.
    virtual QString likeMatch(const QString &expression, const QString &placeholder) const;
    // The function name that folds case and accents inside SQL (registered on every connection).
    virtual QString foldFunction() const { return QStringLiteral("objdb_fold"); }
    // An amount `expression` (ten-thousandths) multiplied or divided by a factor in ten-thousandths,
    // exactly and rounded half away from zero (functions registered on every connection).
    virtual QString amountMultiplyFunction() const { return QStringLiteral("objdb_amount_mul"); }
    virtual QString amountDivideFunction() const { return QStringLiteral("objdb_amount_div"); }
    virtual QString limitClause(int count) const { return QStringLiteral(" LIMIT %1").arg(count); }
    virtual QString savepoint(const QString &name) const { return QStringLiteral("SAVEPOINT ") + name; }
    virtual QString releaseSavepoint(const QString &name) const { return QStringLiteral("RELEASE SAVEPOINT ") + name; }
    virtual QString rollbackToSavepoint(const QString &name) const { return QStringLiteral("ROLLBACK TO SAVEPOINT ") + name; }
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
