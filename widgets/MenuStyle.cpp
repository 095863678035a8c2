#include "MenuStyle.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionMenuItem>

#include "common/Convert.h"

namespace {

QColor highlightFill() { return ColorFromBGR(0x8DAADE); }
QColor highlightFrame() { return ColorFromBGR(0x808080); }
QColor cream() { return ColorFromBGR(0xF0FBFF); }
QColor plainFill() { return ColorFromBGR(0xEEEEEE); }
QColor separatorLine() { return ColorFromBGR(0xA2A2A2); }

// Fills `r` and frames it one pixel wide inside, as a highlighted item.
void fillFramed(QPainter* p, const QRect& r)
{
    p->fillRect(r, highlightFill());
    p->setPen(highlightFrame());
    p->setBrush(Qt::NoBrush);
    p->drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

MenuStyle::MenuStyle() = default;

MenuStyle* MenuStyle::instance()
{
    static QPointer<MenuStyle> style;
    if (!style) {
        style = new MenuStyle;
        style->setParent(qApp);
    }
    return style;
}

QString MenuStyle::caption(const QString& text, QString* shortcut)
{
    QString c = text;
    QString sc;
    const qsizetype tab = c.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        sc = c.mid(tab + 1);
        c.truncate(tab);
    }
    if (shortcut) *shortcut = sc;
    return RemoveAll(QLatin1Char('&'), c);
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                            const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item || (element != CE_MenuItem && element != CE_MenuBarItem)) {
        QProxyStyle::drawControl(element, option, p, widget);
        return;
    }
    const QRect r = item->rect;
    const bool highlighted = item->state & (State_Selected | State_Sunken);
    p->save();
    p->setFont(item->font);

    if (element == CE_MenuBarItem) {
        if (highlighted && (item->state & State_Enabled))
            fillFramed(p, r.adjusted(2, 2, -2, -2));
        else
            p->fillRect(r, item->palette.color(QPalette::Button));
        p->setPen(item->palette.color(QPalette::ButtonText));
        p->drawText(r.adjusted(7, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    caption(item->text));
        p->restore();
        return;
    }

    int offset = 0;
    const bool ticked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;
    if (highlighted) {
        fillFramed(p, r);
        offset = -1;
    } else {
        p->fillRect(r, ticked ? cream() : plainFill());
        p->fillRect(QRect(r.left(), r.top(), std::max(0, 19 - r.left()), r.height()), cream());
    }

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.top() + r.height() / 2;
        p->fillRect(QRect(QPoint(r.left() + 2, y), QPoint(r.right() - 2, y)), separatorLine());
        p->restore();
        return;
    }

    QString shortcut;
    const QString text = caption(item->text, &shortcut);
    p->setPen((item->state & State_Enabled) ? item->palette.color(QPalette::Text) : highlightFrame());
    const QRect textRect = r.adjusted(22, 3, -4, 0);
    p->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    if (!shortcut.isEmpty())
        p->drawText(textRect, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, shortcut);

    if (!item->icon.isNull()) {
        const QPixmap pm = item->icon.pixmap(
            QSize(16, 16), (item->state & State_Enabled) ? QIcon::Normal : QIcon::Disabled);
        p->drawPixmap(r.left() + 2 + offset, r.top() + 2 + offset, pm);
    }

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *option;
        const int size = r.height() / 2;
        arrow.rect = QRect(r.right() - size - 4, r.top() + (r.height() - size) / 2, size, size);
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, p, widget);
    }
    p->restore();
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) s += QSize(50, 2);
    return s;
}

void SetMenuStyle(QWidget* window)
{
    MenuStyle* style = MenuStyle::instance();
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) bar->setStyle(style);
    for (QMenu* menu : window->findChildren<QMenu*>()) menu->setStyle(style);
}
