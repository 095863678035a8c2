#include "Report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

#include "Fonts.h"
#include "common/DataSet.h"

namespace report {

namespace {

constexpr int kMeasureDpi = 1200;

// A device that only tells its resolution: the metrics every report is laid
// out with, whatever it is then drawn on.
class MeasureDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kMeasureDpi;
        case PdmWidth:
            return 210 * kMeasureDpi * 10 / 254;
        case PdmHeight:
            return 297 * kMeasureDpi * 10 / 254;
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        default:
            return QPaintDevice::metric(m);
        }
    }
};

QString fontKey(const Font& f)
{
    return f.family + QLatin1Char('|') + QString::number(f.size) + QLatin1Char('|') + QString::number(f.style);
}

QFont makeFont(const Font& f)
{
    QFont font(f.family);
    font.setPointSizeF(f.size);
    font.setBold(f.style & Bold);
    font.setItalic(f.style & Italic);
    font.setUnderline(f.style & Underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: "fi" stays two letters for whoever reads or copies the PDF.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// One-line texts: line breaks of a memo shown in a one-line box become blanks.
QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) c = QLatin1Char(' ');
    return text;
}

}  // namespace

struct Report::Measure {
    MeasureDevice device;
    QHash<QString, QFont> fonts;
    QHash<QString, std::shared_ptr<QFontMetricsF>> metrics;

    const QFont& font(const Font& f)
    {
        const QString key = fontKey(f);
        auto it = fonts.find(key);
        if (it == fonts.end()) it = fonts.insert(key, makeFont(f));
        return *it;
    }
    const QFontMetricsF& fm(const Font& f)
    {
        const QString key = fontKey(f);
        auto it = metrics.find(key);
        if (it == metrics.end()) it = metrics.insert(key, std::make_shared<QFontMetricsF>(font(f), &device));
        return **it;
    }
    static double toMm(double px) { return px * 25.4 / kMeasureDpi; }
    static double toPx(double mm) { return mm * kMeasureDpi / 25.4; }

    double lineHeight(const Font& f) { return toMm(fm(f).lineSpacing()); }

    // The longest start of `text` that fits `widthMm`.
    QString cut(const QString& text, const Font& f, double widthMm)
    {
        const QFontMetricsF& m = fm(f);
        const double width = toPx(widthMm);
        if (m.horizontalAdvance(text) <= width) return text;
        int lo = 0, hi = int(text.size());
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (m.horizontalAdvance(text.left(mid)) <= width) lo = mid;
            else hi = mid - 1;
        }
        return text.left(lo);
    }

    // The text broken into lines of `widthMm`: at its own line breaks, then
    // between words, a word longer than a line anywhere.
    QStringList lines(const QString& text, const Font& f, double widthMm)
    {
        QStringList out;
        if (text.isEmpty()) return out;
        QString all = text;
        all.remove(QLatin1Char('\r'));
        all.replace(QLatin1Char('\t'), QLatin1Char(' '));
        const QFont& qf = font(f);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        for (const QString& paragraph : all.split(QLatin1Char('\n'))) {
            if (paragraph.isEmpty()) {
                out << QString();
                continue;
            }
            QTextLayout layout(paragraph, qf, &device);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(toPx(widthMm));
                out << paragraph.mid(line.textStart(), line.textLength());
            }
            layout.endLayout();
        }
        // A memo ending with a line break ends there, without an empty line.
        while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
        return out;
    }
};

// The fonts and metrics of the device a page is drawn on.
struct Report::DeviceFonts {
    const QPaintDevice* device;
    double dpiX, dpiY;
    QHash<QString, std::shared_ptr<QFontMetricsF>> metrics;

    const QFontMetricsF& fm(Measure& measure, const Font& f)
    {
        const QString key = fontKey(f);
        auto it = metrics.find(key);
        if (it == metrics.end())
            it = metrics.insert(key, std::make_shared<QFontMetricsF>(measure.font(f), device));
        return **it;
    }
    double x(double mm) const { return mm * dpiX / 25.4; }
    double y(double mm) const { return mm * dpiY / 25.4; }
};

Box& Band::text(const QRectF& rect, const QString& text, const Font& font)
{
    boxes.push_back(Box{Box::Kind::Text, rect, text, QString(), font});
    return boxes.back();
}

Box& Band::field(const QRectF& rect, const QString& field, const Font& font)
{
    boxes.push_back(Box{Box::Kind::Field, rect, QString(), field, font});
    return boxes.back();
}

