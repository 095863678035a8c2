#include <algorithm>
#include <map>

#include "DataSetInternal.h"
#include "engine/Sql.h"

// The rows of one run of a SELECT. Values are fetched by the engine as they
// are asked for; refresh() runs the text again.
struct QueryDataSet::QuerySource : DataSet::Source {
    engine::Database* db = nullptr;  // the connection closes its data sets before it lets go of it
    std::string text;
    std::vector<engine::SqlParam> params;
    std::unique_ptr<engine::QueryResult> result;
    std::optional<size_t> current;
    std::optional<size_t> found;
    int keyCol = -1;          // the column that tells rows apart; none when -1
    engine::Value currentKey; // the current row's, while it could be read

    // With `earlier`: see engine::runSql().
    engine::Status run(const engine::QueryResult* earlier = nullptr, std::vector<uint32_t>* earlierRows = nullptr)
    {
        auto r = earlier ? engine::runSql(*db, text, params, *earlier, *earlierRows) : engine::runSql(*db, text, params);
        if (!r.isOk()) return r.status();
        if (!r->rows) return engine::Status::error(engine::ErrorCode::Unsupported, dbmsg::noRows().toStdString());
        result = std::move(r->rows);
        return engine::Status::ok();
    }

    // Columns a filter reads, kept whole: the rows of a run never change.
    // Runs that only sort the rows anew share them: row p of this run is
    // row rows[p] of the values (row p itself when `rows` is not set).
    struct Kept {
        std::shared_ptr<const std::vector<engine::Value>> values;
        std::shared_ptr<const std::vector<uint32_t>> rows;

        const engine::Value& at(size_t pos) const { return (*values)[rows ? (*rows)[pos] : pos]; }
    };
    std::vector<Kept> kept;

    bool isKept(int col) const { return size_t(col) < kept.size() && kept[size_t(col)].values; }

    // Takes the kept columns of `earlier`, whose row earlierRows[p] is row p here.
    void keepFrom(const QuerySource& earlier, const std::vector<uint32_t>& earlierRows)
    {
        kept.resize(columns.size());
        std::map<const std::vector<uint32_t>*, std::shared_ptr<const std::vector<uint32_t>>> mapped;
        for (size_t c = 0; c < earlier.kept.size() && c < kept.size(); ++c) {
            const Kept& old = earlier.kept[c];
            if (!old.values) continue;
            auto& rows = mapped[old.rows.get()];
            if (!rows) {
                auto made = std::make_shared<std::vector<uint32_t>>(earlierRows);
                if (old.rows)
                    for (uint32_t& p : *made) p = (*old.rows)[p];
                rows = std::move(made);
            }
            kept[c] = {old.values, rows};
        }
    }

    size_t rowCount() const override { return result->rowCount(); }
    engine::Result<engine::Value> value(size_t pos, int col) override
    {
        if (isKept(col)) return kept[size_t(col)].at(pos);
        return result->value(pos, size_t(col));
    }

    engine::Status values(int col, size_t first, size_t count, std::vector<engine::Value>& out) override
    {
        if (isKept(col) && first + count <= rowCount()) {
            out.clear();
            out.reserve(count);
            for (size_t p = first; p < first + count; ++p) out.push_back(kept[size_t(col)].at(p));
            return engine::Status::ok();
        }
        return result->values(size_t(col), first, count, out);
    }

    void keepColumns(const std::vector<int>& cols) override
    {
        kept.resize(columns.size());
        const size_t n = result->rowCount();
        for (int col : cols) {
            if (isKept(col) || n == 0) continue;
            // On an error the column is read as asked instead; the error shows there.
            auto values = std::make_shared<std::vector<engine::Value>>();
            if (result->values(size_t(col), 0, n, *values).isOk()) kept[size_t(col)] = {std::move(values), nullptr};
        }
    }
    QString readOnlyReason() const override { return dbmsg::readOnlyQuery(); }
    void noteCurrent(std::optional<size_t> pos) override
    {
        current = pos;
        if (keyCol < 0) return;
        // Read now: once a table has changed the result refuses it.
        auto k = pos ? value(*pos, keyCol) : engine::Result<engine::Value>(engine::Value());
        currentKey = k.isOk() ? *k : engine::Value();
    }

    bool stale() override
    {
        const auto r = result->changed();
        return !r.isOk() || *r;
    }

