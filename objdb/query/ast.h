#pragma once
// Parse tree of criteria, field-list expressions and sort orders. Private to objdb/query.

#include "objdb/query/criterion.h"

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

namespace objdb::query {

using NodePtr = std::shared_ptr<const Node>;

struct Node {
    enum class Kind {
        And,      // children: two or more predicates (nested Ands are flattened)
        Or,       // children: two or more predicates (nested Ors are flattened)
        Not,      // children[0]: a predicate
        Compare,  // op: = <> < > <= >=; children: left and right operand
        Like,     // negated: Not Like; children[0]: the operand; text: the '*' pattern as written
        IsNull,   // negated: Is Not Null; children[0]: the operand
        Bare,     // a lone operand used as a predicate: True, False or a yes/no field
        Field,    // name: the field as written, qualified parts joined by '.'
        Literal,  // literal, text / date / boolean
        Function, // op: "Day", "Month" or "Year"; children[0]: a Field
        Arith,    // field lists: children (two or more) joined by the operators in text, "+" or "-" each
        Negate,   // field lists: unary minus; children[0]
    };
    enum class LiteralKind { Text, Number, Date, Boolean };

    Kind kind = Kind::Literal;
    int position = 0; // 0-based offset of the node's first character in the source text
    QString op;
    bool negated = false;
    QString name;
    LiteralKind literalKind = LiteralKind::Text;
    QString text;     // Text: the value (quotes undoubled); Number: digits as written, maybe with '-'
    QDate date;
    bool boolean = false;
    std::vector<NodePtr> children;
};

// Builds "<what> non valido alla posizione <n>: <detail>" with n counted from 1.
[[noreturn]] void syntaxError(const QString &what, int position, const QString &detail);

} // namespace objdb::query
