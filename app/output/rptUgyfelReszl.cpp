#include "rptUgyfelReszl.h"

#include "ListReport.h"
#include "common/DataSet.h"

using namespace report;

TqrUgyfelReszl::TqrUgyfelReszl() : Report("Ügyfelek listája (részletes)", "qrUgyfelReszl") {}

void TqrUgyfelReszl::prepare(const DataSet& customers, bool filtered, const QString& subtitle)
{
    setDataSet(&customers);
    output::SetListHeader(*this, output::ReadOwnerDetails(customers.connection()), {true, subtitle, filtered},
                          {{0, 55, "ügyfél"}, {56, 30, "telefonok"}, {87, 55, "E-Mail címek/honlap"}, {143, 47, "cím"}});
    output::SetListFooter(*this, output::ProgramLine(), 6);

    const Font value{"Tahoma", 8};
    detail.height = 19.6;
    detail.field({0, 0.3, 55, 4.3}, "Ugyfel_nev", {"Tahoma", 10, Bold});
    detail.field({56, 0.8, 30, 3.6}, "Telefon_ceges", value);
    detail.field({87, 0.8, 55, 3.6}, "Emil1", value);
    detail.field({143, 0.8, 10, 3.6}, "Cim_irsz", value);
    detail.field({154, 0.8, 36, 3.6}, "Cim_varos", value);

    output::CaptionedField(detail, 0, 4.6, 7, 48, "cég", "ceg_nev", Bold);
    detail.field({56, 4.6, 30, 3.6}, "Mobil", value);
    detail.field({87, 4.6, 55, 3.6}, "Emil2", value);
    detail.field({143, 4.6, 47, 3.6}, "Cim_cim", value);

    output::CaptionedField(detail, 0, 8.2, 9, 46, "típus", "tipus_nev");
    detail.field({56, 8.2, 30, 3.6}, "Telefon_magan", value);
    detail.field({87, 8.2, 55, 3.6}, "Honlap", value);
    output::CaptionedField(detail, 143, 8.2, 14, 33, "kapcsolat", "Kapcsolat");

    output::CaptionedField(detail, 0, 11.8, 14, 41, "üzletkötő", "uzletkoto_nev");
    output::CaptionedField(detail, 56, 11.8, 20, 19, "figyelmeztetés", "dat_figy");
    detail.field({96, 11.8, 94, 3.6}, "figy_szoveg", value);

    detail.field({0, 15.6, usableWidth(), 3.6}, "Megjegyzes", {"Times New Roman", 8}).stretch();
    output::RowRule(*this);
}

void PrintCustomerDetails(const DataSet& customers, bool filtered, const QString& subtitle, bool print,
                          QWidget* owner)
{
    TqrUgyfelReszl r;
    r.prepare(customers, filtered, subtitle);
    output::PreviewOrPrint(r, print, owner);
}
