// DetailLink: a text of a details panel that can be clicked. As a link it is
// blue and underlined; either way it shows the hand cursor, and a left click
// runs onClick.
#pragma once

#include <QMouseEvent>

#include <functional>

#include "widgets/DBControls.h"

class DetailLink : public DBText {
public:
    DetailLink(QWidget* parent, bool looksLikeLink) : DBText(parent)
    {
        setCursor(Qt::PointingHandCursor);
        if (!looksLikeLink) return;
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        setPalette(p);
    }

    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        DBText::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onClick) onClick();
    }
};
