#include "SqlParser.h"

#include <cerrno>
#include <cstdlib>
#include <initializer_list>

#include "Codepage.h"
#include "SqlLexer.h"

namespace engine::sql {

namespace {

// Words that end an expression or a name list, so they are never taken as
// an alias written without AS.
constexpr std::string_view kReserved[] = {
    "SELECT", "FROM",  "WHERE",  "GROUP",  "ORDER", "BY",     "AS",     "ON",    "JOIN",
    "LEFT",   "RIGHT", "INNER",  "OUTER",  "FULL",  "CROSS",  "AND",    "OR",    "NOT",
    "LIKE",   "IS",    "NULL",   "ASC",    "DESC",  "SET",    "VALUES", "INTO",  "HAVING",
    "UNION",  "TRUE",  "FALSE",  "DISTINCT", "ESCAPE", "BETWEEN", "IN",
};

// Keywords are ASCII: a plain case-insensitive comparison is enough, and the
// parser asks it for nearly every token.
bool isKeyword(std::string_view word, std::string_view keyword)
{
    if (word.size() != keyword.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != keyword[i]) return false;
    }
    return true;
}

class Parser {
public:
    Parser(std::string_view sql, const std::vector<Token>& tokens) : sql_(sql), t_(tokens) {}

    Result<Statement> statement()
    {
        auto st = [&]() -> Result<Statement> {
            if (isWord("SELECT")) return wrap(select());
            if (isWord("INSERT")) return wrap(insert());
            if (isWord("UPDATE")) return wrap(update());
            if (isWord("DELETE")) return wrap(remove());
            if (isWord("CREATE")) return wrap(create());
            if (isWord("ALTER")) return wrap(alter());
            return error("SELECT, INSERT, UPDATE, DELETE, CREATE TABLE vagy ALTER TABLE utasítás várható");
        }();
        if (!st.isOk()) return st;
        if (isSymbol(";")) ++i_;
        if (cur().kind != TokenKind::End) {
            if (t_[i_ - 1].text == ";" && t_[i_ - 1].kind == TokenKind::Symbol)
                return error("egyszerre csak egy utasítás futtatható");
            return error("az utasítás vége várható");
        }
        return st;
    }

private:
    template <class T>
    static Result<Statement> wrap(Result<T> r)
    {
        if (!r.isOk()) return r.status();
        return Statement(std::move(*r));
    }

    // ---- SELECT ----

    Result<SelectStmt> select()
    {
        SelectStmt s;
        if (auto st = expectWord("SELECT"); !st.isOk()) return st;
        if (acceptWord("DISTINCT")) s.distinct = true;
        else acceptWord("ALL");
        do {
            auto item = selectItem();
            if (!item.isOk()) return item.status();
            s.items.push_back(std::move(*item));
        } while (acceptSymbol(","));
        if (auto st = expectWord("FROM"); !st.isOk()) return st;
        auto from = tableRef(true);
        if (!from.isOk()) return from.status();
        s.from = std::move(*from);
        for (;;) {
            JoinClause j;
            if (isWord("LEFT")) {
                ++i_;
                acceptWord("OUTER");
                j.left = true;
            } else if (isWord("INNER")) {
                ++i_;
                j.left = false;
            } else if (isWord("JOIN")) {
                j.left = false;
            } else if (isWord("RIGHT") || isWord("FULL") || isWord("CROSS")) {
                return error("csak LEFT OUTER JOIN és INNER JOIN használható");
            } else {
                break;
            }
            if (auto st = expectWord("JOIN"); !st.isOk()) return st;
            auto tr = tableRef(true);
            if (!tr.isOk()) return tr.status();
            j.table = std::move(*tr);
            if (auto st = expectWord("ON"); !st.isOk()) return st;
            auto on = expression();
            if (!on.isOk()) return on.status();
            j.on = std::move(*on);
            s.joins.push_back(std::move(j));
        }
        if (acceptSymbol(",")) return error("több tábla csak JOIN ... ON alakban kapcsolható");
        if (acceptWord("WHERE")) {
            auto w = expression();
            if (!w.isOk()) return w.status();
            s.where = std::move(*w);
        }
        if (acceptWord("GROUP")) {
            if (auto st = expectWord("BY"); !st.isOk()) return st;
            do {
                auto e = expression();
                if (!e.isOk()) return e.status();
                s.groupBy.push_back(std::move(*e));
            } while (acceptSymbol(","));
        }
        if (isWord("HAVING")) return error("a HAVING nem használható");
        s.orderPos = cur().pos;
        if (acceptWord("ORDER")) {
            if (auto st = expectWord("BY"); !st.isOk()) return st;
            do {
                OrderItem o;
                o.pos = cur().pos;
                auto e = expression();
                if (!e.isOk()) return e.status();
                o.expr = std::move(*e);
                if (acceptWord("DESC")) o.descending = true;
                else acceptWord("ASC");
                s.orderBy.push_back(std::move(o));
            } while (acceptSymbol(","));
        }
        if (isWord("UNION")) return error("a UNION nem használható");
        return s;
    }

