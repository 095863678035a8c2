#include "RecordWindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/Main/Beall.h"
#include "app/Main/ImageList.h"
#include "RowEdit.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"
#include "widgets/MenuStyle.h"

QAction* MakeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key,
                    const QIcon& icon, const QString& hint)
{
    auto* a = new QAction(icon, text, owner);
    a->setObjectName(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (!hint.isEmpty()) a->setToolTip(hint);
    owner->addAction(a);
    return a;
}

void FillBars(QToolBar* toolBar, const QList<QAction*>& toolBarCommands, QMenu* popup,
              const QList<QAction*>& popupCommands)
{
    for (QAction* a : toolBarCommands) {
        if (a) toolBar->addAction(a);
        else toolBar->addSeparator();
    }
    for (QAction* a : popupCommands) {
        if (a) popup->addAction(a);
        else popup->addSeparator();
    }
}

DBGrid* ListGrid(QWidget* owner, DataSet* ds, QMenu* popup)
{
    auto* grid = new DBGrid(owner);
    grid->setObjectName("DBGrid1");
    grid->setDataSet(ds);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, grid,
                     [grid, popup](const QPoint& p) { popup->popup(grid->viewport()->mapToGlobal(p)); });
    return grid;
}

TableDataSet* ReferenceTable(QObject* owner, const char* file)
{
    auto* t = new TableDataSet(Connection::byName(DatabaseAlias), owner);
    t->setTableName(file);
    t->setReadOnly(true);
    return t;
}

namespace {

template <class Box>
Box* labelled(QWidget* page, const char* name, const QString& label, DataSet* ds, const char* field, int x, int y,
              int w)
{
    PlaceLabel(page, label, x, y);
    auto* box = new Box(page);
    box->setObjectName(name);
    box->setGeometry(x, y + 15, w, 21);
    box->setDataSet(ds);
    box->setDataField(field);
    return box;
}

}  // namespace

DBEdit* LabelledEdit(QWidget* page, const char* name, const QString& label, DataSet* ds, const char* field, int x,
                     int y, int w)
{
    return labelled<DBEdit>(page, name, label, ds, field, x, y, w);
}

DBLookupComboBox* LabelledLookup(QWidget* page, const char* name, const QString& label, DataSet* ds,
                                 const char* field, TableDataSet* list, const char* nameField, int x, int y, int w)
{
    auto* c = labelled<DBLookupComboBox>(page, name, label, ds, field, x, y, w);
    c->setListSource(list);
    c->setKeyField(field);
    c->setListField(nameField);
    return c;
}

QPushButton* GlyphButton(QWidget* parent, const char* name, const QIcon& icon, const QString& hint, int x, int y)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(name);
    b->setIcon(icon);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    b->setGeometry(x, y, 24, 22);
    return b;
}

void PickInto(DataSet* ds, const char* column, int (*list)(int key, QWidget* owner), QWidget* owner)
{
    Field* f = ds->fieldByName(column);
    const int chosen = list(f->asInteger(), owner);
    if (chosen != -1) f->setValue(chosen);
}

void ReopenList(TableDataSet& tbl, QueryDataSet& list, const char* keyField, int key)
{
    tbl.close();
    list.close();
    list.open();
    if (!list.locate(keyField, key)) list.first();
}

bool StoreDates(DataSet* ds, std::initializer_list<std::pair<const char*, const DateBox*>> boxes,
                QWidget* owner)
{
    try {
        for (const auto& [field, box] : boxes) ds->fieldByName(field)->setValue(box->value());
    } catch (const DbError& e) {
        ShowRefusedInput(e.message(), owner);
        return false;
    }
    return true;
}

// --- DateBox ---------------------------------------------------------------------

DateBox::DateBox(QWidget* parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("yyyy.MM.dd."));
    // The lowest date stands for a blank one and shows an empty box.
    setMinimumDate(QDate(100, 1, 1));
    setSpecialValueText(QStringLiteral(" "));
    setDate(minimumDate());
}

void DateBox::setValue(const QVariant& date)
{
    const QDate d = date.toDate();
    setDate(d.isValid() ? d : minimumDate());
}

