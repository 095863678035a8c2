// SqlExpr: expressions of the local SQL dialect bound to the tables of a
// statement, their types, and their evaluation on one row of each table.
//
// Binding resolves names (without regard to case), replaces parameters by
// their values, converts quoted literals compared with dates into dates, and
// checks types, so that evaluation cannot meet a type it does not expect.
// Evaluation follows SQL's three-valued logic: a comparison with a blank
// (null) value is unknown, and WHERE keeps only rows where it is true.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"
#include "Schema.h"
#include "Sql.h"
#include "SqlAst.h"
#include "Status.h"
#include "Value.h"

namespace engine::sql {

// The row of a table that a tuple lacks (no partner in a LEFT OUTER JOIN).
inline constexpr RowId kNoRow = UINT32_MAX;

// The static type of an expression: the kind of value it yields (Null for
// the NULL literal) and how a result column of it is described.
struct SqlType {
    Value::Kind kind = Value::Kind::Null;
    FieldType field = FieldType::Alpha;
    int size = 0;
};

SqlType typeOfField(const FieldDef& f);

// One table of a statement: its handle and the names it goes by.
struct Slot {
    std::shared_ptr<Table> table;
    std::string name;   // as written in the statement
    std::string alias;  // empty when none
};

struct BoundExpr {
    enum class Kind { Column, Const, Not, Negate, Binary, Like, IsNull, Upper, Lower, AggregateRef };
    Kind kind = Kind::Const;
    SqlType type;
    size_t pos = 0;
    int slot = -1, field = -1;  // Column
    Value constant;             // Const
    BinaryOp op = BinaryOp::Eq;
    bool negated = false;
    int aggregate = -1;  // AggregateRef: index of the aggregate in its query
    std::vector<std::unique_ptr<BoundExpr>> args;

    bool usesSlot(int s) const;
    bool usesOnlySlot(int s) const;  // reads no table other than s
};
using BoundPtr = std::unique_ptr<BoundExpr>;

// An aggregate of a grouped query (COUNT, SUM, MIN, MAX, AVG).
struct AggregateSpec {
    std::string function;  // upper case
    bool star = false;
    bool distinct = false;
    BoundPtr arg;
    SqlType type;
};

// Names visible to an expression, and what binding produces on the side.
class Binder {
public:
    Binder(std::string_view sql, const std::vector<Slot>& slots, const std::vector<SqlParam>& params)
        : sql_(sql), slots_(slots), params_(params)
    {
    }

    // Aggregates are allowed only where `aggregates` is given; each one found
    // is appended there and referenced by index.
    Result<BoundPtr> bind(const Expr& e, std::vector<AggregateSpec>* aggregates = nullptr) const;

    // The slot and field a column name stands for.
    Status resolve(const std::string& table, const std::string& name, size_t pos, int& slot, int& field) const;

    // Errors of the statement, with its place named.
    Status typeError(size_t pos, const std::string& what) const;

private:
    Result<BoundPtr> bindComparison(const Expr& e, BoundPtr l, BoundPtr r) const;

    std::string_view sql_;
    const std::vector<Slot>& slots_;
    const std::vector<SqlParam>& params_;
};

// Gives evaluation the rows of one tuple. `error` receives the first failure
// of a read; evaluation goes on with null and the caller checks it.
// Fields of the first table read for a run of its rows at once: by field,
// the index of its values in `values` (-1: not read ahead); `row` is the
// place in the run of the row being tested.
struct ReadAhead {
    std::vector<int> column;
    std::vector<std::vector<Value>> values;
    size_t row = 0;
};

struct EvalContext {
    const std::vector<Slot>* slots = nullptr;
    const RowId* rows = nullptr;                  // one per slot
    const std::vector<Value>* aggregates = nullptr;  // values of AggregateRef
    const ReadAhead* ahead = nullptr;             // slot 0's fields of the run under test
    Status error;
};

Value evaluate(const BoundExpr& e, EvalContext& ctx);

// True when a bound condition holds (not false, not unknown).
inline bool isTrue(const Value& v) { return v.kind() == Value::Kind::Bool && v.asBool(); }

// Order of two non-null values of comparable kinds: <0, 0, >0. Text in the
// Hungarian collation.
int compareValues(const Value& a, const Value& b);

// Converts a value for storing in a field (INSERT, UPDATE): numbers between
// integer and floating point types, 'yyyy-mm-dd' text into dates, and so on.
// Too long texts and impossible values are errors naming the field.
Result<Value> convertForField(const Value& v, const FieldDef& field);

// 'yyyy-mm-dd' (and for timestamps 'yyyy-mm-dd hh:mm[:ss]').
bool parseIsoDate(std::string_view text, Date& out);

// A name in quotes for messages, converted to UTF-8.
std::string quote(std::string_view cp1250);

}  // namespace engine::sql
