#include <algorithm>

#include "TableSource.h"

namespace {

uint64_t versionOf(engine::Table& t)
{
    auto v = t.version();
    return v.isOk() ? *v : 0;
}

// A value as a hash key: its kind and its bytes.
std::string keyText(const engine::Value& v)
{
    using K = engine::Value::Kind;
    std::string k(1, char(v.kind()));
    switch (v.kind()) {
    case K::Null: break;
    case K::Int: case K::Time: case K::Timestamp: k += std::to_string(v.asInt()); break;
    case K::Float: k += std::to_string(v.asFloat()); break;
    case K::Bool: k += v.asBool() ? '1' : '0'; break;
    case K::Text: case K::Bytes: k += v.asText(); break;
    case K::Date: k += std::to_string(v.asDate().serial); break;
    }
    return k;
}

engine::OrderSpec orderFor(const QString& indexName, const QString& indexFields)
{
    if (!indexName.trimmed().isEmpty()) return engine::OrderSpec::index(dbconv::toCp1250OrThrow(indexName.trimmed()));
    std::vector<std::string> fields;
    for (const QString& f : indexFields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty()) fields.push_back(dbconv::toCp1250OrThrow(f.trimmed()));
    if (fields.empty()) return engine::OrderSpec::primary();
    return engine::OrderSpec::byFields(std::move(fields));
}

}  // namespace

// --- TableSource. --------------------------------------------------------------

engine::Result<engine::Value> TableDataSet::TableSource::value(size_t pos, int col)
{
    if (col < storedColumns) return table->readField(rows[pos], col);
    auto key = table->readField(rows[pos], lookups[size_t(col - storedColumns)].keyColumn);
    if (!key.isOk()) return key.status();
    return lookupByKey(col, *key);
}

engine::Result<engine::Value> TableDataSet::TableSource::lookupByKey(int col, const engine::Value& key)
{
    if (key.isNull()) return engine::Value();
    LookupColumn& l = lookups[size_t(col - storedColumns)];
    if (l.byPrimaryKey) {
        auto found = l.table->findKey({key});
        if (!found.isOk()) return found.status();
        if (!*found) return engine::Value();
        return l.table->readField(**found, l.result);
    }
    const uint64_t version = versionOf(*l.table);
    if (l.namesVersion != version) {
        auto all = l.table->rows(engine::OrderSpec::primary());
        if (!all.isOk()) return all.status();
        l.names.clear();
        for (engine::RowId id : *all) {
            auto k = l.table->readField(id, l.lookupKey);
            auto v = l.table->readField(id, l.result);
            if (!k.isOk()) return k.status();
            if (!v.isOk()) return v.status();
            l.names.emplace(keyText(*k), std::move(*v));  // the first row of a link value wins
        }
        l.namesVersion = version;
    }
    auto it = l.names.find(keyText(key));
    return it == l.names.end() ? engine::Value() : it->second;
}

engine::Value TableDataSet::TableSource::lookup(int col, const engine::Record& row)
{
    auto r = lookupByKey(col, row[size_t(lookups[size_t(col - storedColumns)].keyColumn)]);
    return r.isOk() ? *r : engine::Value();
}

QString TableDataSet::TableSource::readOnlyReason() const
{
    return table->mode() == engine::OpenMode::ReadOnly ? dbmsg::readOnlyDataSet() : QString();
}

engine::Status TableDataSet::TableSource::read(size_t pos, engine::Record& out) { return table->read(rows[pos], out); }

std::optional<size_t> TableDataSet::TableSource::positionOf(engine::RowId id) const
{
    auto it = std::find(rows.begin(), rows.end(), id);
    if (it == rows.end()) return std::nullopt;
    return size_t(it - rows.begin());
}

engine::Status TableDataSet::TableSource::reread()
{
    auto r = table->rows(order);
    if (!r.isOk()) return r.status();
    rows = std::move(*r);
    readVersion = versionOf(*table);
    return engine::Status::ok();
}

engine::Result<std::optional<size_t>> TableDataSet::TableSource::insert(engine::Record& rec)
{
    auto id = table->insert(rec);
    if (!id.isOk()) return id.status();
    const engine::Status s = reread();
    if (!s.isOk()) return s;
    return positionOf(*id);
}

engine::Result<size_t> TableDataSet::TableSource::lockedRow(size_t pos)
{
    // The row is looked for and written under the table's write lock, on
    // what was committed last: no other program's change comes in between.
    if (const engine::Status s = table->begin(); !s.isOk()) return s;
    if (!stale()) return pos;
    // Someone else wrote meanwhile: find the row again by its key.
    engine::Status s = reload();
    if (s.isOk() && !foundPos) s = engine::Status::error(engine::ErrorCode::NotFound, dbmsg::rowGone().toStdString());
    if (!s.isOk()) {
        (void)table->rollback();
        return s;
    }
    return *foundPos;
}