Box& Band::pageNumber(const QRectF& rect, const QString& prefix, const Font& font)
{
    boxes.push_back(Box{Box::Kind::PageNumber, rect, prefix, QString(), font});
    return boxes.back();
}

Box& Band::dateTime(const QRectF& rect, const Font& font)
{
    boxes.push_back(Box{Box::Kind::DateTime, rect, QString(), QString(), font});
    return boxes.back();
}

Box& Band::sum(const QRectF& rect, const QString& field, const Font& font)
{
    boxes.push_back(Box{Box::Kind::Sum, rect, QString(), field, font});
    return boxes.back();
}

void Band::line(const QPointF& from, const QPointF& to, double width, const QColor& color)
{
    lines.push_back(Line{from, to, width, color});
}

Report::Report(const QString& title, const QString& code)
    : title_(title),
      code_(code),
      layout_(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter),
      printedAt_(QDateTime::currentDateTime()),
      measure_(std::make_unique<Measure>())
{
    RegisterReportFonts();
}

Report::~Report() = default;

void Report::setPageLayout(const QPageLayout& layout)
{
    layout_ = layout;
    layout_.setUnits(QPageLayout::Millimeter);
}

double Report::usableWidth() const
{
    return layout_.paintRect(QPageLayout::Millimeter).width();
}

void Report::setDataSet(const DataSet* ds)
{
    ds_ = ds;
}

const Band& Report::bandOf(BandKind kind) const
{
    switch (kind) {
    case BandKind::ReportHeader:
        return reportHeader;
    case BandKind::GroupHeader:
        return groupHeader;
    case BandKind::Detail:
        return detail;
    default:
        return summary;
    }
}

int Report::fieldIndex(const QString& name) const
{
    const QString key = name.toLower();
    auto it = fields_.find(key);
    if (it != fields_.end()) return *it;
    const Field* f = ds_ && ds_->isActive() ? ds_->findField(name) : nullptr;
    const int index = f ? f->index() : -1;
    fields_.insert(key, index);
    return index;
}

QString Report::textOf(const Box& box, int row, int page) const
{
    switch (box.kind) {
    case Box::Kind::Text:
        return box.text;
    case Box::Kind::Field: {
        const int f = fieldIndex(box.field);
        return f < 0 || row < 0 ? QString() : ds_->displayTextAt(row, f);
    }
    case Box::Kind::PageNumber:
        return box.text + QString::number(page + 1);
    case Box::Kind::DateTime:
        return box.text + printedAt_.toString(QStringLiteral("yyyy.MM.dd. hh:mm"));
    case Box::Kind::Sum: {
        const int f = fieldIndex(box.field);
        if (f < 0) return QString();
        double total = 0;
        for (int r = 0; r < rowCount_; ++r) total += ds_->valueAt(r, f).toDouble();
        const Field* field = ds_->fields()[size_t(f)].get();
        return formatDisplay(QVariant(total), field->dataType(), field->displayFormat());
    }
    }
    return QString();
}

namespace {

const Box* stretchBox(const Band& band)
{
    for (const Box& b : band.boxes)
        if (b.fit == Box::Fit::Stretch) return &b;
    return nullptr;
}

}  // namespace

QStringList Report::stretchLines(const Band& band, int row) const
{
    const Box* s = stretchBox(band);
    if (!s) return {};
    return measure_->lines(textOf(*s, row, 0), s->font, s->rect.width());
}

double Report::bandHeight(const Band& band, int row, int* lineCount) const
{
    const Box* s = stretchBox(band);
    if (!s) return band.height;
    const int n = int(stretchLines(band, row).size());
    if (lineCount) *lineCount = n;
    const double grow = n * measure_->lineHeight(s->font) - s->rect.height();
    return band.height + std::max(0.0, grow);
}

void Report::prepare()
{
    if (prepared_) return;
    prepared_ = true;
    rowCount_ = ds_ && ds_->isActive() ? ds_->recordCount() : 0;
    reportHeaderDone_ = reportHeader.height <= 0;
    summaryDone_ = summary.height <= 0;
}

