#include "rptFeladat.h"

#include "common/DataSet.h"

using namespace report;

namespace output {

void SetTaskListLayout(Report& r, const DataSet& tasks, const Subtitles& subtitles, bool detailed)
{
    r.setDataSet(&tasks);
    SetListHeader(r, ReadOwnerDetails(tasks.connection()), subtitles,
                  {{0, 60, "rövid leírás"},
                   {61, 18, "beérkezett"},
                   {80, 18, "határidő"},
                   {99, 18, "lezárás"},
                   {118, 24, "prioritás"},
                   {143, 24, "állapot"},
                   {168, 22, "típus"}});
    SetListFooter(r, ProgramLine());

    Band& d = r.detail;
    const Font value{"Tahoma", 8};
    d.field({0, 0.4, 60, 3.6}, "rovid", {"Tahoma", 8, Bold});
    d.field({61, 0.4, 18, 3.6}, "dat_beerk", value);
    d.field({80, 0.4, 18, 3.6}, "dat_hatid", value);
    d.field({99, 0.4, 18, 3.6}, "dat_lezar", value);
    d.field({118, 0.4, 24, 3.6}, "prioritas_nev", value);
    d.field({143, 0.4, 24, 3.6}, "allapot_nev", value);
    d.field({168, 0.4, 22, 3.6}, "feltipus_nev", value);
    CaptionedField(d, 0, 4.0, 11, 87, "ügyfél", "ugyfel_nev");
    CaptionedField(d, 99, 4.0, 12, 79, "termék", "cikkszam_nev");
    d.height = 8.0;
    if (detailed) {
        d.text({0, 7.9, 11, 3.4}, "leírás", {"Tahoma", 8, Italic});
        d.field({11, 7.6, r.usableWidth() - 11, 3.6}, "leiras", value).stretch();
        d.height = 11.6;
    }
    RowRule(r);
}

}  // namespace output

TqrFeladat::TqrFeladat() : Report("Feladatok listája", "qrFeladat") {}

void TqrFeladat::prepare(const DataSet& tasks, bool filtered, const QString& subtitle)
{
    output::SetTaskListLayout(*this, tasks, {true, subtitle, filtered}, false);
}

void PrintTaskList(const DataSet& tasks, bool filtered, const QString& subtitle, bool print, QWidget* owner)
{
    TqrFeladat r;
    r.prepare(tasks, filtered, subtitle);
    output::PreviewOrPrint(r, print, owner);
}
