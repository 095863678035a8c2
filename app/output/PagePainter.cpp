#include "PagePainter.h"

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include "report/Fonts.h"

PagePainter::PagePainter(QPainter& painter)
    : painter_(painter),
      perMmX_(painter.device()->logicalDpiX() / 25.4),
      perMmY_(painter.device()->logicalDpiY() / 25.4)
{
}

QRectF PagePainter::device(const QRectF& mm) const
{
    return QRectF(mm.left() * perMmX_, mm.top() * perMmY_, mm.width() * perMmX_, mm.height() * perMmY_);
}

void PagePainter::text(const QRectF& mm, const QString& text, const BoxFont& font, Qt::Alignment align, bool wrap)
{
    if (text.isEmpty()) return;
    QFont f(PrintedFamily(font.family));
    f.setPointSizeF(font.points);
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    // No ligatures: "fi" stays two letters for whoever reads or copies the PDF.
    f.setStyleStrategy(QFont::PreferNoShaping);
    const QRectF box = device(mm);
    painter_.save();
    painter_.setClipRect(box);
    painter_.setFont(f);
    painter_.setPen(font.color);
    painter_.drawText(box, int(align | Qt::AlignTop) | (wrap ? Qt::TextWordWrap : Qt::TextSingleLine), text);
    painter_.restore();
}

void PagePainter::picture(const QRectF& mm, const QImage& image)
{
    if (image.isNull()) return;
    const QRectF box = device(mm);
    QSizeF size = QSizeF(image.size()) * (painter_.device()->logicalDpiX() / 96.0);
    if (size.width() > box.width() || size.height() > box.height()) size.scale(box.size(), Qt::KeepAspectRatio);
    const QRectF target(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2, size.width(),
                        size.height());
    painter_.drawImage(target, image);
}
