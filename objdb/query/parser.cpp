#include "objdb/query/parser.h"

#include "objdb/query/lexer.h"

namespace objdb::query {

namespace {

using Kind = Token::Kind;

std::shared_ptr<Node> makeNode(Node::Kind kind, int position)
{
    auto node = std::make_shared<Node>();
    node->kind = kind;
    node->position = position;
    return node;
}

class Parser {
public:
    enum class Mode { Criterion, FieldList, Sort };

    Parser(const QString &source, Mode mode)
        : m_source(source), m_mode(mode), m_what(whatOf(mode)), m_tokens(tokenize(source, m_what))
    {
    }

    // Criterion -----------------------------------------------------------------------------------

    NodePtr criterion()
    {
        NodePtr root = orExpression();
        const Token &t = peek();
        if (t.kind == Kind::RParen)
            error(t, QStringLiteral("parentesi chiusa ')' senza la parentesi aperta corrispondente."));
        if (t.kind != Kind::End)
            error(t, QStringLiteral("atteso And oppure Or invece di %1.").arg(describe(t)));
        return root;
    }

    // Field list ----------------------------------------------------------------------------------

    QList<SelectItem> fieldList()
    {
        QList<SelectItem> items;
        for (;;) {
            const Token start = peek();
            SelectItem item;
            if (start.kind == Kind::Star) {
                take();
                item.kind = SelectItem::Star;
                item.text = QStringLiteral("*");
            } else if (start.kind == Kind::Name && peek(1).kind == Kind::Dot && peek(2).kind == Kind::Star) {
                take();
                take();
                const Token star = take();
                item.kind = SelectItem::Star;
                item.name = start.text;
                item.text = m_source.mid(start.position, star.position + star.length - start.position);
            } else {
                const int before = m_pos;
                NodePtr expression = arithmetic();
                const Token &last = m_tokens.at(m_pos - 1);
                item.text = m_source.mid(start.position, last.position + last.length - start.position).trimmed();
                const bool plainName = expression->kind == Node::Kind::Field && start.kind == Kind::Name
                                       && !tokenRangeHas(before, m_pos, Kind::LParen);
                if (plainName) {
                    item.kind = SelectItem::Name;
                    item.name = expression->name;
                } else {
                    item.kind = SelectItem::Expression;
                    item.expression = expression;
                }
            }
            if (peek().isKeyword("AS")) {
                const Token as = take();
                if (item.kind == SelectItem::Star)
                    error(as, QStringLiteral("'*' non può avere un alias."));
                const Token alias = peek();
                if (alias.kind != Kind::Name || alias.isKeyword("AS"))
                    error(alias, QStringLiteral("atteso il nome dell'alias dopo AS invece di %1.").arg(describe(alias)));
                take();
                item.alias = alias.text;
            } else if (item.kind == SelectItem::Expression) {
                error(peek(), QStringLiteral("un campo calcolato richiede un nome: aggiungere AS nome prima di %1.")
                                  .arg(describe(peek())));
            }
            items.append(item);
            const Token &t = peek();
            if (t.kind == Kind::Comma) {
                take();
                continue;
            }
            if (t.kind == Kind::End)
                break;
            if (t.kind == Kind::Star || t.kind == Kind::Name)
                error(t, QStringLiteral("nei campi calcolati sono ammessi solo '+' e '-': trovato %1.").arg(describe(t)));
            error(t, QStringLiteral("atteso ',' invece di %1.").arg(describe(t)));
        }
        return items;
    }

    // Sort order ----------------------------------------------------------------------------------

    QList<SortKey> sortOrder()
    {
        QList<SortKey> keys;
        for (;;) {
            SortKey key;
            key.field = fieldName()->name;
            if (peek().isKeyword("ASC")) {
                take();
            } else if (peek().isKeyword("DESC")) {
                take();
                key.descending = true;
            }
            keys.append(key);
            const Token &t = peek();
            if (t.kind == Kind::Comma) {
                take();
                continue;
            }
            if (t.kind == Kind::End)
                break;
            error(t, QStringLiteral("atteso ',' oppure ASC o DESC invece di %1.").arg(describe(t)));
        }
        return keys;
    }

private:
    static QString whatOf(Mode mode)
    {
        switch (mode) {
        case Mode::Criterion:
            return QStringLiteral("Criterio");
        case Mode::FieldList:
            return QStringLiteral("Elenco di campi");
        case Mode::Sort:
            break;
        }
        return QStringLiteral("Ordinamento");
    }

