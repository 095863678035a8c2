// Data sets over the engine: the connection, table and query data sets with a
// current row, fields with labels and display formats, a filter, locate,
// editing with post and cancel, lookup fields, and batch append.
//
// Every window is written against this layer: open the data set, bind the
// controls (widgets/), post or cancel. Failures are thrown as DbError, whose
// message is the engine's Hungarian text; the window that started the
// operation catches it and shows it after its own prefix, and the
// application's general handler shows whatever nobody caught.
//
// Values cross this layer as QVariant: an invalid QVariant is blank (null);
// otherwise int (short, long, auto-increment), double (number, currency,
// BCD), bool, QString (alpha, memo, formatted memo), QByteArray (binary),
// QDate, QTime or QDateTime.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Database.h"
#include "engine/Sql.h"

class DataSet;
class TableDataSet;

class DbError : public std::exception {
public:
    DbError(QString message, engine::ErrorCode code = engine::ErrorCode::IoError);
    const QString& message() const { return message_; }
    engine::ErrorCode code() const { return code_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    engine::ErrorCode code_;
    QByteArray utf8_;
};

// A database connection: the three parameters "PATH=" + folder,
// "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE". Named connections (the alias
// "Nyilvex") are found by name; the maintenance tool makes an unnamed one.
// Closing it closes every data set on it; a data set opened later connects it
// again.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(const QString& name = QString(), QObject* parent = nullptr);
    ~Connection() override;

    static Connection* byName(const QString& name);  // nullptr if none
    // The three parameters of a connection to `folder`.
    static QStringList paradoxParams(const QString& folder);

    const QString& name() const { return name_; }
    void setParams(const QStringList& params);
    const QStringList& params() const { return params_; }
    QString folder() const;  // the PATH= parameter

    void open();   // throws DbError (missing folder, ...)
    void close();  // closes every data set on the connection first
    bool isConnected() const;

    // The open engine database, connecting first when needed.
    engine::Database& database();

    // Catalogue: table names without extension; field names of one table.
    QStringList tableNames();
    QStringList fieldNames(const QString& tableFileName);

    // Runs a statement for its effect; returns the rows affected.
    qint64 execSql(const QString& sql);

private:
    friend class DataSet;
    void attach(DataSet* ds);
    void detach(DataSet* ds);

    QString name_;
    QStringList params_;
    std::shared_ptr<engine::Database> db_;
    QList<DataSet*> dataSets_;
};

// One field of a data set. Owned by its data set; valid while it is open.
class Field {
public:
    const QString& fieldName() const { return name_; }
    engine::FieldType dataType() const { return type_; }
    int size() const { return size_; }
    int index() const { return index_; }
    DataSet* dataSet() const { return ds_; }

    QString displayLabel() const { return label_.isEmpty() ? name_ : label_; }
    void setDisplayLabel(const QString& label) { label_ = label; }
    const QString& displayFormat() const { return format_; }
    void setDisplayFormat(const QString& format) { format_ = format; }
    Qt::Alignment alignment() const;  // numbers right, the rest left, unless set
    void setAlignment(Qt::Alignment a) { alignment_ = a; alignmentSet_ = true; }
    bool isLookup() const { return lookup_; }

    // The current row's value.
    bool isNull() const;
    QVariant value() const;
    QString asString() const;   // plain text; blank gives ""
    int asInteger() const;      // blank gives 0
    double asFloat() const;     // blank gives 0
    bool asBoolean() const;     // blank gives false
    QDate asDate() const;       // blank gives a null QDate
    QString displayText() const;  // formatted with the display format

    // Only in edit or insert state; a text outside Windows-1250 or longer
    // than the field is refused with DbError at once, leaving the value as it was.
    void setValue(const QVariant& v);
    void setAsString(const QString& s) { setValue(s); }
    void clear() { setValue(QVariant()); }

private:
    friend class DataSet;
    Field(DataSet* ds, int index, QString name, engine::FieldType type, int size);

