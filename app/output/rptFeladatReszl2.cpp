#include "rptFeladatReszl2.h"

#include "rptFeladat.h"

TqrFeladatReszl2::TqrFeladatReszl2(Connection* db) : Report("Feladatok listája", "qrFeladatReszl2"), Qry(db) {}

void TqrFeladatReszl2::prepare(const QueryDataSet& source, const QString& subtitle)
{
    Qry.copyQueryOf(source);
    Qry.open();
    output::SetTaskListLayout(*this, Qry, {true, subtitle, false}, true);
}

void PrintTaskDetailsOf(const QueryDataSet& source, const QString& subtitle, bool print, QWidget* owner)
{
    TqrFeladatReszl2 r(source.connection());
    r.prepare(source, subtitle);
    output::PreviewOrPrint(r, print, owner);
}