void Report::layoutPage()
{
    prepare();
    const QRectF paper = layout_.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = layout_.margins(QPageLayout::Millimeter);
    const double bodyTop = margins.top() + pageHeader.height;
    const double bodyBottom = paper.height() - margins.bottom() - pageFooter.height;
    const double bodyHeight = bodyBottom - bodyTop;
    // Rounding of millimetres must not push a band that fits to the next page.
    constexpr double slack = 1e-6;

    pageStarts_.push_back(int(placements_.size()));
    double y = bodyTop;
    bool empty = true;
    auto place = [&](BandKind band, quint8 part, int row, double height, int from = 0, int to = 0) {
        placements_.push_back(Placement{band, part, row, float(y), from, to});
        y += height;
        empty = false;
    };

    if (!reportHeaderDone_) {
        place(BandKind::ReportHeader, Whole, -1, reportHeader.height);
        reportHeaderDone_ = true;
    }
    const Box* s = stretchBox(detail);
    const double lineHeight = s ? measure_->lineHeight(s->font) : 0;
    const double above = s ? s->rect.top() : 0;
    const double below = s ? detail.height - s->rect.bottom() : 0;
    const int groupField = groupField_.isEmpty() || groupHeader.height <= 0 ? -1 : fieldIndex(groupField_);

    while (true) {
        const double room = bodyBottom - y + slack;
        if (nextLine_ >= 0) {
            // The rest of a row's stretching text, from the top of a new page.
            const int total = int(stretchLines(detail, nextRow_).size());
            const int rest = total - nextLine_;
            if (rest * lineHeight + below <= room) {
                place(BandKind::Detail, Last, nextRow_, rest * lineHeight + below, nextLine_, total);
                nextLine_ = -1;
                ++nextRow_;
                continue;
            }
            const int n = std::max(1, int(std::floor(room / lineHeight)));
            place(BandKind::Detail, 0, nextRow_, n * lineHeight, nextLine_, nextLine_ + n);
            nextLine_ += n;
            break;
        }
        if (nextRow_ >= rowCount_) {
            if (!summaryDone_) {
                if (summary.height > room && !empty) break;
                place(BandKind::Summary, Whole, -1, summary.height);
                summaryDone_ = true;
            }
            break;
        }
        const bool newGroup = groupField >= 0 && (nextRow_ == 0 || ds_->valueAt(nextRow_, groupField) !=
                                                                        ds_->valueAt(nextRow_ - 1, groupField));
        const double header = newGroup ? groupHeader.height : 0;
        int lines = 0;
        const double height = bandHeight(detail, nextRow_, &lines);
        if (header + height <= room) {
            if (newGroup) place(BandKind::GroupHeader, Whole, nextRow_, header);
            place(BandKind::Detail, Whole, nextRow_, height, 0, lines);
            ++nextRow_;
            continue;
        }
        // Moves whole to the next page when it fits there.
        if (!empty && header + height <= bodyHeight + slack) break;
        if (!s) {
            // Taller than any page and nothing to break: it stands alone, cut at the footer.
            if (!empty) break;
            if (newGroup) place(BandKind::GroupHeader, Whole, nextRow_, header);
            place(BandKind::Detail, Whole, nextRow_, height);
            ++nextRow_;
            break;
        }
        int n = int(std::floor((room - header - above) / lineHeight));
        if (n <= 0) {
            if (!empty) break;
            n = 1;
        }
        if (newGroup) place(BandKind::GroupHeader, Whole, nextRow_, header);
        place(BandKind::Detail, First, nextRow_, above + n * lineHeight, 0, n);
        nextLine_ = n;
        break;
    }
    finished_ = nextRow_ >= rowCount_ && nextLine_ < 0 && summaryDone_ && reportHeaderDone_;
}

bool Report::hasPage(int index)
{
    while (!finished_ && int(pageStarts_.size()) <= index) layoutPage();
    return index >= 0 && index < int(pageStarts_.size());
}

int Report::pageCount()
{
    while (!finished_) layoutPage();
    return int(pageStarts_.size());
}

void Report::paintPage(int index, QPainter& painter)
{
    if (!hasPage(index)) return;
    DeviceFonts fonts{painter.device(), double(painter.device()->logicalDpiX()),
                      double(painter.device()->logicalDpiY()), {}};
    const QRectF paper = layout_.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = layout_.margins(QPageLayout::Millimeter);

    auto whole = [&](const Band& band, double top, int row) {
        paintBand(painter, fonts, band, Placement{BandKind::Summary, Whole, row, float(top), 0, 0}, index);
    };
    if (pageHeader.height > 0) whole(pageHeader, margins.top(), -1);
    const int end = index + 1 < int(pageStarts_.size()) ? pageStarts_[size_t(index) + 1] : int(placements_.size());
    for (int i = pageStarts_[size_t(index)]; i < end; ++i) {
        const Placement& p = placements_[size_t(i)];
        paintBand(painter, fonts, bandOf(p.band), p, index);
    }
    if (pageFooter.height > 0) whole(pageFooter, paper.height() - margins.bottom() - pageFooter.height, -1);
}

