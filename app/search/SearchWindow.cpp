#include "SearchWindow.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

QAction* MakeWindowAction(QWidget* owner, const char* name, const QString& caption, const QList<QKeySequence>& keys,
                          Pic picture, const QString& hint)
{
    auto* a = new QAction(Picture(picture), caption, owner);
    a->setObjectName(name);
    a->setIconText(caption);
    a->setToolTip(hint.isEmpty() ? caption : hint);
    a->setStatusTip(a->toolTip());
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(a);
    return a;
}

QMenu* MakeActionMenu(QWidget* owner, const QList<QAction*>& actions)
{
    auto* menu = new QMenu(owner);
    for (QAction* a : actions) {
        if (a) menu->addAction(a);
        else menu->addSeparator();
    }
    return menu;
}

QToolBar* MakeCaptionToolBar(QWidget* owner, const QList<QAction*>& actions, QAction* dropAction, QMenu* dropMenu)
{
    auto* bar = new QToolBar(owner);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    for (QAction* a : actions) {
        if (a) bar->addAction(a);
        else bar->addSeparator();
    }
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(dropAction))) {
        b->setMenu(dropMenu);
        b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    return bar;
}
