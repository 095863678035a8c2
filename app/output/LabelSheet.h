// LabelSheet: where the address labels of one label layout (table cimke)
// stand on A4 sheets, and the type of their four lines by label height.
//
// Columns share the width between the side margins without gaps; labels
// fill the first column from the top, then the next, and after the last
// column a new sheet begins. A layout that leaves no room for a label is
// told by LabelLayoutProblem() and must not be laid out.
#pragma once

#include <QString>

struct LabelLayout {
    QString name;
    double topMargin = 0;    // felsomargo: top and bottom, mm
    double sideMargin = 0;   // szelsomargo: left and right, mm
    double labelHeight = 0;  // cimkemagas, mm
    int columns = 0;         // oszlop
};

// Why the layout cannot be laid out on A4, in Hungarian; empty when it can.
QString LabelLayoutProblem(const LabelLayout& layout);

// One of the four lines of a label: its top from the label's top edge and
// its height (mm), and its type (Tahoma).
struct LabelLine {
    double top;
    double height;
    int pointSize;
    bool bold;
    bool underline;
};

struct LabelLines {
    LabelLine name;        // Ugyfel_nev
    LabelLine city;        // Cim_varos
    LabelLine street;      // Cim_cim
    LabelLine postalCode;  // Cim_irsz
};

// The lines for labels `labelHeight` mm high: the full sizes from 50 mm,
// smaller steps below 50, 40, 32 and 24 mm.
LabelLines LabelLinesFor(double labelHeight);

class LabelSheet {
public:
    static constexpr double kPageWidth = 210;
    static constexpr double kPageHeight = 297;
    static constexpr double kTextLeft = 2.65;  // every line's left edge in its label

    // `layout` must have no LabelLayoutProblem().
    explicit LabelSheet(const LabelLayout& layout);

    double columnWidth() const;
    double textWidth() const;  // every line's width: column width - 4
    int rowsPerColumn() const;
    int labelsPerSheet() const { return rowsPerColumn() * layout_.columns; }

    // The top-left corner (mm from the sheet's corner) of label `index`
    // (0-based) and the sheet (0-based) it is on.
    struct Place {
        int sheet;
        double left;
        double top;
    };
    Place place(int index) const;

private:
    LabelLayout layout_;
};
