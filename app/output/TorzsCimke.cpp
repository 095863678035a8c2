#include "TorzsCimke.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "TorzsCimke_Szerkeszt.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"

namespace {

QAction* makeAction(QWidget* owner, const char* name, const QString& text, const QString& hint,
                    const QKeySequence& key)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(name);
    a->setToolTip(hint.isEmpty() ? text : hint);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(a);
    return a;
}

const char* const kMeasureFormat = "### ### ##0.00";

}  // namespace

Tfrm_TorzsCimke::Tfrm_TorzsCimke(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_TorzsCimke");
    setWindowTitle("Címkék");
    resize(430, 300);

    aUj = makeAction(this, "aUj", "Új sor", "Új sor", Qt::Key_Insert);
    aSzerkeszt = makeAction(this, "aSzerkeszt", "Szerkeszt", "Szerkeszt", Qt::Key_F2);
    aTorol = makeAction(this, "aTorol", "Sor törlése", "Sor törlése", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    aElfogad = makeAction(this, "aElfogad", "Elfogad", QString(), QKeySequence());
    aBezar = makeAction(this, "aBezar", "Bezár", "Bezár", QKeySequence());  // Esc closes the dialog
    connect(aUj, &QAction::triggered, this, &Tfrm_TorzsCimke::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_TorzsCimke::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_TorzsCimke::aTorolExecute);
    connect(aElfogad, &QAction::triggered, this, &Tfrm_TorzsCimke::aElfogadExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->addAction(aUj);
    ToolBar1->addAction(aSzerkeszt);
    ToolBar1->addAction(aTorol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aElfogad);
    ToolBar1->addAction(aBezar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(aUj);
    PopupMenu1->addAction(aSzerkeszt);
    PopupMenu1->addAction(aTorol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aElfogad);
    PopupMenu1->addAction(aBezar);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName("cimke.DB");
    for (const char* f : {"felsomargo", "szelsomargo", "cimkemagas"}) Tbl->setDisplayFormat(f, kMeasureFormat);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->addColumn("cimke", "címke", 150);
    DBGrid1->addColumn("felsomargo", "felső", 60);
    DBGrid1->addColumn("szelsomargo", "szélső", 60);
    DBGrid1->addColumn("cimkemagas", "magas", 60);
    DBGrid1->addColumn("oszlop", "oszlop", 50);
    DBGrid1->setDataSet(Tbl);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    auto chosen = [this] { pick_ ? aElfogadExecute() : aSzerkesztExecute(); };
    connect(DBGrid1, &DBGrid::enterPressed, this, chosen);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, chosen);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(DBGrid1);
    setPickMode(false);
}

void Tfrm_TorzsCimke::setPickMode(bool on)
{
    pick_ = on;
    aElfogad->setVisible(on);
    aElfogad->setEnabled(on);
}

void Tfrm_TorzsCimke::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    if (!Tbl->isActive()) Tbl->open();
    DBGrid1->setFocus();
}

void Tfrm_TorzsCimke::runEditor()
{
    Tfrm_TorzsCimke_Szerkeszt editor(Tbl, this);
    if (interaction().runModal(editor) != QDialog::Accepted && Tbl->isEditing()) Tbl->cancel();
}

void Tfrm_TorzsCimke::aUjExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    Tbl->append();
    runEditor();
}

void Tfrm_TorzsCimke::aSzerkesztExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    Tbl->edit();
    runEditor();
}

void Tfrm_TorzsCimke::aTorolExecute()
{
    if (!Beall.referenceRight) {
        ShowNoRight(this);
        return;
    }
    if (Tbl->isEmpty() || !AskDeleteRow(this)) return;
    Tbl->remove();
    Tbl->flushBuffers();
}

void Tfrm_TorzsCimke::aElfogadExecute()
{
    if (pick_ && !Tbl->isEmpty()) accept();
}

LabelLayout PickLabelLayout(QWidget* owner, const QString& name, bool pick)
{
    Tfrm_TorzsCimke w(owner);
    w.setPickMode(pick);
    w.Tbl->open();
    if (!name.isEmpty()) w.Tbl->locate("cimke", name, DataSet::CaseInsensitive);
    LabelLayout chosen;
    if (interaction().runModal(w) == QDialog::Accepted && pick) chosen = LabelLayoutOf(*w.Tbl);
    w.Tbl->close();
    return chosen;
}