    DataSet* ds_;
    int index_;
    QString name_;
    engine::FieldType type_;
    int size_;
    QString label_;
    QString format_;
    Qt::Alignment alignment_;
    bool alignmentSet_ = false;
    bool lookup_ = false;
};

// Formats a value as a field's display text ("00000", "### ### ##0.00",
// Hungarian short dates); shared by fields and grids.
QString formatDisplay(const QVariant& v, engine::FieldType type, const QString& format);

class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { CaseInsensitive = 1, PartialKey = 2 };

    explicit DataSet(Connection* conn, QObject* parent = nullptr);
    ~DataSet() override;

    Connection* connection() const { return conn_; }

    void open();
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }
    // Open and able to store changes (not a query, not a read-only table).
    bool canModify() const;

    // Navigation over the rows that pass the filter, in the data set's order.
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const;   // after next() on the last row, or empty
    bool bof() const;   // after prior() on the first row, or empty
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    int recNo() const;          // 1-based current position; 0 when empty
    void setRecNo(int recNo);   // 1-based; clamped to the rows there are

    // Moves to the first row whose fields (";"-separated names) equal the
    // values; PartialKey: a text value matches as a prefix; CaseInsensitive:
    // text ignores letter case. Returns false, leaving the row, if none does.
    bool locate(const QString& fieldNames, const QVariantList& values, int options = 0);
    bool locate(const QString& fieldName, const QVariant& value, int options = 0)
    {
        return locate(fieldName, QVariantList{value}, options);
    }

    // Fields of the open data set, in order, lookup fields last.
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }
    int fieldCount() const { return int(fields_.size()); }
    Field* findField(const QString& name) const;  // without regard to case; nullptr if none
    Field* fieldByName(const QString& name) const;  // throws DbError if none

    // Labels, formats and alignments set before open() apply when the fields
    // are made (fields are made at open). A field keeps what was set on it
    // when the data set is closed and opened again.
    void setDisplayLabel(const QString& field, const QString& label);
    // The label a field shows, also while the data set is closed: the one
    // set for it, else the field's name as given.
    QString displayLabel(const QString& field) const;
    void setDisplayFormat(const QString& field, const QString& format);
    void setAlignment(const QString& field, Qt::Alignment alignment);

    // Filter expression (engine/Filter.h) and its switch. A bad expression
    // throws DbError when the filter takes effect; the old rows stay.
    void setFilter(const QString& expression);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Editing. edit() on an empty data set starts an insert. A refused post
    // throws DbError and leaves the row in insert or edit state. Moving
    // (first, next, setRecNo, locate, refresh, a filter change) posts a
    // pending edit first, so a refused post also stops the move; close()
    // drops it. After post the posted row is current in its sorted place,
    // shown even where the filter would hide it until the rows are read
    // again, so its auto-increment key can be read. An inserted row shows in
    // views at its place (insert: before the current row; append: last).
    // edit() and remove() on a table that another handle changed first read
    // the rows again and find the row by its key (DbError if it is gone).
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void remove();  // deletes the current row
    void refresh(); // re-reads the rows, keeping the current one where it can
    // True when a table the rows were read from changed since, by this or
    // another handle or program; as cheap as reading the tables' versions.
    bool isOutdated() const;
    // Reads the rows anew when isOutdated(): the filter, the order and the
    // current row stay; where that row is gone the first row becomes
    // current and `rowKept` (when given) is set false. Returns whether it
    // read them.
    bool refreshIfOutdated(bool* rowKept = nullptr);

    // Random access for views, without moving the current row: the value or
    // display text of field `field` (index into fields()) in row `row`
    // (0-based position among the rows that pass the filter). For a row being
    // edited the edit buffer shows.
    // A row that cannot be read shows blank here; Field::value() throws.
    // A value refused because the rows are outdated reads the rows anew:
    // Field::value() at once, then reads again; views after their current
    // event, which shows them the new rows.
    QVariant valueAt(int row, int field) const;
    QString displayTextAt(int row, int field) const;
    // The first row (0-based) from `from` on, going down (`step` 1) or up
    // (`step` -1), whose row text contains `text`, letter case aside; -1
    // when none does. A row's text is ";" and the plain text of each field
    // (Field::asString: numbers without display format, short dates, memos
    // whole, blank as nothing), field after field in field order. The rows
    // are read a block at a time and the current row does not move.
    int findRowText(const QString& text, int from, int step) const;
    int currentRow() const { return recNo() - 1; }

    // How many single values the data set has read from the engine for
    // valueAt() and the fields since it was made (tests and benchmarks use it
    // to check that views read only what they show).
    quint64 fetchCount() const { return fetches_; }

    // Hooks for the windows' event handlers; they may throw DbError to
    // refuse.
    std::function<void(DataSet&)> onNewRecord;   // after insert/append put the blank row up
    std::function<void(DataSet&)> beforePost;
    std::function<void(DataSet&)> afterPost;
    std::function<void(DataSet&)> afterScroll;   // the current row moved