    Result<SelectItem> selectItem()
    {
        SelectItem item;
        item.pos = cur().pos;
        if (isSymbol("*")) {
            ++i_;
            item.kind = SelectItem::Kind::Star;
            return item;
        }
        if (isName() && peekSymbol(1, ".") && peekSymbol(2, "*")) {
            item.kind = SelectItem::Kind::TableStar;
            item.table = cur().text;
            i_ += 3;
            return item;
        }
        auto e = expression();
        if (!e.isOk()) return e.status();
        item.expr = std::move(*e);
        if (acceptWord("AS")) {
            if (!isName() && cur().kind != TokenKind::String) return error("oszlopnév várható");
            item.alias = cur().text;
            ++i_;
        } else if (isAliasCandidate()) {
            item.alias = cur().text;
            ++i_;
        }
        return item;
    }

    // A table name, optionally with its ".DB" extension, and an alias.
    Result<TableRef> tableRef(bool allowAlias)
    {
        TableRef r;
        r.pos = cur().pos;
        if (!isName()) return error("táblanév várható");
        r.name = cur().text;
        ++i_;
        if (isSymbol(".") && peekKind(1, TokenKind::Identifier) && isKeyword(t_[i_ + 1].text, "DB")) i_ += 2;
        if (r.name.size() > 3 && isKeyword(std::string_view(r.name).substr(r.name.size() - 3), ".DB"))
            r.name.resize(r.name.size() - 3);
        if (allowAlias) {
            if (acceptWord("AS")) {
                if (!isName()) return error("táblanév-álnév várható");
                r.alias = cur().text;
                ++i_;
            } else if (isAliasCandidate()) {
                r.alias = cur().text;
                ++i_;
            }
        }
        return r;
    }

    // ---- INSERT, UPDATE, DELETE ----

    Result<InsertStmt> insert()
    {
        InsertStmt s;
        ++i_;
        if (auto st = expectWord("INTO"); !st.isOk()) return st;
        auto tr = tableRef(false);
        if (!tr.isOk()) return tr.status();
        s.table = std::move(*tr);
        if (acceptSymbol("(")) {
            do {
                if (!isName()) return error("mezőnév várható");
                s.columns.emplace_back(cur().text, cur().pos);
                ++i_;
            } while (acceptSymbol(","));
            if (auto st = expectSymbol(")"); !st.isOk()) return st;
        }
        if (isWord("SELECT")) {
            auto sel = select();
            if (!sel.isOk()) return sel.status();
            s.select = std::make_unique<SelectStmt>(std::move(*sel));
            return s;
        }
        if (auto st = expectWord("VALUES"); !st.isOk()) return st;
        do {
            if (auto st = expectSymbol("("); !st.isOk()) return st;
            std::vector<ExprPtr> row;
            do {
                auto e = expression();
                if (!e.isOk()) return e.status();
                row.push_back(std::move(*e));
            } while (acceptSymbol(","));
            if (auto st = expectSymbol(")"); !st.isOk()) return st;
            s.rows.push_back(std::move(row));
        } while (acceptSymbol(","));
        return s;
    }

