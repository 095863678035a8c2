// DBGrid: a read-only grid over a data set.
//
// The grid shows the data set's rows in its order and filter, one column per
// field given (or every field when none is given), plus marker columns
// without a field (titled "*" or "!") that only the drawing hook fills. Its
// model asks the data set for the visible cells only (valueAt/displayTextAt),
// so a list of 300,000 rows opens and scrolls without reading them.
//
// The grid follows the data set's current row, and moving in the grid (keys,
// clicks) moves the data set. Whole rows are selected, and the selection
// stays visible when the grid loses the focus. The row indicator at the left
// shows a small triangle at the current row. Columns are resizable.
//
// Drawing: before each cell is drawn, onDrawCell gets its colours preset
// (highlight for the current row, the column's own colour otherwise) and may
// change the background and text colour, put a picture (at most 16 x 16; rows
// are tall enough for it whatever the font) at the cell's left + 1, top + 1,
// or leave the text out. Clicks on column titles are reported
// with the column's field name (empty for a marker column); Enter is
// reported too, so that the window can run its edit command.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHeaderView>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

#include "common/DataSet.h"

struct DBGridColumn {
    QString fieldName;  // empty for a marker column
    QString title;      // empty: the field's display label
    int width = 64;
    QColor color;       // background of the column's cells; invalid: the window colour
    Qt::Alignment titleAlignment;  // none: the header's own (centred)
};

// One cell about to be drawn.
struct DBGridCell {
    const DataSet* dataSet = nullptr;
    int row = 0;         // row of the data set (0-based)
    int column = 0;      // column of the grid
    QString fieldName;   // empty in a marker column
    QString title;
    bool selected = false;  // the data set's current row
    QColor background;
    QColor textColor;
    QPixmap picture;
    bool drawText = true;

    // Another field of the same row (blank when the data set has none).
    QVariant value(const QString& field) const;
};

class DBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DBGridModel(QObject* parent = nullptr);

    void setDataSet(DataSet* ds);
    DataSet* dataSet() const { return ds_; }
    void setColumns(const QList<DBGridColumn>& columns);
    const QList<DBGridColumn>& columns() const { return columns_; }
    DBGridColumn& column(int i) { return columns_[i]; }
    // The data set's field index shown in column `col`; -1 for a marker.
    int fieldIndex(int col) const;
    QString fieldName(int col) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void reset();
    void resolveFields();

    QPointer<DataSet> ds_;
    QList<DBGridColumn> columns_;  // as given
    bool allFields_ = true;        // no columns given: every field
    QList<DBGridColumn> shown_;    // what shows now
    std::vector<int> fields_;      // field index per shown column
    int rows_ = 0;
    QList<QMetaObject::Connection> connections_;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSet(DataSet* ds);
    DataSet* dataSet() const { return model_->dataSet(); }

    // Columns, left to right. Without any, every field of the data set shows.
    void addColumn(const QString& fieldName, const QString& title = QString(), int width = 64);
    void addMarkerColumn(const QString& title, int width = 18);
    void clearColumns();
    int gridColumnCount() const { return model_->columnCount(); }
    QString columnField(int column) const;
    QString columnTitle(int column) const;
    void setColumnColor(int column, const QColor& color);
    QColor columnColor(int column) const;
    void setColumnTitleAlignment(int column, Qt::Alignment alignment);

    // Whether title clicks are reported (and show the pressed look).
    void setTitleClicksEnabled(bool on);

    DBGridModel* gridModel() const { return model_; }

    std::function<void(DBGridCell&)> onDrawCell;

signals:
    void titleClicked(int column, const QString& fieldName);
    void enterPressed();
    void inputRefused(const QString& message);  // a move the data set refused (a pending post)

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followDataSet();
    void applyWidths();
    void fitRowsToFont();

    DBGridModel* model_;
    bool following_ = false;
    int widthsFor_ = -1;  // the column count the widths were set for
};
