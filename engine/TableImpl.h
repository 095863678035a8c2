// TableImpl: one handle on an open table, as a caller holds it. Handles on
// the same table share its TableState, so each sees the others' changes at
// once; the handle adds its open mode.
#pragma once

#include <memory>

#include "Database.h"
#include "TableState.h"

namespace engine {

class TableImpl final : public Table {
public:
    TableImpl(std::shared_ptr<TableState> state, OpenMode mode) : state_(std::move(state)), mode_(mode) {}
    ~TableImpl() override;

    const std::string& name() const override { return state_->name(); }
    const TableDef& def() const override { return state_->def(); }
    OpenMode mode() const override { return mode_; }

    Result<uint64_t> recordCount() override { return state_->recordCount(); }
    Result<uint64_t> version() override { return state_->version(); }
    Result<std::vector<RowId>> rows(const OrderSpec& order) override { return state_->rows(order); }
    Result<std::optional<RowId>> findKey(const std::vector<Value>& key) override { return state_->findKey(key); }
    Status read(RowId row, Record& out) override { return state_->read(row, out); }
    Result<Value> readField(RowId row, int field) override { return state_->readField(row, field); }
    Status readFields(const std::vector<RowId>& rows, int field, std::vector<Value>& out) override
    {
        return state_->readFields(rows, field, out);
    }
    Status readTexts(const std::vector<RowId>& rows, int field, std::vector<std::string_view>& out) override
    {
        return state_->readTexts(rows, field, out);
    }

    Result<RowId> insert(Record& rec) override;
    Status update(RowId row, const Record& rec) override;
    Status remove(RowId row) override;
    Status emptyTable() override;
    Status flush() override;
    Status begin() override;
    Status commit() override;
    Status rollback() override;
    std::unique_ptr<TableHold> holdStill() override;

    Status addField(const FieldDef& field) override;
    Status clearIndexes() override;
    Status addPrimaryIndex(const std::vector<std::string>& fields) override;
    Status addIndex(const IndexDef& index) override;

private:
    Status writable() const;
    Status exclusive() const;

    std::shared_ptr<TableState> state_;
    OpenMode mode_;
    bool transaction_ = false;  // this handle began the open transaction
};

}  // namespace engine
