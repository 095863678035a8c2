#include "rptErtesites.h"

#include "ListReport.h"
#include "app/Main/Beall.h"

using namespace report;

TqrErtesites::TqrErtesites(Connection* db)
    : OwnerRowsReport("Értesítések", "qrErtesites", db, "ugyf_ertesit.DB", "idx_dat_desc")
{
}

void TqrErtesites::prepare(int ownerKey, int ownerKind)
{
    prepareRows(ownerKey, ownerKind, 5.2, Plain);
    output::RowRule(*this);
}

void PrintNotifications(int ownerKey, int ownerKind, bool print, QWidget* owner)
{
    TqrErtesites r(Connection::byName(DatabaseAlias));
    r.prepare(ownerKey, ownerKind);
    output::PreviewOrPrint(r, print, owner);
}
