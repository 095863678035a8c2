// MenuStyle: the program's own look of menus, pop-up menus and menu-bar
// headers, as a proxy over the application style.
//
// Ordinary items are 50 pixels wider and 2 higher than the base style makes
// them; a light band runs down the picture column; the highlighted item is
// filled $8DAADE and framed $808080; a ticked item has a cream background
// ($F0FBFF) instead of a check mark; disabled text is $808080; separators are
// a $A2A2A2 line. Captions lose every "&".
//
// SetMenuStyle(window) gives this style to every menu bar and menu the
// window holds (call it when the window is shown, after its menus exist).
#pragma once

#include <QProxyStyle>
#include <QString>

class QWidget;

class MenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    MenuStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;

    // The caption as drawn: every "&" removed, the shortcut text (after a
    // tab) cut off into `shortcut`.
    static QString caption(const QString& text, QString* shortcut = nullptr);

    // The one shared instance.
    static MenuStyle* instance();
};

void SetMenuStyle(QWidget* window);
