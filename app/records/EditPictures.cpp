#include "EditPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(64, 64, 64);
const QColor kPaper(255, 255, 255);
const QColor kBlue(52, 101, 164);
const QColor kGreen(78, 154, 6);
const QColor kRed(204, 0, 0);
const QColor kBrown(143, 89, 2);
const QColor kGrey(136, 138, 133);

QPen pen(const QColor& c, qreal w = 1.0) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(pen(kGrey));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

}  // namespace

QIcon EditPicture(EditPic pic)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (pic) {
    case EditPic::DateStamp:
        p.setPen(pen(kInk));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.setBrush(kRed);
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.setPen(pen(kInk));
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) p.drawPoint(QPointF(4.5 + c * 3.5, 8.5 + r * 3));
        break;
    case EditPic::Cut:
        p.setPen(pen(kGrey, 1.4));
        p.drawLine(QPointF(5, 1), QPointF(10, 10));
        p.drawLine(QPointF(11, 1), QPointF(6, 10));
        p.setPen(pen(kRed, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
        p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
        break;
    case EditPic::Copy:
        sheet(p, QRectF(1.5, 1.5, 8, 10));
        sheet(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case EditPic::Paste:
        p.setPen(pen(kInk));
        p.setBrush(kBrown);
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        p.setBrush(kGrey);
        p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
        sheet(p, QRectF(7.5, 6.5, 7, 8));
        break;
    case EditPic::Undo: {
        p.setPen(pen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(4, 7);
        arc.cubicTo(7, 3, 14, 4, 13, 10);
        arc.cubicTo(12.5, 12, 11, 13, 9, 13.5);
        p.drawPath(arc);
        p.setBrush(kBlue);
        p.setPen(pen(kBlue));
        p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(2, 10), QPointF(7.5, 8)}));
        break;
    }
    case EditPic::Accept:
        p.setPen(pen(kGreen, 2.6));
        p.drawLine(QPointF(2.5, 8.5), QPointF(6.5, 12.5));
        p.drawLine(QPointF(6.5, 12.5), QPointF(13.5, 3.5));
        break;
    }
    p.end();
    return QIcon(pm);
}