    Result<UpdateStmt> update()
    {
        UpdateStmt s;
        ++i_;
        auto tr = tableRef(false);
        if (!tr.isOk()) return tr.status();
        s.table = std::move(*tr);
        if (auto st = expectWord("SET"); !st.isOk()) return st;
        do {
            Assignment a;
            a.pos = cur().pos;
            if (!isName()) return error("mezőnév várható");
            a.column = cur().text;
            ++i_;
            // "tabla.mezo = ..." names the updated table's field.
            if (isSymbol(".") && (peekKind(1, TokenKind::Identifier) || peekKind(1, TokenKind::QuotedIdentifier))) {
                if (!sameName(a.column, s.table.name)) return error("a módosított tábla mezője várható");
                a.column = t_[i_ + 1].text;
                i_ += 2;
            }
            if (auto st = expectSymbol("="); !st.isOk()) return st;
            auto e = expression();
            if (!e.isOk()) return e.status();
            a.value = std::move(*e);
            s.sets.push_back(std::move(a));
        } while (acceptSymbol(","));
        if (acceptWord("WHERE")) {
            auto w = expression();
            if (!w.isOk()) return w.status();
            s.where = std::move(*w);
        }
        return s;
    }

    Result<DeleteStmt> remove()
    {
        DeleteStmt s;
        ++i_;
        if (auto st = expectWord("FROM"); !st.isOk()) return st;
        auto tr = tableRef(false);
        if (!tr.isOk()) return tr.status();
        s.table = std::move(*tr);
        if (acceptWord("WHERE")) {
            auto w = expression();
            if (!w.isOk()) return w.status();
            s.where = std::move(*w);
        }
        return s;
    }

    // ---- CREATE TABLE, ALTER TABLE ----

    Result<CreateTableStmt> create()
    {
        CreateTableStmt s;
        ++i_;
        if (auto st = expectWord("TABLE"); !st.isOk()) return st;
        auto tr = tableRef(false);
        if (!tr.isOk()) return tr.status();
        s.table = std::move(*tr);
        if (auto st = expectSymbol("("); !st.isOk()) return st;
        do {
            if (isWord("PRIMARY")) {
                ++i_;
                if (auto st = expectWord("KEY"); !st.isOk()) return st;
                if (!s.primaryKey.empty()) return error("csak egy elsődleges kulcs adható meg");
                if (auto st = expectSymbol("("); !st.isOk()) return st;
                do {
                    if (!isName()) return error("mezőnév várható");
                    s.primaryKey.emplace_back(cur().text, cur().pos);
                    ++i_;
                } while (acceptSymbol(","));
                if (auto st = expectSymbol(")"); !st.isOk()) return st;
                continue;
            }
            auto c = columnSpec();
            if (!c.isOk()) return c.status();
            s.columns.push_back(std::move(*c));
        } while (acceptSymbol(","));
        if (auto st = expectSymbol(")"); !st.isOk()) return st;
        if (s.columns.empty()) return error("legalább egy mező kell");
        return s;
    }

    Result<AlterTableStmt> alter()
    {
        AlterTableStmt s;
        ++i_;
        if (auto st = expectWord("TABLE"); !st.isOk()) return st;
        auto tr = tableRef(false);
        if (!tr.isOk()) return tr.status();
        s.table = std::move(*tr);
        if (isWord("DROP")) return error("mező törlése (DROP) nem lehetséges, csak hozzáadása (ADD)");
        if (auto st = expectWord("ADD"); !st.isOk()) return st;
        do {
            acceptWord("ADD");
            acceptWord("COLUMN");
            auto c = columnSpec();
            if (!c.isOk()) return c.status();
            s.add.push_back(std::move(*c));
        } while (acceptSymbol(","));
        return s;
    }

