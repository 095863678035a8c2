#include "Cikkszam_valaszt.h"

#include <QAction>

#include "common/DataSet.h"
#include "widgets/DBGrid.h"

namespace {

ListWindow::Setup productSetup()
{
    ListWindow::Setup s;
    s.formName = "frm_Cikkszam_valaszt";
    s.caption = "Termék választás";
    s.table = "termek.DB";
    s.keyField = "termek";
    s.order = "cikkszam";
    s.pick = true;
    s.size = QSize(480, 400);
    return s;
}

}  // namespace

Tfrm_Cikkszam_valaszt::Tfrm_Cikkszam_valaszt(QWidget* parent) : ListWindow(productSetup(), parent)
{
    finishBars({aElfogad, aBezar}, {aElfogad, aBezar});
    DBGrid1->addColumn("cikkszam", "cikkszám", 110);
    DBGrid1->addColumn("cikkszam_nev", "megnevezés", 240);
    DBGrid1->addColumn("kategoria", "kategória", 80);
}

int PickProduct(int key, QWidget* owner)
{
    Tfrm_Cikkszam_valaszt w(owner);
    return w.choose(key);
}

int PickProductWithName(int key, QString& name, QWidget* owner)
{
    Tfrm_Cikkszam_valaszt w(owner);
    return w.choose(key, "cikkszam_nev", name);
}
