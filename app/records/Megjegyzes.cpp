#include "Megjegyzes.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "Megjegyzes_Szerkeszt.h"
#include "app/Main/ImageList.h"
#include "RowEdit.h"
#include "app/output/rptMegjegyzes.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBControls.h"
#include "widgets/DBGrid.h"

QString NotesFilter(int ownerKey, int ownerKind)
{
    return "(ugyfel=" + QString::number(ownerKey) + ") and (tipus=" + QString::number(ownerKind) + ")";
}

Tfrm_Megjegyzes::Tfrm_Megjegyzes(int ownerKey, int ownerKind, const QString& title, QWidget* parent)
    : OwnerListWindow("frm_Megjegyzes", "Megjegyzések", "ugyf_megj.DB", NotesFilter(ownerKey, ownerKind), ownerKey,
                      ownerKind, parent)
{
    Tbl->setIndexName("idx_datum_desc");
    Panel1->setText(title);

    addCommandsWithPrint(&PrintNotes);
    connect(aUj, &QAction::triggered, this, &Tfrm_Megjegyzes::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Megjegyzes::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Megjegyzes::aTorolExecute);

    DBGrid1->addColumn("datum", "dátum", 90);
    DBGrid1->addColumn("rovid", "rövid leírás", 380);

    DBMemo1 = new DBMemo(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setFont(QFont("Courier New", 9));
    DBMemo1->setBoundReadOnly(true);
    DBMemo1->setDataSet(Tbl);
    DBMemo1->setDataField("megjegyzes");

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->addWidget(DBGrid1);
    Splitter1->addWidget(DBMemo1);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setSizes({200, 140});
    body()->addWidget(Splitter1);
}

void Tfrm_Megjegyzes::aUjExecute()
{
    appendOwnedRow();
    Tfrm_Megjegyzes_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Megjegyzes::aSzerkesztExecute()
{
    if (!editCurrentRow()) return;
    Tfrm_Megjegyzes_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Megjegyzes::aTorolExecute()
{
    if (hasRow() && AskDeleteRow(this)) removeCurrentRow();
}

void ShowNotes(QWidget* owner, int ownerKey, int ownerKind, const QString& title)
{
    Tfrm_Megjegyzes w(ownerKey, ownerKind, title, owner);
    interaction().runModal(w);
}
