#pragma once
// Rendering parse trees to SQL fragments with bound parameters.

#include "objdb/query/ast.h"

#include <QHash>

namespace objdb::query {

class Renderer {
public:
    // `where` completes "Campo sconosciuto <where>: X" ("nel criterio", "nell'elenco dei campi").
    Renderer(const Resolver &resolver, const SqlDialect &dialect, QString where);

    // A criterion tree as one boolean SQL expression.
    Sql predicate(const Node &node);
    // A field-list item's arithmetic (or a single name) and its type code.
    Sql expression(const Node &node, int &type);

private:
    struct DateCondition {
        int index = 0;
        bool month = false;
        int value = 0;
        const Node *field = nullptr;
    };

    FieldInfo resolve(const Node &field); // cached per render; unknown names throw
    Sql fieldSql(const Node &field);
    Sql operandSql(const Node &operand);
    std::optional<int> operandType(const Node &operand);
    QString operandName(const Node &operand) const;
    Sql compare(const Node &node);
    Sql like(const Node &node);
    Sql isNull(const Node &node);
    Sql bare(const Node &node);
    Sql andChain(const Node &node);
    Sql orChain(const Node &node);
    std::optional<DateCondition> dateCondition(const Node &node, int index);
    Sql monthRange(const Node &field, int year, int month);
    Sql arithmetic(const Node &node, int resultType);
    void arithmeticTypes(const Node &node, bool &amount, bool &floating, bool &fraction);

    const Resolver &m_resolver;
    const SqlDialect &m_dialect;
    QString m_where;
    QHash<QString, FieldInfo> m_fields;
};

// Appends `part` (text and binds) to `into`.
void appendSql(Sql &into, const Sql &part);

} // namespace objdb::query
