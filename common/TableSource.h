// Internal to the data-set layer: the rows of one engine table in an index
// order, with lookup columns read from other tables.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "DataSetInternal.h"
#include "engine/Database.h"

struct TableDataSet::TableSource : DataSet::Source {
    std::shared_ptr<engine::Table> table;
    engine::OrderSpec order;
    std::vector<engine::RowId> rows;  // in `order`
    uint64_t readVersion = 0;         // the table's version when `rows` was read

    // The current row as last noted: its RowId and its primary key, so that
    // it is found again when RowIds went stale.
    std::optional<engine::RowId> currentId;
    std::vector<engine::Value> currentKey;
    std::optional<size_t> foundPos;

    struct LookupColumn {
        int keyColumn = 0;                    // the link field in this table
        std::shared_ptr<engine::Table> table; // the table the name comes from
        int lookupKey = 0;
        int result = 0;
        bool byPrimaryKey = false;            // the link names the whole primary key
        // Otherwise: link value -> name, read once per version of that table.
        std::unordered_map<std::string, engine::Value> names;
        std::optional<uint64_t> namesVersion;
    };
    std::vector<LookupColumn> lookups;  // columns storedColumns.. in order

    size_t rowCount() const override { return rows.size(); }
    engine::Result<engine::Value> value(size_t pos, int col) override;
    QString readOnlyReason() const override;
    engine::Status read(size_t pos, engine::Record& out) override;
    engine::Value lookup(int col, const engine::Record& row) override;
    engine::Result<std::optional<size_t>> insert(engine::Record& rec) override;
    engine::Result<std::optional<size_t>> update(size_t pos, const engine::Record& rec) override;
    engine::Status remove(size_t pos) override;
    void noteCurrent(std::optional<size_t> pos) override;
    bool stale() override;
    engine::Status reload() override;
    std::optional<size_t> currentPos() const override { return foundPos; }

    // Reads the order anew after a change of this handle's own.
    engine::Status reread();
    std::optional<size_t> positionOf(engine::RowId id) const;
    engine::Result<engine::Value> lookupByKey(int col, const engine::Value& key);
    // Begins a transaction and gives where the row at `pos` is now (found
    // again by its key when another program wrote since the rows were read).
    engine::Result<size_t> lockedRow(size_t pos);
    // Ends lockedRow()'s transaction: commits after `s` succeeded, else
    // takes back and gives `s`.
    engine::Status finishLocked(engine::Status s);
};
