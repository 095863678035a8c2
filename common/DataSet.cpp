// The data set core: current row and states, the filtered view, the row cache
// that views read through, locate, and editing with post and cancel.
#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

#include <QScopedValueRollback>

#include "DataSetInternal.h"
#include "engine/Codepage.h"
#include "engine/Filter.h"

DbError::DbError(QString message, engine::ErrorCode code)
    : message_(std::move(message)), code_(code), utf8_(message_.toUtf8())
{
}

// --- Source defaults: a source that cannot change refuses every change. -----

engine::Status DataSet::Source::read(size_t, engine::Record&)
{
    return engine::Status::error(engine::ErrorCode::ReadOnly, readOnlyReason().toStdString());
}

engine::Status DataSet::Source::values(int col, size_t first, size_t count, std::vector<engine::Value>& out)
{
    out.clear();
    out.reserve(count);
    for (size_t pos = first; pos < first + count; ++pos) {
        auto v = value(pos, col);
        if (!v.isOk()) {
            out.clear();
            return v.status();
        }
        out.push_back(std::move(*v));
    }
    return engine::Status::ok();
}

engine::Value DataSet::Source::lookup(int, const engine::Record&) { return {}; }

engine::Result<std::optional<size_t>> DataSet::Source::insert(engine::Record&)
{
    return engine::Status::error(engine::ErrorCode::ReadOnly, readOnlyReason().toStdString());
}

engine::Result<std::optional<size_t>> DataSet::Source::update(size_t, const engine::Record&)
{
    return engine::Status::error(engine::ErrorCode::ReadOnly, readOnlyReason().toStdString());
}

engine::Status DataSet::Source::remove(size_t)
{
    return engine::Status::error(engine::ErrorCode::ReadOnly, readOnlyReason().toStdString());
}

void DataSet::Source::noteCurrent(std::optional<size_t>) {}

void DataSet::Source::keepColumns(const std::vector<int>&) {}

bool DataSet::Source::stale() { return false; }

// --- Cursor: where the data set stands and what it shows. ---------------------

namespace {

constexpr size_t kCacheSlots = 512;  // rows of converted values kept near the window

}  // namespace

// Gives a compiled filter the values of the source's rows: only the columns
// the filter names, read a block of rows at a time. A block that cannot be
// read whole is read value by value, where the failing row shows its error.
class DataSet::SourceRow : public engine::RowValues {
public:
    static constexpr size_t kBlock = 16384;

    SourceRow(Source* s, const std::vector<int>& columns)
        : source_(s), columns_(columns), block_(s->columns.size()), whole_(s->columns.size()),
          held_(s->columns.size())
    {
    }

    size_t pos = 0;
    mutable std::optional<engine::Status> error;

    // Reads the block that starts at `first`.
    void load(size_t first)
    {
        first_ = first;
        const size_t count = std::min(kBlock, source_->rowCount() - first);
        for (int c : columns_) whole_[size_t(c)] = source_->values(c, first, count, block_[size_t(c)]).isOk();
    }

    const engine::Value& value(int column) const override
    {
        const size_t c = size_t(column);
        if (whole_[c]) return block_[c][pos - first_];
        auto r = source_->value(pos, column);
        if (r.isOk()) {
            held_[c] = std::move(*r);
        } else {
            held_[c] = engine::Value();
            if (!error) error = r.status();
        }
        return held_[c];
    }

private:
    Source* source_;
    std::vector<int> columns_;
    size_t first_ = 0;
    std::vector<std::vector<engine::Value>> block_;  // by column
    std::vector<char> whole_;                        // by column: the block was read
    mutable std::vector<engine::Value> held_;        // by column: a value read on its own
};

struct DataSet::Cursor {
    std::optional<engine::Filter> filter;  // set while a filter is in effect
    std::vector<uint32_t> view;            // source positions of the rows that pass it
    int cur = -1;                          // current row in the view; -1 when empty
    bool bof = true;
    bool eof = true;

    int insertAt = -1;      // the inserted row's place while inserting
    int beforeInsert = -1;  // the current row before insert(), for cancel()
    std::optional<size_t> editPos;
    engine::Record buffer;  // stored columns of the row being edited or inserted

    struct Slot {
        size_t pos = SIZE_MAX;
        std::vector<QVariant> values;
        std::vector<char> have;
    };
    mutable std::vector<Slot> cache = std::vector<Slot>(kCacheSlots);

