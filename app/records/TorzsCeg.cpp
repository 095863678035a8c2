#include "TorzsCeg.h"

#include <QAction>

#include "common/DataSet.h"
#include "widgets/DBGrid.h"

namespace {

ListWindow::Setup companySetup(bool pick)
{
    ListWindow::Setup s;
    s.formName = "frm_TorzsCeg";
    s.caption = "Cégek";
    s.table = "ceg.DB";
    s.keyField = "ceg";
    s.order = "ceg_nev";
    s.searchField = "ceg_nev";
    s.searchTitle = "Cégek";
    s.searchByHalving = true;
    s.pick = pick;
    s.acceptCaption = "Elfogadás";
    s.closeCaption = "Mégsem";
    s.size = QSize(640, 420);
    return s;
}

}  // namespace

Tfrm_TorzsCeg::Tfrm_TorzsCeg(bool pick, QWidget* parent) : ListWindow(companySetup(pick), parent)
{
    finishBars({aElfogad, aBezar}, {aKeres, nullptr, aElfogad, aBezar});
    setFocusSearchOnShow(true);
    DBGrid1->addColumn("ceg_nev", "cég", 220);
    DBGrid1->addColumn("cim_irsz", "irsz", 45);
    DBGrid1->addColumn("cim_varos", "város", 110);
    DBGrid1->addColumn("cim_cim", "cím", 150);
    DBGrid1->addColumn("telefon", "telefon", 90);
}

int ShowCompanyList(int key, bool pick, QWidget* owner)
{
    Tfrm_TorzsCeg w(pick, owner);
    return w.choose(key);
}

int ShowCompanyListWithName(int key, bool pick, QString& name, QWidget* owner)
{
    Tfrm_TorzsCeg w(pick, owner);
    return w.choose(key, "ceg_nev", name);
}
