// Tfrm_Main: the print commands. Each passes the current tab's list as it
// stands (filter, order, the filter command's state and the order's label)
// to its report, or the company grid to the grid print.
#include "Main.h"

#include <QAction>

#include "Beall.h"
#include "app/output/rptErtesites.h"
#include "app/output/rptFeladat.h"
#include "app/output/rptFeladatReszl.h"
#include "app/output/rptGridPrint.h"
#include "app/output/rptMegjegyzes.h"
#include "app/output/rptTermek.h"
#include "app/output/rptUgyfel.h"
#include "app/output/rptUgyfelCeg.h"
#include "app/output/rptUgyfelReszl.h"
#include "app/records/TorzsCeg.h"
#include "common/DataSet.h"

void Tfrm_Main::connectPrintCommands()
{
    connect(aNyomtat, &QAction::triggered, this, [this] { printList(true); });
    connect(aNyomtatkep, &QAction::triggered, this, [this] { printList(false); });
    connect(aNyomEgyszeru, &QAction::triggered, this, [this] {
        if (tabIndex() == 1 || tabIndex() == 2) printList(false);
    });
    connect(aNyomReszletes, &QAction::triggered, this, &Tfrm_Main::printDetails);
    connect(aNyomCegSzerint, &QAction::triggered, this, [this] { PrintCustomersByCompany(-1, false, this); });
    connect(aNyomCegSzerint1, &QAction::triggered, this, [this] {
        const int company = ShowCompanyList(-1, true, this);
        if (company != -1) PrintCustomersByCompany(company, false, this);
    });
    connect(aNyomMegjegyzes, &QAction::triggered, this, [this] { printOwnerReport(PrintNotes); });
    connect(aNyomErtesit, &QAction::triggered, this, [this] { printOwnerReport(PrintNotifications); });
}

QString Tfrm_Main::sortSubtitle(int tab) const
{
    return browseDataSet(tab)->displayLabel(Beall.sortFields[size_t(tab)]) + " szerint";
}

void Tfrm_Main::printList(bool print)
{
    const int tab = tabIndex();
    // What prints is what the list would show now.
    refreshOutdated(tab);
    switch (tab) {
    case 0:
        PrintGrid(DBGrid4, print, true, QString(), QString(), 8, "Cégek");
        break;
    case 1:
        PrintCustomerList(*Qry, aSzur->isChecked(), sortSubtitle(tab), print, this);
        break;
    case 2:
        PrintTaskList(*QryFeladat, aSzurF->isChecked(), sortSubtitle(tab), print, this);
        break;
    default:
        PrintProductList(*TblTermek, print, this);
        break;
    }
}

void Tfrm_Main::printDetails()
{
    const int tab = tabIndex();
    if (tab != 1 && tab != 2) return;
    refreshOutdated(tab);
    if (tab == 1) PrintCustomerDetails(*Qry, aSzur->isChecked(), sortSubtitle(tab), false, this);
    else PrintTaskDetails(*QryFeladat, aSzurF->isChecked(), sortSubtitle(tab), false, this);
}

void Tfrm_Main::printOwnerReport(void (*report)(int, int, bool, QWidget*))
{
    if (const auto o = currentOwner()) report(o->key, o->kind, false, this);
}
