#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <set>
#include <string_view>
#include <unordered_map>

#include "Codepage.h"
#include "Collation.h"
#include "SqlExec.h"
#include "SqlLexer.h"

namespace engine::sql {

namespace {

bool isIntegerField(FieldType t)
{
    return t == FieldType::Short || t == FieldType::Long || t == FieldType::AutoInc;
}

// Equal values give equal bytes: the key of grouping, DISTINCT and joins.
// Numbers compare by value across integer and floating point, dates and
// timestamps by the moment they name, text by its bytes.
void appendKey(const Value& v, std::string& out)
{
    auto put = [&out](char tag, const void* p, size_t n) {
        out += tag;
        out.append(static_cast<const char*>(p), n);
    };
    switch (v.kind()) {
    case Value::Kind::Null: out += 'N'; break;
    case Value::Kind::Int: {
        const int64_t i = v.asInt();
        put('I', &i, sizeof i);
        break;
    }
    case Value::Kind::Float: {
        const double d = v.asFloat();
        if (std::nearbyint(d) == d && std::fabs(d) < 9e18) {
            const int64_t i = int64_t(d);
            put('I', &i, sizeof i);
        } else {
            put('F', &d, sizeof d);
        }
        break;
    }
    case Value::Kind::Date: {
        const int64_t ms = timestampOf(v.asDate(), 0);
        put('M', &ms, sizeof ms);
        break;
    }
    case Value::Kind::Timestamp: {
        const int64_t ms = v.asTimestamp();
        put('M', &ms, sizeof ms);
        break;
    }
    case Value::Kind::Time: {
        const int64_t ms = v.asTime();
        put('H', &ms, sizeof ms);
        break;
    }
    case Value::Kind::Bool: out += v.asBool() ? "B1" : "B0"; break;
    case Value::Kind::Text:
    case Value::Kind::Bytes: {
        const uint32_t n = uint32_t(v.asText().size());
        put(v.kind() == Value::Kind::Text ? 'T' : 'Y', &n, sizeof n);
        out += v.asText();
        break;
    }
    }
}

struct OutColumn {
    QueryResult::Column info;
    int slot = -1, field = -1;  // a plain column of a table
    BoundPtr expr;              // otherwise
};

Status staleError(const Slot& slot)
{
    return Status::error(ErrorCode::NotFound, "A(z) " + quote(slot.table->name()) +
                                                  " tábla megváltozott a lekérdezés óta; a lekérdezést újra kell "
                                                  "futtatni.");
}

// A partner not looked up yet (a deferred join's slot in a tuple).
constexpr RowId kUnresolved = kNoRow - 1;

// A LEFT OUTER JOIN on the whole integer key of the joined table whose table
// nothing else in the statement reads (no WHERE, ON, ORDER BY): every row
// stays and has at most one partner, so the partner is looked up only when
// a value of that table is asked for. A grid that shows a few rows of a
// large result then looks up a few partners, not all of them.
struct DeferredJoin {
    int slot = 0;
    BoundPtr probe;           // the key, over tables that are joined at once
    std::vector<int> reads;   // the slots the probe reads, and this one
    uint64_t tableRows = 0;   // rows of the joined table when the statement ran
    size_t lookups = 0;       // single key lookups so far
    bool mapped = false;      // byKey holds every row of the joined table
    std::unordered_map<int64_t, RowId> byKey;
};

// The rows a plain SELECT found, in the order it found them (the first
// table's primary-key order, the rows joined to one row side by side),
// before its ORDER BY. The results of one statement sorted anew share them:
// they differ only in the order in which they show these rows.
struct FoundRows {
    const Database* db = nullptr;
    std::string body;  // the statement's text up to its ORDER BY
    std::vector<SqlParam> params;
    std::vector<Slot> slots;
    std::vector<uint64_t> versions;
    size_t width = 0;
    size_t count = 0;
    std::vector<RowId> tuples;  // deferred partners are filled in as they are found
    std::vector<DeferredJoin> deferred;
    std::vector<OutColumn> out;
    std::vector<std::vector<int>> columnSlots;     // per column: the slots its values read
    std::vector<std::vector<size_t>> columnJoins;  // per column: the deferred joins it needs
    // Sort keys of output columns made for earlier orders (ascending, in
    // found order), newest last: a title clicked again sorts at once.
    static constexpr size_t kKeptKeys = 4;
    std::vector<std::pair<size_t, std::vector<int64_t>>> keys;

    // What each column reads, once the deferred joins are known.
    void plan()
    {
        for (const OutColumn& c : out) {
            std::vector<int> reads;
            std::vector<size_t> joins;
            for (size_t s = 0; s < slots.size(); ++s)
                if (c.slot == int(s) || (c.expr && c.expr->usesSlot(int(s)))) reads.push_back(int(s));
            for (size_t d = 0; d < deferred.size(); ++d)
                if (std::find(reads.begin(), reads.end(), deferred[d].slot) != reads.end()) joins.push_back(d);
            for (size_t d : joins)
                for (int s : deferred[d].reads)
                    if (std::find(reads.begin(), reads.end(), s) == reads.end()) reads.push_back(s);
            columnSlots.push_back(std::move(reads));
            columnJoins.push_back(std::move(joins));
        }
    }

    // RowIds are only valid for the version of the table they were read
    // from: after any change, refuse rather than show another row's values.
    Status checkCurrent(int slot) const
    {
        auto v = slots[slot].table->version();
        if (!v.isOk()) return v.status();
        if (*v != versions[slot]) return staleError(slots[slot]);
        return Status::ok();
    }

    Status checkAllCurrent() const
    {
        for (size_t s = 0; s < slots.size(); ++s)
            if (auto st = checkCurrent(int(s)); !st.isOk()) return st;
        return Status::ok();
    }

    // Checks that the tables of a column are unchanged and finds the
    // partners it needs in the found rows rows[0, count) (all of them
    // when `rows` is null).
    Status prepare(size_t column, const uint32_t* rows, size_t count)
    {
        for (int s : columnSlots[column])
            if (auto st = checkCurrent(s); !st.isOk()) return st;
        for (size_t d : columnJoins[column])
            if (auto st = resolve(deferred[d], rows, count); !st.isOk()) return st;
        return Status::ok();
    }

    // Finds the partners of the found rows rows[0, count) (all when null):
    // one key lookup each while they are few beside the joined table, else
    // through a map of its keys, read once.
    Status resolve(DeferredJoin& d, const uint32_t* rows, size_t count)
    {
        Table& table = *slots[d.slot].table;
        EvalContext ctx;
        ctx.slots = &slots;
        for (size_t i = 0; i < count; ++i) {
            RowId* tuple = &tuples[(rows ? rows[i] : i) * width];
            if (tuple[d.slot] != kUnresolved) continue;
            ctx.rows = tuple;
            const Value key = evaluate(*d.probe, ctx);
            if (!ctx.error.isOk()) return ctx.error;
            RowId partner = kNoRow;
            if (key.kind() == Value::Kind::Int) {
                if (!d.mapped && (d.lookups + (count - i)) * 64 < d.tableRows) {
                    ++d.lookups;
                    auto found = table.findKey({key});
                    if (!found.isOk()) return found.status();
                    if (*found) partner = **found;
                } else {
                    if (!d.mapped)
                        if (auto st = mapKeys(d); !st.isOk()) return st;
                    auto it = d.byKey.find(key.asInt());
                    if (it != d.byKey.end()) partner = it->second;
                }
            }
            tuple[d.slot] = partner;
        }
        return Status::ok();
    }

