#include "ImageList.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

// The family's colours.
const QColor kInk(64, 64, 64);
const QColor kPaper(255, 255, 255);
const QColor kBlue(52, 101, 164);
const QColor kLightBlue(114, 159, 207);
const QColor kGreen(78, 154, 6);
const QColor kRed(204, 0, 0);
const QColor kYellow(252, 214, 0);
const QColor kOrange(245, 121, 0);
const QColor kBrown(143, 89, 2);
const QColor kGrey(136, 138, 133);
const QColor kLightGrey(211, 215, 207);

QPen pen(const QColor& c, qreal w = 1.0) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet with a folded corner, `r` in pixels.
void sheet(QPainter& p, QRectF r, const QColor& fill = kPaper)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

// Text lines across a sheet.
void lines(QPainter& p, qreal x, qreal y, qreal w, int n, const QColor& c = kGrey, qreal gap = 2)
{
    p.setPen(pen(c));
    for (int i = 0; i < n; ++i) p.drawLine(QPointF(x, y + i * gap), QPointF(x + w, y + i * gap));
}

// A head and shoulders.
void person(QPainter& p, qreal x, qreal y, const QColor& c, qreal s = 1.0)
{
    p.setPen(pen(c.darker(150)));
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y + 3 * s), 2.6 * s, 2.6 * s);
    QPainterPath body;
    body.moveTo(x - 5 * s, y + 12 * s);
    body.cubicTo(x - 5 * s, y + 6 * s, x + 5 * s, y + 6 * s, x + 5 * s, y + 12 * s);
    body.closeSubpath();
    p.drawPath(body);
}

// A building with windows.
void building(QPainter& p, QRectF r, const QColor& c)
{
    p.setPen(pen(kInk));
    p.setBrush(c);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    for (qreal y = r.top() + 2; y < r.bottom() - 2; y += 3)
        for (qreal x = r.left() + 2; x < r.right() - 1; x += 3) p.drawRect(QRectF(x, y, 1.5, 1.5));
}

void printer(QPainter& p)
{
    sheet(p, QRectF(4.5, 1.5, 7, 6));
    p.setPen(pen(kInk));
    p.setBrush(kLightGrey);
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(pen(kGreen, 1.5));
    p.drawPoint(QPointF(12.5, 8.5));
}

void magnifier(QPainter& p, qreal x, qreal y, qreal r = 4)
{
    p.setPen(pen(kInk, 1.2));
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(QPointF(x, y), r, r);
    p.setPen(pen(kBrown, 2.5));
    p.drawLine(QPointF(x + r * 0.75, y + r * 0.75), QPointF(x + r * 1.9, y + r * 1.9));
}

void envelope(QPainter& p, QRectF r, const QColor& fill = kPaper)
{
    p.setPen(pen(kInk));
    p.setBrush(fill);
    p.drawRect(r);
    p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + 1));
    p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + 1));
}

void plusBadge(QPainter& p)
{
    p.setPen(pen(kGreen.darker(130)));
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12, 12), 3.6, 3.6);
    p.setPen(pen(kPaper, 1.4));
    p.drawLine(QPointF(10, 12), QPointF(14, 12));
    p.drawLine(QPointF(12, 10), QPointF(12, 14));
}

void pencil(QPainter& p)
{
    QPolygonF body;
    body << QPointF(14.5, 3.5) << QPointF(12.5, 1.5) << QPointF(4.5, 9.5) << QPointF(6.5, 11.5);
    p.setPen(pen(kInk));
    p.setBrush(kOrange);
    p.drawPolygon(body);
    QPolygonF tip;
    tip << QPointF(4.5, 9.5) << QPointF(6.5, 11.5) << QPointF(3, 13);
    p.setBrush(QColor(233, 185, 110));
    p.drawPolygon(tip);
}

void funnel(QPainter& p, const QColor& c)
{
    QPolygonF f;
    f << QPointF(1.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 8.5) << QPointF(9.5, 14.5)
      << QPointF(6.5, 12.5) << QPointF(6.5, 8.5);
    p.setPen(pen(kInk));
    p.setBrush(c);
    p.drawPolygon(f);
}

void calendar(QPainter& p, const QColor& top)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.setBrush(top);
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) p.drawRect(QRectF(3 + c * 3, 7 + r * 2.5, 1.5, 1.5));
}

void grid(QPainter& p, const QColor& head)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setBrush(head);
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setPen(pen(kGrey));
    p.drawLine(QPointF(2, 8.5), QPointF(14, 8.5));
    p.drawLine(QPointF(2, 11), QPointF(14, 11));
    p.drawLine(QPointF(6.5, 6), QPointF(6.5, 13));
}