    const Token &peek(int ahead = 0) const
    {
        const int at = std::min(m_pos + ahead, int(m_tokens.size()) - 1);
        return m_tokens.at(at);
    }

    Token take()
    {
        Token t = peek();
        if (m_pos < int(m_tokens.size()) - 1)
            ++m_pos;
        return t;
    }

    bool tokenRangeHas(int from, int to, Kind kind) const
    {
        for (int i = from; i < to; ++i) {
            if (m_tokens.at(i).kind == kind)
                return true;
        }
        return false;
    }

    [[noreturn]] void error(const Token &at, const QString &detail) const { syntaxError(m_what, at.position, detail); }

    void enter(const Token &at)
    {
        if (++m_depth > kMaxNesting)
            error(at, QStringLiteral("troppi livelli di parentesi o di Not (al massimo %1).").arg(kMaxNesting));
    }
    void leave() { --m_depth; }

    void countTerm(const Token &at)
    {
        if (++m_terms <= kMaxTerms)
            return;
        error(at, m_mode == Mode::Criterion
                      ? QStringLiteral("il criterio è troppo lungo (al massimo %1 condizioni).").arg(kMaxTerms)
                      : QStringLiteral("troppi campi e termini di calcolo (al massimo %1).").arg(kMaxTerms));
    }

    bool isReserved(const Token &t) const
    {
        if (m_mode == Mode::Criterion) {
            for (const char *kw : {"And", "Or", "Not", "Like", "Is", "Null", "True", "False"}) {
                if (t.isKeyword(kw))
                    return true;
            }
            return false;
        }
        if (m_mode == Mode::FieldList)
            return t.isKeyword("AS");
        return t.isKeyword("ASC") || t.isKeyword("DESC");
    }

    // Name or Name.Name…, joined with '.' as written (brackets removed).
    NodePtr fieldName()
    {
        const Token first = peek();
        if (first.kind == Kind::End)
            error(first, QStringLiteral("manca il nome di un campo."));
        if (first.kind != Kind::Name || isReserved(first))
            error(first, QStringLiteral("atteso il nome di un campo invece di %1.").arg(describe(first)));
        take();
        QString name = first.text;
        while (peek().kind == Kind::Dot) {
            const Token dot = take();
            const Token part = peek();
            if (part.kind != Kind::Name || isReserved(part))
                error(part.kind == Kind::End ? dot : part,
                      QStringLiteral("atteso il nome di un campo dopo '.' invece di %1.").arg(describe(part)));
            take();
            name += QLatin1Char('.') + part.text;
        }
        auto node = makeNode(Node::Kind::Field, first.position);
        node->name = name;
        return node;
    }

    NodePtr numberLiteral(const Token &number, bool negative, int position)
    {
        auto node = makeNode(Node::Kind::Literal, position);
        node->literalKind = Node::LiteralKind::Number;
        node->text = negative ? QLatin1Char('-') + number.text : number.text;
        return node;
    }

    NodePtr orExpression() { return chain("Or", Node::Kind::Or, &Parser::andExpression); }

    NodePtr andExpression() { return chain("And", Node::Kind::And, &Parser::notExpression); }

    // operand [keyword operand]...: one group node holding every operand, nested groups flattened.
    NodePtr chain(const char *keyword, Node::Kind kind, NodePtr (Parser::*operand)())
    {
        NodePtr first = (this->*operand)();
        if (!peek().isKeyword(keyword))
            return first;
        auto node = makeNode(kind, first->position);
        appendFlattened(*node, first);
        while (peek().isKeyword(keyword)) {
            take();
            appendFlattened(*node, (this->*operand)());
        }
        return node;
    }

    static void appendFlattened(Node &group, const NodePtr &child)
    {
        if (child->kind == group.kind)
            group.children.insert(group.children.end(), child->children.begin(), child->children.end());
        else
            group.children.push_back(child);
    }

