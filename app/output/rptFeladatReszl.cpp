#include "rptFeladatReszl.h"

#include "rptFeladat.h"

TqrFeladatReszl::TqrFeladatReszl() : Report("Feladatok listája", "qrFeladatReszl") {}

void TqrFeladatReszl::prepare(const DataSet& tasks, bool filtered, const QString& subtitle)
{
    output::SetTaskListLayout(*this, tasks, {true, subtitle, filtered}, true);
}

void PrintTaskDetails(const DataSet& tasks, bool filtered, const QString& subtitle, bool print, QWidget* owner)
{
    TqrFeladatReszl r;
    r.prepare(tasks, filtered, subtitle);
    output::PreviewOrPrint(r, print, owner);
}
