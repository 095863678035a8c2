#include "rptUgyfel.h"

using namespace report;

namespace output {

std::vector<Caption> CustomerCaptions()
{
    return {{0, 55, "ügyfél"},
            {56, 25, "céges telefon"},
            {82, 25, "mobil"},
            {108, 25, "magántelefon"},
            {134, 56, "cím"}};
}

void SetCustomerFirstLine(Report& r)
{
    r.detail.height = 8.6;
    r.detail.field({0, 0.3, 55, 4.3}, "Ugyfel_nev", {"Tahoma", 10, Bold});
    r.detail.field({56, 0.8, 25, 3.6}, "Telefon_ceges", {"Tahoma", 8});
    r.detail.field({82, 0.8, 25, 3.6}, "Mobil", {"Tahoma", 8});
    r.detail.field({108, 0.8, 25, 3.6}, "Telefon_magan", {"Tahoma", 8});
    r.detail.field({134, 0.8, 10, 3.6}, "Cim_irsz", {"Tahoma", 8});
    r.detail.field({145, 0.8, 45, 3.6}, "Cim_varos", {"Tahoma", 8});
}

}  // namespace output

TqrUgyfel::TqrUgyfel(Connection* db) : Report("Ügyfelek listája", "qrUgyfel"), Qry(db) {}

void TqrUgyfel::prepare(const QueryDataSet& source, bool filtered, const QString& subtitle)
{
    Qry.copyQueryOf(source);
    Qry.open();
    setDataSet(&Qry);

    output::SetListHeader(*this, output::ReadOwnerDetails(Qry.connection()), {true, subtitle, filtered},
                          output::CustomerCaptions());
    output::SetListFooter(*this, output::ProgramLine());

    output::SetCustomerFirstLine(*this);
    output::CaptionedField(detail, 0, 4.6, 7, 48, "cég", "ceg_nev", Bold);
    output::CaptionedField(detail, 56, 4.6, 9, 68, "típus", "tipus_nev", Bold);
    detail.field({134, 4.6, 56, 3.6}, "Cim_cim", {"Tahoma", 8});
    output::RowRule(*this);
}

void PrintCustomerList(const QueryDataSet& source, bool filtered, const QString& subtitle, bool print,
                       QWidget* owner)
{
    TqrUgyfel r(source.connection());
    r.prepare(source, filtered, subtitle);
    output::PreviewOrPrint(r, print, owner);
}