    NodePtr notExpression()
    {
        const Token t = peek();
        if (!t.isKeyword("Not"))
            return predicate();
        take();
        enter(t);
        auto node = makeNode(Node::Kind::Not, t.position);
        node->children.push_back(notExpression());
        leave();
        return node;
    }

    NodePtr predicate()
    {
        const Token open = peek();
        if (open.kind == Kind::LParen) {
            take();
            enter(open);
            NodePtr inner = orExpression();
            const Token &close = peek();
            if (close.kind == Kind::End)
                error(close, QStringLiteral("manca la parentesi chiusa ')' della parentesi aperta alla posizione %1.")
                                 .arg(open.position + 1));
            if (close.kind != Kind::RParen)
                error(close, QStringLiteral("atteso And, Or oppure ')' invece di %1.").arg(describe(close)));
            take();
            leave();
            return inner;
        }

        countTerm(open);
        NodePtr left = operand();
        const Token op = peek();
        if (op.isComparison()) {
            take();
            if (peek().isKeyword("Null"))
                error(peek(), QStringLiteral("un valore non si confronta con Null: usare Is Null oppure Is Not Null."));
            if (peek().kind == Kind::End)
                error(peek(), QStringLiteral("il criterio finisce dopo '%1': manca il valore da confrontare.").arg(op.text));
            auto node = makeNode(Node::Kind::Compare, left->position);
            node->op = op.text;
            node->children.push_back(left);
            node->children.push_back(operand());
            return node;
        }
        if (op.isKeyword("Is")) {
            if (left->kind == Node::Kind::Literal)
                error(op, QStringLiteral("Is Null va preceduto da un campo."));
            take();
            auto node = makeNode(Node::Kind::IsNull, left->position);
            if (peek().isKeyword("Not")) {
                take();
                node->negated = true;
            }
            if (!peek().isKeyword("Null"))
                error(peek(), QStringLiteral("atteso Null dopo Is invece di %1.").arg(describe(peek())));
            take();
            node->children.push_back(left);
            return node;
        }
        const bool notLike = op.isKeyword("Not") && peek(1).isKeyword("Like");
        if (op.isKeyword("Like") || notLike) {
            if (left->kind != Node::Kind::Field)
                error(op, QStringLiteral("Like va preceduto dal nome di un campo."));
            take();
            if (notLike)
                take();
            const Token pattern = peek();
            if (pattern.kind != Kind::Text)
                error(pattern, QStringLiteral("dopo Like serve un testo tra apici, per esempio 'abc*', invece di %1.")
                                   .arg(describe(pattern)));
            take();
            auto node = makeNode(Node::Kind::Like, left->position);
            node->negated = notLike;
            node->text = pattern.text;
            node->children.push_back(left);
            return node;
        }
        if (left->kind == Node::Kind::Field
            || (left->kind == Node::Kind::Literal && left->literalKind == Node::LiteralKind::Boolean)) {
            auto node = makeNode(Node::Kind::Bare, left->position);
            node->children.push_back(left);
            return node;
        }
        error(op, QStringLiteral("atteso un operatore di confronto (=, <>, <, >, <=, >=, Like, Is) invece di %1.")
                      .arg(describe(op)));
    }

