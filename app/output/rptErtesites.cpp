#include "rptErtesites.h"

#include "ListReport.h"
#include "OwnerBlock.h"
#include "app/Main/Beall.h"

using namespace report;

TqrErtesites::TqrErtesites(Connection* db) : Report("Értesítések", "qrErtesites"), Tbl(db)
{
    Tbl.setTableName("ugyf_ertesit.DB");
    Tbl.setReadOnly(true);
    Tbl.setIndexName("idx_dat_desc");
}

void TqrErtesites::prepare(int ownerKey, int ownerKind)
{
    Tbl.setFilter(output::OwnerFilter(ownerKey, ownerKind));
    Tbl.setFiltered(true);
    Tbl.open();
    setDataSet(&Tbl);
    output::SetOwnerReportFrame(*this, Tbl.connection());
    output::SetOwnerBlock(*this, Tbl.connection(), ownerKey, ownerKind);

    detail.height = 5.2;
    detail.field({0, 0.6, 25, 4}, "datum", {"Arial", 9});
    detail.field({26, 0.6, usableWidth() - 26, 4}, "rovid", {"Arial", 9});
    output::RowRule(*this);
}

void PrintNotifications(int ownerKey, int ownerKind, bool print, QWidget* owner)
{
    TqrErtesites r(Connection::byName(DatabaseAlias));
    r.prepare(ownerKey, ownerKind);
    output::PreviewOrPrint(r, print, owner);
}
