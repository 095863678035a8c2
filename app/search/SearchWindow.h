// What the keyword search and the task browser windows share: their
// commands, made alike, and the tool bar with the "Nyomtat" button whose
// drop-down holds the print and export commands.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include "app/Main/ImageList.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

// A command of `owner` (caption also its hint unless `hint` is given),
// reachable by `keys` while `owner` is active.
QAction* MakeWindowAction(QWidget* owner, const char* name, const QString& caption, const QList<QKeySequence>& keys,
                          Pic picture, const QString& hint = QString());

// A menu of `actions`; a null entry is a separator.
QMenu* MakeActionMenu(QWidget* owner, const QList<QAction*>& actions);

// A tool bar of captioned buttons over `actions` (null: a separator); the
// button of `dropAction` drops `dropMenu` down from its arrow.
QToolBar* MakeCaptionToolBar(QWidget* owner, const QList<QAction*>& actions, QAction* dropAction, QMenu* dropMenu);
