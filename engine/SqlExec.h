// SqlExec: what the statements of the local SQL dialect share while they run:
// the tables a session keeps open, and one entry point per kind of statement
// (SqlSelect.cpp, SqlModify.cpp, SqlDdl.cpp).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"
#include "Sql.h"
#include "SqlAst.h"
#include "SqlExpr.h"
#include "Status.h"

namespace engine::sql {

// Opens tables for statements and keeps them open until forgotten, so that a
// script of many statements opens each table once. Remembers which tables a
// statement changed, for flush().
class TableCache {
public:
    explicit TableCache(Database& db) : db_(db) {}

    Database& database() { return db_; }

    // The table, opened for reading and writing; a missing one is
    // "Ismeretlen tábla: ..." naming the place in `sql`.
    Result<std::shared_ptr<Table>> open(const TableRef& ref, std::string_view sql);

    // Closes the session's handle of a table (before it is restructured).
    void forget(std::string_view name);

    void markChanged(const std::shared_ptr<Table>& table);
    Status flushChanged();

    // Whether a SELECT's result keeps its tables held still.
    bool holdResults() const { return holdResults_; }
    void setHoldResults(bool hold) { holdResults_ = hold; }

private:
    bool holdResults_ = false;
    Database& db_;
    std::vector<std::shared_ptr<Table>> open_;
    std::vector<std::shared_ptr<Table>> changed_;
};

// The top-level AND-ed parts of a condition.
void splitConjuncts(BoundPtr e, std::vector<BoundPtr>& out);

// The rows of `table` (slot 0 of `conditions`) that may satisfy every one of
// the conditions, in primary-key order: one key lookup when a condition fixes
// the whole integer key, else every row. The caller still tests the
// conditions.
Result<std::vector<RowId>> candidateRows(Table& table, const std::vector<BoundPtr>& conditions);

// With `earlier` and `earlierRows`: see runSql() in Sql.h.
Result<std::unique_ptr<QueryResult>> runSelect(const SelectStmt& s, std::string_view sql, TableCache& tables,
                                               const std::vector<SqlParam>& params,
                                               const QueryResult* earlier = nullptr,
                                               std::vector<uint32_t>* earlierRows = nullptr);
Result<int64_t> runInsert(const InsertStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params);
Result<int64_t> runUpdate(const UpdateStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params);
Result<int64_t> runDelete(const DeleteStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params);
Status runCreateTable(const CreateTableStmt& s, std::string_view sql, TableCache& tables);
Status runAlterTable(const AlterTableStmt& s, std::string_view sql, TableCache& tables);

}  // namespace engine::sql