signals:
    void opened();
    void closed();
    void stateChanged();
    void currentChanged();             // current row moved, or its values were re-read
    void fieldChanged(Field* field);   // a value of the current row changed while editing
    void rowsChanged();                // rows, their order or the filter changed: views reset

protected:
    // Implemented by the table and query data sets (DataSetInternal.h).
    struct Source;
    virtual std::unique_ptr<Source> openSource() = 0;

    void checkActive() const;
    void checkBrowseMode();  // posts a pending edit, as any move does
    // The rows of the source changed under the data set (new order, rows
    // stored or removed): rebuilds the filtered view, makes the row at source
    // position `current` current (or the nearest one) and tells the views.
    void sourceChanged(std::optional<size_t> current);
    // The source gives way to `next`, which holds the same rows in another
    // order: row p of `next` is row earlier[p] of the old source. The rows a
    // filter let through stay through without being tested again, the
    // current row stays current, and the views are told.
    void sourceReordered(std::unique_ptr<Source> next, const std::vector<uint32_t>& earlier);
    std::optional<size_t> currentSourcePos() const;

    Connection* conn_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::unique_ptr<Source> source_;

private:
    friend class Field;
    friend class Connection;
    friend class TableDataSet;

    class SourceRow;
    struct RowRef {
        bool buffer;  // the row being edited or inserted
        size_t pos;   // otherwise its position in the source
    };
    RowRef rowRef(int row) const;
    size_t baseCount() const;
    QVariant bufferValue(int field) const;
    QVariant cachedValue(size_t pos, int field, engine::Status* error) const;
    QVariant currentValue(int field) const;
    void setFieldValue(Field* field, const QVariant& v);
    void makeFields();
    void checkModifiable() const;
    void followOtherWriters();
    bool rereadOutdated(bool* rowKept = nullptr);
    void startInsert(bool atEnd);
    void moveTo(int row, bool bof, bool eof);
    void rebuildView(std::optional<size_t> current, std::optional<size_t> keepShown);
    void applyFilter(const QString& text, bool on, bool notify);

    State state_ = State::Inactive;
    QString filterText_;
    bool filtered_ = false;
    struct Cursor;
    std::unique_ptr<Cursor> cursor_;
    QHash<QString, QString> labels_;   // by lower-case field name, for fields made later
    QHash<QString, QString> formats_;
    QHash<QString, Qt::Alignment> alignments_;
    mutable quint64 fetches_ = 0;
    mutable bool rereadQueued_ = false;
    bool rereading_ = false;
};

// A table of the connection's folder, opened by file name ("ugyfel.DB").
class TableDataSet : public DataSet {
    Q_OBJECT
public:
    explicit TableDataSet(Connection* conn, QObject* parent = nullptr);

    void setTableName(const QString& fileName);
    const QString& tableName() const { return tableName_; }