    // Makes every found row's partner of the deferred joins that `e` reads known.
    Status resolveFor(const BoundExpr& e)
    {
        for (DeferredJoin& d : deferred)
            if (e.usesSlot(d.slot))
                if (auto st = resolve(d, nullptr, count); !st.isOk()) return st;
        return Status::ok();
    }

    Status mapKeys(DeferredJoin& d) const
    {
        Table& table = *slots[d.slot].table;
        auto rows = table.rows(OrderSpec::primary());
        if (!rows.isOk()) return rows.status();
        d.byKey.reserve(rows->size());
        for (RowId r : *rows) {
            auto v = table.readField(r, 0);
            if (!v.isOk()) return v.status();
            if (!v->isNull()) d.byKey.emplace(v->asInt(), r);
        }
        d.mapped = true;
        return Status::ok();
    }

    // Column `column` of found row `row`, its partners found.
    Result<Value> read(size_t column, size_t row) const
    {
        const OutColumn& c = out[column];
        const RowId* tuple = &tuples[row * width];
        if (c.slot >= 0) {
            if (tuple[c.slot] == kNoRow) return Value();
            return slots[c.slot].table->readField(tuple[c.slot], c.field);
        }
        EvalContext ctx;
        ctx.slots = &slots;
        ctx.rows = tuple;
        Value v = evaluate(*c.expr, ctx);
        if (!ctx.error.isOk()) return ctx.error;
        return v;
    }

    // Column `column` of the found rows rows[0, n) (every found row, in
    // found order, when `rows` is null), partners found.
    Status readColumn(size_t column, const uint32_t* rows, size_t n, std::vector<Value>& values)
    {
        values.clear();
        if (auto st = prepare(column, rows, n); !st.isOk()) return st;
        const OutColumn& c = out[column];
        if (c.slot < 0) {
            values.reserve(n);
            for (size_t i = 0; i < n; ++i) {
                auto v = read(column, rows ? rows[i] : i);
                if (!v.isOk()) {
                    values.clear();
                    return v.status();
                }
                values.push_back(std::move(*v));
            }
            return Status::ok();
        }
        return readPlaced(c, rows, n, values, [&](const std::vector<RowId>& ids, std::vector<Value>& got) {
            return slots[c.slot].table->readFields(ids, c.field, got);
        });
    }

    // Column `column` of the found rows rows[0, n) as views of the stored
    // text, when it is a text field of a table; false otherwise.
    Result<bool> readTexts(size_t column, const uint32_t* rows, size_t n, std::vector<std::string_view>& texts)
    {
        texts.clear();
        const OutColumn& c = out[column];
        if (c.slot < 0 || slots[c.slot].table->def().fields[size_t(c.field)].type != FieldType::Alpha) return false;
        if (auto st = prepare(column, rows, n); !st.isOk()) return st;
        auto st = readPlaced(c, rows, n, texts, [&](const std::vector<RowId>& ids, std::vector<std::string_view>& got) {
            return slots[c.slot].table->readTexts(ids, c.field, got);
        });
        if (!st.isOk()) return st;
        return true;
    }

    // A table's field `c` of the found rows rows[0, n), partners found: the
    // rows that have a partner in the column's table are read at once with
    // `read`, the others left blank.
    template <class T, class Read>
    Status readPlaced(const OutColumn& c, const uint32_t* rows, size_t n, std::vector<T>& values, Read&& read)
    {
        std::vector<RowId> ids;
        std::vector<uint32_t> at;
        ids.reserve(n);
        at.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            const RowId id = tuples[(rows ? rows[i] : i) * width + size_t(c.slot)];
            if (id == kNoRow) continue;
            ids.push_back(id);
            at.push_back(uint32_t(i));
        }
        // Every row has one (always so in the first table): read in place.
        if (ids.size() == n) return read(ids, values);
        std::vector<T> got;
        if (auto st = read(ids, got); !st.isOk()) return st;
        values.assign(n, T());
        for (size_t i = 0; i < got.size(); ++i) values[at[i]] = std::move(got[i]);
        return Status::ok();
    }

    const std::vector<int64_t>* keptKeys(size_t column) const
    {
        for (const auto& [c, k] : keys)
            if (c == column) return &k;
        return nullptr;
    }

    void keepKeys(size_t column, std::vector<int64_t> k)
    {
        if (keys.size() == kKeptKeys) keys.erase(keys.begin());
        keys.emplace_back(column, std::move(k));
    }
};

// The rows of a SELECT. A plain query shows found rows, each a RowId per
// table, in its order, and reads values when asked; a grouped one holds
// its (few) values.
class SelectResult final : public QueryResult {
public:
    std::vector<Column> columns_;
    std::shared_ptr<FoundRows> found_;  // a plain query
    std::vector<uint32_t> order_;       // the found row shown as each row; empty: found order
    bool materialized_ = false;
    std::vector<Value> values_;
    size_t rows_ = 0;

    // The tables held still at what the statement read, when the session
    // asks for it (see SqlSession::holdResults()).
    std::vector<std::unique_ptr<TableHold>> holds_;

    // A grouped result's tables and their versions when it ran; a plain
    // one has them in found_.
    std::vector<Slot> groupedSlots_;
    std::vector<uint64_t> groupedVersions_;

    const std::vector<Column>& columns() const override { return columns_; }
    size_t rowCount() const override { return rows_; }

    Result<bool> changed() const override
    {
        const std::vector<Slot>& slots = found_ ? found_->slots : groupedSlots_;
        const std::vector<uint64_t>& versions = found_ ? found_->versions : groupedVersions_;
        for (size_t i = 0; i < slots.size(); ++i) {
            auto v = slots[i].table->version();
            if (!v.isOk()) return v.status();
            if (*v != versions[i]) return true;
        }
        return false;
    }

    Result<Value> value(size_t row, size_t column) const override
    {
        if (row >= rows_ || column >= columns_.size())
            return Status::error(ErrorCode::NotFound, "Nincs ilyen sor vagy oszlop a lekérdezés eredményében.");
        if (materialized_) return values_[row * columns_.size() + column];
        const uint32_t at = foundRow(row);
        if (auto st = found_->prepare(column, &at, 1); !st.isOk()) return st;
        return found_->read(column, at);
    }

    Status values(size_t column, size_t first, size_t count, std::vector<Value>& out) const override
    {
        out.clear();
        if (column >= columns_.size() || first > rows_ || count > rows_ - first)
            return Status::error(ErrorCode::NotFound, "Nincs ilyen sor vagy oszlop a lekérdezés eredményében.");
        out.reserve(count);
        if (materialized_) {
            for (size_t r = first; r < first + count; ++r) out.push_back(values_[r * columns_.size() + column]);
            return Status::ok();
        }
        if (count == rows_ && !order_.empty()) {
            // A whole column is read in found order, the tables' own order
            // that memory caches favour, and each value put in its place.
            std::vector<Value> found;
            if (auto st = found_->readColumn(column, nullptr, count, found); !st.isOk()) return st;
            if (shownAt_.empty()) {
                shownAt_.resize(count);
                for (size_t r = 0; r < count; ++r) shownAt_[order_[r]] = uint32_t(r);
            }
            out.resize(count);
            for (size_t f = 0; f < count; ++f) out[shownAt_[f]] = std::move(found[f]);
            return Status::ok();
        }
        std::vector<uint32_t> rows(count);
        for (size_t i = 0; i < count; ++i) rows[i] = foundRow(first + i);
        return found_->readColumn(column, rows.data(), count, out);
    }