QVariant DateBox::value() const { return date() == minimumDate() ? QVariant() : QVariant(date()); }

void DateBox::stepBy(int steps)
{
    if (date() == minimumDate()) {
        setDate(QDate::currentDate());
        return;
    }
    QDateEdit::stepBy(steps);
}

void DateBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete) {
        setDate(minimumDate());
        return;
    }
    QDateEdit::keyPressEvent(e);
}

// --- OwnerListWindow -------------------------------------------------------------

OwnerListWindow::OwnerListWindow(const char* formName, const QString& caption, const QString& tableFile,
                                 const QString& filter, int ownerKey, int ownerKind, QWidget* parent)
    : QDialog(parent), ownerKey_(ownerKey), ownerKind_(ownerKind)
{
    setObjectName(formName);
    setWindowTitle(caption);
    resize(520, 380);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName(tableFile);
    Tbl->setFilter(filter);
    Tbl->setFiltered(true);

    aUj = MakeAction(this, "aUj", "Új", Qt::Key_Insert, Picture(Pic::New));
    aSzerkeszt = MakeAction(this, "aSzerkeszt", "Szerkeszt", Qt::Key_F2, Picture(Pic::Edit));
    aTorol = MakeAction(this, "aTorol", "Töröl", QKeySequence(Qt::CTRL | Qt::Key_Delete), Picture(Pic::Delete));
    aBezar = MakeAction(this, "aBezar", "Bezár", Qt::Key_Escape, Picture(Pic::Close));
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    PopupMenu1 = new QMenu(this);

    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setTextFormat(Qt::PlainText);
    QFont bold = Panel1->font();
    bold.setBold(true);
    Panel1->setFont(bold);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setContentsMargins(6, 4, 6, 4);

    DBGrid1 = ListGrid(this, Tbl, PopupMenu1);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, aSzerkeszt, &QAction::trigger);
    connect(DBGrid1, &DBGrid::enterPressed, aSzerkeszt, &QAction::trigger);

    body_ = new QVBoxLayout(this);
    body_->setContentsMargins(0, 0, 0, 0);
    body_->setSpacing(0);
    body_->addWidget(ToolBar1);
    body_->addWidget(Panel1);
}

void OwnerListWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    if (!Tbl->isActive()) Tbl->open();
    DBGrid1->setFocus();
}

void OwnerListWindow::hideEvent(QHideEvent* event)
{
    Tbl->close();
    QDialog::hideEvent(event);
}

void OwnerListWindow::appendOwnedRow()
{
    Tbl->append();
    Tbl->fieldByName("ugyfel")->setValue(ownerKey_);
    Tbl->fieldByName("datum")->setValue(QDate::currentDate());
    Tbl->fieldByName("tipus")->setValue(ownerKind_);
}

bool OwnerListWindow::hasRow() const { return Tbl->isActive() && !Tbl->isEmpty(); }

bool OwnerListWindow::editCurrentRow() { return hasRow() && StartRow(*Tbl, false, this); }

void OwnerListWindow::removeCurrentRow()
{
    try {
        Tbl->remove();
        Tbl->flushBuffers();
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), this);
    }
}

void OwnerListWindow::addCommandsWithPrint(PrintRoutine report)
{
    aNyomtatKep = MakeAction(this, "aNyomtatKep", "Nyom.kép", QKeySequence(Qt::CTRL | Qt::Key_K),
                             Picture(Pic::Preview), "Nyomtatási kép");
    aNyomtat = MakeAction(this, "aNyomtat", "Nyomtat", QKeySequence(Qt::CTRL | Qt::Key_P), Picture(Pic::Print));
    connect(aNyomtatKep, &QAction::triggered, this, [this, report] { report(ownerKey_, ownerKind_, false, this); });
    connect(aNyomtat, &QAction::triggered, this, [this, report] { report(ownerKey_, ownerKind_, true, this); });
    ToolBar1->addActions({aUj, aSzerkeszt, aTorol});
    ToolBar1->addSeparator();
    ToolBar1->addActions({aNyomtatKep, aNyomtat});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);
    PopupMenu1->addActions({aUj, aSzerkeszt, aTorol});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aNyomtatKep, aNyomtat});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);
}
