#include "TableImpl.h"

#include "Messages.h"

namespace engine {

TableImpl::~TableImpl()
{
    if (transaction_) (void)state_->rollback();
    state_->detach(mode_);
}

Status TableImpl::writable() const
{
    if (mode_ == OpenMode::ReadOnly) return msg::readOnly(state_->name());
    return Status::ok();
}

Status TableImpl::exclusive() const
{
    if (mode_ != OpenMode::Exclusive) return msg::needsExclusive(state_->name());
    return Status::ok();
}

Result<RowId> TableImpl::insert(Record& rec)
{
    if (Status s = writable(); !s.isOk()) return s;
    return state_->insert(rec);
}

Status TableImpl::update(RowId row, const Record& rec)
{
    if (Status s = writable(); !s.isOk()) return s;
    return state_->update(row, rec);
}

Status TableImpl::remove(RowId row)
{
    if (Status s = writable(); !s.isOk()) return s;
    return state_->remove(row);
}

Status TableImpl::emptyTable()
{
    if (Status s = writable(); !s.isOk()) return s;
    return state_->emptyTable();
}

Status TableImpl::flush()
{
    if (mode_ == OpenMode::ReadOnly) return Status::ok();
    return state_->flush();
}

Status TableImpl::begin()
{
    if (Status s = writable(); !s.isOk()) return s;
    Status s = state_->begin();
    transaction_ = s.isOk();
    return s;
}

Status TableImpl::commit()
{
    transaction_ = false;
    return state_->commit();
}

Status TableImpl::rollback()
{
    transaction_ = false;
    return state_->rollback();
}

namespace {

class StateHold final : public TableHold {
public:
    explicit StateHold(std::shared_ptr<TableState> state) : state_(std::move(state)) { state_->hold(); }
    ~StateHold() override { state_->release(); }

private:
    std::shared_ptr<TableState> state_;
};

}  // namespace

std::unique_ptr<TableHold> TableImpl::holdStill()
{
    // Up to what is committed now, then still.
    (void)state_->version();
    return std::make_unique<StateHold>(state_);
}

Status TableImpl::addField(const FieldDef& field)
{
    if (Status s = exclusive(); !s.isOk()) return s;
    return state_->addField(field);
}

Status TableImpl::clearIndexes()
{
    if (Status s = exclusive(); !s.isOk()) return s;
    return state_->clearIndexes();
}

Status TableImpl::addPrimaryIndex(const std::vector<std::string>& fields)
{
    if (Status s = exclusive(); !s.isOk()) return s;
    return state_->addPrimaryIndex(fields);
}

Status TableImpl::addIndex(const IndexDef& index)
{
    if (Status s = exclusive(); !s.isOk()) return s;
    return state_->addIndex(index);
}

}  // namespace engine
