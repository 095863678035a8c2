#include "Felhasznalo.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "FelhasznaloSzerkeszt.h"
#include "app/Main/Beall.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBGrid.h"
#include "widgets/MenuStyle.h"

namespace {

QAction* makeAction(QWidget* owner, const char* name, const QString& text, const QKeySequence& key)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(a);
    return a;
}

}  // namespace

Tfrm_Felhasznalo::Tfrm_Felhasznalo(QWidget* parent) : QDialog(parent)
{
    setObjectName("frm_Felhasznalo");
    setWindowTitle("Felhasználók adatai");
    resize(360, 320);

    aUj = makeAction(this, "aUj", "Új Felhasználó", Qt::Key_Insert);
    aUj->setIconText("Új");
    aSzerkeszt = makeAction(this, "aSzerkeszt", "Szerkeszt", Qt::Key_F2);
    aTorol = makeAction(this, "aTorol", "Töröl", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    aBezar = makeAction(this, "aBezar", "Bezár", QKeySequence());
    connect(aUj, &QAction::triggered, this, &Tfrm_Felhasznalo::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Felhasznalo::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Felhasznalo::aTorolExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);  // Esc closes too

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->addAction(aUj);
    ToolBar1->addAction(aSzerkeszt);
    ToolBar1->addAction(aTorol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(aUj);
    PopupMenu1->addAction(aSzerkeszt);
    PopupMenu1->addAction(aTorol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);

    Tbl = new TableDataSet(Connection::byName(DatabaseAlias), this);
    Tbl->setTableName("felhasznalo.DB");
    Tbl->setDisplayLabel("felhasznalo", "kód");
    Tbl->setDisplayLabel("felhasznalo_nev", "név");

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->addColumn("felhasznalo", "kód", 120);
    DBGrid1->addColumn("felhasznalo_nev", "név", 160);
    DBGrid1->setDataSet(Tbl);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(p)); });
    connect(DBGrid1, &DBGrid::enterPressed, this, &Tfrm_Felhasznalo::aSzerkesztExecute);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &Tfrm_Felhasznalo::aSzerkesztExecute);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(DBGrid1);
}

void Tfrm_Felhasznalo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetMenuStyle(this);
    Tbl->open();
    DBGrid1->setFocus();
}

void Tfrm_Felhasznalo::hideEvent(QHideEvent* event)
{
    Tbl->close();
    QDialog::hideEvent(event);
}

void Tfrm_Felhasznalo::runEditor()
{
    Tfrm_FelhasznaloSzerkeszt editor(Tbl, this);
    if (interaction().runModal(editor) != QDialog::Accepted && Tbl->isEditing()) Tbl->cancel();
}

void Tfrm_Felhasznalo::aUjExecute()
{
    Tbl->append();
    runEditor();
}

void Tfrm_Felhasznalo::aSzerkesztExecute()
{
    Tbl->edit();
    runEditor();
}

void Tfrm_Felhasznalo::aTorolExecute()
{
    if (Tbl->isEmpty()) return;
    if (AskDeleteRow(this)) Tbl->remove();
}

void ShowUsers(QWidget* owner)
{
    Tfrm_Felhasznalo w(owner);
    interaction().runModal(w);
}
