// SqlAst: the parsed form of one statement of the local SQL dialect, as the
// parser (SqlParser.h) builds it and the executor binds and runs it. Names are
// kept as written (Windows-1250); positions are byte offsets into the
// statement, for messages.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Schema.h"
#include "Value.h"

namespace engine::sql {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

enum class BinaryOp { Eq, Ne, Lt, Le, Gt, Ge, And, Or, Add, Sub, Mul, Div, Concat };

struct Expr {
    enum class Kind {
        Column,    // [table.]name
        Literal,   // number, 'text', NULL, TRUE, FALSE
        Param,     // :name
        Not,       // NOT args[0]
        Negate,    // - args[0]
        Binary,    // args[0] op args[1]
        Like,      // args[0] [NOT] LIKE args[1]
        IsNull,    // args[0] IS [NOT] NULL
        Function,  // name(args...): UPPER, LOWER
        Aggregate, // name(args[0]) or name(*): COUNT, SUM, MIN, MAX, AVG
    };

    Kind kind = Kind::Literal;
    size_t pos = 0;
    std::string table;  // Column: qualifier, empty if none
    std::string name;   // Column, Param, Function, Aggregate (upper case for the last two)
    Value value;        // Literal; text literals are Text
    bool stringLiteral = false;  // Literal written in quotes (may become a date)
    BinaryOp op = BinaryOp::Eq;
    bool negated = false;  // NOT LIKE, IS NOT NULL
    bool star = false;     // COUNT(*)
    bool distinct = false; // COUNT(DISTINCT x)
    int depth = 1;         // levels of the tree from here down
    std::vector<ExprPtr> args;
};

struct TableRef {
    std::string name;
    std::string alias;  // empty: the name itself
    size_t pos = 0;
};

struct SelectItem {
    enum class Kind { Expr, Star, TableStar };
    Kind kind = Kind::Expr;
    ExprPtr expr;
    std::string alias;  // AS name
    std::string table;  // TableStar: table.*
    size_t pos = 0;
};

struct JoinClause {
    bool left = true;  // LEFT [OUTER] JOIN, else [INNER] JOIN
    TableRef table;
    ExprPtr on;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    size_t pos = 0;
};

struct SelectStmt {
    bool distinct = false;
    std::vector<SelectItem> items;
    TableRef from;
    std::vector<JoinClause> joins;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    std::vector<OrderItem> orderBy;
    size_t orderPos = 0;  // where ORDER BY, or the end of the statement, stands in the text
};

struct InsertStmt {
    TableRef table;
    std::vector<std::pair<std::string, size_t>> columns;  // name, position; empty: every field in order
    std::vector<std::vector<ExprPtr>> rows;               // VALUES (...), (...)
    std::unique_ptr<SelectStmt> select;                   // INSERT INTO ... SELECT
};

struct Assignment {
    std::string column;
    size_t pos = 0;
    ExprPtr value;
};

struct UpdateStmt {
    TableRef table;
    std::vector<Assignment> sets;
    ExprPtr where;
};

struct DeleteStmt {
    TableRef table;
    ExprPtr where;
};

struct ColumnSpec {
    FieldDef field;
    size_t pos = 0;
};

struct CreateTableStmt {
    TableRef table;
    std::vector<ColumnSpec> columns;
    std::vector<std::pair<std::string, size_t>> primaryKey;
};

struct AlterTableStmt {
    TableRef table;
    std::vector<ColumnSpec> add;
};

using Statement =
    std::variant<SelectStmt, InsertStmt, UpdateStmt, DeleteStmt, CreateTableStmt, AlterTableStmt>;

}  // namespace engine::sql