    Result<ColumnSpec> columnSpec()
    {
        ColumnSpec c;
        c.pos = cur().pos;
        if (!isName()) return error("mezőnév várható");
        c.field.name = cur().text;
        ++i_;
        if (cur().kind != TokenKind::Identifier) return error("mezőtípus várható");
        const std::string type = upperCp1250(cur().text);
        const size_t typePos = cur().pos;
        ++i_;
        FieldDef& f = c.field;
        auto sizeArgs = [&](int count, std::vector<long>& out) -> Status {
            if (auto st = expectSymbol("("); !st.isOk()) return st;
            for (int k = 0; k < count; ++k) {
                if (k > 0)
                    if (auto st = expectSymbol(","); !st.isOk()) return st;
                if (cur().kind != TokenKind::Integer) return error("egész szám várható");
                out.push_back(std::strtol(cur().text.c_str(), nullptr, 10));
                ++i_;
            }
            return expectSymbol(")");
        };
        std::vector<long> args;
        if (type == "AUTOINC") {
            f.type = FieldType::AutoInc;
        } else if (type == "INT" || type == "INTEGER") {
            f.type = FieldType::Long;
        } else if (type == "SMALLINT") {
            f.type = FieldType::Short;
        } else if (type == "DATE") {
            f.type = FieldType::Date;
        } else if (type == "TIME") {
            f.type = FieldType::Time;
        } else if (type == "TIMESTAMP") {
            f.type = FieldType::Timestamp;
        } else if (type == "BOOLEAN") {
            f.type = FieldType::Logical;
        } else if (type == "MONEY") {
            f.type = FieldType::Currency;
        } else if (type == "FLOAT" || type == "NUMERIC" || type == "DECIMAL" || type == "DOUBLE") {
            f.type = FieldType::Number;
            if (type == "DOUBLE") acceptWord("PRECISION");
            if (isSymbol("(")) {
                ++i_;
                do {
                    if (cur().kind != TokenKind::Integer) return error("egész szám várható");
                    ++i_;
                } while (acceptSymbol(","));
                if (auto st = expectSymbol(")"); !st.isOk()) return st;
            }
        } else if (type == "CHAR" || type == "VARCHAR" || type == "CHARACTER") {
            if (auto st = sizeArgs(1, args); !st.isOk()) return st;
            if (args[0] < 1 || args[0] > 255)
                return errorAt(typePos, "a szöveges mező hossza 1 és 255 között lehet");
            f.type = FieldType::Alpha;
            f.size = int(args[0]);
        } else if (type == "BYTES") {
            if (auto st = sizeArgs(1, args); !st.isOk()) return st;
            if (args[0] < 1 || args[0] > 255) return errorAt(typePos, "a BYTES mező hossza 1 és 255 között lehet");
            f.type = FieldType::Bytes;
            f.size = int(args[0]);
        } else if (type == "BLOB") {
            if (auto st = sizeArgs(2, args); !st.isOk()) return st;
            static const FieldType kinds[] = {FieldType::Memo, FieldType::Blob, FieldType::FmtMemo, FieldType::Ole,
                                              FieldType::Graphic};
            if (args[1] < 1 || args[1] > 5)
                return errorAt(typePos, "a BLOB altípusa 1 (memo), 2 (bináris), 3 (formázott memo), 4 (OLE) "
                                        "vagy 5 (kép) lehet");
            if (args[0] < 0 || args[0] > 240) return errorAt(typePos, "a BLOB sorban tartott hossza 0 és 240 között lehet");
            f.type = kinds[args[1] - 1];
            f.size = int(args[0]);
        } else {
            return errorAt(typePos, "ismeretlen mezőtípus: „" + cp1250ToUtf8(type) + "”");
        }
        return c;
    }

    // ---- expressions ----

    Result<ExprPtr> expression()
    {
        // A lone constant (the usual VALUES item) skips the precedence levels.
        const TokenKind k = cur().kind;
        if ((k == TokenKind::Integer || k == TokenKind::String || k == TokenKind::Decimal ||
             k == TokenKind::Parameter) &&
            (peekSymbol(1, ",") || peekSymbol(1, ")")))
            return primary();
        return orExpr();
    }

    // Expressions nest at most this deep (parentheses, NOT, signs, and the
    // terms of a chain of operators alike): whatever works through the tree
    // goes down it level by level.
    static constexpr int kMaxDepth = 500;

    // Counts one more level of the parser's own descent while it lives.
    class Nesting {
    public:
        explicit Nesting(Parser& p) : p_(p) { ++p_.nesting_; }
        ~Nesting() { --p_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        bool tooDeep() const { return p_.nesting_ > kMaxDepth; }

    private:
        Parser& p_;
    };

    Status tooDeep() { return error("a kifejezés túl mélyen ágyazott (legfeljebb " + std::to_string(kMaxDepth) + " szint)"); }

