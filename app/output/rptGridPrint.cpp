#include "rptGridPrint.h"

#include <QPageSize>

#include <cmath>
#include <numeric>

#include "ListReport.h"
#include "widgets/DBGrid.h"

using namespace report;

namespace {

constexpr int kGap = 4;
constexpr int kPortraitUnits = 575;
constexpr int kLandscapeUnits = 838;

QRectF units(double left, double top, double width, double height)
{
    return QRectF(left * kGridUnitMm, top * kGridUnitMm, width * kGridUnitMm, height * kGridUnitMm);
}

}  // namespace

std::vector<GridColumnPlace> GridColumnPlaces(const std::vector<int>& screenWidths, int gridWidth, int usable)
{
    std::vector<GridColumnPlace> out;
    if (screenWidths.empty()) return out;
    const int sum = std::accumulate(screenWidths.begin(), screenWidths.end(), 0);
    const double whole = gridWidth > 0 ? gridWidth : sum;
    std::vector<int> widths;
    for (int w : screenWidths) widths.push_back(whole > 0 ? int(std::lround(usable * w / whole)) : usable / int(screenWidths.size()));
    auto place = [&] {
        out.clear();
        int x = 0;
        for (int w : widths) {
            out.push_back({x, w});
            x += w + kGap;
        }
    };
    place();
    const int right = out.back().left + out.back().width;
    if (right > usable) {
        // Narrower columns rather than columns past the margin.
        const int room = usable - kGap * int(widths.size() - 1);
        const int total = std::accumulate(widths.begin(), widths.end(), 0);
        for (int& w : widths) w = total > 0 && room > 0 ? int(std::floor(double(w) * room / total)) : 0;
        place();
    }
    return out;
}

TqrGridPrint::TqrGridPrint(const QString& title) : Report(title, "qrGridPrint") {}

void TqrGridPrint::prepare(const DBGrid& grid, bool portrait, const QString& subtitle, const QString& totalField,
                           int fontSize)
{
    setPageLayout(QPageLayout(QPageSize(QPageSize::A4), portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                              QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    const int usable = portrait ? kPortraitUnits : kLandscapeUnits;
    const double width = usableWidth();
    const DataSet* ds = grid.dataSet();
    setDataSet(ds);

    Band& h = pageHeader;
    h.line({0, 0.1}, {width, 0.1});
    h.text(units(0, 3, 400, 24), title(), {"Arial", 16, Bold});
    h.line({0, 28 * kGridUnitMm}, {width, 28 * kGridUnitMm});
    h.text({0, 31 * kGridUnitMm, 74, 9}, subtitle, {"Tahoma", 9, Bold}).wrap();

    detail.height = 20 * kGridUnitMm;
    std::vector<int> screenWidths;
    std::vector<int> columns;
    for (int c = 0; c < grid.gridColumnCount(); ++c) {
        if (grid.isColumnHidden(c)) continue;
        columns.push_back(c);
        screenWidths.push_back(grid.columnWidth(c));
    }
    const std::vector<GridColumnPlace> places = GridColumnPlaces(screenWidths, grid.width(), usable);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int c = columns[i];
        const QString field = grid.columnField(c);
        const Field* f = ds && ds->isActive() && !field.isEmpty() ? ds->findField(field) : nullptr;
        const Qt::Alignment align = (f ? f->alignment() : Qt::AlignLeft) & Qt::AlignHorizontal_Mask;
        const GridColumnPlace& p = places[i];
        h.text(units(p.left, 72, p.width, 13), grid.columnTitle(c), {"Tahoma", double(fontSize), Italic}).align =
            align;
        if (f) detail.field(units(p.left, 4, p.width, 13), field, {"Tahoma", double(fontSize)}).align = align;
        if (f && !totalField.isEmpty() && field.compare(totalField, Qt::CaseInsensitive) == 0) {
            summary.height = 20 * kGridUnitMm;
            summary.text(units(16, 4, 120, 13), "Összesen", {"Tahoma", double(fontSize)});
            summary.sum(units(p.left, 4, p.width, 13), field, {"Tahoma", double(fontSize), Bold}).right();
        }
    }
    h.line({0, 87 * kGridUnitMm}, {width, 87 * kGridUnitMm}, DoubleLine, Silver);
    h.height = 89 * kGridUnitMm;
    output::RowRule(*this);
    output::SetListFooter(*this, "Nyilvex");
}

void PrintGrid(DBGrid* grid, bool print, bool portrait, const QString& subtitle, const QString& totalField,
               int fontSize, const QString& title)
{
    TqrGridPrint r(title);
    r.prepare(*grid, portrait, subtitle, totalField, fontSize);
    output::PreviewOrPrint(r, print, grid);
}
