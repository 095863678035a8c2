// Internal to the data-set layer: the row source behind a data set, value and
// text conversion at the border between the engine and Qt, and the layer's
// messages. Nothing outside common/ includes this.
#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DataSet.h"
#include "engine/Schema.h"
#include "engine/Status.h"
#include "engine/Value.h"

// What a data set browses: rows in an order, read column by column. Tables
// also store changes; queries refuse them.
struct DataSet::Source {
    struct Column {
        QString name;
        engine::FieldType type = engine::FieldType::Alpha;
        int size = 0;
        QString label;        // a label the source knows (lookup fields)
        bool lookup = false;  // computed from other columns, never stored
    };

    virtual ~Source() = default;

    std::vector<Column> columns;  // stored columns first, lookup columns last
    int storedColumns = 0;

    virtual size_t rowCount() const = 0;
    // Column `col` of the row at `pos` in the source's order.
    virtual engine::Result<engine::Value> value(size_t pos, int col) = 0;
    // Column `col` of the rows at [first, first + count), replacing the
    // contents of `out`: for reading a column of many rows at once.
    virtual engine::Status values(int col, size_t first, size_t count, std::vector<engine::Value>& out);

    // Changes. A source that cannot change says why in readOnlyReason().
    virtual QString readOnlyReason() const = 0;
    // The stored columns of the row at `pos`.
    virtual engine::Status read(size_t pos, engine::Record& out);
    // A lookup column computed from a row that is being edited.
    virtual engine::Value lookup(int col, const engine::Record& row);
    // Stores a new or changed row; the order is re-read and the row's new
    // position returned (none when it left the source).
    virtual engine::Result<std::optional<size_t>> insert(engine::Record& rec);
    virtual engine::Result<std::optional<size_t>> update(size_t pos, const engine::Record& rec);
    virtual engine::Status remove(size_t pos);

    // The data set's current row, told on every move, so that the source can
    // find it again (by key) after the rows were read anew.
    virtual void noteCurrent(std::optional<size_t> pos);
    // True when the rows were changed by another handle since they were read.
    virtual bool stale();
    // A filter is about to read these columns of every row, likely again
    // and again (the companies tab refilters the customers at every move):
    // a source whose rows do not change may keep them.
    virtual void keepColumns(const std::vector<int>& columns);
    // Reads the rows anew; an error leaves them as they were.
    virtual engine::Status reload() = 0;
    // Where the noted current row is after reload(), if it is still there.
    virtual std::optional<size_t> currentPos() const = 0;
};

namespace dbconv {

QString fromCp1250(std::string_view text);
// Converts to Windows-1250; false, with the first character that has no
// Windows-1250 form in `bad`, when there is one.
bool toCp1250(const QString& text, std::string& out, QString* bad = nullptr);
// The same, throwing DbError naming the character.
std::string toCp1250OrThrow(const QString& text);
// Upper case of one Windows-1250 byte, accented letters included.
unsigned char upperByte(unsigned char b);

QDate toQDate(engine::Date d);
engine::Date toEngineDate(const QDate& d);
QVariant toVariant(const engine::Value& v);

// Converts a value for storing in a field of the given type; throws DbError
// with a message naming the field (`label`) when it does not fit.
engine::Value toFieldValue(const QVariant& v, engine::FieldType type, int size, const QString& label);

// Dates typed by users: "2024.03.07", "2024. 03. 07.", "2024-03-07".
QDate parseDate(const QString& text);
// The plain text of a value as fields give it (numbers with a decimal comma,
// dates in the Hungarian short form).
QString plainText(const QVariant& v);

bool isNumeric(engine::FieldType type);
bool isText(engine::FieldType type);

[[noreturn]] void raise(const engine::Status& status);

}  // namespace dbconv

// Messages of the data-set layer, each written once.
namespace dbmsg {

QString notActive();
QString noConnection();
QString noFolder();
QString folderMissing(const QString& folder);
QString readOnlyDataSet();
QString readOnlyQuery();
QString noTableName();
QString notEditing(const QString& field);
QString fieldNotFound(const QString& field);
QString emptyDataSet();
QString textTooLong(const QString& field, int size, int length);
QString badCharacter(const QString& field, const QString& character);
QString badCharacterInText(const QString& character);
QString notInteger(const QString& text, const QString& field);
QString outOfRange(const QString& text, const QString& field);
QString notNumber(const QString& text, const QString& field);
QString notDate(const QString& text, const QString& field);
QString notLogical(const QString& text, const QString& field);
QString autoIncField(const QString& field);
QString lookupField(const QString& field);
QString badFilter(const QString& filter, const QString& reason);
QString noRows();
QString locateValueCount();
QString lookupKeyMissing(const QString& lookup, const QString& field);
QString badParam(const QString& name);
QString rowGone();

}  // namespace dbmsg