    Result<bool> texts(size_t column, size_t first, size_t count, std::vector<std::string_view>& out) const override
    {
        out.clear();
        if (column >= columns_.size() || first > rows_ || count > rows_ - first)
            return Status::error(ErrorCode::NotFound, "Nincs ilyen sor vagy oszlop a lekérdezés eredményében.");
        if (materialized_ || !found_) return false;
        std::vector<uint32_t> rows(count);
        for (size_t i = 0; i < count; ++i) rows[i] = foundRow(first + i);
        return found_->readTexts(column, rows.data(), count, out);
    }

    uint32_t foundRow(size_t row) const { return order_.empty() ? uint32_t(row) : order_[row]; }

private:
    mutable std::vector<uint32_t> shownAt_;  // by found row: the row it is shown as, once needed
};

// An integer with the order of a number (-0 as 0); never INT64_MIN.
int64_t orderedFloat(double d)
{
    if (d == 0) d = 0;
    int64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits < 0 ? bits ^ std::numeric_limits<int64_t>::max() : bits;
}

// Numbers the distinct texts of a column in the order they come, in an
// open-addressing table of ids: no allocation per text, as the texts are
// the column's own, alive while their ids are used.
struct DistinctTexts {
    std::vector<std::string_view> texts;  // by id
    std::vector<uint32_t> slots;          // id + 1, 0 for free
    size_t mask = 0;

    uint32_t id(std::string_view text)
    {
        if ((texts.size() + 1) * 2 > slots.size()) grow();
        for (size_t at = std::hash<std::string_view>{}(text) & mask;; at = (at + 1) & mask) {
            const uint32_t slot = slots[at];
            if (slot == 0) {
                texts.push_back(text);
                slots[at] = uint32_t(texts.size());
                return uint32_t(texts.size() - 1);
            }
            if (texts[slot - 1] == text) return slot - 1;
        }
    }

    void grow()
    {
        slots.assign(std::max<size_t>(64, slots.size() * 2), 0);
        mask = slots.size() - 1;
        for (size_t i = 0; i < texts.size(); ++i) {
            size_t at = std::hash<std::string_view>{}(texts[i]) & mask;
            while (slots[at] != 0) at = (at + 1) & mask;
            slots[at] = uint32_t(i + 1);
        }
    }
};

// Sort keys of one ORDER BY term for all its values at once, as integers
// in ascending order, blanks first as the smallest. Texts are ranked: each
// distinct text is placed once (Collation.h), and the items compare by the
// rank of their text (columns such as a company or status name repeat a
// lot).
std::vector<int64_t> sortKeys(Value::Kind kind, const std::vector<Value>& values)
{
    const size_t n = values.size();
    std::vector<int64_t> keys(n, 0);
    std::vector<char> null(n, 0);
    DistinctTexts distinct;
    for (size_t i = 0; i < n; ++i) {
        const Value& v = values[i];
        if (v.isNull()) {
            null[i] = 1;
            continue;
        }
        if (kind == Value::Kind::Float) {
            keys[i] = orderedFloat(v.kind() == Value::Kind::Int ? double(v.asInt()) : v.asFloat());
            continue;
        }
        switch (v.kind()) {
        case Value::Kind::Text:
        case Value::Kind::Bytes: keys[i] = distinct.id(v.asText()); break;
        case Value::Kind::Date: keys[i] = v.asDate().serial; break;
        case Value::Kind::Bool: keys[i] = v.asBool(); break;
        case Value::Kind::Time: keys[i] = v.asTime(); break;
        default: keys[i] = v.asInt(); break;
        }
    }
    // Text ids become ranks: the collation's order, bytes for binary.
    const std::vector<std::string_view>& texts = distinct.texts;
    if (!texts.empty()) {
        std::vector<uint32_t> rank;
        if (kind == Value::Kind::Bytes) {
            std::vector<uint32_t> byBytes(texts.size());
            std::iota(byBytes.begin(), byBytes.end(), 0);
            std::sort(byBytes.begin(), byBytes.end(), [&](uint32_t a, uint32_t b) { return texts[a] < texts[b]; });
            rank.resize(texts.size());
            for (size_t r = 0; r < byBytes.size(); ++r) rank[byBytes[r]] = uint32_t(r);
        } else {
            rank = rankTexts(texts);
        }
        for (size_t i = 0; i < n; ++i)
            if (!null[i]) keys[i] = rank[size_t(keys[i])];
    }
    constexpr int64_t kBlank = std::numeric_limits<int64_t>::min();
    bool clash = false;
    for (size_t i = 0; i < n && !clash; ++i) clash = !null[i] && keys[i] == kBlank;
    if (clash) {
        // A value that is itself the smallest integer: number the values
        // from 1 and leave 0 to the blanks.
        std::vector<int64_t> distinctKeys;
        for (size_t i = 0; i < n; ++i)
            if (!null[i]) distinctKeys.push_back(keys[i]);
        std::sort(distinctKeys.begin(), distinctKeys.end());
        distinctKeys.erase(std::unique(distinctKeys.begin(), distinctKeys.end()), distinctKeys.end());
        for (size_t i = 0; i < n; ++i)
            keys[i] = null[i] ? 0
                              : 1 + (std::lower_bound(distinctKeys.begin(), distinctKeys.end(), keys[i]) -
                                     distinctKeys.begin());
    } else {
        for (size_t i = 0; i < n; ++i)
            if (null[i]) keys[i] = kBlank;
    }
    return keys;
}

// Orders `order` by keys[order[i]] (turned for a descending term),
// stably: a least-significant-digit radix sort over the bits in which the
// keys differ from the smallest.
void radixSort(const std::vector<int64_t>& keys, bool descending, std::vector<uint32_t>& order,
               std::vector<uint32_t>& spare)
{
    if (keys.empty()) return;
    const auto key = [&](uint32_t i) { return uint64_t(descending ? ~keys[i] : keys[i]); };
    const auto [lo, hi] = std::minmax_element(keys.begin(), keys.end());
    const uint64_t base = uint64_t(descending ? ~*hi : *lo);
    const uint64_t range = uint64_t(descending ? ~*lo : *hi) - base;
    constexpr int kBits = 11;
    constexpr size_t kBuckets = size_t(1) << kBits;
    std::vector<uint32_t> counts(kBuckets);
    for (int shift = 0; shift < 64 && (range >> shift) != 0; shift += kBits) {
        std::fill(counts.begin(), counts.end(), 0);
        auto digit = [&](uint32_t i) { return size_t(((key(i) - base) >> shift) & (kBuckets - 1)); };
        for (uint32_t i : order) ++counts[digit(i)];
        uint32_t sum = 0;
        for (uint32_t& c : counts) {
            const uint32_t here = c;
            c = sum;
            sum += here;
        }
        for (uint32_t i : order) spare[counts[digit(i)]++] = i;
        order.swap(spare);
    }
}

// Accumulates one aggregate over the rows of one group.
struct Accumulator {
    int64_t count = 0;
    int64_t intSum = 0;
    double floatSum = 0;
    bool intOverflow = false;
    Value best;  // MIN, MAX
    std::set<std::string> seen;  // DISTINCT

