#include "rptUgyfelCeg.h"

#include "rptUgyfel.h"
#include "app/Main/Beall.h"

using namespace report;

namespace {

// Companies of the same name sort by their key as well, so that each
// company's customers stay together under one header.
const QStringList kQuery = {
    "SELECT",
    " ugyfel.*,",
    " tipus.tipus_nev,",
    " ceg.ceg_nev,",
    " ceg.cim_irsz AS ceg_irsz,",
    " ceg.cim_varos AS ceg_varos,",
    " ceg.cim_cim AS ceg_cim,",
    " ceg.telefon AS cegtelefon,",
    " uzletkoto.uzletkoto_nev",
    "FROM ugyfel",
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
    " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
    " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)",
    "ORDER BY ceg_nev, ugyfel.ceg, ugyfel.ugyfel_nev",
};

}  // namespace

TqrUgyfelCeg::TqrUgyfelCeg(Connection* db) : Report("Ügyfelek listája cégek szerint", "qrUgyfelCeg"), Qry(db)
{
    Qry.setSql(kQuery);
}

void TqrUgyfelCeg::prepare(int company)
{
    if (company != -1) {
        Qry.setFilter("ceg=" + QString::number(company));
        Qry.setFiltered(true);
    }
    Qry.open();
    setDataSet(&Qry);
    setGroupField("ceg");

    output::SetListHeader(*this, output::ReadOwnerDetails(Qry.connection()), {}, output::CustomerCaptions());
    output::SetListFooter(*this, output::ProgramLine());

    groupHeader.height = 10;
    groupHeader.field({0, 0.8, 190, 4.4}, "ceg_nev", {"Tahoma", 10, Bold});
    groupHeader.field({0, 5.4, 12, 4}, "ceg_irsz", {"Tahoma", 9});
    groupHeader.field({13, 5.4, 40, 4}, "ceg_varos", {"Tahoma", 9});
    groupHeader.field({54, 5.4, 90, 4}, "ceg_cim", {"Tahoma", 9});
    groupHeader.field({145, 5.4, 45, 4}, "cegtelefon", {"Tahoma", 9}).right();
    groupHeader.line({0, 9.8}, {usableWidth(), 9.8});

    output::SetCustomerFirstLine(*this);
    output::CaptionedField(detail, 0, 4.6, 20, 19, "figyelmeztetés", "dat_figy");
    detail.field({40, 4.6, 41, 3.6}, "figy_szoveg", {"Tahoma", 8});
    output::CaptionedField(detail, 82, 4.6, 9, 42, "típus", "tipus_nev");
    detail.field({134, 4.6, 56, 3.6}, "Cim_cim", {"Tahoma", 8});
    output::RowRule(*this);
}

void PrintCustomersByCompany(int company, bool print, QWidget* owner)
{
    TqrUgyfelCeg r(Connection::byName(DatabaseAlias));
    r.prepare(company);
    output::PreviewOrPrint(r, print, owner);
}
