#include "Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "common/Convert.h"

namespace {

// A card with a folded corner and three lines of text: the register's sign.
void drawCard(QPainter& p, const QRectF& r, const QColor& paper, const QColor& ink)
{
    const qreal fold = r.width() * 0.22;
    QPainterPath card;
    card.moveTo(r.topLeft());
    card.lineTo(r.right() - fold, r.top());
    card.lineTo(r.right(), r.top() + fold);
    card.lineTo(r.bottomRight());
    card.lineTo(r.bottomLeft());
    card.closeSubpath();
    p.setPen(QPen(ink, 1.5));
    p.setBrush(paper);
    p.drawPath(card);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(paper.darker(115));
    p.drawPath(corner);
    p.setPen(QPen(ink, 2));
    for (int i = 0; i < 3; ++i) {
        const qreal y = r.top() + r.height() * (0.45 + 0.17 * i);
        p.drawLine(QPointF(r.left() + r.width() * 0.15, y),
                   QPointF(r.right() - r.width() * (i == 2 ? 0.4 : 0.15), y));
    }
}

}  // namespace

QPixmap SplashPicture()
{
    QPixmap pm(400, 240);
    pm.fill(ColorFromBGR(0x808080));  // see-through
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF body(12, 20, 376, 200);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(38, 86, 150));
    g.setColorAt(1, QColor(18, 46, 92));
    p.setPen(QPen(QColor(230, 236, 245), 3));
    p.setBrush(g);
    p.drawRoundedRect(body, 24, 24);

    drawCard(p, QRectF(38, 62, 88, 110), QColor(255, 251, 240), QColor(30, 60, 110));
    drawCard(p, QRectF(58, 78, 88, 110), QColor(255, 244, 214), QColor(30, 60, 110));

    p.setPen(Qt::white);
    QFont title("Arial", 34, QFont::Bold);
    title.setPixelSize(46);
    p.setFont(title);
    p.drawText(QRectF(164, 64, 220, 60), Qt::AlignLeft | Qt::AlignVCenter, "Nyilvex");
    QFont sub("Tahoma");
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(222, 232, 248));
    p.drawText(QRectF(166, 124, 214, 44), Qt::AlignLeft | Qt::TextWordWrap,
               QString::fromUtf8("Ügyfél- és feladatnyilvántartó"));
    sub.setPixelSize(12);
    p.setFont(sub);
    p.drawText(QRectF(166, 182, 200, 20), Qt::AlignLeft, "V" NYILVEX_VERSION);
    return pm;
}

QPixmap AboutPicture()
{
    QPixmap pm(65, 59);
    pm.fill(ColorFromBGR(0xAED0FF));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawCard(p, QRectF(8, 6, 34, 42), QColor(255, 251, 240), QColor(30, 60, 110));
    drawCard(p, QRectF(20, 12, 34, 42), QColor(255, 244, 214), QColor(30, 60, 110));
    return pm;
}
