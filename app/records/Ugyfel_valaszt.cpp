#include "Ugyfel_valaszt.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/Main/ImageList.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/output/rptGridPrint.h"
#include "common/DataSet.h"
#include "widgets/DBGrid.h"

namespace {

ListWindow::Setup customerSetup()
{
    ListWindow::Setup s;
    s.formName = "frm_Ugyfel_valaszt";
    s.caption = "Ügyfél választás";
    s.table = "ugyfel.DB";
    s.keyField = "Ugyfel";
    s.order = "Ugyfel_nev";
    s.searchField = "Ugyfel_nev";
    s.searchTitle = "Ügyfelek";
    s.emptySearchStays = true;
    s.searchByHalving = true;
    s.pick = true;
    s.searchCaption = "Keresőmező";
    s.size = QSize(680, 440);
    return s;
}

}  // namespace

Tfrm_Ugyfel_valaszt::Tfrm_Ugyfel_valaszt(QWidget* parent) : ListWindow(customerSetup(), parent)
{
    aNyomtat = makeAction("aNyomtat", "Nyomtat", QKeySequence(Qt::CTRL | Qt::Key_P));
    aNyomtat->setIcon(Picture(Pic::Print));
    aNyomtatKep = makeAction("aNyomtatKep", "Nyomtatási kép", QKeySequence(Qt::CTRL | Qt::Key_K));
    aNyomtatKep->setIcon(Picture(Pic::Preview));
    aExcelbe = makeAction("aExcelbe", "Excelbe...", QKeySequence(Qt::CTRL | Qt::Key_E));
    aExcelbe->setIcon(Picture(Pic::Excel));
    aHtml = makeAction("aHtml", "Html export", QKeySequence(Qt::CTRL | Qt::Key_H));
    aHtml->setIcon(Picture(Pic::Html));
    connect(aNyomtat, &QAction::triggered, this, [this] { PrintGrid(DBGrid1, true, true, QString(), QString(), 8, "Ügyfelek"); });
    connect(aNyomtatKep, &QAction::triggered, this,
            [this] { PrintGrid(DBGrid1, false, true, QString(), QString(), 8, "Ügyfelek"); });
    connect(aExcelbe, &QAction::triggered, this, [this] { ShowDelimitedExport(Tbl, QString(), this); });
    connect(aHtml, &QAction::triggered, this, [this] { ShowHtmlExport(DBGrid1, "Ügyfelek", QString(), this); });

    PopupMenuNyomtat = new QMenu(this);
    PopupMenuNyomtat->addAction(aNyomtat);
    PopupMenuNyomtat->addAction(aNyomtatKep);
    PopupMenuNyomtat->addSeparator();
    PopupMenuNyomtat->addAction(aExcelbe);
    PopupMenuNyomtat->addAction(aHtml);
    finishBars({aNyomtat, nullptr, aElfogad, aBezar}, {aKeres, nullptr, aElfogad, aBezar});
    if (auto* b = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(aNyomtat))) {
        b->setMenu(PopupMenuNyomtat);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }

    DBGrid1->addColumn("Ugyfel_nev", "ügyfél", 230);
    DBGrid1->addColumn("Mobil", "mobil", 100);
    DBGrid1->addColumn("Cim_irsz", "irsz.", 45);
    DBGrid1->addColumn("Cim_varos", "város", 110);
    DBGrid1->addColumn("Cim_cim", "cím", 160);
}

int PickCustomer(int key, QWidget* owner)
{
    Tfrm_Ugyfel_valaszt w(owner);
    return w.choose(key);
}

int PickCustomerWithName(int key, QString& name, QWidget* owner)
{
    Tfrm_Ugyfel_valaszt w(owner);
    return w.choose(key, "Ugyfel_nev", name);
}