    void clearCache() const
    {
        for (auto& s : cache) s.pos = SIZE_MAX;
    }
};

// --- Construction, open and close. ---------------------------------------------

DataSet::DataSet(Connection* conn, QObject* parent) : QObject(parent), conn_(conn)
{
    if (conn_) conn_->attach(this);
}

DataSet::~DataSet()
{
    cursor_.reset();
    source_.reset();
    if (conn_) conn_->detach(this);
}

void DataSet::checkActive() const
{
    if (!isActive()) throw DbError(dbmsg::notActive());
}

void DataSet::open()
{
    if (isActive()) return;
    if (!conn_) throw DbError(dbmsg::noConnection());
    conn_->database();
    source_ = openSource();
    makeFields();
    cursor_ = std::make_unique<Cursor>();
    state_ = State::Browse;
    if (filtered_) {
        try {
            applyFilter(filterText_, true, false);
        } catch (...) {
            cursor_.reset();
            source_.reset();
            state_ = State::Inactive;
            throw;
        }
    }
    const int n = recordCount();
    cursor_->cur = n > 0 ? 0 : -1;
    cursor_->bof = cursor_->eof = n == 0;
    source_->noteCurrent(currentSourcePos());
    emit opened();
    emit stateChanged();
    emit rowsChanged();
    emit currentChanged();
    if (afterScroll) afterScroll(*this);
}

void DataSet::makeFields()
{
    std::vector<std::unique_ptr<Field>> made;
    made.reserve(source_->columns.size());
    for (size_t i = 0; i < source_->columns.size(); ++i) {
        const Source::Column& col = source_->columns[i];
        // A field of the same name from an earlier opening is kept, with
        // whatever was set on it, so pointers to it stay good.
        auto old = std::find_if(fields_.begin(), fields_.end(), [&](const auto& f) {
            return f && f->fieldName().compare(col.name, Qt::CaseInsensitive) == 0;
        });
        std::unique_ptr<Field> f;
        if (old != fields_.end()) {
            f = std::move(*old);
            f->index_ = int(i);
            f->name_ = col.name;
            f->type_ = col.type;
            f->size_ = col.size;
        } else {
            f.reset(new Field(this, int(i), col.name, col.type, col.size));
            const QString key = col.name.toLower();
            f->label_ = labels_.value(key, col.label);
            f->format_ = formats_.value(key);
            if (alignments_.contains(key)) f->setAlignment(alignments_.value(key));
        }
        f->lookup_ = col.lookup;
        made.push_back(std::move(f));
    }
    fields_ = std::move(made);
}

void DataSet::close()
{
    if (!isActive()) return;
    state_ = State::Inactive;
    cursor_.reset();
    source_.reset();
    emit stateChanged();
    emit rowsChanged();
    emit closed();
}

// --- Rows of the view. ---------------------------------------------------------

size_t DataSet::baseCount() const
{
    return cursor_->filter ? cursor_->view.size() : source_->rowCount();
}

int DataSet::recordCount() const
{
    if (!isActive()) return 0;
    return int(baseCount()) + (state_ == State::Insert ? 1 : 0);
}

int DataSet::recNo() const { return isActive() ? cursor_->cur + 1 : 0; }

bool DataSet::eof() const { return !isActive() || cursor_->eof; }

bool DataSet::bof() const { return !isActive() || cursor_->bof; }

DataSet::RowRef DataSet::rowRef(int row) const
{
    const Cursor& c = *cursor_;
    if (state_ == State::Insert) {
        if (row == c.insertAt) return {true, 0};
        if (row > c.insertAt) --row;
    } else if (state_ == State::Edit && row == c.cur) {
        return {true, *c.editPos};
    }
    return {false, c.filter ? size_t(c.view[size_t(row)]) : size_t(row)};
}

std::optional<size_t> DataSet::currentSourcePos() const
{
    if (!isActive() || cursor_->cur < 0) return std::nullopt;
    const RowRef r = rowRef(cursor_->cur);
    if (r.buffer && state_ == State::Insert) return std::nullopt;
    return r.pos;
}

QVariant DataSet::bufferValue(int field) const
{
    if (field < source_->storedColumns) return dbconv::toVariant(cursor_->buffer[size_t(field)]);
    return dbconv::toVariant(source_->lookup(field, cursor_->buffer));
}

