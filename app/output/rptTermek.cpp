#include "rptTermek.h"

#include "ListReport.h"

using namespace report;

TqrTermek::TqrTermek(Connection* db) : Report("Termékek listája", "qrTermek"), Tbl(db)
{
    Tbl.setTableName("termek.DB");
    Tbl.setReadOnly(true);
}

void TqrTermek::prepare(const TableDataSet& products)
{
    Tbl.setFilter(products.filter());
    Tbl.setFiltered(products.filtered());
    if (!products.indexName().isEmpty()) Tbl.setIndexName(products.indexName());
    else Tbl.setIndexFieldNames(products.indexFieldNames());
    Tbl.open();
    setDataSet(&Tbl);

    output::SetListHeader(*this, output::ReadOwnerDetails(Tbl.connection()), {},
                          {{0, 80, "termék"}, {81, 30, "kategória"}, {112, 78, "kulcsszavak"}});
    output::SetListFooter(*this, output::ProgramLine());

    const Font value{"Tahoma", 8};
    detail.height = 8.0;
    detail.field({0, 0.4, 80, 3.6}, "cikkszam_nev", value);
    detail.field({81, 0.4, 30, 3.6}, "kategoria", value);
    detail.field({112, 0.4, 78, 3.6}, "kulcsszavak", value);
    output::CaptionedField(detail, 0, 4.0, 14, 60, "cikkszám", "cikkszam", Bold);
    output::CaptionedField(detail, 81, 4.0, 20, 19, "figyelmeztetés", "dat_figy");
    detail.field({121, 4.0, 69, 3.6}, "figy_szoveg", value);
    output::RowRule(*this);
}

void PrintProductList(const TableDataSet& products, bool print, QWidget* owner)
{
    TqrTermek r(products.connection());
    r.prepare(products);
    output::PreviewOrPrint(r, print, owner);
}