    void add(const AggregateSpec& aggregate, const Value& v)
    {
        if (aggregate.star) {
            ++count;
            return;
        }
        if (v.isNull()) return;
        if (aggregate.distinct) {
            std::string key;
            appendKey(v, key);
            if (!seen.insert(std::move(key)).second) return;
        }
        ++count;
        if (aggregate.function == "SUM" || aggregate.function == "AVG") {
            if (v.kind() == Value::Kind::Int) {
                if (__builtin_add_overflow(intSum, v.asInt(), &intSum)) intOverflow = true;
                floatSum += double(v.asInt());
            } else {
                floatSum += v.asFloat();
            }
        } else if (aggregate.function == "MIN" || aggregate.function == "MAX") {
            if (best.isNull()) {
                best = v;
            } else {
                const int c = compareValues(v, best);
                if (aggregate.function == "MIN" ? c < 0 : c > 0) best = v;
            }
        }
    }

    Result<Value> result(const AggregateSpec& aggregate) const
    {
        if (aggregate.function == "COUNT") return Value::fromInt(count);
        if (aggregate.function == "MIN" || aggregate.function == "MAX") return best;
        if (count == 0) return Value();
        if (aggregate.function == "AVG") return Value::fromFloat(floatSum / double(count));
        if (aggregate.type.kind == Value::Kind::Int) {
            if (intOverflow) return Status::error(ErrorCode::InvalidValue, "Túl nagy összeg (túlcsordulás).");
            return Value::fromInt(intSum);
        }
        return Value::fromFloat(floatSum);
    }
};

class SelectRunner {
public:
    SelectRunner(const SelectStmt& s, std::string_view sql, TableCache& tables, const std::vector<SqlParam>& params)
        : s_(s), sql_(sql), tables_(tables), params_(params)
    {
    }

    // Runs the statement. When `earlier` came from the same statement but
    // for its ORDER BY, with the same parameters, and its tables are as
    // they were, its found rows are sorted anew and `earlierRows` tells
    // where each row was in it; otherwise `earlierRows` is left empty.
    Result<std::unique_ptr<QueryResult>> run(const QueryResult* earlier, std::vector<uint32_t>* earlierRows)
    {
        if (earlierRows) earlierRows->clear();
        if (const auto* e = dynamic_cast<const SelectResult*>(earlier); e && earlierRows && sameRows(*e))
            return resort(*e, *earlierRows);
        if (auto st = openSlots(); !st.isOk()) return st;
        if (auto st = bindAll(); !st.isOk()) return st;
        if (auto st = produceTuples(); !st.isOk()) return st;
        auto result = std::make_unique<SelectResult>();
        for (const auto& c : out_) result->columns_.push_back(c.info);
        if (grouped_) {
            if (auto st = groupInto(*result); !st.isOk()) return st;
            result->groupedSlots_ = slots_;
            result->groupedVersions_ = versions_;
        } else {
            if (s_.distinct)
                if (auto st = removeDuplicates(); !st.isOk()) return st;
            const std::vector<Value::Kind> kinds = sortKinds();
            auto found = std::make_shared<FoundRows>();
            found->db = &tables_.database();
            found->body = std::string(sql_.substr(0, s_.orderPos));
            found->params = params_;
            found->slots = slots_;
            found->versions = versions_;
            found->width = slots_.size();
            found->count = tuples_.size() / std::max<size_t>(1, slots_.size());
            found->tuples = std::move(tuples_);
            found->deferred = std::move(deferred_);
            found->out = std::move(out_);
            found->plan();
            auto order = sortFound(*found, kinds);
            if (!order.isOk()) return order.status();
            result->order_ = std::move(*order);
            result->rows_ = found->count;
            result->found_ = std::move(found);
        }
        // Something changed a table while we read it: the rows may mix
        // before and after, so they are not given out.
        for (size_t i = 0; i < slots_.size(); ++i) {
            auto v = slots_[i].table->version();
            if (!v.isOk()) return v.status();
            if (*v != versions_[i]) return staleError(slots_[i]);
        }
        if (tables_.holdResults()) result->holds_ = std::move(holds_);
        return std::unique_ptr<QueryResult>(std::move(result));
    }

private:
    // ---- tables ----

    Status openSlots()
    {
        std::vector<const TableRef*> refs{&s_.from};
        for (const auto& j : s_.joins) refs.push_back(&j.table);
        for (const TableRef* ref : refs) {
            auto t = tables_.open(*ref, sql_);
            if (!t.isOk()) return t.status();
            const std::string& shown = ref->alias.empty() ? ref->name : ref->alias;
            for (const Slot& other : slots_) {
                const std::string& otherShown = other.alias.empty() ? other.name : other.alias;
                if (sameName(shown, otherShown))
                    return Status::error(ErrorCode::Syntax, "A(z) " + quote(shown) +
                                                                " tábla kétszer szerepel a lekérdezésben; adjon "
                                                                "neki álnevet (" + describePlace(sql_, ref->pos) + ").");
            }
            // The statement reads one committed state of each table: what
            // others commit meanwhile waits until it is done.
            holds_.push_back((*t)->holdStill());
            auto v = (*t)->version();
            if (!v.isOk()) return v.status();
            slots_.push_back(Slot{*t, ref->name, ref->alias});
            versions_.push_back(*v);
        }
        return Status::ok();
    }

    // ---- sorting found rows anew ----

    // True when `earlier` holds the rows this statement would find: the same
    // text up to ORDER BY, on the same database, with the same parameters,
    // none of its tables changed since.
    bool sameRows(const SelectResult& earlier) const
    {
        const FoundRows* f = earlier.found_.get();
        if (!f || f->db != &tables_.database() || f->body != sql_.substr(0, s_.orderPos)) return false;
        if (f->params.size() != params_.size()) return false;
        for (size_t i = 0; i < params_.size(); ++i)
            if (f->params[i].name != params_[i].name || !(f->params[i].value == params_[i].value)) return false;
        return f->checkAllCurrent().isOk();
    }

    Result<std::unique_ptr<QueryResult>> resort(const SelectResult& earlier, std::vector<uint32_t>& earlierRows)
    {
        FoundRows& found = *earlier.found_;
        slots_ = found.slots;
        versions_ = found.versions;
        if (auto st = bindAll(); !st.isOk()) return st;
        auto order = sortFound(found, sortKinds());
        if (!order.isOk()) return order.status();
        if (auto st = found.checkAllCurrent(); !st.isOk()) return st;
        auto result = std::make_unique<SelectResult>();
        result->columns_ = earlier.columns_;
        result->found_ = earlier.found_;
        result->order_ = std::move(*order);
        result->rows_ = found.count;
        std::vector<uint32_t> shownAt(found.count);
        for (size_t r = 0; r < found.count; ++r) shownAt[earlier.foundRow(r)] = uint32_t(r);
        earlierRows.resize(found.count);
        for (size_t r = 0; r < found.count; ++r) earlierRows[r] = shownAt[result->foundRow(r)];
        return std::unique_ptr<QueryResult>(std::move(result));
    }

