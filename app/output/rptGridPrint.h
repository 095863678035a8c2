// TqrGridPrint (qrGridPrint): any grid printed as a list. The grid's columns
// become the report's columns, in order, with their titles and alignment
// and widths in proportion to the screen; the rows are the grid's data set
// as it is filtered and sorted.
#pragma once

#include <vector>

#include "report/Report.h"

class DBGrid;
class QWidget;

// One layout unit: what a screen pixel of the grid's layout is on paper.
inline constexpr double kGridUnitMm = 25.4 / 96 / 0.8;

struct GridColumnPlace {
    int left;   // layout units from the left margin
    int width;  // layout units
};

// Places columns of the given screen widths on a usable width of `usable`
// units: each gets its share of the grid's whole width `gridWidth`, 4 units
// apart. Columns that would run past the usable width are narrowed to fit;
// a grid that was never laid out (width 0) shares by its columns' widths.
std::vector<GridColumnPlace> GridColumnPlaces(const std::vector<int>& screenWidths, int gridWidth, int usable);

class TqrGridPrint : public report::Report {
public:
    explicit TqrGridPrint(const QString& title);

    // `totalField` empty: no summary; otherwise "Összesen" and its sum.
    void prepare(const DBGrid& grid, bool portrait, const QString& subtitle, const QString& totalField,
                 int fontSize);
};

void PrintGrid(DBGrid* grid, bool print, bool portrait, const QString& subtitle, const QString& totalField,
               int fontSize, const QString& title);
