// Small helpers for building windows the way the program lays them out:
// controls at fixed pixel places in a fixed-size dialog frame.
#pragma once

#include <QSize>
#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// A dialog with a fixed frame (no resizing, no help button) whose client
// area is `client` pixels.
void SetFixedDialogFrame(QDialog* dialog, QSize client);

// Centres the window on the screen's work area.
void CentreOnScreen(QWidget* window);

// A push button of the usual 75 x 25 at (x, y). `isDefault` makes it the
// button that Enter presses anywhere in the dialog; no other button becomes
// default by getting the focus.
QPushButton* PlaceButton(QWidget* parent, const QString& name, const QString& text, int x, int y,
                         bool isDefault = false);

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y);

// A password box: every typed character shows as "*".
void SetPasswordBox(QLineEdit* edit);
