// WindowConventions: the behaviour every window of the program shares,
// installed once for the whole application as an event filter, so no window
// repeats it:
//
// - Enter moves the focus to the next tab stop of the window (wrapping after
//   the last). Not in a memo (QTextEdit, QPlainTextEdit: a new line), not in
//   a grid or list (the view handles Enter), and not where the window has a
//   default push button (the dialog presses it, as "OK (default)" means). A
//   focused push button is pressed by Enter.
// - An edit box, memo, drop-down or date box turns light sky blue ($F0CAA6)
//   while it has the focus and gets its own colours back when it loses it.
//   Read-only memos keep their colour.
// - A top-level window whose objectName starts with "frm_" restores its left
//   and top edge from the settings file when shown (10, 10 when never saved)
//   and saves them when it is hidden or closed (Settings.h). Windows that
//   place themselves (centred dialogs, the main window, the login window)
//   opt out with KeepOwnPlacement().
// - Every mouse-wheel turn becomes Up (away from the user) or Down arrow key
//   presses, one per notch, sent to the focused widget.
//
// Esc closing a dialog is QDialog's own behaviour; every dialog window is a
// QDialog. A window (or one control) opts out of the Enter move with
// KeepOwnEnter(); a control opts out of the focus colour with KeepOwnColour().
#pragma once

#include <QColor>
#include <QObject>

class QApplication;
class QWidget;

class WindowConventions : public QObject {
    Q_OBJECT
public:
    // Installs the conventions on the application; call once at start.
    static void install(QApplication& app);

    static QColor focusColour();  // $F0CAA6

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowConventions(QObject* parent) : QObject(parent) {}
};

void KeepOwnPlacement(QWidget* window);
void KeepOwnEnter(QWidget* windowOrControl);
void KeepOwnColour(QWidget* control);

// Moves the focus to the next tab stop of `from`'s window, wrapping.
void FocusNextTabStop(QWidget* from);