    int slotByQualifier(const std::string& q) const
    {
        for (size_t s = 0; s < slots_.size(); ++s)
            if (!slots_[s].alias.empty() && sameName(slots_[s].alias, q)) return int(s);
        for (size_t s = 0; s < slots_.size(); ++s)
            if (sameName(slots_[s].name, q)) return int(s);
        return -1;
    }

    // ---- binding ----

    Status bindAll()
    {
        const Binder all(sql_, slots_, params_);
        for (const auto& item : s_.items)
            if (auto st = bindItem(item, all); !st.isOk()) return st;
        nameColumns();

        grouped_ = !s_.groupBy.empty() || !aggregates_.empty();
        if (s_.where) {
            auto w = all.bind(*s_.where);
            if (!w.isOk()) return w.status();
            if (auto st = expectCondition(**w, "WHERE"); !st.isOk()) return st;
            splitConjuncts(std::move(*w), where_);
        }
        for (size_t j = 0; j < s_.joins.size(); ++j) {
            // ON sees the tables up to and including its own.
            const std::vector<Slot> visible(slots_.begin(), slots_.begin() + j + 2);
            const Binder b(sql_, visible, params_);
            auto on = b.bind(*s_.joins[j].on);
            if (!on.isOk()) return on.status();
            if (auto st = expectCondition(**on, "ON"); !st.isOk()) return st;
            joinConditions_.emplace_back();
            splitConjuncts(std::move(*on), joinConditions_.back());
        }
        for (const auto& g : s_.groupBy) {
            auto b = all.bind(*g);
            if (!b.isOk()) return b.status();
            groupBy_.push_back(std::move(*b));
        }
        for (const auto& o : s_.orderBy)
            if (auto st = bindOrder(o, all); !st.isOk()) return st;
        if (grouped_) return checkGrouping();
        return Status::ok();
    }

    Status expectCondition(const BoundExpr& e, const char* clause) const
    {
        if (e.type.kind == Value::Kind::Bool || e.type.kind == Value::Kind::Null) return Status::ok();
        return all().typeError(e.pos, std::string("a(z) ") + clause + " után feltétel várható");
    }

    Binder all() const { return Binder(sql_, slots_, params_); }

    void addTableColumns(int slot)
    {
        const TableDef& def = slots_[slot].table->def();
        for (size_t f = 0; f < def.fields.size(); ++f) {
            OutColumn c;
            c.slot = slot;
            c.field = int(f);
            c.info.name = def.fields[f].name;
            c.info.type = def.fields[f].type;
            c.info.size = def.fields[f].size;
            c.info.sourceTable = slots_[slot].table->name();
            out_.push_back(std::move(c));
        }
    }

    Status bindItem(const SelectItem& item, const Binder& binder)
    {
        if (item.kind == SelectItem::Kind::Star) {
            for (size_t s = 0; s < slots_.size(); ++s) addTableColumns(int(s));
            return Status::ok();
        }
        if (item.kind == SelectItem::Kind::TableStar) {
            const int slot = slotByQualifier(item.table);
            if (slot < 0)
                return Status::error(ErrorCode::NotFound, "Ismeretlen tábla: " + quote(item.table) + " (" +
                                                              describePlace(sql_, item.pos) + ").");
            addTableColumns(slot);
            return Status::ok();
        }
        auto b = binder.bind(*item.expr, &aggregates_);
        if (!b.isOk()) return b.status();
        OutColumn c;
        BoundExpr& e = **b;
        c.info.type = e.type.field;
        c.info.size = e.type.size;
        if (e.kind == BoundExpr::Kind::Column) {
            const FieldDef& f = slots_[e.slot].table->def().fields[e.field];
            c.slot = e.slot;
            c.field = e.field;
            c.info.name = f.name;
            c.info.sourceTable = slots_[e.slot].table->name();
        } else if (item.expr->kind == Expr::Kind::Function || item.expr->kind == Expr::Kind::Aggregate) {
            c.info.name = item.expr->name;
        } else {
            c.info.name = "EXPR";
        }
        if (c.slot < 0) c.expr = std::move(*b);
        if (!item.alias.empty()) c.info.name = item.alias;
        out_.push_back(std::move(c));
        return Status::ok();
    }

    // Result names are unique: a repeated name gets "_1", "_2", ...
    void nameColumns()
    {
        for (size_t i = 0; i < out_.size(); ++i) {
            const std::string base = out_[i].info.name;
            for (int n = 1;; ++n) {
                bool clash = false;
                for (size_t k = 0; k < i && !clash; ++k) clash = sameName(out_[k].info.name, out_[i].info.name);
                if (!clash) break;
                out_[i].info.name = base + "_" + std::to_string(n);
            }
        }
    }

    struct OrderTerm {
        int column = -1;  // an output column
        BoundPtr expr;    // or an expression over the tables
        bool descending = false;
    };

    Status bindOrder(const OrderItem& o, const Binder& binder)
    {
        OrderTerm t;
        t.descending = o.descending;
        const Expr& e = *o.expr;
        if (e.kind == Expr::Kind::Literal && e.value.kind() == Value::Kind::Int && !e.stringLiteral) {
            const int64_t n = e.value.asInt();
            if (n < 1 || n > int64_t(out_.size()))
                return Status::error(ErrorCode::NotFound, "Az ORDER BY " + std::to_string(n) +
                                                              ". oszlopa nem létezik: az eredménynek " +
                                                              std::to_string(out_.size()) + " oszlopa van (" +
                                                              describePlace(sql_, o.pos) + ").");
            t.column = int(n - 1);
        } else if (e.kind == Expr::Kind::Column && e.table.empty()) {
            for (size_t c = 0; c < out_.size() && t.column < 0; ++c)
                if (sameName(out_[c].info.name, e.name)) t.column = int(c);
        }
        if (t.column < 0) {
            auto b = binder.bind(e, grouped_ ? &aggregates_ : nullptr);
            if (!b.isOk()) return b.status();
            t.expr = std::move(*b);
        }
        order_.push_back(std::move(t));
        return Status::ok();
    }

    // In a grouped query every column outside an aggregate must be grouped by.
    Status checkGrouping() const
    {
        std::set<std::pair<int, int>> grouped;
        for (const auto& g : groupBy_)
            if (g->kind == BoundExpr::Kind::Column) grouped.emplace(g->slot, g->field);
        std::function<Status(const BoundExpr&)> check = [&](const BoundExpr& e) -> Status {
            if (e.kind == BoundExpr::Kind::Column && !grouped.count({e.slot, e.field}))
                return Status::error(ErrorCode::Syntax,
                                     "A(z) " + quote(slots_[e.slot].table->def().fields[e.field].name) +
                                         " mező nem szerepel a GROUP BY után, és nem összesítő függvényben áll (" +
                                         describePlace(sql_, e.pos) + ").");
            for (const auto& a : e.args)
                if (auto st = check(*a); !st.isOk()) return st;
            return Status::ok();
        };
        for (const auto& c : out_) {
            if (c.slot >= 0 && !grouped.count({c.slot, c.field}))
                return Status::error(ErrorCode::Syntax,
                                     "A(z) " + quote(slots_[c.slot].table->def().fields[c.field].name) +
                                         " mező nem szerepel a GROUP BY után, és nem összesítő függvényben áll.");
            if (c.expr)
                if (auto st = check(*c.expr); !st.isOk()) return st;
        }
        for (const auto& t : order_)
            if (t.expr)
                if (auto st = check(*t.expr); !st.isOk()) return st;
        return Status::ok();
    }