QVariant DataSet::cachedValue(size_t pos, int field, engine::Status* error) const
{
    Cursor::Slot& slot = cursor_->cache[pos % kCacheSlots];
    if (slot.pos != pos) {
        slot.pos = pos;
        slot.values.assign(fields_.size(), QVariant());
        slot.have.assign(fields_.size(), 0);
    }
    if (!slot.have[size_t(field)]) {
        ++fetches_;
        auto r = source_->value(pos, field);
        if (!r.isOk()) {
            if (error) *error = r.status();
            return {};
        }
        slot.values[size_t(field)] = dbconv::toVariant(*r);
        slot.have[size_t(field)] = 1;
    }
    return slot.values[size_t(field)];
}

QVariant DataSet::valueAt(int row, int field) const
{
    if (!isActive() || row < 0 || row >= recordCount() || field < 0 || field >= fieldCount()) return {};
    const RowRef r = rowRef(row);
    if (r.buffer) return bufferValue(field);
    engine::Status error;
    QVariant v = cachedValue(r.pos, field, &error);
    // Views read while they paint, when their rows must not change under
    // them: the rows are read anew once the current event is done.
    if (!error.isOk() && !rereadQueued_ && source_->stale()) {
        rereadQueued_ = true;
        DataSet* self = const_cast<DataSet*>(this);
        QMetaObject::invokeMethod(
            self,
            [self] {
                self->rereadQueued_ = false;
                if (!self->isActive() || self->state_ != State::Browse) return;
                // A failure shows where a value of the rows is next used.
                try {
                    self->rereadOutdated();
                } catch (const DbError&) {
                }
            },
            Qt::QueuedConnection);
    }
    return v;
}

QString DataSet::displayTextAt(int row, int field) const
{
    if (field < 0 || field >= fieldCount()) return {};
    const Field& f = *fields_[size_t(field)];
    return formatDisplay(valueAt(row, field), f.dataType(), f.displayFormat());
}

QVariant DataSet::currentValue(int field) const
{
    checkActive();
    if (cursor_->cur < 0) return {};
    const RowRef r = rowRef(cursor_->cur);
    if (r.buffer) return bufferValue(field);
    engine::Status error;
    QVariant v = cachedValue(r.pos, field, &error);
    if (!error.isOk() && state_ == State::Browse && !rereading_ && const_cast<DataSet*>(this)->rereadOutdated())
        return currentValue(field);
    if (!error.isOk()) dbconv::raise(error);
    return v;
}

// --- Fields. -------------------------------------------------------------------

