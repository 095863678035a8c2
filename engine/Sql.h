// Sql: the local SQL dialect over a Database.
//
// SELECT [DISTINCT] (column lists, *, table.*, aliases, constants, LEFT
// [OUTER] JOIN and [INNER] JOIN ... ON, WHERE, = <> < <= > >=, LIKE with % and
// _ (letter case counts), UPPER(), LOWER(), IS [NOT] NULL, NOT, AND, OR,
// + - * / and || , COUNT/SUM/MIN/MAX/AVG with GROUP BY, ORDER BY names,
// numbers or expressions, ASC/DESC), INSERT INTO ... VALUES (...), (...) or
// INSERT INTO ... SELECT, UPDATE ... SET ... [WHERE], DELETE FROM ... [WHERE],
// CREATE TABLE (AUTOINC, INT, SMALLINT, DATE, TIME, TIMESTAMP, CHAR(n),
// NUMERIC, MONEY, BOOLEAN, BYTES(n), BLOB(n,s): s 1 memo, 2 binary,
// 3 formatted memo, 4 OLE, 5 graphic; PRIMARY KEY (...) on the leading
// fields) and ALTER TABLE ... ADD. SQL text and text values are
// Windows-1250; date literals are 'yyyy-mm-dd' (a quoted text compared with
// or stored into a date field); identifiers are matched without regard to
// case. Text orders as the store's Hungarian collation (Collation.h); blank
// (null) values sort first, last with DESC. Comparisons with a blank value
// are unknown, as in standard SQL. Expressions nest at most 500 levels deep
// (parentheses, NOT, signs and the terms of a chain of operators alike);
// deeper ones are refused with a message.
//
// A statement checks every row it would write before it writes any, and
// writes them in one transaction of the store, so that it happens whole or
// not at all, also when the store refuses a row or the process dies in the
// middle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"
#include "Schema.h"
#include "Status.h"
#include "Value.h"

namespace engine {

// A named parameter (":pid" in the text is bound by the name "pid", matched
// without regard to case).
struct SqlParam {
    std::string name;
    Value value;
};

// The rows of a SELECT, as they were when the statement ran. Rows are kept
// as positions in the tables and values are read when asked for, so a large
// result costs little memory. Column names are unique: a repeated name gets
// "_1", "_2", ...; an expression without alias is named after its function
// (COUNT, UPPER, ...) or "EXPR". The result holds its tables open (shared).
class QueryResult {
public:
    struct Column {
        std::string name;         // result name (alias, or the field name)
        FieldType type;           // the type to show the values as
        int size = 0;             // as FieldDef::size, for text and memo columns
        std::string sourceTable;  // the table a plain column comes from; empty for expressions
    };

    virtual ~QueryResult() = default;
    virtual const std::vector<Column>& columns() const = 0;
    virtual size_t rowCount() const = 0;
    // Values may be fetched lazily; an error while fetching (a table changed
    // or damaged meanwhile) is reported, not turned into a wrong value. Once
    // a table of the result has changed, by anyone, its values are refused
    // ("... tábla megváltozott a lekérdezés óta ...", NotFound): run the
    // query again.
    virtual Result<Value> value(size_t row, size_t column) const = 0;

    // The values of one column in rows [first, first + count), as value()
    // gives them, replacing the contents of `out` (left empty on an error).
    // For reading a column of many rows (a filter, a search): the tables
    // are checked once, and joined rows are found in bulk.
    virtual Status values(size_t column, size_t first, size_t count, std::vector<Value>& out) const = 0;

    // The same for a column that is a table's text field, as views of the
    // stored text (Windows-1250; empty for a blank), valid until a table of
    // the result changes: false (and `out` empty) for any other column.
    virtual Result<bool> texts(size_t column, size_t first, size_t count,
                               std::vector<std::string_view>& out) const = 0;

    // True when a table the statement read has changed since it ran, by
    // anyone: the rows may differ from what running it again would give. As
    // cheap as reading each table's version().
    virtual Result<bool> changed() const = 0;
};

struct SqlOutcome {
    std::unique_ptr<QueryResult> rows;  // set for a SELECT
    int64_t rowsAffected = 0;           // INSERT, UPDATE, DELETE
};

// Runs one statement (a trailing ";" is allowed). Errors name what is wrong:
// unknown table, unknown field, syntax error near ...
Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params = {});

// The same, for a statement that may differ from the SELECT that gave
// `earlier` only in its ORDER BY (a list sorted by another column). When it
// does, with the same parameters on the same database, and none of the
// tables has changed since, the rows of `earlier` are sorted anew rather
// than looked for again, and `earlierRows` gives each new row's place in
// `earlier`; otherwise the statement runs in full and `earlierRows` is left
// empty. Either way the rows and their order are those runSql() gives.
Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params,
                          const QueryResult& earlier, std::vector<uint32_t>& earlierRows);

// Runs statements one after another on one database, keeping the tables
// they use open in between, so that a script of many statements opens each
// table once. CREATE and ALTER let go of the table they change first.
// Nothing is flushed until flush() is called.
class SqlSession {
public:
    explicit SqlSession(Database& db);
    ~SqlSession();
    SqlSession(const SqlSession&) = delete;
    SqlSession& operator=(const SqlSession&) = delete;

    Result<SqlOutcome> run(std::string_view sql, const std::vector<SqlParam>& params = {});

    // Writes the changes of every table the session changed through to disk.
    Status flush();

    // With `hold`, the result of each later SELECT keeps the tables it read
    // held still (Table::holdStill()) until it is destroyed: its values can
    // all be read, none refused because another program wrote meanwhile.
    // For printing a result whole; a list that follows others' changes
    // leaves it off.
    void holdResults(bool hold);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Splits a script into statements at semicolons outside string literals; a
// last statement without a semicolon counts too; blank statements are dropped.
std::vector<std::string> splitStatements(std::string_view script);

}  // namespace engine
