#include "DBGrid.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

// --- DBGridCell ----------------------------------------------------------------

QVariant DBGridCell::value(const QString& field) const
{
    const Field* f = dataSet ? dataSet->findField(field) : nullptr;
    return f ? dataSet->valueAt(row, f->index()) : QVariant();
}

// --- DBGridModel ---------------------------------------------------------------

DBGridModel::DBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DBGridModel::setDataSet(DataSet* ds)
{
    for (const auto& c : std::as_const(connections_)) disconnect(c);
    connections_.clear();
    ds_ = ds;
    if (ds_) {
        connections_ << connect(ds_, &DataSet::opened, this, &DBGridModel::reset);
        connections_ << connect(ds_, &DataSet::closed, this, &DBGridModel::reset);
        connections_ << connect(ds_, &DataSet::rowsChanged, this, &DBGridModel::reset);
        connections_ << connect(ds_, &DataSet::fieldChanged, this, [this](Field*) {
            // The edited row repaints; its values come from the edit buffer.
            const int row = ds_->currentRow();
            if (row >= 0 && row < rows_) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        connections_ << connect(ds_, &QObject::destroyed, this, &DBGridModel::reset);
    }
    reset();
}

void DBGridModel::setColumns(const QList<DBGridColumn>& columns)
{
    columns_ = columns;
    allFields_ = columns_.isEmpty();
    reset();
}

void DBGridModel::resolveFields()
{
    const bool active = ds_ && ds_->isActive();
    if (allFields_) {
        shown_.clear();
        if (active)
            for (const auto& f : ds_->fields()) shown_.append({f->fieldName(), QString(), 64, QColor(), {}});
    } else {
        shown_ = columns_;
    }
    fields_.clear();
    for (const DBGridColumn& c : std::as_const(shown_)) {
        const Field* f = active && !c.fieldName.isEmpty() ? ds_->findField(c.fieldName) : nullptr;
        fields_.push_back(f ? f->index() : -1);
    }
}

void DBGridModel::reset()
{
    beginResetModel();
    resolveFields();
    rows_ = ds_ && ds_->isActive() ? ds_->recordCount() : 0;
    endResetModel();
}

QString DBGridModel::fieldName(int col) const
{
    return col >= 0 && col < shown_.size() ? shown_[col].fieldName : QString();
}

int DBGridModel::fieldIndex(int col) const
{
    return col >= 0 && size_t(col) < fields_.size() ? fields_[size_t(col)] : -1;
}

int DBGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DBGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(shown_.size()); }

QVariant DBGridModel::data(const QModelIndex& index, int role) const
{
    const int field = fieldIndex(index.column());
    if (field < 0 || !ds_) return {};
    if (role == Qt::DisplayRole) return ds_->displayTextAt(index.row(), field);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ds_->fields()[size_t(field)]->alignment());
    return {};
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= shown_.size()) return {};
    const DBGridColumn& c = shown_[section];
    if (role == Qt::TextAlignmentRole && c.titleAlignment) return QVariant::fromValue(c.titleAlignment | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    if (!c.title.isEmpty()) return c.title;
    const int field = fieldIndex(section);
    if (field >= 0) return ds_->fields()[size_t(field)]->displayLabel();
    // A closed data set still knows the captions it was given.
    return ds_ && !c.fieldName.isEmpty() ? ds_->displayLabel(c.fieldName) : c.fieldName;
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

// --- Drawing -------------------------------------------------------------------

namespace {

// Draws each cell through the grid's hook.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const DBGridModel* model = grid_->gridModel();
        const DBGridColumn& col = model->columns().isEmpty() || index.column() >= model->columns().size()
            ? fallback_
            : model->columns()[index.column()];
        DBGridCell cell;
        cell.dataSet = model->dataSet();
        cell.row = index.row();
        cell.column = index.column();
        cell.fieldName = grid_->columnField(index.column());
        cell.title = grid_->columnTitle(index.column());
        cell.selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        if (cell.selected) {
            cell.background = pal.color(QPalette::Active, QPalette::Highlight);
            cell.textColor = pal.color(QPalette::Active, QPalette::HighlightedText);
        } else {
            cell.background = col.color.isValid() ? col.color : pal.color(QPalette::Base);
            cell.textColor = pal.color(QPalette::Text);
        }
        cell.drawText = model->fieldIndex(index.column()) >= 0;
        if (grid_->onDrawCell) grid_->onDrawCell(cell);

        painter->save();
        painter->fillRect(option.rect, cell.background);
        if (!cell.picture.isNull()) painter->drawPixmap(option.rect.left() + 1, option.rect.top() + 1, cell.picture);
        if (cell.drawText) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
            const QRect r = option.rect.adjusted(2, 0, -2, 0);
            painter->setPen(cell.textColor);
            painter->setFont(option.font);
            painter->drawText(r, int(align | Qt::TextSingleLine),
                              option.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
        }
        painter->restore();
    }

private:
    DBGrid* grid_;
    DBGridColumn fallback_;
};