Field* DataSet::findField(const QString& name) const
{
    for (const auto& f : fields_)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

Field* DataSet::fieldByName(const QString& name) const
{
    Field* f = findField(name);
    if (!f) throw DbError(dbmsg::fieldNotFound(name), engine::ErrorCode::NotFound);
    return f;
}

void DataSet::setDisplayLabel(const QString& field, const QString& label)
{
    labels_.insert(field.toLower(), label);
    if (Field* f = findField(field)) f->setDisplayLabel(label);
}

QString DataSet::displayLabel(const QString& field) const
{
    if (const Field* f = findField(field)) return f->displayLabel();
    return labels_.value(field.toLower(), field);
}

void DataSet::setDisplayFormat(const QString& field, const QString& format)
{
    formats_.insert(field.toLower(), format);
    if (Field* f = findField(field)) f->setDisplayFormat(format);
}

void DataSet::setAlignment(const QString& field, Qt::Alignment alignment)
{
    alignments_.insert(field.toLower(), alignment);
    if (Field* f = findField(field)) f->setAlignment(alignment);
}

void DataSet::setFieldValue(Field* field, const QVariant& v)
{
    checkActive();
    const QString label = field->displayLabel();
    if (!isEditing()) throw DbError(dbmsg::notEditing(label));
    if (field->isLookup()) throw DbError(dbmsg::lookupField(label), engine::ErrorCode::ReadOnly);
    if (field->dataType() == engine::FieldType::AutoInc)
        throw DbError(dbmsg::autoIncField(label), engine::ErrorCode::ReadOnly);
    cursor_->buffer[size_t(field->index())] = dbconv::toFieldValue(v, field->dataType(), field->size(), label);
    emit fieldChanged(field);
    // Lookup fields follow their link field.
    for (const auto& f : fields_)
        if (f->isLookup()) emit fieldChanged(f.get());
}

// --- Navigation. ---------------------------------------------------------------

void DataSet::moveTo(int row, bool bof, bool eof)
{
    Cursor& c = *cursor_;
    c.bof = bof;
    c.eof = eof;
    if (row == c.cur) return;
    c.cur = row;
    source_->noteCurrent(currentSourcePos());
    emit currentChanged();
    if (afterScroll) afterScroll(*this);
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    const int n = recordCount();
    moveTo(n > 0 ? 0 : -1, n == 0, n == 0);
}

void DataSet::last()
{
    checkActive();
    checkBrowseMode();
    const int n = recordCount();
    moveTo(n - 1, n == 0, n == 0);
}

void DataSet::next() { moveBy(1); }

void DataSet::prior() { moveBy(-1); }

void DataSet::moveBy(int distance)
{
    checkActive();
    checkBrowseMode();
    const int n = recordCount();
    if (n == 0) {
        moveTo(-1, true, true);
        return;
    }
    const int cur = cursor_->cur;
    const long long target = (long long)cur + distance;
    if (target >= n) moveTo(n - 1, false, true);
    else if (target < 0) moveTo(0, true, false);
    else moveTo(int(target), false, false);
}

void DataSet::setRecNo(int recNo)
{
    checkActive();
    checkBrowseMode();
    const int n = recordCount();
    if (n == 0) return;
    moveTo(std::clamp(recNo, 1, n) - 1, false, false);
}

// --- Locate. -------------------------------------------------------------------

namespace {

struct Matcher {
    enum class Mode { Blank, Equal, Text, PlainPrefix } mode = Mode::Equal;
    int column = 0;
    engine::Value value;  // Equal
    std::string text;     // Text: Windows-1250, upper case when case is ignored
    QString plain;        // PlainPrefix: against the plain text of other types
    bool prefix = false;
    bool ignoreCase = false;

    bool matches(const engine::Value& v) const
    {
        switch (mode) {
        case Mode::Blank:
            return v.isNull();
        case Mode::Equal:
            return v == value;
        case Mode::Text: {
            if (v.kind() != engine::Value::Kind::Text) return false;
            const std::string& s = v.asText();
            if (prefix ? s.size() < text.size() : s.size() != text.size()) return false;
            if (!ignoreCase) return s.compare(0, text.size(), text) == 0;
            for (size_t i = 0; i < text.size(); ++i)
                if (dbconv::upperByte(static_cast<unsigned char>(s[i])) != static_cast<unsigned char>(text[i]))
                    return false;
            return true;
        }
        case Mode::PlainPrefix:
            return !v.isNull()
                && dbconv::plainText(dbconv::toVariant(v))
                       .startsWith(plain, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
        }
        return false;
    }
};

}  // namespace

bool DataSet::locate(const QString& fieldNames, const QVariantList& values, int options)
{
    checkActive();
    checkBrowseMode();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.size() != values.size()) throw DbError(dbmsg::locateValueCount());
    const bool prefix = options & PartialKey;
    const bool ignoreCase = options & CaseInsensitive;

    std::vector<Matcher> matchers;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const Field* f = fieldByName(names[i].trimmed());
        const QVariant& v = values[i];
        Matcher m;
        m.column = f->index();
        m.prefix = prefix;
        m.ignoreCase = ignoreCase;
        if (!v.isValid() || v.isNull()) {
            m.mode = Matcher::Mode::Blank;
        } else if (dbconv::isText(f->dataType())) {
            m.mode = Matcher::Mode::Text;
            const QString s = v.typeId() == QMetaType::QString ? v.toString() : dbconv::plainText(v);
            // A text that no stored value can hold matches nothing.
            if (!dbconv::toCp1250(s, m.text)) return false;
            if (ignoreCase)
                for (char& ch : m.text) ch = char(dbconv::upperByte(static_cast<unsigned char>(ch)));
        } else if (prefix && v.typeId() == QMetaType::QString) {
            m.mode = Matcher::Mode::PlainPrefix;
            m.plain = v.toString();
        } else {
            try {
                m.value = dbconv::toFieldValue(v, f->dataType(), f->size(), f->displayLabel());
            } catch (const DbError&) {
                return false;  // not a value of the field: no row has it
            }
            m.mode = m.value.isNull() ? Matcher::Mode::Blank : Matcher::Mode::Equal;
        }
        matchers.push_back(std::move(m));
    }

    // The rows are read a block of source positions at a time, the blocks
    // growing: a match is often near the top, and a long search reads its
    // columns in bulk. A row whose values cannot be read matches nothing.
    const size_t n = baseCount();
    const Cursor& c = *cursor_;
    auto posOf = [&](size_t row) -> size_t { return c.filter ? c.view[row] : row; };
    std::vector<std::vector<engine::Value>> block(matchers.size());
    std::vector<char> readable(matchers.size());
    size_t blockSize = 64;
    for (size_t row = 0; row < n;) {
        const size_t from = posOf(row);
        const size_t count = std::min(blockSize, source_->rowCount() - from);
        for (size_t m = 0; m < matchers.size(); ++m)
            readable[m] = source_->values(matchers[m].column, from, count, block[m]).isOk();
        for (; row < n && posOf(row) < from + count; ++row) {
            const size_t pos = posOf(row);
            bool all = true;
            for (size_t m = 0; m < matchers.size() && all; ++m) {
                if (readable[m]) {
                    all = matchers[m].matches(block[m][pos - from]);
                } else {
                    auto v = source_->value(pos, matchers[m].column);
                    all = v.isOk() && matchers[m].matches(*v);
                }
            }
            if (all) {
                moveTo(int(row), false, false);
                return true;
            }
        }
        blockSize = std::min<size_t>(blockSize * 4, 16384);
    }
    return false;
}