    // A node whose arguments are complete: its depth, checked.
    Result<ExprPtr> finish(std::unique_ptr<Expr> e)
    {
        for (const ExprPtr& a : e->args) e->depth = std::max(e->depth, a->depth + 1);
        if (e->depth > kMaxDepth) return tooDeep();
        return ExprPtr(std::move(e));
    }

    Result<ExprPtr> orExpr()
    {
        auto left = andExpr();
        if (!left.isOk()) return left;
        while (isWord("OR")) {
            const size_t pos = cur().pos;
            ++i_;
            auto right = andExpr();
            if (!right.isOk()) return right;
            left = binary(BinaryOp::Or, std::move(*left), std::move(*right), pos);
            if (!left.isOk()) return left;
        }
        return left;
    }

    Result<ExprPtr> andExpr()
    {
        auto left = notExpr();
        if (!left.isOk()) return left;
        while (isWord("AND")) {
            const size_t pos = cur().pos;
            ++i_;
            auto right = notExpr();
            if (!right.isOk()) return right;
            left = binary(BinaryOp::And, std::move(*left), std::move(*right), pos);
            if (!left.isOk()) return left;
        }
        return left;
    }

    Result<ExprPtr> notExpr()
    {
        if (isWord("NOT")) {
            const Nesting level(*this);
            if (level.tooDeep()) return tooDeep();
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Not;
            e->pos = cur().pos;
            ++i_;
            auto inner = notExpr();
            if (!inner.isOk()) return inner;
            e->args.push_back(std::move(*inner));
            return finish(std::move(e));
        }
        return comparison();
    }

    Result<ExprPtr> comparison()
    {
        auto left = additive();
        if (!left.isOk()) return left;
        const size_t pos = cur().pos;
        static const std::pair<const char*, BinaryOp> kOps[] = {
            {"=", BinaryOp::Eq}, {"<>", BinaryOp::Ne}, {"!=", BinaryOp::Ne}, {"<", BinaryOp::Lt},
            {"<=", BinaryOp::Le}, {">", BinaryOp::Gt}, {">=", BinaryOp::Ge},
        };
        for (const auto& [sym, op] : kOps) {
            if (isSymbol(sym)) {
                ++i_;
                auto right = additive();
                if (!right.isOk()) return right;
                return binary(op, std::move(*left), std::move(*right), pos);
            }
        }
        bool negated = false;
        if (isWord("NOT") && (peekWord(1, "LIKE"))) {
            negated = true;
            ++i_;
        }
        if (acceptWord("LIKE")) {
            auto right = additive();
            if (!right.isOk()) return right;
            if (isWord("ESCAPE")) return error("az ESCAPE nem használható");
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Like;
            e->pos = pos;
            e->negated = negated;
            e->args.push_back(std::move(*left));
            e->args.push_back(std::move(*right));
            return finish(std::move(e));
        }
        if (acceptWord("IS")) {
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::IsNull;
            e->pos = pos;
            e->negated = acceptWord("NOT");
            if (auto st = expectWord("NULL"); !st.isOk()) return st;
            e->args.push_back(std::move(*left));
            return finish(std::move(e));
        }
        if (isWord("BETWEEN") || isWord("IN")) return error("a BETWEEN és az IN nem használható");
        return left;
    }

    Result<ExprPtr> additive()
    {
        auto left = multiplicative();
        if (!left.isOk()) return left;
        for (;;) {
            BinaryOp op;
            if (isSymbol("+")) op = BinaryOp::Add;
            else if (isSymbol("-")) op = BinaryOp::Sub;
            else if (isSymbol("||")) op = BinaryOp::Concat;
            else return left;
            const size_t pos = cur().pos;
            ++i_;
            auto right = multiplicative();
            if (!right.isOk()) return right;
            left = binary(op, std::move(*left), std::move(*right), pos);
            if (!left.isOk()) return left;
        }
    }

    Result<ExprPtr> multiplicative()
    {
        auto left = unary();
        if (!left.isOk()) return left;
        for (;;) {
            BinaryOp op;
            if (isSymbol("*")) op = BinaryOp::Mul;
            else if (isSymbol("/")) op = BinaryOp::Div;
            else return left;
            const size_t pos = cur().pos;
            ++i_;
            auto right = unary();
            if (!right.isOk()) return right;
            left = binary(op, std::move(*left), std::move(*right), pos);
            if (!left.isOk()) return left;
        }
    }