    // ---- rows ----

    Status produceTuples()
    {
        const size_t width = slots_.size();
        // Conditions on the first table alone are tested before any join.
        std::vector<BoundPtr> early, late;
        for (auto& c : where_) (c->usesOnlySlot(0) ? early : late).push_back(std::move(c));
        where_.clear();

        auto base = candidateRows(*slots_[0].table, early);
        if (!base.isOk()) return base.status();
        tuples_.reserve(base->size() * width);
        std::vector<RowId> tuple(width, kNoRow);
        EvalContext ctx;
        ctx.slots = &slots_;
        ctx.rows = tuple.data();
        // The plain fields these conditions test are read a run of rows at a
        // time, in bulk (the memory of rows ahead is asked for early), rather
        // than row by row. Memos are still read only for the rows that reach
        // them: a damaged one elsewhere does not fail the statement.
        Table& first = *slots_[0].table;
        ReadAhead ahead;
        ahead.column.assign(first.def().fields.size(), -1);
        std::vector<int> fields;
        for (const auto& c : early) plainFieldsOf(*c, first.def(), fields);
        for (int f : fields) {
            ahead.column[size_t(f)] = int(ahead.values.size());
            ahead.values.emplace_back();
        }
        if (!fields.empty()) ctx.ahead = &ahead;
        constexpr size_t kRun = 1024;
        std::vector<RowId> run;
        for (size_t start = 0; start < base->size(); start += kRun) {
            run.assign(base->begin() + ptrdiff_t(start), base->begin() + ptrdiff_t(std::min(base->size(), start + kRun)));
            for (size_t k = 0; k < fields.size(); ++k)
                if (auto st = first.readFields(run, fields[k], ahead.values[k]); !st.isOk()) return st;
            for (size_t i = 0; i < run.size(); ++i) {
                ahead.row = i;
                tuple[0] = run[i];
                if (!allTrue(early, ctx)) continue;
                tuples_.insert(tuples_.end(), tuple.begin(), tuple.end());
            }
        }
        ctx.ahead = nullptr;
        if (!ctx.error.isOk()) return ctx.error;

        markNeeded(early, late);
        for (size_t j = 0; j < s_.joins.size(); ++j)
            if (auto st = join(j + 1, s_.joins[j].left, joinConditions_[j]); !st.isOk()) return st;

        if (!late.empty()) {
            size_t kept = 0;
            const size_t n = tuples_.size() / width;
            for (size_t i = 0; i < n; ++i) {
                ctx.rows = &tuples_[i * width];
                if (!allTrue(late, ctx)) continue;
                if (kept != i) std::copy_n(&tuples_[i * width], width, &tuples_[kept * width]);
                ++kept;
            }
            if (!ctx.error.isOk()) return ctx.error;
            tuples_.resize(kept * width);
        }
        return Status::ok();
    }

    // The tables the rows depend on beyond the output columns: those that
    // WHERE, another join's ON or ORDER BY read. A grouped or DISTINCT query
    // reads every output value at once, so there every table counts.
    void markNeeded(const std::vector<BoundPtr>& early, const std::vector<BoundPtr>& late)
    {
        const size_t width = slots_.size();
        needed_.assign(width, grouped_ || s_.distinct);
        auto mark = [&](const BoundExpr& e, int except) {
            for (size_t s = 0; s < width; ++s)
                if (int(s) != except && e.usesSlot(int(s))) needed_[s] = 1;
        };
        for (const auto* list : {&early, &late})
            for (const auto& c : *list) mark(*c, -1);
        for (size_t j = 0; j < joinConditions_.size(); ++j)
            for (const auto& c : joinConditions_[j]) mark(*c, int(j + 1));
        for (const OrderTerm& t : order_) {
            if (t.expr) mark(*t.expr, -1);
            else if (out_[t.column].expr) mark(*out_[t.column].expr, -1);
            else needed_[size_t(out_[t.column].slot)] = 1;
        }
    }

    // The fields of the first table that `e` reads, each once, but for memos.
    static void plainFieldsOf(const BoundExpr& e, const TableDef& def, std::vector<int>& out)
    {
        if (e.kind == BoundExpr::Kind::Column && e.slot == 0 && !isBlobType(def.fields[size_t(e.field)].type) &&
            std::find(out.begin(), out.end(), e.field) == out.end())
            out.push_back(e.field);
        for (const auto& a : e.args) plainFieldsOf(*a, def, out);
    }

    static bool allTrue(const std::vector<BoundPtr>& conditions, EvalContext& ctx)
    {
        for (const auto& c : conditions)
            if (!isTrue(evaluate(*c, ctx))) return false;
        return true;
    }

