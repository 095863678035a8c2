// Drawing a printout's text boxes in millimetres on any page device (the
// preview, a printer, a PDF): the labels, envelopes and the registered-mail
// form place their boxes at fixed points of the paper.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QImage;
class QPainter;

struct BoxFont {
    QString family;  // a design name (Tahoma, Arial, ...)
    double points;
    bool bold = false;
    bool underline = false;
    QColor color = Qt::black;
};

class PagePainter {
public:
    explicit PagePainter(QPainter& painter);

    // `text` in the box `mm` (from the paper's top-left corner): wrapped at
    // words when `wrap`, else one line; whatever does not fit is cut.
    void text(const QRectF& mm, const QString& text, const BoxFont& font, Qt::Alignment align = Qt::AlignLeft,
              bool wrap = false);
    // `image` centred in the box `mm`, made smaller (never larger) to fit.
    void picture(const QRectF& mm, const QImage& image);

private:
    QRectF device(const QRectF& mm) const;

    QPainter& painter_;
    double perMmX_;
    double perMmY_;
};