    Result<ExprPtr> unary()
    {
        if (isSymbol("-") || isSymbol("+")) {
            const Nesting level(*this);
            if (level.tooDeep()) return tooDeep();
            const bool minus = isSymbol("-");
            const size_t pos = cur().pos;
            ++i_;
            auto inner = unary();
            if (!inner.isOk()) return inner;
            if (!minus) return inner;
            // Fold "-5" into a literal so that it reads as a constant.
            Expr& in = **inner;
            if (in.kind == Expr::Kind::Literal && in.value.kind() == Value::Kind::Int && !in.stringLiteral) {
                in.value = Value::fromInt(-in.value.asInt());
                in.pos = pos;
                return inner;
            }
            if (in.kind == Expr::Kind::Literal && in.value.kind() == Value::Kind::Float) {
                in.value = Value::fromFloat(-in.value.asFloat());
                in.pos = pos;
                return inner;
            }
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Negate;
            e->pos = pos;
            e->args.push_back(std::move(*inner));
            return finish(std::move(e));
        }
        return primary();
    }

    Result<ExprPtr> primary()
    {
        const Token& tok = cur();
        auto e = std::make_unique<Expr>();
        e->pos = tok.pos;
        switch (tok.kind) {
        case TokenKind::Integer:
        case TokenKind::Decimal:
        case TokenKind::String: {
            std::optional<Value> v = literalValue(tok);
            if (!v) return error("túl nagy szám");
            e->kind = Expr::Kind::Literal;
            e->value = std::move(*v);
            e->stringLiteral = tok.kind == TokenKind::String;
            ++i_;
            return ExprPtr(std::move(e));
        }
        case TokenKind::Parameter:
            e->kind = Expr::Kind::Param;
            e->name = tok.text;
            ++i_;
            return ExprPtr(std::move(e));
        case TokenKind::Symbol:
            if (tok.text == "(") {
                const Nesting level(*this);
                if (level.tooDeep()) return tooDeep();
                ++i_;
                if (isWord("SELECT")) return error("allekérdezés nem használható");
                auto inner = expression();
                if (!inner.isOk()) return inner;
                if (auto st = expectSymbol(")"); !st.isOk()) return st;
                return inner;
            }
            return error("kifejezés várható");
        case TokenKind::End:
            return error("kifejezés várható");
        case TokenKind::Identifier:
        case TokenKind::QuotedIdentifier:
            break;
        }
        if (tok.kind == TokenKind::Identifier) {
            if (isWord("NULL")) {
                e->kind = Expr::Kind::Literal;
                ++i_;
                return ExprPtr(std::move(e));
            }
            if (isWord("TRUE") || isWord("FALSE")) {
                e->kind = Expr::Kind::Literal;
                e->value = Value::fromBool(isWord("TRUE"));
                ++i_;
                return ExprPtr(std::move(e));
            }
            if (peekSymbol(1, "(")) return call();
            if (isReserved(tok.text)) return error("kifejezés várható");
        }
        e->kind = Expr::Kind::Column;
        e->name = tok.text;
        ++i_;
        if (isSymbol(".")) {
            if (!peekKind(1, TokenKind::Identifier) && !peekKind(1, TokenKind::QuotedIdentifier)) {
                ++i_;
                return error("mezőnév várható");
            }
            e->table = std::move(e->name);
            e->name = t_[i_ + 1].text;
            i_ += 2;
        }
        return ExprPtr(std::move(e));
    }