    NodePtr operand()
    {
        const Token t = peek();
        switch (t.kind) {
        case Kind::Name: {
            if (t.isKeyword("True") || t.isKeyword("False")) {
                take();
                auto node = makeNode(Node::Kind::Literal, t.position);
                node->literalKind = Node::LiteralKind::Boolean;
                node->boolean = t.isKeyword("True");
                return node;
            }
            if (t.isKeyword("Null"))
                error(t, QStringLiteral("Null si usa solo in Is Null oppure Is Not Null."));
            if (isReserved(t))
                error(t, QStringLiteral("atteso un campo o un valore invece di %1.").arg(describe(t)));
            if (peek(1).kind == Kind::LParen && !t.bracketed) {
                QString function;
                for (const char *f : {"Day", "Month", "Year"}) {
                    if (t.isKeyword(f))
                        function = QLatin1String(f);
                }
                if (function.isEmpty())
                    error(t, QStringLiteral("funzione sconosciuta '%1': sono ammesse Day, Month e Year.").arg(t.text));
                take();
                const Token open = take();
                enter(open);
                auto node = makeNode(Node::Kind::Function, t.position);
                node->op = function;
                node->children.push_back(fieldName());
                if (peek().kind != Kind::RParen)
                    error(peek(), QStringLiteral("atteso ')' dopo il campo di %1( invece di %2.").arg(function, describe(peek())));
                take();
                leave();
                return node;
            }
            return fieldName();
        }
        case Kind::Text: {
            take();
            auto node = makeNode(Node::Kind::Literal, t.position);
            node->literalKind = Node::LiteralKind::Text;
            node->text = t.text;
            return node;
        }
        case Kind::Number:
            take();
            return numberLiteral(t, false, t.position);
        case Kind::Date: {
            take();
            auto node = makeNode(Node::Kind::Literal, t.position);
            node->literalKind = Node::LiteralKind::Date;
            node->date = t.date;
            return node;
        }
        case Kind::Minus:
        case Kind::Plus:
            if (peek(1).kind == Kind::Number) {
                take();
                const Token number = take();
                return numberLiteral(number, t.kind == Kind::Minus, t.position);
            }
            error(t, QStringLiteral("atteso un numero dopo '%1'.").arg(t.text));
        case Kind::End:
            error(t, QStringLiteral("il criterio è incompleto: manca un campo o un valore."));
        default:
            error(t, QStringLiteral("atteso un campo o un valore invece di %1.").arg(describe(t)));
        }
    }

    // Arithmetic of field lists: term (('+'|'-') term)*, kept flat so long sums do not nest.
    NodePtr arithmetic()
    {
        NodePtr first = unary();
        if (peek().kind != Kind::Plus && peek().kind != Kind::Minus)
            return first;
        auto node = makeNode(Node::Kind::Arith, first->position);
        node->children.push_back(first);
        while (peek().kind == Kind::Plus || peek().kind == Kind::Minus) {
            node->text += take().text;
            node->children.push_back(unary());
        }
        return node;
    }

    NodePtr unary()
    {
        const Token t = peek();
        if (t.kind == Kind::Plus) {
            take();
            enter(t);
            NodePtr inner = unary();
            leave();
            return inner;
        }
        if (t.kind == Kind::Minus) {
            take();
            enter(t);
            auto node = makeNode(Node::Kind::Negate, t.position);
            node->children.push_back(unary());
            leave();
            return node;
        }
        return primary();
    }

    NodePtr primary()
    {
        const Token t = peek();
        if (t.kind != Kind::LParen)
            countTerm(t);
        switch (t.kind) {
        case Kind::LParen: {
            take();
            enter(t);
            NodePtr inner = arithmetic();
            if (peek().kind == Kind::End)
                error(peek(), QStringLiteral("manca la parentesi chiusa ')' della parentesi aperta alla posizione %1.")
                                  .arg(t.position + 1));
            if (peek().kind != Kind::RParen)
                error(peek(), QStringLiteral("atteso '+', '-' oppure ')' invece di %1.").arg(describe(peek())));
            take();
            leave();
            return inner;
        }
        case Kind::Name:
            return fieldName();
        case Kind::Number:
            take();
            return numberLiteral(t, false, t.position);
        case Kind::End:
            error(t, QStringLiteral("manca un campo o un numero."));
        default:
            error(t, QStringLiteral("nei campi calcolati sono ammessi solo campi e numeri: trovato %1.").arg(describe(t)));
        }
    }

    const QString &m_source;
    Mode m_mode;
    QString m_what;
    QList<Token> m_tokens;
    int m_pos = 0;
    int m_depth = 0;
    int m_terms = 0;
};

bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace

NodePtr parseCriterionText(const QString &text)
{
    if (isBlank(text))
        return nullptr;
    Parser parser(text, Parser::Mode::Criterion);
    return parser.criterion();
}

QList<SelectItem> parseFieldListText(const QString &text)
{
    if (isBlank(text)) {
        SelectItem star;
        star.kind = SelectItem::Star;
        star.text = QStringLiteral("*");
        return {star};
    }
    Parser parser(text, Parser::Mode::FieldList);
    return parser.fieldList();
}

QList<SortKey> parseSortOrderText(const QString &text)
{
    if (isBlank(text))
        return {};
    Parser parser(text, Parser::Mode::Sort);
    return parser.sortOrder();
}

} // namespace objdb::query