// The row indicator: an empty column of sections, with a small triangle at
// the data set's current row.
class RowIndicator : public QHeaderView {
public:
    explicit RowIndicator(DBGrid* grid) : QHeaderView(Qt::Vertical, grid), grid_(grid)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    QSize sizeHint() const override { return QSize(12, QHeaderView::sizeHint().height()); }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = rect;
        opt.section = logicalIndex;
        opt.text.clear();
        style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
        const DataSet* ds = grid_->dataSet();
        if (!ds || ds->currentRow() != logicalIndex) return;
        const int h = std::min(rect.height() - 4, 8);
        const int x = rect.left() + (rect.width() - h / 2) / 2;
        const int y = rect.center().y();
        QPolygon triangle;
        triangle << QPoint(x, y - h / 2) << QPoint(x + h / 2, y) << QPoint(x, y + h / 2);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::WindowText));
        painter->drawPolygon(triangle);
        painter->restore();
    }

private:
    DBGrid* grid_;
};

}  // namespace

// --- DBGrid --------------------------------------------------------------------

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new DBGridModel(this))
{
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    setVerticalHeader(new RowIndicator(this));
    fitRowsToFont();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setAttribute(Qt::WA_Hover);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(8);  // marker columns are 18 pixels

    // The current row keeps its highlight when another control has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit titleClicked(section, columnField(section)); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        // Widths the user dragged survive new rows; a new set of columns
        // takes the widths it was given.
        if (model_->columnCount() != widthsFor_) applyWidths();
        followDataSet();
    });
}

void DBGrid::setDataSet(DataSet* ds)
{
    if (DataSet* old = dataSet()) disconnect(old, nullptr, this, nullptr);
    model_->setDataSet(ds);
    if (ds) connect(ds, &DataSet::currentChanged, this, &DBGrid::followDataSet);
    followDataSet();
}

void DBGrid::addColumn(const QString& fieldName, const QString& title, int width)
{
    QList<DBGridColumn> cols = model_->columns();
    cols.append({fieldName, title, width, QColor(), {}});
    model_->setColumns(cols);
    applyWidths();
}

void DBGrid::addMarkerColumn(const QString& title, int width)
{
    QList<DBGridColumn> cols = model_->columns();
    cols.append({QString(), title, width, QColor(), {}});
    model_->setColumns(cols);
    applyWidths();
}

void DBGrid::clearColumns() { model_->setColumns({}); }

QString DBGrid::columnField(int column) const { return model_->fieldName(column); }

QString DBGrid::columnTitle(int column) const { return model_->headerData(column, Qt::Horizontal).toString(); }

void DBGrid::setColumnColor(int column, const QColor& color)
{
    if (column < 0 || column >= model_->columns().size()) return;
    model_->column(column).color = color;
    viewport()->update();
}

void DBGrid::setColumnTitleAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0 || column >= model_->columns().size()) return;
    model_->column(column).titleAlignment = alignment;
    horizontalHeader()->viewport()->update();
}

QColor DBGrid::columnColor(int column) const
{
    return column >= 0 && column < model_->columns().size() ? model_->columns()[column].color : QColor();
}

void DBGrid::setTitleClicksEnabled(bool on) { horizontalHeader()->setSectionsClickable(on); }

void DBGrid::applyWidths()
{
    const QList<DBGridColumn>& cols = model_->columns();
    for (int i = 0; i < cols.size() && i < model_->columnCount(); ++i) setColumnWidth(i, cols[i].width);
    widthsFor_ = model_->columnCount();
}

void DBGrid::followDataSet()
{
    const DataSet* ds = dataSet();
    const int row = ds && ds->isActive() ? ds->currentRow() : -1;
    following_ = true;
    if (row < 0 || row >= model_->rowCount()) {
        selectionModel()->clear();
    } else {
        const int col = std::max(currentIndex().column(), 0);
        const QModelIndex target = model_->index(row, col);
        if (currentIndex() != target) setCurrentIndex(target);
        selectRow(row);
        scrollTo(target);
    }
    following_ = false;
    verticalHeader()->viewport()->update();
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    DataSet* ds = dataSet();
    if (following_ || !ds || !ds->isActive() || !current.isValid() || current.row() == ds->currentRow()) return;
    try {
        ds->setRecNo(current.row() + 1);
    } catch (const DbError& e) {
        followDataSet();  // the data set stayed where it was
        emit inputRefused(e.message());
    }
    verticalHeader()->viewport()->update();
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Home and End go to the first and last row, as in any list of records.
    if ((action == MoveHome || action == MoveEnd) && model_->rowCount() > 0) {
        const int col = std::max(currentIndex().column(), 0);
        return model_->index(action == MoveHome ? 0 : model_->rowCount() - 1, col);
    }
    return QTableView::moveCursor(action, modifiers);
}

void DBGrid::fitRowsToFont()
{
    // A marker picture is 16 pixels high and drawn one pixel below the top.
    const int height = std::max(fontMetrics().height() + 4, 18);
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

void DBGrid::changeEvent(QEvent* e)
{
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) fitRowsToFont();
}

void DBGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit enterPressed();
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}