    Result<ExprPtr> call()
    {
        const Nesting level(*this);
        if (level.tooDeep()) return tooDeep();
        auto e = std::make_unique<Expr>();
        e->pos = cur().pos;
        e->name = upperCp1250(cur().text);
        i_ += 2;  // name and "("
        const std::string& fn = e->name;
        if (fn == "COUNT" || fn == "SUM" || fn == "MIN" || fn == "MAX" || fn == "AVG") {
            e->kind = Expr::Kind::Aggregate;
            if (fn == "COUNT" && isSymbol("*")) {
                ++i_;
                e->star = true;
            } else {
                if (acceptWord("DISTINCT")) e->distinct = true;
                auto arg = expression();
                if (!arg.isOk()) return arg;
                e->args.push_back(std::move(*arg));
            }
        } else if (fn == "UPPER" || fn == "LOWER") {
            e->kind = Expr::Kind::Function;
            auto arg = expression();
            if (!arg.isOk()) return arg;
            e->args.push_back(std::move(*arg));
        } else {
            return errorAt(e->pos, "ismeretlen függvény: „" + cp1250ToUtf8(t_[i_ - 2].text) + "”");
        }
        if (auto st = expectSymbol(")"); !st.isOk()) return st;
        return finish(std::move(e));
    }

    Result<ExprPtr> binary(BinaryOp op, ExprPtr l, ExprPtr r, size_t pos)
    {
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Binary;
        e->op = op;
        e->pos = pos;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return finish(std::move(e));
    }

    // ---- token helpers ----

    const Token& cur() const { return t_[i_]; }
    bool peekKind(size_t k, TokenKind kind) const { return i_ + k < t_.size() && t_[i_ + k].kind == kind; }
    bool peekSymbol(size_t k, std::string_view s) const
    {
        if (!peekKind(k, TokenKind::Symbol)) return false;
        const std::string& text = t_[i_ + k].text;
        // Symbols are one or two characters.
        return text.size() == s.size() && text[0] == s[0] && (s.size() == 1 || text[1] == s[1]);
    }
    bool peekWord(size_t k, std::string_view w) const
    {
        return peekKind(k, TokenKind::Identifier) && isKeyword(t_[i_ + k].text, w);
    }
    bool isWord(std::string_view w) const { return peekWord(0, w); }
    bool isSymbol(std::string_view s) const { return peekSymbol(0, s); }
    bool isName() const
    {
        return cur().kind == TokenKind::QuotedIdentifier ||
               (cur().kind == TokenKind::Identifier && !isReserved(cur().text));
    }
    bool isAliasCandidate() const { return isName(); }

    static bool isReserved(std::string_view word)
    {
        for (std::string_view r : kReserved)
            if (isKeyword(word, r)) return true;
        return false;
    }

    bool acceptWord(std::string_view w)
    {
        if (!isWord(w)) return false;
        ++i_;
        return true;
    }
    bool acceptSymbol(std::string_view s)
    {
        if (!isSymbol(s)) return false;
        ++i_;
        return true;
    }
    Status expectWord(std::string_view w)
    {
        if (acceptWord(w)) return Status::ok();
        return error(std::string(w) + " várható");
    }
    Status expectSymbol(std::string_view s)
    {
        if (acceptSymbol(s)) return Status::ok();
        return error("„" + std::string(s) + "” várható");
    }

    Status error(const std::string& what) const { return errorAt(cur().pos, what); }
    Status errorAt(size_t pos, const std::string& what) const
    {
        return Status::error(ErrorCode::Syntax, "Szintaktikai hiba " + describePlace(sql_, pos) + ": " + what + ".");
    }

    std::string_view sql_;
    const std::vector<Token>& t_;
    size_t i_ = 0;
    int nesting_ = 0;  // levels of descent into nested expressions
};

}  // namespace

std::optional<Value> literalValue(const Token& token)
{
    switch (token.kind) {
    case TokenKind::Integer: {
        errno = 0;
        const long long v = std::strtoll(token.text.c_str(), nullptr, 10);
        if (errno == ERANGE) return std::nullopt;
        return Value::fromInt(v);
    }
    case TokenKind::Decimal: return Value::fromFloat(std::strtod(token.text.c_str(), nullptr));
    case TokenKind::String: return Value::fromText(token.text);
    default: return std::nullopt;
    }
}

Result<Statement> parseStatement(std::string_view sql)
{
    auto tokens = tokenize(sql);
    if (!tokens.isOk()) return tokens.status();
    return parseTokens(sql, *tokens);
}

Result<Statement> parseTokens(std::string_view sql, const std::vector<Token>& tokens)
{
    Parser p(sql, tokens);
    return p.statement();
}

}  // namespace engine::sql