// --- Row text search. -----------------------------------------------------------

namespace {

// Lower case of every Windows-1250 byte, as engine::lowerCp1250 gives it.
const std::array<unsigned char, 256>& lowerBytes()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = static_cast<unsigned char>(engine::lowerCp1250(std::string(1, char(b)))[0]);
        return t;
    }();
    return table;
}

// Appends the plain text of a value, in Windows-1250 lower case. Text and
// integers are written straight from the engine's value; dates, the only
// other kind that is common, are formatted once per distinct date.
class LowerPlainText {
public:
    void append(const engine::Value& v, std::string& out)
    {
        using K = engine::Value::Kind;
        switch (v.kind()) {
        case K::Null:
        case K::Bytes:
            return;
        case K::Text: {
            const auto& lower = lowerBytes();
            for (char ch : v.asText()) out += char(lower[static_cast<unsigned char>(ch)]);
            return;
        }
        case K::Int:
            out += std::to_string(v.asInt());
            return;
        case K::Date: {
            auto [it, made] = dates_.try_emplace(v.asDate().serial);
            if (made) it->second = lowered(dbconv::toVariant(v));
            out += it->second;
            return;
        }
        default:
            out += lowered(dbconv::toVariant(v));
            return;
        }
    }

    void append(const QVariant& v, std::string& out) { out += lowered(v); }

private:
    static std::string lowered(const QVariant& v)
    {
        std::string bytes;
        dbconv::toCp1250(dbconv::plainText(v), bytes);
        return engine::lowerCp1250(bytes);
    }

    std::unordered_map<int32_t, std::string> dates_;
};

}  // namespace

