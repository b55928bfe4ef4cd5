#pragma once
// The criterion language of filters, conditions, field lists and sort expressions.
// Text is parsed into a tree and rendered to SQL in which every value is a bound parameter.

#include "objdb/sqldialect.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

namespace objdb::query {

// What a field name stands for in the data source: its SQL expression and its type code.
// `binds` are the values of any '?' placeholders inside `sql` (an alias's calculated expression, say);
// they are repeated, in order, wherever the renderer writes `sql`. Most fields have none.
// A reference (type 2) stands for the text it shows: criteria compare it as text.
struct FieldInfo {
    QString sql;
    int type = 0;
    QVariantList binds;
};

// Resolves a name as written ("Data", "Movimenti.Descrizione", an alias such as "SaldoCassa").
// Returns nullopt for an unknown name; may throw objdb::Error for an ambiguous one.
using Resolver = std::function<std::optional<FieldInfo>(const QString &name)>;

// An SQL fragment and the values of its '?' placeholders, in order. A rendered criterion is one
// boolean expression (it may contain OR at its top level: wrap it in parentheses to combine it).
struct Sql {
    QString text;
    QVariantList binds;
};

struct Node; // parse tree, private to the implementation

class Criterion {
public:
    Criterion();
    // Throws objdb::Error (n = 124) naming the position of a malformed criterion.
    static Criterion parse(const QString &text);
    bool isEmpty() const;
    // Throws objdb::Error for an unknown field or a literal that does not fit its field's type.
    // Every literal becomes a '?' with its stored form (toStorage of the field it is compared with);
    // = and <> compare exactly, Like folds case and accents (SqlDialect::likeMatch, objdb_fold);
    // Month(f) = M And Year(f) = Y in one And-chain renders as the range f >= ? AND f < ?.
    Sql render(const Resolver &resolver, const SqlDialect &dialect) const;
    // The field names the criterion mentions, as written.
    QStringList fieldNames() const;

private:
    std::shared_ptr<const Node> m_root;
};

// One item of a field list: "*", a name, or an expression, with an optional alias.
struct SelectItem {
    enum Kind { Star, Name, Expression };
    Kind kind = Star;
    QString name;       // Name: the field as written (maybe qualified); Star: "" or the table of "Table.*"
    QString alias;      // "" when none
    QString text;       // the item as written, without the alias
    std::shared_ptr<const Node> expression; // Expression: the arithmetic tree
};

class FieldList {
public:
    static FieldList parse(const QString &text); // "" parses to a single "*"
    const QList<SelectItem> &items() const { return m_items; }
    // SQL of an Expression item (or of a Name item); its type is an amount when any operand is one.
    // Values of the placeholders in the returned sql are appended to `binds`; the result's own
    // binds stay empty. Throws objdb::Error for "*", an unknown or non-numeric field.
    static FieldInfo renderExpression(const SelectItem &item, const Resolver &resolver, QVariantList &binds,
                                      const SqlDialect &dialect);

private:
    QList<SelectItem> m_items;
};

struct SortKey {
    QString field;
    bool descending = false;
};

class SortOrder {
public:
    static SortOrder parse(const QString &text); // "Codice", "Data DESC, Importo ASC"
    const QList<SortKey> &keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.isEmpty(); }
    QString toText() const;                        // canonical text: "Data DESC, Importo"

private:
    QList<SortKey> m_keys;
};

// Criterion literals, as the program writes them into criterion text.
QString textLiteral(const QString &text);           // 'it''s'
QString patternLiteral(const QString &pattern);     // '*' kept: 'abc*'
QString likeData(const QString &text);              // a text matched as it is in a pattern: '*' as "[*]"
QString literal(const QVariant &value, int type);    // text quoted; date #mm/dd/yyyy#; True/False; amount 12.5
QString sqlNumber(double value);                     // shortest text, '.' decimal, locale-free

} // namespace objdb::query
