#include "Ertesit.h"

#include <QAction>
#include <QLabel>
#include <QVBoxLayout>

#include "Ertesit_Szerkeszt.h"
#include "Megjegyzes.h"
#include "RowEdit.h"
#include "app/output/rptErtesites.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "widgets/DBGrid.h"

Tfrm_Ertesit::Tfrm_Ertesit(int ownerKey, int ownerKind, const QString& title, QWidget* parent)
    : OwnerListWindow("frm_Ertesit", "Értesítések", "ugyf_ertesit.DB", NotesFilter(ownerKey, ownerKind), ownerKey,
                      ownerKind, parent)
{
    Tbl->setIndexName("idx_dat_desc");
    Panel1->setText(title);
    addCommandsWithPrint(&PrintNotifications);
    connect(aUj, &QAction::triggered, this, &Tfrm_Ertesit::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Ertesit::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Ertesit::aTorolExecute);
    DBGrid1->addColumn("datum", "dátum", 90);
    DBGrid1->addColumn("rovid", "rövid leírás", 380);
    body()->addWidget(DBGrid1);
}

void Tfrm_Ertesit::aUjExecute()
{
    appendOwnedRow();
    Tfrm_Ertesit_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Ertesit::aSzerkesztExecute()
{
    if (!editCurrentRow()) return;
    Tfrm_Ertesit_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
}

void Tfrm_Ertesit::aTorolExecute()
{
    if (hasRow() && AskDeleteRow(this)) removeCurrentRow();
}

void ShowNotifications(QWidget* owner, int ownerKey, int ownerKind, const QString& title)
{
    Tfrm_Ertesit w(ownerKey, ownerKind, title, owner);
    interaction().runModal(w);
}
