#include "ListReport.h"

#include "app/dialogs/Nevjegy.h"
#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"

namespace output {

namespace {

constexpr double kOwnerWidth = 75;

}  // namespace

OwnerDetails ReadOwnerDetails(Connection* db)
{
    TableDataSet t(db);
    t.setTableName("tulajdonos.DB");
    t.setReadOnly(true);
    t.open();
    OwnerDetails o;
    if (!t.isEmpty()) {
        auto text = [&t](const char* field) { return t.fieldByName(field)->asString(); };
        o.name = text("tulajdonos");
        o.cityLine = text("irsz") + ", " + text("varos");
        o.address = text("cim");
        o.phone = text("telefon");
    }
    return o;
}

QString ProgramLine()
{
    return QStringLiteral("Nyilvex V" NYILVEX_VERSION);
}

void SetListHeader(report::Report& r, const OwnerDetails& owner, const Subtitles& subtitles,
                   const std::vector<Caption>& captions)
{
    using namespace report;
    Band& h = r.pageHeader;
    const double width = r.usableWidth();
    const double ownerLeft = width - kOwnerWidth;

    // The heading block at the left, ruled above and below.
    h.line({0, 0.1}, {ownerLeft - 5, 0.1});
    h.text({0, 0.8, ownerLeft - 5, 7.5}, r.title(), {"Tahoma", 16, Bold});
    h.line({0, 9}, {ownerLeft - 5, 9});
    if (subtitles.shown) {
        h.text({0, 9.8, ownerLeft - 5, 4.5}, subtitles.first, {"Tahoma", 10, Bold});
        if (subtitles.filtered) h.text({0, 14.2, ownerLeft - 5, 4.5}, "Szűrt adatok", {"Tahoma", 10, Bold});
    }

    // The owner's details at the right, ruled above and below.
    h.line({ownerLeft, 0.1}, {width, 0.1});
    h.text({ownerLeft, 0.8, kOwnerWidth, 4.4}, owner.name, {"Tahoma", 10, Bold}).right();
    h.text({ownerLeft, 5.2, kOwnerWidth, 3.5}, owner.cityLine, {"Tahoma", 8}).right();
    h.text({ownerLeft, 8.7, kOwnerWidth, 3.5}, owner.address, {"Tahoma", 8}).right();
    h.text({ownerLeft, 12.2, kOwnerWidth, 3.5}, owner.phone, {"Tahoma", 8}).right();
    h.line({ownerLeft, 16.2}, {width, 16.2});

    double bottom = 19;
    if (!captions.empty()) {
        for (const Caption& c : captions)
            h.text({c.left, 19.5, c.width, 3.5}, c.text, {"Tahoma", 8, Italic});
        bottom = 23.5;
    }
    h.line({0, bottom}, {width, bottom}, DoubleLine, Silver);
    h.height = bottom + 1;
}

void SetListFooter(report::Report& r, const QString& programLine, double size)
{
    using namespace report;
    Band& f = r.pageFooter;
    const double width = r.usableWidth();
    const Font font{"Courier New", size};
    const double step = size * 0.42;  // one line of Courier New in mm
    const double top = 1;
    f.line({0, 0.3}, {width, 0.3}, ThinLine, Silver);
    f.text({0, top, width / 2, step}, programLine, font);
    f.dateTime({width / 2, top, width / 2, step}, font).right();
    f.text({0, top + step, width, step}, r.title(), font).right();
    f.pageNumber({0, top + 2 * step, width / 3, step}, "oldal: ", font);
    f.text({width / 3, top + 2 * step, width / 3, step}, MakerWebAddress, font).center();
    f.text({2 * width / 3, top + 2 * step, width / 3, step}, r.code(), font).right();
    f.height = top + 3 * step + 0.5;
}

report::Box& CaptionedField(report::Band& band, double left, double top, double captionWidth, double valueWidth,
                            const QString& caption, const QString& field, int style)
{
    band.text({left, top + 0.3, captionWidth, 3.4}, caption, {"Tahoma", 8, report::Italic});
    return band.field({left + captionWidth, top, valueWidth, 3.6}, field, {"Tahoma", 8, style});
}

void RowRule(report::Report& r)
{
    const double y = r.detail.height - 0.2;
    r.detail.line({0, y}, {r.usableWidth(), y}, report::ThinLine, report::Silver);
}

void PreviewOrPrint(report::Report& r, bool print, QWidget* owner)
{
    if (!print) {
        interaction().printPreview(owner, r);
        return;
    }
    if (!interaction().print(owner, r)) ShowNoPrinter(owner);
}

}  // namespace output