    // Adds table `slot` to every tuple: the rows that satisfy ON, or no row
    // (LEFT OUTER JOIN) when none does.
    Status join(size_t slot, bool left, std::vector<BoundPtr>& on)
    {
        const size_t width = slots_.size();
        Table& table = *slots_[slot].table;
        const size_t n = tuples_.size() / width;

        // An equality between a field of the new table and an expression of
        // the earlier ones drives the join; the rest of ON is tested per pair.
        int keyField = -1;
        BoundPtr probe;
        std::vector<BoundPtr> residual;
        for (auto& c : on) {
            if (keyField < 0 && c->kind == BoundExpr::Kind::Binary && c->op == BinaryOp::Eq) {
                for (int side = 0; side < 2; ++side) {
                    BoundExpr& mine = *c->args[side];
                    BoundExpr& other = *c->args[1 - side];
                    if (mine.kind == BoundExpr::Kind::Column && mine.slot == int(slot) && !other.usesSlot(int(slot))) {
                        keyField = mine.field;
                        probe = std::move(c->args[1 - side]);
                        break;
                    }
                }
                if (keyField >= 0) continue;
            }
            residual.push_back(std::move(c));
        }

        std::vector<RowId> out;
        std::vector<RowId> tuple(width);
        EvalContext ctx;
        ctx.slots = &slots_;
        auto emit = [&](const RowId* src, RowId row) {
            std::copy_n(src, width, tuple.begin());
            tuple[slot] = row;
            ctx.rows = tuple.data();
            if (!residual.empty() && !allTrue(residual, ctx)) return false;
            out.insert(out.end(), tuple.begin(), tuple.end());
            return true;
        };

        // Runs `partners(each)` for every tuple with the tuple's rows in ctx;
        // it calls each(row) per candidate row of the new table.
        auto joinAll = [&](auto&& partners) -> Status {
            out.reserve(tuples_.size());
            for (size_t i = 0; i < n; ++i) {
                const RowId* src = &tuples_[i * width];
                ctx.rows = src;
                bool matched = false;
                if (Status st = partners([&](RowId r) { matched |= emit(src, r); }); !st.isOk()) return st;
                if (!matched && left) {
                    out.insert(out.end(), src, src + width);
                    out[out.size() - width + slot] = kNoRow;
                }
                if (!ctx.error.isOk()) return ctx.error;
            }
            tuples_ = std::move(out);
            return Status::ok();
        };

        if (keyField < 0) {
            // No equality to drive it: every pair is tried.
            auto rows = table.rows(OrderSpec::primary());
            if (!rows.isOk()) return rows.status();
            return joinAll([&](auto each) {
                for (RowId r : *rows) each(r);
                return Status::ok();
            });
        }

        const TableDef& def = table.def();
        const bool keyLookup = def.keyFieldCount == 1 && keyField == 0 && isIntegerField(def.fields[0].type);
        auto count = table.recordCount();
        if (!count.isOk()) return count.status();
        if (keyLookup && left && residual.empty() && !needed_[slot] && probe->type.kind == Value::Kind::Int) {
            DeferredJoin d;
            d.slot = int(slot);
            for (size_t s = 0; s < width; ++s)
                if (s == slot || probe->usesSlot(int(s))) d.reads.push_back(int(s));
            d.probe = std::move(probe);
            d.tableRows = *count;
            deferred_.push_back(std::move(d));
            for (size_t i = 0; i < n; ++i) tuples_[i * width + slot] = kUnresolved;
            return Status::ok();
        }
        // Few probes into a big table: look each up by key; otherwise read
        // the join field of every row once into a hash table (a key lookup
        // costs about as much as reading the field of a hundred rows).
        if (keyLookup && n * 64 < *count) {
            return joinAll([&](auto each) -> Status {
                const Value v = evaluate(*probe, ctx);
                // A non-integral number equals no integer key.
                int64_t k;
                if (v.kind() == Value::Kind::Int) k = v.asInt();
                else if (v.kind() == Value::Kind::Float && std::nearbyint(v.asFloat()) == v.asFloat() &&
                         std::fabs(v.asFloat()) < 9e18)
                    k = int64_t(v.asFloat());
                else return Status::ok();
                auto found = table.findKey({Value::fromInt(k)});
                if (!found.isOk()) return found.status();
                if (*found) each(**found);
                return Status::ok();
            });
        }

        auto rows = table.rows(OrderSpec::primary());
        if (!rows.isOk()) return rows.status();
        // Chains of rows per key value, in primary order.
        struct Entry {
            RowId row;
            uint32_t next;
        };
        constexpr uint32_t kEnd = UINT32_MAX;
        std::vector<Entry> entries;
        entries.reserve(rows->size());
        const bool intKeys = isIntegerField(def.fields[keyField].type) && probe->type.kind == Value::Kind::Int;
        std::unordered_map<int64_t, uint32_t> intHeads;
        std::unordered_map<std::string, uint32_t> keyHeads;
        if (intKeys) intHeads.reserve(rows->size());
        bool unique = true;
        std::string key;
        for (size_t k = rows->size(); k-- > 0;) {
            auto v = table.readField((*rows)[k], keyField);
            if (!v.isOk()) return v.status();
            if (v->isNull()) continue;  // null equals nothing
            uint32_t* head;
            if (intKeys) {
                head = &intHeads.try_emplace(v->asInt(), kEnd).first->second;
            } else {
                key.clear();
                appendKey(*v, key);
                head = &keyHeads.try_emplace(key, kEnd).first->second;
            }
            if (*head != kEnd) unique = false;
            entries.push_back(Entry{(*rows)[k], *head});
            *head = uint32_t(entries.size() - 1);
        }
        auto lookup = [&](const Value& v) -> uint32_t {
            if (v.isNull()) return kEnd;
            if (intKeys) {
                if (v.kind() != Value::Kind::Int) return kEnd;
                auto it = intHeads.find(v.asInt());
                return it == intHeads.end() ? kEnd : it->second;
            }
            key.clear();
            appendKey(v, key);
            auto it = keyHeads.find(key);
            return it == keyHeads.end() ? kEnd : it->second;
        };

        if (unique && residual.empty() && left) {
            // At most one partner per tuple: fill the slot in place.
            for (size_t i = 0; i < n; ++i) {
                RowId* t = &tuples_[i * width];
                ctx.rows = t;
                const uint32_t e = lookup(evaluate(*probe, ctx));
                t[slot] = e == kEnd ? kNoRow : entries[e].row;
            }
            return ctx.error;
        }
        return joinAll([&](auto each) {
            for (uint32_t e = lookup(evaluate(*probe, ctx)); e != kEnd; e = entries[e].next) each(entries[e].row);
            return Status::ok();
        });
    }

    // The value of output column `c` in the tuple `rows`.
    Value outputValue(size_t c, const RowId* rows, EvalContext& ctx) const
    {
        const OutColumn& col = out_[c];
        ctx.rows = rows;
        if (col.slot < 0) return evaluate(*col.expr, ctx);
        if (rows[col.slot] == kNoRow) return Value();
        auto v = slots_[col.slot].table->readField(rows[col.slot], col.field);
        if (!v.isOk()) {
            if (ctx.error.isOk()) ctx.error = v.status();
            return Value();
        }
        return std::move(*v);
    }

    Status removeDuplicates()
    {
        const size_t width = slots_.size();
        const size_t n = tuples_.size() / width;
        std::unordered_map<std::string, char> seen;
        EvalContext ctx;
        ctx.slots = &slots_;
        size_t kept = 0;
        std::string key;
        for (size_t i = 0; i < n; ++i) {
            key.clear();
            for (size_t c = 0; c < out_.size(); ++c) appendKey(outputValue(c, &tuples_[i * width], ctx), key);
            if (!seen.emplace(key, 0).second) continue;
            if (kept != i) std::copy_n(&tuples_[i * width], width, &tuples_[kept * width]);
            ++kept;
        }
        tuples_.resize(kept * width);
        return ctx.error;
    }

    // True when the term is the first table's whole integer key, ascending.
    bool isBaseKey(const OrderTerm& t) const
    {
        int slot = -1, field = -1;
        if (t.column >= 0) {
            slot = out_[t.column].slot;
            field = out_[t.column].field;
        } else if (t.expr->kind == BoundExpr::Kind::Column) {
            slot = t.expr->slot;
            field = t.expr->field;
        }
        const TableDef& def = slots_[0].table->def();
        return slot == 0 && field == 0 && !t.descending && def.keyFieldCount == 1 &&
               isIntegerField(def.fields[0].type);
    }

    // The tuples come in primary-key order of the first table (the rows of
    // one first-table row side by side), and the sort is stable: a first
    // term that is that key leaves nothing to do, and a last one decides
    // nothing the order before the sort does not already decide.
    size_t termsToSort() const
    {
        if (order_.empty() || isBaseKey(order_[0])) return 0;
        size_t n = order_.size();
        while (n > 1 && isBaseKey(order_[n - 1])) --n;
        return n;
    }

    Value::Kind orderKind(const OrderTerm& t) const
    {
        if (t.expr) return t.expr->type.kind;
        const OutColumn& c = out_[t.column];
        if (c.expr) return c.expr->type.kind;
        return valueKindOf(slots_[c.slot].table->def().fields[c.field].type);
    }

    // The kinds of the terms that decide the order (none: found order).
    std::vector<Value::Kind> sortKinds() const
    {
        std::vector<Value::Kind> kinds;
        for (size_t t = 0; t < termsToSort(); ++t) kinds.push_back(orderKind(order_[t]));
        return kinds;
    }

