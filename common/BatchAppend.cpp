// Batch append: the rows of any data set copied into a table, column by
// column in order, straight into the engine (one insert per row, the table's
// order read once at the end).
#include "TableSource.h"

namespace {

// The value converted for a field of another type; throws DbError when it
// does not fit (too long, not a number, ...).
engine::Value convertFor(const engine::Value& v, const engine::FieldDef& f)
{
    if (v.isNull()) return v;
    const bool sameKind = v.kind() == engine::valueKindOf(f.type);
    if (sameKind && (f.type != engine::FieldType::Alpha || int(v.asText().size()) <= f.size)) return v;
    return dbconv::toFieldValue(dbconv::toVariant(v), f.type, f.size, dbconv::fromCp1250(f.name));
}

}  // namespace

int batchAppend(DataSet& source, TableDataSet& dest) { return dest.appendRowsOf(source); }

int TableDataSet::appendRowsOf(DataSet& source)
{
    if (!source.isActive()) source.open();
    if (!isActive()) open();
    source.checkBrowseMode();
    checkBrowseMode();

    TableSource& dst = tableSource();
    const engine::TableDef& def = dst.table->def();
    const size_t columns = std::min(def.fields.size(), source.fields_.size());
    const int rows = source.recordCount();
    const std::optional<size_t> pos = currentSourcePos();
    const std::optional<engine::RowId> current = pos ? std::optional(dst.rows[*pos]) : std::nullopt;

    int stored = 0;
    engine::Record rec;
    for (int row = 0; row < rows; ++row) {
        const size_t at = source.rowRef(row).pos;
        rec.assign(def.fields.size(), engine::Value());
        bool fits = true;
        for (size_t col = 0; col < columns && fits; ++col) {
            if (def.fields[col].type == engine::FieldType::AutoInc) continue;  // the table numbers its rows
            auto v = source.source_->value(at, int(col));
            if (!v.isOk()) dbconv::raise(v.status());
            try {
                rec[col] = convertFor(*v, def.fields[col]);
            } catch (const DbError&) {
                fits = false;
            }
        }
        // A row the table refuses (duplicate key, a value it cannot hold) is
        // skipped and not counted.
        if (fits && dst.table->insert(rec).isOk()) ++stored;
    }

    const engine::Status s = dst.reread();
    if (!s.isOk()) dbconv::raise(s);
    sourceChanged(current ? dst.positionOf(*current) : std::nullopt);
    return stored;
}