int DataSet::findRowText(const QString& text, int from, int step) const
{
    if (!isActive()) return -1;
    std::string needle;
    if (!dbconv::toCp1250(text, needle)) return -1;  // no stored text holds it
    needle = engine::lowerCp1250(needle);
    const int n = recordCount();
    const size_t columns = fields_.size();
    LowerPlainText plain;
    std::string row;
    auto bufferRowMatches = [&] {
        row.clear();
        for (size_t f = 0; f < columns; ++f) {
            row += ';';
            plain.append(bufferValue(int(f)), row);
        }
        return row.find(needle) != std::string::npos;
    };

    // Rows are read a block of source positions at a time, the blocks
    // growing as in locate(): a match is often near the start.
    std::vector<std::vector<engine::Value>> block(columns);
    std::vector<char> whole(columns);
    size_t blockSize = 64;
    // Without ";" a match lies within one value, and a long walk is quicker
    // read whole columns in the order the rows are stored (below).
    const bool withinValues = needle.find(';') == std::string::npos;
    int r = from;
    while (r >= 0 && r < n && !(withinValues && blockSize > 1024)) {
        const RowRef first = rowRef(r);
        if (first.buffer) {  // the row being edited shows its edit buffer
            if (bufferRowMatches()) return r;
            r += step;
            continue;
        }
        const size_t lo = step > 0 ? first.pos : (first.pos + 1 >= blockSize ? first.pos + 1 - blockSize : 0);
        const size_t count = step > 0 ? std::min(blockSize, source_->rowCount() - first.pos) : first.pos + 1 - lo;
        for (size_t f = 0; f < columns; ++f) {
            whole[f] = source_->values(int(f), lo, count, block[f]).isOk();
            fetches_ += count;
        }
        for (; r >= 0 && r < n; r += step) {
            const RowRef ref = rowRef(r);
            if (ref.buffer || ref.pos < lo || ref.pos >= lo + count) break;
            row.clear();
            for (size_t f = 0; f < columns; ++f) {
                row += ';';
                if (whole[f]) {
                    plain.append(block[f][ref.pos - lo], row);
                } else if (auto v = source_->value(ref.pos, int(f)); v.isOk()) {
                    plain.append(*v, row);  // a value that cannot be read counts as blank
                }
            }
            if (row.find(needle) != std::string::npos) return r;
        }
        blockSize = std::min<size_t>(blockSize * 4, 16384);
    }
    if (r < 0 || r >= n) return -1;

    // The rest: each column marks the stored rows whose value holds the text.
    const size_t total = source_->rowCount();
    std::vector<char> hit(total);
    std::vector<engine::Value> column;
    std::string value;
    for (size_t f = 0; f < columns; ++f) {
        const bool read = source_->values(int(f), 0, total, column).isOk();
        fetches_ += total;
        for (size_t pos = 0; pos < total; ++pos) {
            if (hit[pos]) continue;
            value.clear();
            if (read) plain.append(column[pos], value);
            else if (auto v = source_->value(pos, int(f)); v.isOk()) plain.append(*v, value);
            if (value.find(needle) != std::string::npos) hit[pos] = 1;
        }
    }
    for (; r >= 0 && r < n; r += step) {
        const RowRef ref = rowRef(r);
        if (ref.buffer ? bufferRowMatches() : hit[ref.pos] != 0) return r;
    }
    return -1;
}

// --- Filter. -------------------------------------------------------------------

void DataSet::setFilter(const QString& expression)
{
    if (isActive() && filtered_) applyFilter(expression, true, true);
    filterText_ = expression;
}

void DataSet::setFiltered(bool on)
{
    if (on == filtered_) return;
    if (isActive()) applyFilter(filterText_, on, true);
    filtered_ = on;
}

void DataSet::applyFilter(const QString& text, bool on, bool notify)
{
    checkBrowseMode();
    const std::optional<size_t> keep = currentSourcePos();
    std::optional<engine::Filter> compiled;
    if (on && !text.trimmed().isEmpty()) {
        std::vector<engine::Filter::Column> columns;
        columns.reserve(fields_.size());
        for (const auto& f : fields_) columns.push_back({dbconv::toCp1250OrThrow(f->fieldName()), f->dataType()});
        std::string bytes;
        QString bad;
        if (!dbconv::toCp1250(text, bytes, &bad))
            throw DbError(dbmsg::badFilter(text, dbmsg::badCharacterInText(bad)), engine::ErrorCode::Syntax);
        auto r = engine::Filter::compile(bytes, columns);
        if (!r.isOk())
            throw DbError(dbmsg::badFilter(text, QString::fromStdString(r.status().message())), r.status().code());
        compiled = std::move(*r);
        source_->keepColumns(compiled->columnsUsed());
    }

    std::vector<uint32_t> view;
    if (compiled) {
        SourceRow row(source_.get(), compiled->columnsUsed());
        const size_t n = source_->rowCount();
        for (size_t pos = 0; pos < n; ++pos) {
            if (pos % SourceRow::kBlock == 0) row.load(pos);
            row.pos = pos;
            if (compiled->matches(row)) view.push_back(uint32_t(pos));
            if (row.error) dbconv::raise(*row.error);
        }
    }

    Cursor& c = *cursor_;
    c.filter = std::move(compiled);
    c.view = std::move(view);
    c.clearCache();
    int cur = recordCount() > 0 ? 0 : -1;
    if (keep && cur >= 0) {
        if (!c.filter) cur = int(*keep);
        else if (auto it = std::lower_bound(c.view.begin(), c.view.end(), uint32_t(*keep));
                 it != c.view.end() && *it == *keep)
            cur = int(it - c.view.begin());
    }
    c.cur = cur;
    c.bof = c.eof = cur < 0;
    source_->noteCurrent(currentSourcePos());
    if (!notify) return;
    emit rowsChanged();
    emit currentChanged();
    if (afterScroll) afterScroll(*this);
}

