#include "rptMegjegyzes.h"

#include "ListReport.h"
#include "OwnerBlock.h"
#include "app/Main/Beall.h"

using namespace report;

TqrMegjegyzes::TqrMegjegyzes(Connection* db) : Report("Megjegyzések", "qrMegjegyzes"), Tbl(db)
{
    Tbl.setTableName("ugyf_megj.DB");
    Tbl.setReadOnly(true);
    Tbl.setIndexName("idx_datum_desc");
}

void TqrMegjegyzes::prepare(int ownerKey, int ownerKind)
{
    Tbl.setFilter(output::OwnerFilter(ownerKey, ownerKind));
    Tbl.setFiltered(true);
    Tbl.open();
    setDataSet(&Tbl);
    output::SetOwnerReportFrame(*this, Tbl.connection());
    output::SetOwnerBlock(*this, Tbl.connection(), ownerKey, ownerKind);

    detail.height = 9.6;
    detail.field({0, 0.6, 25, 4}, "datum", {"Arial", 9, Bold});
    detail.field({26, 0.6, usableWidth() - 26, 4}, "rovid", {"Arial", 9, Bold});
    detail.field({0, 5, usableWidth(), 4}, "megjegyzes", {"Times New Roman", 9}).stretch();
    output::RowRule(*this);
}

void PrintNotes(int ownerKey, int ownerKind, bool print, QWidget* owner)
{
    TqrMegjegyzes r(Connection::byName(DatabaseAlias));
    r.prepare(ownerKey, ownerKind);
    output::PreviewOrPrint(r, print, owner);
}
