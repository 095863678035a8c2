#include "TorzsCimke.h"

#include <QAction>

#include "TorzsCimke_Szerkeszt.h"
#include "app/records/RecordWindow.h"
#include "app/records/RowEdit.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "widgets/DBGrid.h"

namespace {

const char* const kMeasureFormat = "### ### ##0.00";

}  // namespace

Tfrm_TorzsCimke::Tfrm_TorzsCimke(QWidget* parent)
    : TemplateListWindow("frm_TorzsCimke", "Címkék", "cimke.DB", "Sor törlése", QSize(430, 300), parent)
{
    aElfogad = MakeAction(this, "aElfogad", "Elfogad", QKeySequence());
    connect(aElfogad, &QAction::triggered, this, &Tfrm_TorzsCimke::aElfogadExecute);

    const QList<QAction*> commands{aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar};
    FillBars(ToolBar1, commands, PopupMenu1, commands);

    for (const char* f : {"felsomargo", "szelsomargo", "cimkemagas"}) Tbl->setDisplayFormat(f, kMeasureFormat);

    DBGrid1->addColumn("cimke", "címke", 150);
    DBGrid1->addColumn("felsomargo", "felső", 60);
    DBGrid1->addColumn("szelsomargo", "szélső", 60);
    DBGrid1->addColumn("cimkemagas", "magas", 60);
    DBGrid1->addColumn("oszlop", "oszlop", 50);
    auto chosen = [this] { pick_ ? aElfogadExecute() : aSzerkesztExecute(); };
    connect(DBGrid1, &DBGrid::enterPressed, this, chosen);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, chosen);
    setPickMode(false);
}

void Tfrm_TorzsCimke::setPickMode(bool on)
{
    pick_ = on;
    aElfogad->setVisible(on);
    aElfogad->setEnabled(on);
}

void Tfrm_TorzsCimke::runEditor()
{
    Tfrm_TorzsCimke_Szerkeszt editor(Tbl, this);
    RunRowEditor(editor, *Tbl);
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
