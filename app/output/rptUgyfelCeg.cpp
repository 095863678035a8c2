#include "rptUgyfelCeg.h"

#include "ListReport.h"
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

    output::SetListHeader(*this, output::ReadOwnerDetails(Qry.connection()), {},
                          {{0, 55, "ügyfél"},
                           {56, 25, "céges telefon"},
                           {82, 25, "mobil"},
                           {108, 25, "magántelefon"},
                           {134, 56, "cím"}});
    output::SetListFooter(*this, output::ProgramLine());

    groupHeader.height = 10;
    groupHeader.field({0, 0.8, 190, 4.4}, "ceg_nev", {"Tahoma", 10, Bold});
    groupHeader.field({0, 5.4, 12, 4}, "ceg_irsz", {"Tahoma", 9});
    groupHeader.field({13, 5.4, 40, 4}, "ceg_varos", {"Tahoma", 9});
    groupHeader.field({54, 5.4, 90, 4}, "ceg_cim", {"Tahoma", 9});
    groupHeader.field({145, 5.4, 45, 4}, "cegtelefon", {"Tahoma", 9}).right();
    groupHeader.line({0, 9.8}, {usableWidth(), 9.8});

    detail.height = 8.6;
    detail.field({0, 0.3, 55, 4.3}, "Ugyfel_nev", {"Tahoma", 10, Bold});
    detail.field({56, 0.8, 25, 3.6}, "Telefon_ceges", {"Tahoma", 8});
    detail.field({82, 0.8, 25, 3.6}, "Mobil", {"Tahoma", 8});
    detail.field({108, 0.8, 25, 3.6}, "Telefon_magan", {"Tahoma", 8});
    detail.field({134, 0.8, 10, 3.6}, "Cim_irsz", {"Tahoma", 8});
    detail.field({145, 0.8, 45, 3.6}, "Cim_varos", {"Tahoma", 8});
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
