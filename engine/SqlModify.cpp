// INSERT, UPDATE and DELETE. Each computes and checks every new row first
// and writes only then, in one transaction of the store, so that a bad
// value, a refused row or a killed process leaves the table as it was. The
// transaction begins before the rows are chosen: they are chosen and their
// new values computed under the table's write lock, from what was committed
// last, so that no other writer's change falls in between and is lost.

#include <algorithm>
#include <set>

#include "SqlExec.h"
#include "SqlLexer.h"

namespace engine::sql {

namespace {

Status unknownField(std::string_view sql, const std::string& table, const std::string& name, size_t pos)
{
    return Status::error(ErrorCode::NotFound, "Ismeretlen mező: " + quote(table + "." + name) + " (" +
                                                  describePlace(sql, pos) + ").");
}

Status countMismatch(std::string_view sql, size_t values, size_t fields, size_t pos)
{
    return Status::error(ErrorCode::Syntax, "Az értékek száma (" + std::to_string(values) +
                                                ") nem egyezik a mezők számával (" + std::to_string(fields) + ") (" +
                                                describePlace(sql, pos) + ").");
}

// Converts `v` for field `f`, naming the place of the value on failure.
Result<Value> convertAt(const Value& v, const FieldDef& f, std::string_view sql, size_t pos)
{
    auto c = convertForField(v, f);
    if (c.isOk()) return c;
    std::string message = c.status().message();
    if (!message.empty() && message.back() == '.') message.pop_back();
    return Status::error(c.status().code(), message + " (" + describePlace(sql, pos) + ").");
}

// The rows of the statement's one table that satisfy its WHERE (all rows
// without one), in primary-key order.
Result<std::vector<RowId>> matchingRows(const Expr* whereText, const std::vector<Slot>& slots,
                                        const Binder& binder)
{
    std::vector<BoundPtr> where;
    if (whereText) {
        auto w = binder.bind(*whereText);
        if (!w.isOk()) return w.status();
        if ((*w)->type.kind != Value::Kind::Bool && (*w)->type.kind != Value::Kind::Null)
            return binder.typeError((*w)->pos, "a WHERE után feltétel várható");
        splitConjuncts(std::move(*w), where);
    }
    auto candidates = candidateRows(*slots[0].table, where);
    if (!candidates.isOk() || where.empty()) return candidates;
    std::vector<RowId> rows;
    RowId current = kNoRow;
    EvalContext ctx;
    ctx.slots = &slots;
    ctx.rows = &current;
    for (RowId r : *candidates) {
        current = r;
        bool keep = true;
        for (const auto& c : where)
            if (!isTrue(evaluate(*c, ctx))) {
                keep = false;
                break;
            }
        if (!ctx.error.isOk()) return ctx.error;
        if (keep) rows.push_back(r);
    }
    return rows;
}

// The statement's transaction: rolled back unless committed.
class StatementWrite {
public:
    explicit StatementWrite(Table& table) : table_(table) {}
    ~StatementWrite()
    {
        if (open_) (void)table_.rollback();
    }
    StatementWrite(const StatementWrite&) = delete;
    StatementWrite& operator=(const StatementWrite&) = delete;

