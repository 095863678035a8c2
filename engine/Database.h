// Database and Table: a folder of Paradox tables and the operations on one
// table. This is the whole storage interface that the data sets and the SQL
// executor are written against.
//
// A table is the set of files name.DB (rows), name.MB (memo contents),
// name.PX (primary index) and name.XGn/name.YGn (named secondary indexes, n
// from 0 in creation order). Names are matched without regard to letter case,
// also on a case-sensitive file system. Every change (insert, update, delete,
// empty, restructure, index change) happens whole or not at all, also when the
// process is killed; flush() makes the posted changes survive a power loss.
// Other processes may use the same folder: writers lock, readers see
// committed rows.
//
// Not thread-safe: one thread uses a Database and its tables.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Schema.h"
#include "Status.h"
#include "Value.h"

namespace engine {

enum class OpenMode {
    Shared,     // read and write; other handles and processes may share the table
    ReadOnly,   // read only
    Exclusive,  // read and write; fails with Locked while anyone else has the table open
};

// Identifies a live row of an open table. Stable while the row exists and the
// handle is open, across this handle's own inserts, updates and deletes. After
// another process changed the table (version() moved on its own), old RowIds
// may be gone: read() then answers NotFound, and callers relocate by key.
using RowId = uint32_t;

// The order in which to walk a table.
struct OrderSpec {
    enum class Kind { Primary, Index, Fields };
    Kind kind = Kind::Primary;
    std::string indexName;            // Kind::Index: a named secondary index
    std::vector<std::string> fields;  // Kind::Fields: an index whose fields are exactly these

    static OrderSpec primary() { return {}; }
    static OrderSpec index(std::string name) { return {Kind::Index, std::move(name), {}}; }
    static OrderSpec byFields(std::vector<std::string> f) { return {Kind::Fields, {}, std::move(f)}; }
};

// Keeps a table still for its Database while it lives; see Table::holdStill().
class TableHold {
public:
    virtual ~TableHold() = default;
};

class Table {
public:
    virtual ~Table() = default;

    virtual const std::string& name() const = 0;  // as stored on disk, without extension
    virtual const TableDef& def() const = 0;
    virtual OpenMode mode() const = 0;

    // Counts and revisions. version() changes whenever a change is committed,
    // by this handle or anyone else; it is cheap to call.
    virtual Result<uint64_t> recordCount() = 0;
    virtual Result<uint64_t> version() = 0;

    // Every live row in the given order. A table without a key in primary
    // order gives its physical order. An order for which the table has no
    // index is NotFound, with a message naming the fields.
    virtual Result<std::vector<RowId>> rows(const OrderSpec& order) = 0;

    // The row whose primary key equals `key` (the leading key fields, all of
    // them), if any.
    virtual Result<std::optional<RowId>> findKey(const std::vector<Value>& key) = 0;

    virtual Status read(RowId row, Record& out) = 0;
    virtual Result<Value> readField(RowId row, int field) = 0;
    // Field `field` of each of `rows`, as readField() gives it, replacing
    // the contents of `out` (left empty on an error): for reading a column
    // of many rows, which the store fetches ahead.
    virtual Status readFields(const std::vector<RowId>& rows, int field, std::vector<Value>& out) = 0;
    // The same for a text (Alpha) field, as views of the stored text
    // (Windows-1250; empty for a blank), valid until the table next changes:
    // for handing many values straight on without a copy of each.
    virtual Status readTexts(const std::vector<RowId>& rows, int field, std::vector<std::string_view>& out) = 0;

    // Inserts a row. AutoInc fields are assigned by the store and written back
    // into `rec`. A duplicate key, a text longer than its field or a value of
    // the wrong kind is refused and nothing changes.
    virtual Result<RowId> insert(Record& rec) = 0;
    virtual Status update(RowId row, const Record& rec) = 0;
    virtual Status remove(RowId row) = 0;
    virtual Status emptyTable() = 0;

    // Writes everything posted so far through to stable storage. Refused
    // while a transaction is open.
    virtual Status flush() = 0;

    // A transaction: the changes made to the table in this Database between
    // begin() and commit() are committed as one, so that they are whole or
    // absent also when the process is killed; others see none of them
    // before commit(). The table's write lock is held throughout: other
    // writers wait, then find the table in use. rollback() takes back every
    // change since begin(); the table's row ids may be gone afterwards, as
    // after another process's change. Closing the handle that began it
    // rolls an open transaction back. Restructuring is refused inside one.
    virtual Status begin() = 0;
    virtual Status commit() = 0;
    virtual Status rollback() = 0;

    // A consistent snapshot for reading: while the returned hold lives,
    // every handle on the table in this Database reads the state that was
    // committed last when it was taken, and version() stands still. Others'
    // later commits are not looked at, and not kept waiting either; a write
    // through this Database first moves on to the latest state. Take one
    // hold per table before reading several tables (or one table in several
    // steps) that must agree, and drop them soon: they show the past. The
    // table's files are not held still by it (others may checkpoint into
    // them); what the hold shows is in memory.
    virtual std::unique_ptr<TableHold> holdStill() = 0;

    // Restructuring; each needs the table opened Exclusive.
    virtual Status addField(const FieldDef& field) = 0;  // appended; existing rows get null
    virtual Status clearIndexes() = 0;                   // drops primary and secondary indexes
    virtual Status addPrimaryIndex(const std::vector<std::string>& fields) = 0;  // must be the leading fields
    virtual Status addIndex(const IndexDef& index) = 0;  // a named secondary index
};

class Database {
public:
    virtual ~Database() = default;

    // A database over an existing folder. Fails with NotFound when the folder
    // does not exist.
    static Result<std::shared_ptr<Database>> open(const std::string& folder);

    virtual const std::string& folder() const = 0;

    // Table names as stored on disk, without extension, in no set order.
    virtual Result<std::vector<std::string>> tableNames() = 0;

    // `name` is "ugyfel", "ugyfel.DB" or either in any letter case.
    virtual Result<std::shared_ptr<Table>> openTable(std::string_view name, OpenMode mode) = 0;

    // Creates name.DB (and its index files) from the definition. Fails with
    // AlreadyExists when a table of that name exists in any letter case.
    virtual Status createTable(std::string_view name, const TableDef& def) = 0;

    // Deletes one file of a table (an index file, as the maintenance tool
    // does), refusing with Locked while any handle or process has the table
    // open. A missing file is success.
    virtual Status deleteTableFile(std::string_view fileName) = 0;
};

}  // namespace engine