    // With a key column the row with the current key stays current (none
    // when it is gone); without one the row number stays.
    engine::Status reload() override
    {
        const engine::Status s = run();
        if (!s.isOk()) return s;
        kept.clear();
        const size_t n = result->rowCount();
        found = current && n > 0 ? std::optional(std::min(*current, n - 1)) : std::nullopt;
        if (keyCol < 0 || n == 0) return s;
        found.reset();
        if (currentKey.isNull()) return s;
        std::vector<engine::Value> keys;
        if (!result->values(size_t(keyCol), 0, n, keys).isOk()) return s;
        const auto at = std::find(keys.begin(), keys.end(), currentKey);
        if (at != keys.end()) found = size_t(at - keys.begin());
        return s;
    }
    std::optional<size_t> currentPos() const override { return found; }
};

QueryDataSet::QueryDataSet(Connection* conn, QObject* parent) : DataSet(conn, parent) {}

QueryDataSet::~QueryDataSet() = default;

std::string QueryDataSet::sqlText() const { return dbconv::toCp1250OrThrow(sql_.join(QLatin1Char('\n'))); }

void QueryDataSet::setParam(const QString& name, ParamType type, const QVariant& value)
{
    const QString bare = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    engine::Value v;
    if (value.isValid() && !value.isNull()) {
        try {
            switch (type) {
            case ParamType::Integer:
                v = dbconv::toFieldValue(value, engine::FieldType::Long, 0, bare);
                break;
            case ParamType::Date:
                v = dbconv::toFieldValue(value, engine::FieldType::Date, 0, bare);
                break;
            case ParamType::Text:
                // An empty text is a value here, not a blank: "x = ''" differs from "x IS NULL".
                v = engine::Value::fromText(dbconv::toCp1250OrThrow(value.toString()));
                break;
            }
        } catch (const DbError& e) {
            throw DbError(dbmsg::badParam(bare) + QLatin1Char(' ') + e.message(), engine::ErrorCode::InvalidValue);
        }
    }
    std::string key = dbconv::toCp1250OrThrow(bare);
    for (engine::SqlParam& p : params_) {
        if (engine::sameName(p.name, key)) {
            p.value = std::move(v);
            return;
        }
    }
    params_.push_back({std::move(key), std::move(v)});
}

void QueryDataSet::clearParams() { params_.clear(); }

void QueryDataSet::copyQueryOf(const QueryDataSet& other)
{
    sql_ = other.sql_;
    params_ = other.params_;
    keyField_ = other.keyField_;
    setFilter(other.filter());
    setFiltered(other.filtered());
}

std::unique_ptr<QueryDataSet::QuerySource> QueryDataSet::run(const engine::QueryResult* earlier,
                                                              std::vector<uint32_t>* earlierRows)
{
    auto src = std::make_unique<QuerySource>();
    src->db = &conn_->database();
    src->text = sqlText();
    src->params = params_;
    const engine::Status s = src->run(earlier, earlierRows);
    if (!s.isOk()) dbconv::raise(s);
    for (const engine::QueryResult::Column& c : src->result->columns())
        src->columns.push_back({dbconv::fromCp1250(c.name), c.type, c.size, QString(), false});
    src->storedColumns = int(src->columns.size());
    for (size_t c = 0; c < src->columns.size() && !keyField_.isEmpty(); ++c)
        if (src->columns[c].name.compare(keyField_, Qt::CaseInsensitive) == 0) {
            src->keyCol = int(c);
            break;
        }
    return src;
}

QVariant QueryDataSet::currentKey() const
{
    if (!isActive()) return {};
    return dbconv::toVariant(static_cast<const QuerySource&>(*source_).currentKey);
}

std::unique_ptr<DataSet::Source> QueryDataSet::openSource()
{
    if (ran_) return std::move(ran_);
    return run(nullptr, nullptr);
}

void QueryDataSet::reopenWithLastLine(const QString& line)
{
    QStringList lines = sql_;
    if (!lines.isEmpty()) lines.removeLast();
    lines.append(line);
    if (!isActive()) {
        sql_ = lines;
        open();
        return;
    }
    sql_ = lines;
    std::vector<uint32_t> earlierRows;
    std::unique_ptr<QuerySource> next;
    try {
        next = run(static_cast<QuerySource&>(*source_).result.get(), &earlierRows);
    } catch (...) {
        close();
        throw;
    }
    if (earlierRows.empty()) {
        // Run in full: the rows are new, as after open().
        close();
        ran_ = std::move(next);
        try {
            open();
        } catch (...) {
            ran_.reset();
            throw;
        }
        return;
    }
    next->keepFrom(static_cast<QuerySource&>(*source_), earlierRows);
    sourceReordered(std::move(next), earlierRows);
}

qint64 QueryDataSet::execSql()
{
    if (!conn_) throw DbError(dbmsg::noConnection());
    auto r = engine::runSql(conn_->database(), sqlText(), params_);
    if (!r.isOk()) dbconv::raise(r.status());
    return r->rowsAffected;
}