engine::Status TableDataSet::TableSource::finishLocked(engine::Status s)
{
    if (!s.isOk()) {
        (void)table->rollback();
        return s;
    }
    return table->commit();
}

engine::Result<std::optional<size_t>> TableDataSet::TableSource::update(size_t pos, const engine::Record& rec)
{
    const engine::Result<size_t> at = lockedRow(pos);
    if (!at.isOk()) return at.status();
    const engine::RowId id = rows[*at];
    if (const engine::Status s = finishLocked(table->update(id, rec)); !s.isOk()) return s;
    const engine::Status r = reread();
    if (!r.isOk()) return r;
    return positionOf(id);
}

engine::Status TableDataSet::TableSource::remove(size_t pos)
{
    const engine::Result<size_t> at = lockedRow(pos);
    if (!at.isOk()) return at.status();
    const engine::Status s = finishLocked(table->remove(rows[*at]));
    if (!s.isOk()) return s;
    rows.erase(rows.begin() + std::ptrdiff_t(*at));
    readVersion = versionOf(*table);
    return s;
}

void TableDataSet::TableSource::noteCurrent(std::optional<size_t> pos)
{
    currentKey.clear();
    currentId.reset();
    if (!pos) return;
    currentId = rows[*pos];
    const int keyFields = table->def().keyFieldCount;
    for (int i = 0; i < keyFields; ++i) {
        auto v = table->readField(*currentId, i);
        if (!v.isOk()) {
            currentKey.clear();
            return;
        }
        currentKey.push_back(std::move(*v));
    }
}

bool TableDataSet::TableSource::stale() { return versionOf(*table) != readVersion; }

engine::Status TableDataSet::TableSource::reload()
{
    const engine::Status s = reread();
    if (!s.isOk()) return s;
    foundPos.reset();
    if (!currentKey.empty()) {
        auto f = table->findKey(currentKey);
        if (f.isOk() && *f) foundPos = positionOf(**f);
    } else if (currentId) {
        foundPos = positionOf(*currentId);  // a table without a key: its RowId is all there is
    }
    return engine::Status::ok();
}

// --- TableDataSet. -------------------------------------------------------------

TableDataSet::TableDataSet(Connection* conn, QObject* parent) : DataSet(conn, parent) {}

void TableDataSet::setTableName(const QString& fileName) { tableName_ = fileName; }

TableDataSet::TableSource& TableDataSet::tableSource() const
{
    checkActive();
    return static_cast<TableSource&>(*source_);
}

std::unique_ptr<DataSet::Source> TableDataSet::openSource()
{
    if (tableName_.trimmed().isEmpty()) throw DbError(dbmsg::noTableName(), engine::ErrorCode::NotFound);
    engine::Database& db = conn_->database();
    const engine::OpenMode mode = exclusive_ ? engine::OpenMode::Exclusive
        : readOnly_                          ? engine::OpenMode::ReadOnly
                                             : engine::OpenMode::Shared;
    auto t = db.openTable(dbconv::toCp1250OrThrow(tableName_.trimmed()), mode);
    if (!t.isOk()) dbconv::raise(t.status());

    auto src = std::make_unique<TableSource>();
    src->table = *t;
    src->order = orderFor(indexName_, indexFields_);
    const engine::Status s = src->reread();
    if (!s.isOk()) dbconv::raise(s);

    const engine::TableDef& def = src->table->def();
    for (const engine::FieldDef& f : def.fields)
        src->columns.push_back({dbconv::fromCp1250(f.name), f.type, f.size, QString(), false});
    src->storedColumns = int(def.fields.size());

    for (const Lookup& l : lookups_) {
        TableSource::LookupColumn col;
        col.keyColumn = def.fieldIndex(dbconv::toCp1250OrThrow(l.keyField));
        if (col.keyColumn < 0) throw DbError(dbmsg::lookupKeyMissing(l.name, l.keyField), engine::ErrorCode::NotFound);
        auto lt = db.openTable(dbconv::toCp1250OrThrow(l.table->tableName()), engine::OpenMode::ReadOnly);
        if (!lt.isOk()) dbconv::raise(lt.status());
        col.table = *lt;
        const engine::TableDef& ldef = col.table->def();
        col.lookupKey = ldef.fieldIndex(dbconv::toCp1250OrThrow(l.lookupKeyField));
        if (col.lookupKey < 0)
            throw DbError(dbmsg::lookupKeyMissing(l.name, l.lookupKeyField), engine::ErrorCode::NotFound);
        col.result = ldef.fieldIndex(dbconv::toCp1250OrThrow(l.resultField));
        if (col.result < 0) throw DbError(dbmsg::fieldNotFound(l.resultField), engine::ErrorCode::NotFound);
        col.byPrimaryKey = ldef.keyFieldCount == 1 && col.lookupKey == 0;
        const engine::FieldDef& rf = ldef.fields[size_t(col.result)];
        src->columns.push_back({l.name, rf.type, rf.size, l.label, true});
        src->lookups.push_back(std::move(col));
    }
    return src;
}

