// The banded report engine: a page layout filled from a data set, shown in
// the print preview, printed or written as PDF (it is a PrintDocument).
//
// A report has a page header and a page footer on every page, an optional
// report header printed once before the first row, an optional group header
// printed before a row whose group field differs from the row before it, one
// detail band per row and an optional summary band after the last row. A
// band is a height and the boxes and lines in it, placed in millimetres from
// the band's top left corner at the page's left margin. A band of height 0
// is not printed.
//
// Boxes hold a fixed text, a field of the row (its display text), the page
// number, the date and time of printing or the sum of a field over all
// rows. A box is one line cut at its width unless it wraps (lines that fit
// its height) or stretches: a stretching box (one, in the detail band) grows
// its band to the height of its whole text, and a row too tall for a page
// goes on over the next pages. Any other band that does not fit on what is left of
// a page moves whole to the next page. A report without rows still prints
// one page with its header and footer.
//
// Text is measured once, with the metrics of a 1200 dpi printer and no
// hinting, so line breaks are the same in the preview, on paper and in the
// PDF. The report reads the data set's rows by position without moving its
// current row. Pages are laid out as far as they are asked for.
//
// How to build one (app/output/ holds the program's reports):
//
//     report::Report r("Ügyfelek listája", "qrUgyfel");  // A4 portrait, 10 mm margins
//     r.setDataSet(&query);
//     r.pageHeader.height = 20;
//     r.pageHeader.text({0, 2, 120, 8}, "Ügyfelek listája", {"Tahoma", 16, report::Bold});
//     r.pageHeader.line({0, 19.5}, {190, 19.5}, report::DoubleLine, report::Silver);
//     r.detail.height = 10;
//     r.detail.field({0, 1, 60, 5}, "ugyfel_nev", {"Tahoma", 10, report::Bold});
//     r.detail.field({0, 5, 190, 4}, "megjegyzes", {"Times New Roman", 8}).stretch();
//     r.pageFooter.height = 10;
//     r.pageFooter.pageNumber({0, 5, 40, 4}, "oldal: ", {"Courier New", 8});
//     interaction().printPreview(owner, r);  // or print(), or writePdf(r, path)
//
// Fonts are asked for by their design names (Tahoma, Arial, Courier New,
// Times New Roman); Fonts.h maps them to metric-compatible free faces.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "common/PrintDocument.h"

class DataSet;
class QFont;
class QFontMetricsF;

namespace report {

enum FontStyle { Plain = 0, Bold = 1, Italic = 2, Underline = 4 };

struct Font {
    QString family = QStringLiteral("Tahoma");
    double size = 10;  // points
    int style = Plain;
};

inline const QColor Silver{192, 192, 192};
inline constexpr double ThinLine = 0.2;    // mm
inline constexpr double DoubleLine = 0.4;  // mm

struct Box {
    enum class Kind { Text, Field, PageNumber, DateTime, Sum };
    enum class Fit { Cut, Wrap, Stretch };

    Kind kind = Kind::Text;
    QRectF rect;   // mm, from the band's top left corner
    QString text;  // the fixed text; before a page number or the date
    QString field; // Field and Sum
    Font font;
    Qt::Alignment align = Qt::AlignLeft;
    Fit fit = Fit::Cut;
    QColor color = Qt::black;

    Box& right() { align = Qt::AlignRight; return *this; }
    Box& center() { align = Qt::AlignHCenter; return *this; }
    Box& wrap() { fit = Fit::Wrap; return *this; }
    Box& stretch() { fit = Fit::Stretch; return *this; }
};

struct Line {
    QPointF from, to;  // mm
    double width = ThinLine;
    QColor color = Qt::black;
};

struct Band {
    double height = 0;  // mm; 0: not printed
    std::vector<Box> boxes;
    std::vector<Line> lines;

    Box& text(const QRectF& rect, const QString& text, const Font& font = {});
    Box& field(const QRectF& rect, const QString& field, const Font& font = {});
    Box& pageNumber(const QRectF& rect, const QString& prefix, const Font& font = {});
    Box& dateTime(const QRectF& rect, const Font& font = {});
    Box& sum(const QRectF& rect, const QString& field, const Font& font = {});
    void line(const QPointF& from, const QPointF& to, double width = ThinLine, const QColor& color = Qt::black);
};

class Report : public PrintDocument {
public:
    // A4 portrait with 10 mm margins.
    Report(const QString& title, const QString& code);
    ~Report() override;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    const QString& code() const { return code_; }

    void setPageLayout(const QPageLayout& layout);
    // Paper width and height without the margins, in mm.
    double usableWidth() const;

    // The rows: every row the data set shows, in its order and filter. Null:
    // no rows.
    void setDataSet(const DataSet* ds);
    // The group header is printed before the first row and whenever this
    // field's value differs from the row before.
    void setGroupField(const QString& field) { groupField_ = field; }
    // The time the date-and-time boxes show (now, when the report is made).
    void setPrintedAt(const QDateTime& at) { printedAt_ = at; }

    Band pageHeader;
    Band reportHeader;
    Band groupHeader;
    Band detail;
    Band summary;
    Band pageFooter;

    // PrintDocument
    QString title() const override { return title_; }
    QPageLayout pageLayout() const override { return layout_; }
    bool hasPage(int index) override;
    bool isComplete() const override { return finished_; }
    int laidOutPages() const override { return int(pageStarts_.size()); }
    int pageCount() override;
    void paintPage(int index, QPainter& painter) override;

private:
    enum class BandKind : quint8 { ReportHeader, GroupHeader, Detail, Summary };
    enum Part : quint8 { First = 1, Last = 2, Whole = First | Last };
    struct Placement {
        BandKind band;
        quint8 part;
        int row;
        float y;          // mm from the paper's top
        int lineFrom;     // lines of the stretching box shown here
        int lineTo;
    };
    struct Measure;
    struct DeviceFonts;

    const Band& bandOf(BandKind kind) const;
    void prepare();
    void layoutPage();
    int fieldIndex(const QString& name) const;
    QString textOf(const Box& box, int row, int page) const;
    // The stretching box's lines for `row`, and the band's height with them.
    QStringList stretchLines(const Band& band, int row) const;
    double bandHeight(const Band& band, int row, int* lineCount = nullptr) const;
    void paintBand(QPainter& painter, DeviceFonts& fonts, const Band& band, const Placement& p, int page);
    void paintBox(QPainter& painter, DeviceFonts& fonts, const Box& box, const QRectF& mm, const QString& text);
    void paintLines(QPainter& painter, DeviceFonts& fonts, const Box& box, double leftMm, double topMm,
                    const QStringList& lines);

    QString title_;
    QString code_;
    QPageLayout layout_;
    const DataSet* ds_ = nullptr;
    QString groupField_;
    QDateTime printedAt_;

    // Laid out so far.
    bool prepared_ = false;
    bool finished_ = false;
    int rowCount_ = 0;
    int nextRow_ = 0;
    int nextLine_ = -1;  // the next stretched line of nextRow_ when it goes on over pages
    bool reportHeaderDone_ = false;
    bool summaryDone_ = false;
    std::vector<int> pageStarts_;
    std::vector<Placement> placements_;
    mutable QHash<QString, int> fields_;
    std::unique_ptr<Measure> measure_;
};

}  // namespace report
