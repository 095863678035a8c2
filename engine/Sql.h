// Sql: the local SQL dialect over a Database.
//
// SELECT (column lists, *, table.*, aliases, constants, LEFT OUTER JOIN ... ON,
// WHERE, LIKE, UPPER(), IS [NOT] NULL, NOT, AND, OR, COUNT(), ORDER BY names or
// numbers), INSERT INTO ... VALUES, UPDATE ... SET ... [WHERE], DELETE FROM ...
// [WHERE], CREATE TABLE (AUTOINC, INT, DATE, CHAR(n), BLOB(n,s), PRIMARY KEY)
// and ALTER TABLE ... ADD. SQL text and text values are Windows-1250; date
// literals are 'yyyy-mm-dd'; identifiers are matched without regard to case;
// text orders as the store's Hungarian collation. Every statement happens
// whole or not at all.
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

// The rows of a SELECT, as they were when the statement ran.
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
    // or damaged meanwhile) is reported, not turned into a wrong value.
    virtual Result<Value> value(size_t row, size_t column) const = 0;
};

struct SqlOutcome {
    std::unique_ptr<QueryResult> rows;  // set for a SELECT
    int64_t rowsAffected = 0;           // INSERT, UPDATE, DELETE
};

// Runs one statement (a trailing ";" is allowed). Errors name what is wrong:
// unknown table, unknown field, syntax error near ...
Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params = {});

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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Splits a script into statements at semicolons outside string literals; a
// last statement without a semicolon counts too; blank statements are dropped.
std::vector<std::string> splitStatements(std::string_view script);

}  // namespace engine