    // Order: a named secondary index, or a ";"-separated field list naming an
    // index (the primary key when empty). Changing it on an open data set
    // keeps the current row current; no such index throws DbError and keeps
    // the old order.
    void setIndexName(const QString& name);
    void setIndexFieldNames(const QString& fields);
    const QString& indexName() const { return indexName_; }
    const QString& indexFieldNames() const { return indexFields_; }
    void setExclusive(bool on) { exclusive_ = on; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // A lookup field shows `resultField` of the row of `lookup` whose
    // `lookupKeyField` equals this row's `keyField`.
    void addLookupField(const QString& name, const QString& keyField, TableDataSet* lookup,
                        const QString& lookupKeyField, const QString& resultField,
                        const QString& label = QString());

    void emptyTable();
    void flushBuffers();  // write-through of the posted changes

    // Index definitions (maintenance): needs exclusive mode.
    void clearIndexes();
    void addPrimaryIndex(const QString& fields);
    void addIndex(const QString& name, const QString& field, bool caseInsensitive, bool descending);

protected:
    std::unique_ptr<Source> openSource() override;

private:
    friend int batchAppend(DataSet& source, TableDataSet& dest);
    struct TableSource;
    TableSource& tableSource() const;
    void reorder(const QString& indexName, const QString& indexFields);
    int appendRowsOf(DataSet& source);
    // Runs `op` on the open table, or on a handle opened for it when closed.
    void withTable(bool exclusive, const std::function<engine::Status(engine::Table&)>& op);

    QString tableName_;
    QString indexName_;
    QString indexFields_;
    bool exclusive_ = false;
    bool readOnly_ = false;
    struct Lookup {
        QString name, keyField, lookupKeyField, resultField, label;
        TableDataSet* table;
    };
    QList<Lookup> lookups_;
};

// A SQL query held as lines, with named parameters.
class QueryDataSet : public DataSet {
    Q_OBJECT
public:
    enum class ParamType { Integer, Text, Date };

    explicit QueryDataSet(Connection* conn, QObject* parent = nullptr);
    ~QueryDataSet() override;

    QStringList& sql() { return sql_; }   // change only while closed
    void setSql(const QStringList& lines) { sql_ = lines; }
    void setParam(const QString& name, ParamType type, const QVariant& value);
    void clearParams();
    // Takes the text, parameters, filter, filtering and key field of
    // `other` (a list that a report reads again on its own); only while
    // closed.
    void copyQueryOf(const QueryDataSet& other);

    // Runs the text for its effect (INSERT, UPDATE, DELETE, CREATE, ALTER);
    // returns the rows affected.
    qint64 execSql();

    // Replaces the last line of the text (a list's ORDER BY, say) and runs
    // the query, as close(), the change and open() would; a failure leaves
    // the data set closed. When the data set was open, only the ORDER BY
    // changed and none of the tables did, the rows already found are sorted
    // anew instead of being looked for again, the filter's verdicts follow
    // them, and the current row stays current; otherwise the first row is
    // current, as after open().
    void reopenWithLastLine(const QString& line);

    // The column that tells the rows apart (a list's key). When the query
    // runs again (refresh(), refreshIfOutdated()), the row with the current
    // row's key stays current; without a key field the row number stays.
    void setKeyField(const QString& name) { keyField_ = name; }
    // The current row's key, as read when that row became current: known
    // even when another program has changed the tables since and the rows
    // refuse their values. Blank without a key field or a current row.
    QVariant currentKey() const;

protected:
    std::unique_ptr<Source> openSource() override;

private:
    struct QuerySource;
    std::string sqlText() const;
    // Runs the text; with `earlier`, as engine::runSql() does with an earlier result.
    std::unique_ptr<QuerySource> run(const engine::QueryResult* earlier, std::vector<uint32_t>* earlierRows);

    QStringList sql_;
    std::vector<engine::SqlParam> params_;
    std::unique_ptr<QuerySource> ran_;  // a run that the next openSource() takes
    QString keyField_;
};

// Copies the rows of `source` into `dest` (open, any state), field by field
// in column order; rows the table refuses are skipped. Returns the number of
// rows stored.
int batchAppend(DataSet& source, TableDataSet& dest);
