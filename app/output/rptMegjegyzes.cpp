#include "rptMegjegyzes.h"

#include "ListReport.h"
#include "app/Main/Beall.h"

using namespace report;

TqrMegjegyzes::TqrMegjegyzes(Connection* db)
    : OwnerRowsReport("Megjegyzések", "qrMegjegyzes", db, "ugyf_megj.DB", "idx_datum_desc")
{
}

void TqrMegjegyzes::prepare(int ownerKey, int ownerKind)
{
    prepareRows(ownerKey, ownerKind, 9.6, Bold);
    detail.field({0, 5, usableWidth(), 4}, "megjegyzes", {"Times New Roman", 9}).stretch();
    output::RowRule(*this);
}

void PrintNotes(int ownerKey, int ownerKind, bool print, QWidget* owner)
{
    TqrMegjegyzes r(Connection::byName(DatabaseAlias));
    r.prepare(ownerKey, ownerKind);
    output::PreviewOrPrint(r, print, owner);
}