    // The found rows in the order of the first kinds.size() ORDER BY terms,
    // equal ones in found order; empty when that is the order.
    Result<std::vector<uint32_t>> sortFound(FoundRows& f, const std::vector<Value::Kind>& kinds)
    {
        if (kinds.empty()) return std::vector<uint32_t>();
        std::vector<uint32_t> order(f.count), spare(f.count);
        std::iota(order.begin(), order.end(), 0);
        // Stable sorts by the last term first, then by each earlier one.
        for (size_t t = kinds.size(); t-- > 0;) {
            const OrderTerm& term = order_[t];
            std::vector<int64_t> made;
            const std::vector<int64_t>* keys = term.column >= 0 ? f.keptKeys(size_t(term.column)) : nullptr;
            if (!keys) {
                std::vector<Value> values;
                values.reserve(f.count);
                if (term.column >= 0) {
                    if (auto st = f.readColumn(size_t(term.column), nullptr, f.count, values); !st.isOk()) return st;
                } else {
                    if (auto st = f.resolveFor(*term.expr); !st.isOk()) return st;
                    EvalContext ctx;
                    ctx.slots = &f.slots;
                    for (size_t r = 0; r < f.count; ++r) {
                        ctx.rows = &f.tuples[r * f.width];
                        values.push_back(evaluate(*term.expr, ctx));
                    }
                    if (!ctx.error.isOk()) return ctx.error;
                }
                made = sortKeys(kinds[t], values);
                keys = &made;
            }
            radixSort(*keys, term.descending, order, spare);
            if (keys == &made && term.column >= 0) f.keepKeys(size_t(term.column), std::move(made));
        }
        return order;
    }

    // ---- grouping ----

    Status groupInto(SelectResult& result)
    {
        const size_t width = slots_.size();
        const size_t n = tuples_.size() / width;
        struct Group {
            size_t first;  // tuple index; n for the one group of an empty ungrouped query
            std::vector<Accumulator> acc;
        };
        std::vector<Group> groups;
        std::unordered_map<std::string, size_t> byKey;
        EvalContext ctx;
        ctx.slots = &slots_;
        std::string key;
        for (size_t i = 0; i < n; ++i) {
            ctx.rows = &tuples_[i * width];
            key.clear();
            for (const auto& g : groupBy_) appendKey(evaluate(*g, ctx), key);
            auto [it, fresh] = byKey.try_emplace(key, groups.size());
            if (fresh) groups.push_back(Group{i, std::vector<Accumulator>(aggregates_.size())});
            Group& group = groups[it->second];
            for (size_t a = 0; a < aggregates_.size(); ++a) {
                const AggregateSpec& aggregate = aggregates_[a];
                group.acc[a].add(aggregate, aggregate.arg ? evaluate(*aggregate.arg, ctx) : Value());
            }
            if (!ctx.error.isOk()) return ctx.error;
        }
        if (groupBy_.empty() && groups.empty()) groups.push_back(Group{n, std::vector<Accumulator>(aggregates_.size())});

        std::vector<std::vector<Value>> aggValues(groups.size());
        for (size_t g = 0; g < groups.size(); ++g)
            for (size_t a = 0; a < aggregates_.size(); ++a) {
                auto v = groups[g].acc[a].result(aggregates_[a]);
                if (!v.isOk()) return v.status();
                aggValues[g].push_back(std::move(*v));
            }
        const std::vector<RowId> noRows(width, kNoRow);
        auto groupContext = [&](size_t g) {
            ctx.rows = groups[g].first < n ? &tuples_[groups[g].first * width] : noRows.data();
            ctx.aggregates = &aggValues[g];
        };
        auto columnValue = [&](size_t g, size_t c) -> Value {
            groupContext(g);
            return outputValue(c, ctx.rows, ctx);
        };
        std::vector<uint32_t> order(groups.size()), spare(groups.size());
        std::iota(order.begin(), order.end(), 0);
        for (size_t t = order_.size(); t-- > 0;) {
            std::vector<Value> values;
            values.reserve(groups.size());
            for (size_t g = 0; g < groups.size(); ++g) {
                if (order_[t].column >= 0) {
                    values.push_back(columnValue(g, size_t(order_[t].column)));
                } else {
                    groupContext(g);
                    values.push_back(evaluate(*order_[t].expr, ctx));
                }
            }
            if (!ctx.error.isOk()) return ctx.error;
            radixSort(sortKeys(orderKind(order_[t]), values), order_[t].descending, order, spare);
        }
        std::set<std::string> seen;
        for (size_t g : order) {
            std::vector<Value> row;
            key.clear();
            for (size_t c = 0; c < out_.size(); ++c) {
                row.push_back(columnValue(g, c));
                appendKey(row.back(), key);
            }
            if (!ctx.error.isOk()) return ctx.error;
            if (s_.distinct && !seen.insert(key).second) continue;
            result.values_.insert(result.values_.end(), row.begin(), row.end());
            ++result.rows_;
        }
        result.materialized_ = true;
        return Status::ok();
    }

    const SelectStmt& s_;
    std::string_view sql_;
    TableCache& tables_;
    const std::vector<SqlParam>& params_;

    std::vector<std::unique_ptr<TableHold>> holds_;
    std::vector<Slot> slots_;
    std::vector<uint64_t> versions_;
    std::vector<OutColumn> out_;
    std::vector<AggregateSpec> aggregates_;
    bool grouped_ = false;
    std::vector<BoundPtr> where_;
    std::vector<std::vector<BoundPtr>> joinConditions_;
    std::vector<BoundPtr> groupBy_;
    std::vector<OrderTerm> order_;
    std::vector<RowId> tuples_;
    std::vector<char> needed_;  // per slot: see markNeeded()
    std::vector<DeferredJoin> deferred_;
};

}  // namespace

void splitConjuncts(BoundPtr e, std::vector<BoundPtr>& out)
{
    if (e->kind == BoundExpr::Kind::Binary && e->op == BinaryOp::And) {
        splitConjuncts(std::move(e->args[0]), out);
        splitConjuncts(std::move(e->args[1]), out);
        return;
    }
    out.push_back(std::move(e));
}

Result<std::vector<RowId>> candidateRows(Table& table, const std::vector<BoundPtr>& conditions)
{
    const TableDef& def = table.def();
    if (def.keyFieldCount == 1 && isIntegerField(def.fields[0].type)) {
        for (const auto& c : conditions) {
            if (c->kind != BoundExpr::Kind::Binary || c->op != BinaryOp::Eq) continue;
            for (int side = 0; side < 2; ++side) {
                const BoundExpr& col = *c->args[side];
                const BoundExpr& k = *c->args[1 - side];
                if (col.kind != BoundExpr::Kind::Column || col.slot != 0 || col.field != 0) continue;
                if (k.kind != BoundExpr::Kind::Const) continue;
                if (k.constant.kind() != Value::Kind::Int) continue;
                auto found = table.findKey({k.constant});
                if (!found.isOk()) return found.status();
                std::vector<RowId> rows;
                if (*found) rows.push_back(**found);
                return rows;
            }
        }
    }
    return table.rows(OrderSpec::primary());
}

Result<std::unique_ptr<QueryResult>> runSelect(const SelectStmt& s, std::string_view sql, TableCache& tables,
                                               const std::vector<SqlParam>& params, const QueryResult* earlier,
                                               std::vector<uint32_t>* earlierRows)
{
    SelectRunner runner(s, sql, tables, params);
    return runner.run(earlier, earlierRows);
}

}  // namespace engine::sql