    Status begin()
    {
        Status s = table_.begin();
        open_ = s.isOk();
        return s;
    }
    Status commit()
    {
        open_ = false;
        return table_.commit();
    }

private:
    Table& table_;
    bool open_ = false;
};

}  // namespace

Result<int64_t> runInsert(const InsertStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params)
{
    auto opened = tables.open(s.table, sql);
    if (!opened.isOk()) return opened.status();
    Table& table = **opened;
    // Taken first: beginning may read the table anew, definition and all.
    StatementWrite write(table);
    if (auto st = write.begin(); !st.isOk()) return st;
    const TableDef& def = table.def();

    std::vector<int> targets;
    if (s.columns.empty()) {
        for (size_t f = 0; f < def.fields.size(); ++f) targets.push_back(int(f));
    } else {
        std::vector<bool> seen(def.fields.size());
        for (const auto& [name, pos] : s.columns) {
            const int f = def.fieldIndex(name);
            if (f < 0) return unknownField(sql, s.table.name, name, pos);
            if (seen[size_t(f)])
                return Status::error(ErrorCode::Syntax, "A(z) " + quote(name) + " mező kétszer szerepel (" +
                                                            describePlace(sql, pos) + ").");
            seen[size_t(f)] = true;
            targets.push_back(f);
        }
    }

    std::vector<Record> records;
    if (s.select) {
        auto result = runSelect(*s.select, sql, tables, params);
        if (!result.isOk()) return result.status();
        const QueryResult& rows = **result;
        if (rows.columns().size() != targets.size())
            return countMismatch(sql, rows.columns().size(), targets.size(), s.table.pos);
        for (size_t r = 0; r < rows.rowCount(); ++r) {
            Record rec(def.fields.size());
            for (size_t c = 0; c < targets.size(); ++c) {
                auto v = rows.value(r, c);
                if (!v.isOk()) return v.status();
                auto converted = convertAt(*v, def.fields[targets[c]], sql, s.table.pos);
                if (!converted.isOk()) return converted.status();
                rec[targets[c]] = std::move(*converted);
            }
            records.push_back(std::move(rec));
        }
    } else {
        const std::vector<Slot> none;
        const Binder binder(sql, none, params);
        for (const auto& row : s.rows) {
            if (row.size() != targets.size())
                return countMismatch(sql, row.size(), targets.size(), row.empty() ? s.table.pos : row[0]->pos);
            Record rec(def.fields.size());
            for (size_t c = 0; c < row.size(); ++c) {
                // A plain literal is its own value; anything else is bound and evaluated.
                Value v;
                if (row[c]->kind == Expr::Kind::Literal) {
                    v = row[c]->value;
                } else {
                    auto bound = binder.bind(*row[c]);
                    if (!bound.isOk()) return bound.status();
                    EvalContext ctx;
                    ctx.slots = &none;
                    v = evaluate(**bound, ctx);
                    if (!ctx.error.isOk()) return ctx.error;
                }
                auto converted = convertAt(v, def.fields[targets[c]], sql, row[c]->pos);
                if (!converted.isOk()) return converted.status();
                rec[targets[c]] = std::move(*converted);
            }
            records.push_back(std::move(rec));
        }
    }

    for (Record& rec : records) {
        auto row = table.insert(rec);
        if (!row.isOk()) return row.status();
    }
    if (auto st = write.commit(); !st.isOk()) return st;
    if (!records.empty()) tables.markChanged(*opened);
    return int64_t(records.size());
}

Result<int64_t> runUpdate(const UpdateStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params)
{
    auto opened = tables.open(s.table, sql);
    if (!opened.isOk()) return opened.status();
    Table& table = **opened;
    // Taken first: beginning may read the table anew, definition and all.
    StatementWrite write(table);
    if (auto st = write.begin(); !st.isOk()) return st;
    const TableDef& def = table.def();
    const std::vector<Slot> slots{Slot{*opened, s.table.name, {}}};
    const Binder binder(sql, slots, params);

    std::vector<std::pair<int, BoundPtr>> sets;
    std::set<int> seen;
    for (const auto& a : s.sets) {
        const int f = def.fieldIndex(a.column);
        if (f < 0) return unknownField(sql, s.table.name, a.column, a.pos);
        if (!seen.insert(f).second)
            return Status::error(ErrorCode::Syntax, "A(z) " + quote(a.column) + " mező kétszer kap értéket (" +
                                                        describePlace(sql, a.pos) + ").");
        auto b = binder.bind(*a.value);
        if (!b.isOk()) return b.status();
        sets.emplace_back(f, std::move(*b));
    }
    auto rows = matchingRows(s.where.get(), slots, binder);
    if (!rows.isOk()) return rows.status();

    // Every new row is computed from the old one before anything is written.
    struct Change {
        RowId row;
        Record before, after;
    };
    std::vector<Change> changes;
    RowId current = kNoRow;
    EvalContext ctx;
    ctx.slots = &slots;
    ctx.rows = &current;
    for (RowId r : *rows) {
        current = r;
        Change ch;
        ch.row = r;
        if (auto st = table.read(r, ch.before); !st.isOk()) return st;
        ch.after = ch.before;
        for (size_t k = 0; k < sets.size(); ++k) {
            const Value v = evaluate(*sets[k].second, ctx);
            if (!ctx.error.isOk()) return ctx.error;
            auto converted = convertAt(v, def.fields[sets[k].first], sql, s.sets[k].pos);
            if (!converted.isOk()) return converted.status();
            ch.after[sets[k].first] = std::move(*converted);
        }
        changes.push_back(std::move(ch));
    }

    // Keys must be unique when the statement is done, not after each row:
    // rows whose key moves all leave their places first and then take the
    // new ones (each checked against the table as it is by then), so that
    // moving every key by one works in any row order.
    std::vector<const Change*> moved;
    for (const Change& ch : changes)
        if (!std::equal(ch.after.begin(), ch.after.begin() + def.keyFieldCount, ch.before.begin()))
            moved.push_back(&ch);
    for (const Change* ch : moved)
        if (auto st = table.remove(ch->row); !st.isOk()) return st;
    for (const Change& ch : changes) {
        if (ch.after == ch.before || std::find(moved.begin(), moved.end(), &ch) != moved.end()) continue;
        if (auto st = table.update(ch.row, ch.after); !st.isOk()) return st;
    }
    for (const Change* ch : moved) {
        Record rec = ch->after;
        if (auto row = table.insert(rec); !row.isOk()) return row.status();
    }
    if (auto st = write.commit(); !st.isOk()) return st;
    if (!changes.empty()) tables.markChanged(*opened);
    return int64_t(changes.size());
}

Result<int64_t> runDelete(const DeleteStmt& s, std::string_view sql, TableCache& tables,
                          const std::vector<SqlParam>& params)
{
    auto opened = tables.open(s.table, sql);
    if (!opened.isOk()) return opened.status();
    Table& table = **opened;

    StatementWrite write(table);
    if (auto st = write.begin(); !st.isOk()) return st;
    if (!s.where) {
        // Emptying is one change of the store, whole or not at all.
        auto count = table.recordCount();
        if (!count.isOk()) return count.status();
        if (auto st = table.emptyTable(); !st.isOk()) return st;
        if (auto st = write.commit(); !st.isOk()) return st;
        tables.markChanged(*opened);
        return int64_t(*count);
    }

    const std::vector<Slot> slots{Slot{*opened, s.table.name, {}}};
    const Binder binder(sql, slots, params);
    auto rows = matchingRows(s.where.get(), slots, binder);
    if (!rows.isOk()) return rows.status();
    const std::vector<RowId>& doomed = *rows;
    for (RowId row : doomed)
        if (auto st = table.remove(row); !st.isOk()) return st;
    if (auto st = write.commit(); !st.isOk()) return st;
    if (!doomed.empty()) tables.markChanged(*opened);
    return int64_t(doomed.size());
}

}  // namespace engine::sql