void TableDataSet::addLookupField(const QString& name, const QString& keyField, TableDataSet* lookup,
                                  const QString& lookupKeyField, const QString& resultField, const QString& label)
{
    lookups_.append({name, keyField, lookupKeyField, resultField, label, lookup});
}

void TableDataSet::setIndexName(const QString& name)
{
    if (isActive()) reorder(name, QString());
    indexName_ = name;
    indexFields_.clear();
}

void TableDataSet::setIndexFieldNames(const QString& fields)
{
    if (isActive()) reorder(QString(), fields);
    indexFields_ = fields;
    indexName_.clear();
}

void TableDataSet::reorder(const QString& indexName, const QString& indexFields)
{
    checkBrowseMode();
    TableSource& src = tableSource();
    const engine::OrderSpec order = orderFor(indexName, indexFields);
    auto r = src.table->rows(order);
    if (!r.isOk()) dbconv::raise(r.status());
    const std::optional<size_t> pos = currentSourcePos();
    const std::optional<engine::RowId> current = pos ? std::optional(src.rows[*pos]) : std::nullopt;
    src.order = order;
    src.rows = std::move(*r);
    src.readVersion = versionOf(*src.table);
    sourceChanged(current ? src.positionOf(*current) : std::nullopt);
}

void TableDataSet::withTable(bool exclusive, const std::function<engine::Status(engine::Table&)>& op)
{
    if (isActive()) {
        checkBrowseMode();
        const engine::Status s = op(*tableSource().table);
        if (!s.isOk()) dbconv::raise(s);
        return;
    }
    if (!conn_) throw DbError(dbmsg::noConnection());
    if (tableName_.trimmed().isEmpty()) throw DbError(dbmsg::noTableName(), engine::ErrorCode::NotFound);
    const engine::OpenMode mode =
        exclusive || exclusive_ ? engine::OpenMode::Exclusive : engine::OpenMode::Shared;
    auto t = conn_->database().openTable(dbconv::toCp1250OrThrow(tableName_.trimmed()), mode);
    if (!t.isOk()) dbconv::raise(t.status());
    const engine::Status s = op(**t);
    if (!s.isOk()) dbconv::raise(s);
}

void TableDataSet::emptyTable()
{
    withTable(false, [](engine::Table& t) { return t.emptyTable(); });
    if (isActive()) {
        const engine::Status s = tableSource().reread();
        if (!s.isOk()) dbconv::raise(s);
        sourceChanged(std::nullopt);
    }
}

void TableDataSet::flushBuffers()
{
    if (!isActive()) return;
    const engine::Status s = tableSource().table->flush();
    if (!s.isOk()) dbconv::raise(s);
}

namespace {

std::vector<std::string> fieldList(const QString& fields)
{
    std::vector<std::string> out;
    for (const QString& f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty()) out.push_back(dbconv::toCp1250OrThrow(f.trimmed()));
    return out;
}

}  // namespace

void TableDataSet::clearIndexes()
{
    withTable(true, [](engine::Table& t) { return t.clearIndexes(); });
    if (isActive()) {
        // The order's index is gone with the rest: fall back to the stored order.
        indexName_.clear();
        indexFields_.clear();
        reorder(QString(), QString());
    }
}

void TableDataSet::addPrimaryIndex(const QString& fields)
{
    const std::vector<std::string> list = fieldList(fields);
    withTable(true, [&](engine::Table& t) { return t.addPrimaryIndex(list); });
}

void TableDataSet::addIndex(const QString& name, const QString& field, bool caseInsensitive, bool descending)
{
    engine::IndexDef def;
    def.name = dbconv::toCp1250OrThrow(name);
    def.fields = {dbconv::toCp1250OrThrow(field)};
    def.caseInsensitive = caseInsensitive;
    def.descending = descending;
    withTable(true, [&](engine::Table& t) { return t.addIndex(def); });
}