void DataSet::rebuildView(std::optional<size_t> current, std::optional<size_t> keepShown)
{
    Cursor& c = *cursor_;
    c.clearCache();
    if (c.filter) {
        // Rows that cannot be read are left out rather than stopping here:
        // the change that led here has already happened.
        source_->keepColumns(c.filter->columnsUsed());
        c.view.clear();
        SourceRow row(source_.get(), c.filter->columnsUsed());
        const size_t n = source_->rowCount();
        for (size_t pos = 0; pos < n; ++pos) {
            if (pos % SourceRow::kBlock == 0) row.load(pos);
            row.pos = pos;
            row.error.reset();
            if ((keepShown && pos == *keepShown) || (c.filter->matches(row) && !row.error))
                c.view.push_back(uint32_t(pos));
        }
    }
    const int n = int(baseCount());
    int cur = std::min(c.cur, n - 1);
    if (current) {
        if (!c.filter) {
            cur = int(*current);
        } else {
            auto it = std::lower_bound(c.view.begin(), c.view.end(), uint32_t(*current));
            cur = std::min(int(it - c.view.begin()), n - 1);
        }
    }
    c.cur = n > 0 ? std::max(cur, 0) : -1;
    c.bof = c.eof = n == 0;
    source_->noteCurrent(currentSourcePos());
}

void DataSet::sourceChanged(std::optional<size_t> current)
{
    rebuildView(current, std::nullopt);
    emit rowsChanged();
    emit currentChanged();
}

void DataSet::sourceReordered(std::unique_ptr<Source> next, const std::vector<uint32_t>& earlier)
{
    Cursor& c = *cursor_;
    const std::optional<size_t> current = currentSourcePos();
    if (c.filter) {
        std::vector<char> shown(source_->rowCount(), 0);
        for (uint32_t p : c.view) shown[p] = 1;
        c.view.clear();
        for (size_t p = 0; p < earlier.size(); ++p)
            if (shown[earlier[p]]) c.view.push_back(uint32_t(p));
    }
    source_ = std::move(next);
    c.clearCache();
    int cur = baseCount() > 0 ? 0 : -1;
    const auto at = current ? std::find(earlier.begin(), earlier.end(), uint32_t(*current)) : earlier.end();
    if (at != earlier.end()) {
        const size_t pos = size_t(at - earlier.begin());
        if (!c.filter) cur = int(pos);
        else if (auto it = std::lower_bound(c.view.begin(), c.view.end(), uint32_t(pos));
                 it != c.view.end() && *it == pos)
            cur = int(it - c.view.begin());
    }
    c.cur = cur;
    c.bof = c.eof = cur < 0;
    source_->noteCurrent(currentSourcePos());
    emit rowsChanged();
    emit currentChanged();
}

// --- Editing. ------------------------------------------------------------------

bool DataSet::canModify() const { return isActive() && source_->readOnlyReason().isEmpty(); }

void DataSet::checkModifiable() const
{
    const QString why = source_->readOnlyReason();
    if (!why.isEmpty()) throw DbError(why, engine::ErrorCode::ReadOnly);
}

void DataSet::checkBrowseMode()
{
    if (isEditing()) post();
}

