#include "LabelSheet.h"

#include <cmath>

namespace {

// Lets a column that fits to the hundredth of a millimetre count as fitting.
constexpr double kSlack = 1e-6;
// Under this no line of a label fits; it also keeps the count of labels
// on a sheet small.
constexpr double kMinLabelHeight = 5;

}  // namespace

QString LabelLayoutProblem(const LabelLayout& l)
{
    if (l.name.trimmed().isEmpty()) return "A címke neve nincs megadva.";
    if (!std::isfinite(l.topMargin) || !std::isfinite(l.sideMargin) || !std::isfinite(l.labelHeight))
        return "A méretek nem érvényes számok.";
    if (l.columns < 1) return "Az oszlopok száma legalább 1 legyen.";
    if (l.labelHeight < kMinLabelHeight)
        return QString("A címke magassága legalább %1 mm legyen.").arg(kMinLabelHeight);
    if (l.topMargin < 0 || l.sideMargin < 0) return "A margó nem lehet negatív.";
    const double width = (LabelSheet::kPageWidth - 2 * l.sideMargin) / l.columns;
    if (width - 4 <= 0)
        return QString("A szélső margók mellett %1 oszlopnak nem marad hely a lapon.").arg(l.columns);
    if (LabelSheet::kPageHeight - 2 * l.topMargin + kSlack < l.labelHeight)
        return "A felső és alsó margó mellett egy címke sem fér el a lapon.";
    return QString();
}

LabelLines LabelLinesFor(double h)
{
    // Rows of the size table; the last one whose threshold the height is
    // under wins, and 50 mm or more keeps the full sizes.
    if (h < 24) return {{0, 16.21, 8, true, false}, {6.61, 5.62, 8, false, true},
                        {10.58, 5.62, 8, false, false}, {15.87, 6.28, 8, true, false}};
    if (h < 32) return {{0, 16.21, 9, true, false}, {7.94, 5.62, 8, false, true},
                        {13.23, 5.62, 8, false, false}, {18.52, 6.28, 9, true, false}};
    if (h < 40) return {{1.32, 16.21, 9, true, false}, {13.23, 5.62, 8, false, true},
                        {18.52, 5.62, 8, false, false}, {23.81, 6.28, 10, true, false}};
    if (h < 50) return {{2.65, 16.21, 11, true, false}, {17.20, 5.62, 10, false, true},
                        {23.81, 5.62, 10, false, false}, {33.07, 6.28, 12, true, false}};
    return {{2.65, 16.21, 11, true, false}, {19.84, 5.62, 10, false, true},
            {26.46, 5.62, 10, false, false}, {42.33, 6.28, 14, true, false}};
}

LabelSheet::LabelSheet(const LabelLayout& layout) : layout_(layout) {}

double LabelSheet::columnWidth() const
{
    return (kPageWidth - 2 * layout_.sideMargin) / layout_.columns;
}

double LabelSheet::textWidth() const
{
    return columnWidth() - 4;
}

int LabelSheet::rowsPerColumn() const
{
    return int(std::floor((kPageHeight - 2 * layout_.topMargin + kSlack) / layout_.labelHeight));
}

LabelSheet::Place LabelSheet::place(int index) const
{
    const int perSheet = labelsPerSheet();
    const int onSheet = index % perSheet;
    const int column = onSheet / rowsPerColumn();
    const int row = onSheet % rowsPerColumn();
    return {index / perSheet, layout_.sideMargin + column * columnWidth(),
            layout_.topMargin + row * layout_.labelHeight};
}