void boldLetters(QPainter& p, const QString& text, QRectF r, const QColor& c, int px)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(px);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

void draw(QPainter& p, Pic pic)
{
    switch (pic) {
    case Pic::Empty:
        break;
    case Pic::Reminder: {
        QPolygonF t;
        t << QPointF(8, 1) << QPointF(15.2, 14.5) << QPointF(0.8, 14.5);
        p.setPen(pen(QColor(128, 96, 0)));
        p.setBrush(kYellow);
        p.drawPolygon(t);
        p.setPen(pen(Qt::black, 1.8));
        p.drawLine(QPointF(8, 5.5), QPointF(8, 9.8));
        p.drawPoint(QPointF(8, 12.3));
        break;
    }
    case Pic::Alarm: {
        p.setPen(pen(QColor(120, 0, 0)));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(3.5, 3.2), 2.6, 2.6);  // bells
        p.drawEllipse(QPointF(12.5, 3.2), 2.6, 2.6);
        p.setPen(pen(QColor(120, 0, 0), 1.5));
        p.drawLine(QPointF(4.5, 14.5), QPointF(3, 15.5));  // feet
        p.drawLine(QPointF(11.5, 14.5), QPointF(13, 15.5));
        p.setPen(pen(QColor(120, 0, 0)));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(8, 9), 6, 6);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 9), 4.2, 4.2);
        p.setPen(pen(Qt::black, 1.2));
        p.drawLine(QPointF(8, 9), QPointF(8, 6));
        p.drawLine(QPointF(8, 9), QPointF(10.2, 10));
        break;
    }
    case Pic::New:
        sheet(p, QRectF(2.5, 1.5, 9, 12));
        lines(p, 4.5, 5.5, 5, 3);
        plusBadge(p);
        break;
    case Pic::Edit:
        sheet(p, QRectF(1.5, 1.5, 9, 12));
        lines(p, 3.5, 5.5, 5, 3);
        pencil(p);
        break;
    case Pic::Delete:
        sheet(p, QRectF(1.5, 1.5, 9, 12));
        lines(p, 3.5, 5.5, 5, 3);
        p.setPen(pen(kRed, 2.4));
        p.drawLine(QPointF(9, 9), QPointF(14, 14));
        p.drawLine(QPointF(14, 9), QPointF(9, 14));
        break;
    case Pic::Print:
        printer(p);
        break;
    case Pic::Preview:
        sheet(p, QRectF(1.5, 0.5, 10, 13));
        lines(p, 3.5, 4.5, 6, 4);
        magnifier(p, 9.5, 9.5, 3.2);
        break;
    case Pic::Excel:
        grid(p, kGreen);
        break;
    case Pic::Html:
        p.setPen(pen(kBlue.darker(130)));
        p.setBrush(kLightBlue);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setPen(pen(kPaper));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawEllipse(QPointF(8, 8), 3, 6.5);
        boldLetters(p, "<>", QRectF(4, 8, 12, 8), kOrange.darker(120), 8);
        break;
    case Pic::Close: {
        p.setPen(pen(kInk));
        p.setBrush(kBrown);
        p.drawRect(QRectF(2.5, 1.5, 8, 13));
        p.setBrush(QColor(193, 125, 17));
        QPolygonF door;
        door << QPointF(2.5, 1.5) << QPointF(7.5, 3.5) << QPointF(7.5, 15.5) << QPointF(2.5, 14.5);
        p.drawPolygon(door);
        p.setPen(pen(kRed, 1.6));
        p.drawLine(QPointF(10, 8), QPointF(15, 8));
        p.drawLine(QPointF(13, 6), QPointF(15, 8));
        p.drawLine(QPointF(13, 10), QPointF(15, 8));
        break;
    }
    case Pic::Users:
        person(p, 5, 1, kLightBlue, 0.9);
        person(p, 11, 3, kOrange, 0.9);
        break;
    case Pic::Sql:
        p.setPen(pen(kInk));
        p.setBrush(kLightGrey);
        p.drawRect(QRectF(2.5, 3.5, 11, 10));
        p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
        p.drawArc(QRectF(2.5, 6.5, 11, 4), 180 * 16, 180 * 16);
        p.drawArc(QRectF(2.5, 11.5, 11, 4), 180 * 16, 180 * 16);
        break;
    case Pic::Archive:
        p.setPen(pen(kInk));
        p.setBrush(QColor(233, 185, 110));
        p.drawRect(QRectF(1.5, 5.5, 13, 9));
        p.setBrush(QColor(193, 125, 17));
        p.drawRect(QRectF(0.5, 2.5, 15, 3));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5.5, 7.5, 5, 2));
        break;
    case Pic::Settings: {
        p.setPen(pen(kInk));
        p.setBrush(kGrey);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(i * 45);
            p.drawRect(QRectF(-1.5, -7, 3, 3));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    case Pic::Help:
        p.setPen(pen(kBlue.darker(130)));
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        boldLetters(p, "?", QRectF(0, 0, 16, 16), kPaper, 12);
        break;
    case Pic::Info:
        p.setPen(pen(kBlue.darker(130)));
        p.setBrush(kLightBlue);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        boldLetters(p, "i", QRectF(0, 0, 16, 16), kPaper, 12);
        break;
    case Pic::Web:
        p.setPen(pen(kBlue.darker(130)));
        p.setBrush(kLightBlue);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setPen(pen(kPaper));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 3, 7);
        p.drawLine(QPointF(1, 8), QPointF(15, 8));
        p.drawLine(QPointF(2.5, 4.5), QPointF(13.5, 4.5));
        p.drawLine(QPointF(2.5, 11.5), QPointF(13.5, 11.5));
        break;
    case Pic::Mail:
        envelope(p, QRectF(1.5, 3.5, 13, 9));
        break;
    case Pic::News:
        sheet(p, QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRect(QRectF(3, 4, 5, 4));
        lines(p, 9, 4.5, 3.5, 2);
        lines(p, 3, 9.5, 9.5, 3);
        break;
    case Pic::Newsletter:
        envelope(p, QRectF(0.5, 1.5, 10, 7), kLightGrey);
        envelope(p, QRectF(5.5, 7.5, 10, 7));
        break;
    case Pic::Search:
        magnifier(p, 6.5, 6.5, 4.5);
        break;
    case Pic::SearchDetails:
        sheet(p, QRectF(1.5, 0.5, 10, 13));
        lines(p, 3.5, 4.5, 6, 4);
        magnifier(p, 9.5, 9.5, 3.2);
        plusBadge(p);
        break;
    case Pic::Keyword: {
        QPolygonF tag;
        tag << QPointF(1.5, 7.5) << QPointF(6.5, 2.5) << QPointF(14.5, 2.5) << QPointF(14.5, 12.5)
            << QPointF(6.5, 12.5);
        p.setPen(pen(kInk));
        p.setBrush(kYellow);
        p.drawPolygon(tag);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(6, 7.5), 1.3, 1.3);
        lines(p, 9, 6, 4, 3, kInk, 1.5);
        break;
    }
    case Pic::Filter:
        funnel(p, kLightBlue);
        break;
    case Pic::NameDays:
        calendar(p, kRed);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRect(QRectF(9, 9.5, 3, 2.5));
        break;
    case Pic::Companies:
        building(p, QRectF(1.5, 4.5, 6, 10), kLightGrey);
        building(p, QRectF(7.5, 1.5, 7, 13), kLightBlue);
        break;
    case Pic::Types:
        grid(p, kOrange);
        break;
    case Pic::Labels:
        p.setPen(pen(kInk));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(QColor(252, 233, 79));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c) p.drawRect(QRectF(3 + c * 5.5, 3 + r * 4, 4.5, 3));
        break;
    case Pic::LabelPrint:
        printer(p);
        p.setPen(pen(kInk));
        p.setBrush(QColor(252, 233, 79));
        p.drawRect(QRectF(5.5, 2.5, 5, 3));
        break;
    case Pic::Document: {
        sheet(p, QRectF(2.5, 1.5, 10, 13));
        lines(p, 4.5, 8.5, 6, 3);
        p.setPen(pen(kInk, 1.2));  // paper clip
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(5, 0.5, 3, 7), 1.5, 1.5);
        break;
    }
    case Pic::Agents:
        person(p, 8, 1, kGreen, 1.1);
        p.setPen(pen(kInk));
        p.setBrush(kBrown);
        p.drawRect(QRectF(9.5, 10.5, 5, 4));
        break;
    case Pic::Note:
        p.setPen(pen(QColor(196, 160, 0)));
        p.setBrush(QColor(252, 233, 79));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        lines(p, 3.5, 5, 9, 4, kInk, 2.5);
        break;
    case Pic::NoteNew:
        p.setPen(pen(QColor(196, 160, 0)));
        p.setBrush(QColor(252, 233, 79));
        p.drawRect(QRectF(1.5, 1.5, 11, 11));
        lines(p, 3.5, 4.5, 7, 3, kInk, 2.5);
        plusBadge(p);
        break;
    case Pic::ListSimple:
        sheet(p, QRectF(2.5, 0.5, 11, 15));
        lines(p, 4.5, 3.5, 7, 6, kInk);
        break;
    case Pic::ListDetails:
        sheet(p, QRectF(2.5, 0.5, 11, 15));
        p.setPen(pen(kBlue));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(4.5, 3.5 + i * 4), QPointF(11, 3.5 + i * 4));
        lines(p, 5.5, 5.5, 5, 3, kGrey, 4);
        break;
    case Pic::PrintNotes:
        printer(p);
        p.setPen(pen(QColor(196, 160, 0)));
        p.setBrush(QColor(252, 233, 79));
        p.drawRect(QRectF(5.5, 2.5, 5, 4));
        break;
    case Pic::Customers:
        person(p, 8, 1, kLightBlue, 1.15);
        break;
    case Pic::Tasks:
        p.setPen(pen(kInk));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setPen(pen(kGreen, 1.6));
        p.drawLine(QPointF(3, 5), QPointF(4.5, 6.5));
        p.drawLine(QPointF(4.5, 6.5), QPointF(7, 3.5));
        p.drawLine(QPointF(3, 10.5), QPointF(4.5, 12));
        p.drawLine(QPointF(4.5, 12), QPointF(7, 9));
        lines(p, 8.5, 5, 4.5, 1, kInk);
        lines(p, 8.5, 10.5, 4.5, 1, kInk);
        break;
    case Pic::Products: {
        p.setPen(pen(kInk));
        p.setBrush(QColor(233, 185, 110));
        QPolygonF front;
        front << QPointF(1.5, 5.5) << QPointF(9.5, 5.5) << QPointF(9.5, 14.5) << QPointF(1.5, 14.5);
        p.drawPolygon(front);
        p.setBrush(QColor(193, 125, 17));
        QPolygonF side;
        side << QPointF(9.5, 5.5) << QPointF(14.5, 2.5) << QPointF(14.5, 11.5) << QPointF(9.5, 14.5);
        p.drawPolygon(side);
        p.setBrush(QColor(252, 175, 62));
        QPolygonF top;
        top << QPointF(1.5, 5.5) << QPointF(6.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 5.5);
        p.drawPolygon(top);
        break;
    }
    case Pic::TaskBrowser:
        grid(p, kBlue);
        magnifier(p, 10.5, 10.5, 2.8);
        break;
    case Pic::FormLetter:
        sheet(p, QRectF(4.5, 0.5, 10, 12), kLightGrey);
        sheet(p, QRectF(1.5, 3.5, 10, 12));
        lines(p, 3.5, 7.5, 6, 3);
        break;
    case Pic::JumpToCompany:
        building(p, QRectF(6.5, 1.5, 8, 13), kLightBlue);
        p.setPen(pen(kGreen.darker(120), 2));
        p.drawLine(QPointF(0.5, 10), QPointF(5.5, 10));
        p.drawLine(QPointF(3.5, 7.5), QPointF(5.5, 10));
        p.drawLine(QPointF(3.5, 12.5), QPointF(5.5, 10));
        break;
    case Pic::Notification: {
        p.setPen(pen(QColor(196, 160, 0)));
        p.setBrush(kYellow);
        QPainterPath bell;
        bell.moveTo(2.5, 12.5);
        bell.cubicTo(4.5, 10.5, 3.5, 2.5, 8, 2.5);
        bell.cubicTo(12.5, 2.5, 11.5, 10.5, 13.5, 12.5);
        bell.closeSubpath();
        p.drawPath(bell);
        p.setBrush(kBrown);
        p.drawEllipse(QPointF(8, 13.5), 1.6, 1.6);
        break;
    }
    case Pic::Envelope:
        envelope(p, QRectF(0.5, 3.5, 15, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRect(QRectF(11.5, 4.5, 3, 3));
        break;
    case Pic::Registered:
        envelope(p, QRectF(0.5, 2.5, 13, 9));
        boldLetters(p, "R", QRectF(8, 8, 8, 8), kRed, 9);
        break;
    }
}

}  // namespace

const QPixmap& Picture(Pic pic)
{
    static std::array<QPixmap, PictureCount> made;
    QPixmap& pm = made[size_t(pic)];
    if (pm.isNull()) {
        pm = QPixmap(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, pic);
    }
    return pm;
}