void Report::paintBand(QPainter& painter, DeviceFonts& fonts, const Band& band, const Placement& p, int page)
{
    const double left = layout_.margins(QPageLayout::Millimeter).left();
    const Box* s = p.band == BandKind::Detail ? stretchBox(band) : nullptr;
    // Where the stretching text ends: the boxes and lines under it follow it.
    double shift = 0;
    double textTop = p.y;
    if (s) {
        const double lineHeight = measure_->lineHeight(s->font);
        textTop = (p.part & First) ? p.y + s->rect.top() : p.y;
        const double textHeight = (p.lineTo - p.lineFrom) * lineHeight;
        const double bottom = textTop + ((p.part == Whole) ? std::max(textHeight, s->rect.height()) : textHeight);
        shift = bottom - (p.y + s->rect.bottom());
    }
    auto isBelow = [&](double top) { return s && top >= s->rect.bottom() - 1e-6; };
    auto shown = [&](double top) { return !s || (isBelow(top) ? (p.part & Last) : (p.part & First)); };

    for (const Line& l : band.lines) {
        const double top = std::min(l.from.y(), l.to.y());
        if (!shown(top)) continue;
        const double dy = p.y + (isBelow(top) ? shift : 0);
        QPen pen(l.color);
        pen.setWidthF(fonts.x(l.width));
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(fonts.x(left + l.from.x()), fonts.y(dy + l.from.y())),
                         QPointF(fonts.x(left + l.to.x()), fonts.y(dy + l.to.y())));
    }
    for (const Box& b : band.boxes) {
        if (&b == s) {
            const QStringList lines = stretchLines(band, p.row);
            paintLines(painter, fonts, b, left + b.rect.left(), textTop, lines.mid(p.lineFrom, p.lineTo - p.lineFrom));
            continue;
        }
        if (!shown(b.rect.top())) continue;
        const double dy = p.y + (isBelow(b.rect.top()) ? shift : 0);
        paintBox(painter, fonts, b, b.rect.translated(left, dy), textOf(b, p.row, page));
    }
}

void Report::paintBox(QPainter& painter, DeviceFonts& fonts, const Box& box, const QRectF& mm, const QString& text)
{
    if (text.isEmpty()) return;
    if (box.fit == Box::Fit::Cut) {
        paintLines(painter, fonts, box, mm.left(), mm.top(), {measure_->cut(oneLine(text), box.font, mm.width())});
        return;
    }
    QStringList lines = measure_->lines(text, box.font, mm.width());
    const int fit = std::max(1, int(std::floor((mm.height() + 1e-6) / measure_->lineHeight(box.font))));
    if (box.fit == Box::Fit::Wrap && lines.size() > fit) lines = lines.mid(0, fit);
    paintLines(painter, fonts, box, mm.left(), mm.top(), lines);
}

void Report::paintLines(QPainter& painter, DeviceFonts& fonts, const Box& box, double leftMm, double topMm,
                        const QStringList& lines)
{
    if (lines.isEmpty()) return;
    const QFontMetricsF& fm = fonts.fm(*measure_, box.font);
    const double lineHeight = measure_->lineHeight(box.font);
    painter.setFont(measure_->font(box.font));
    painter.setPen(box.color);
    const double boxLeft = fonts.x(leftMm);
    const double boxWidth = fonts.x(box.rect.width());
    double top = topMm;
    for (const QString& raw : lines) {
        const QString line = box.align & (Qt::AlignRight | Qt::AlignHCenter) ? raw.trimmed() : raw;
        double x = boxLeft;
        if (box.align & (Qt::AlignRight | Qt::AlignHCenter)) {
            const double free = boxWidth - fm.horizontalAdvance(line);
            x += box.align & Qt::AlignRight ? free : free / 2;
        }
        painter.drawText(QPointF(x, fonts.y(top) + fm.ascent()), line);
        top += lineHeight;
    }
}

}  // namespace report