void DataSet::startInsert(bool atEnd)
{
    checkActive();
    checkBrowseMode();
    checkModifiable();
    Cursor& c = *cursor_;
    c.buffer.assign(size_t(source_->storedColumns), engine::Value());
    c.beforeInsert = c.cur;
    c.insertAt = atEnd ? int(baseCount()) : std::max(c.cur, 0);
    c.cur = c.insertAt;
    c.bof = c.eof = false;
    state_ = State::Insert;
    emit stateChanged();
    emit rowsChanged();
    emit currentChanged();
    if (onNewRecord) {
        try {
            onNewRecord(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
}

void DataSet::insert() { startInsert(false); }

void DataSet::append() { startInsert(true); }

void DataSet::followOtherWriters()
{
    // Another handle may have changed the table since the rows were read;
    // the row changed must be the row the user sees.
    if (!source_->stale()) return;
    const engine::Status s = source_->reload();
    if (!s.isOk()) dbconv::raise(s);
    const std::optional<size_t> pos = source_->currentPos();
    sourceChanged(pos);
    if (!pos || currentSourcePos() != pos) throw DbError(dbmsg::rowGone(), engine::ErrorCode::NotFound);
}

void DataSet::edit()
{
    checkActive();
    if (isEditing()) return;
    checkModifiable();
    if (recordCount() == 0) {
        insert();
        return;
    }
    followOtherWriters();
    const size_t pos = *currentSourcePos();
    engine::Record rec;
    const engine::Status s = source_->read(pos, rec);
    if (!s.isOk()) dbconv::raise(s);
    cursor_->buffer = std::move(rec);
    cursor_->editPos = pos;
    state_ = State::Edit;
    emit stateChanged();
}

void DataSet::post()
{
    checkActive();
    if (!isEditing()) return;
    if (beforePost) beforePost(*this);
    Cursor& c = *cursor_;
    auto r = state_ == State::Insert ? source_->insert(c.buffer) : source_->update(*c.editPos, c.buffer);
    if (!r.isOk()) dbconv::raise(r.status());
    state_ = State::Browse;
    c.buffer.clear();
    c.editPos.reset();
    c.insertAt = -1;
    // The posted row stays current in its sorted place, shown even when the
    // filter would hide it, until the rows are read again.
    rebuildView(*r, *r);
    emit stateChanged();
    emit rowsChanged();
    emit currentChanged();
    if (afterPost) afterPost(*this);
}

void DataSet::cancel()
{
    checkActive();
    if (!isEditing()) return;
    Cursor& c = *cursor_;
    const bool wasInsert = state_ == State::Insert;
    state_ = State::Browse;
    c.buffer.clear();
    c.editPos.reset();
    if (wasInsert) {
        const int n = int(baseCount());
        c.cur = n == 0 ? -1 : std::clamp(c.beforeInsert, 0, n - 1);
        c.insertAt = -1;
        c.bof = c.eof = n == 0;
    }
    emit stateChanged();
    if (wasInsert) emit rowsChanged();
    emit currentChanged();
}

void DataSet::remove()
{
    checkActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (recordCount() == 0) throw DbError(dbmsg::emptyDataSet(), engine::ErrorCode::NotFound);
    checkModifiable();
    followOtherWriters();
    const size_t pos = *currentSourcePos();
    const engine::Status s = source_->remove(pos);
    if (!s.isOk()) dbconv::raise(s);
    Cursor& c = *cursor_;
    if (c.filter) {
        c.view.erase(c.view.begin() + c.cur);
        for (auto& p : c.view)
            if (p > pos) --p;
    }
    c.clearCache();
    const int n = int(baseCount());
    c.cur = n == 0 ? -1 : std::min(c.cur, n - 1);
    c.bof = c.eof = n == 0;
    source_->noteCurrent(currentSourcePos());
    emit rowsChanged();
    emit currentChanged();
    if (afterScroll) afterScroll(*this);
}

bool DataSet::isOutdated() const { return isActive() && source_->stale(); }

bool DataSet::refreshIfOutdated(bool* rowKept)
{
    if (rowKept) *rowKept = true;
    if (!isOutdated()) return false;
    checkBrowseMode();
    return rereadOutdated(rowKept);
}

// Reads the rows anew when they are outdated, in browse state; a failure
// leaves them as they were and says so.
bool DataSet::rereadOutdated(bool* rowKept)
{
    if (rereading_ || !source_->stale()) return false;
    const QScopedValueRollback<bool> busy(rereading_, true);
    const bool hadRow = currentSourcePos().has_value();
    const engine::Status s = source_->reload();
    if (!s.isOk()) dbconv::raise(s);
    const std::optional<size_t> pos = source_->currentPos();
    if (rowKept) *rowKept = pos || !hadRow;
    sourceChanged(pos ? pos : std::optional<size_t>(0));
    return true;
}

void DataSet::refresh()
{
    checkActive();
    checkBrowseMode();
    const engine::Status s = source_->reload();
    if (!s.isOk()) dbconv::raise(s);
    sourceChanged(source_->currentPos());
}
