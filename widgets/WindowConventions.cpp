#include "WindowConventions.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QWheelEvent>

#include "common/Convert.h"
#include "common/Settings.h"

namespace {

const char* const noPlacement = "nyxKeepOwnPlacement";
const char* const noEnter = "nyxKeepOwnEnter";
const char* const noColour = "nyxKeepOwnColour";
const char* const plainPalette = "nyxPlainPalette";

bool isMemo(QWidget* w)
{
    return qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);
}

bool isReadOnlyMemo(QWidget* w)
{
    if (auto* t = qobject_cast<QTextEdit*>(w)) return t->isReadOnly();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return p->isReadOnly();
    return false;
}

// The control that shows the colour: a line edit inside a drop-down or a
// spin/date box colours its owner.
QWidget* colouredControl(QWidget* w)
{
    if (qobject_cast<QLineEdit*>(w)) {
        QWidget* p = w->parentWidget();
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p)) return p;
        return w;
    }
    if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)) return w;
    if (isMemo(w) && !isReadOnlyMemo(w)) return w;
    return nullptr;
}

bool hasDefaultButton(QWidget* window)
{
    const auto buttons = window->findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        if (b->isDefault() && b->isVisible() && b->isEnabled()) return true;
    return false;
}

bool optedOut(QWidget* w, const char* property)
{
    for (QWidget* p = w; p; p = p->isWindow() ? nullptr : p->parentWidget())
        if (p->property(property).toBool()) return true;
    return w->window()->property(property).toBool();
}

bool remembersPosition(QWidget* w)
{
    return w->isWindow() && w->objectName().startsWith(QLatin1String("frm_")) &&
           !w->property(noPlacement).toBool();
}

bool handleEnter(QWidget* w)
{
    if (optedOut(w, noEnter)) return false;
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->click();
        return true;
    }
    if (isMemo(w) || qobject_cast<QAbstractItemView*>(w)) return false;
    if (hasDefaultButton(w->window())) return false;
    FocusNextTabStop(w);
    return true;
}

void wheelToKeys(QWheelEvent* e)
{
    const QPoint delta = e->angleDelta();
    // A touch pad's begin and end messages carry no turn at all.
    if (delta.isNull() && e->phase() != Qt::NoScrollPhase) return;
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    // Only a turn away from the user goes up; a sideways turn goes down.
    const Qt::Key key = delta.y() > 0 ? Qt::Key_Up : Qt::Key_Down;
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    const int notches = std::max(1, std::abs(turn) / 120);
    for (int i = 0; i < notches; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    }
}

}  // namespace

void WindowConventions::install(QApplication& app)
{
    app.installEventFilter(new WindowConventions(&app));
}

QColor WindowConventions::focusColour()
{
    return ColorFromBGR(0xF0CAA6);
}

bool WindowConventions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            watched == QApplication::focusWidget())
            return handleEnter(static_cast<QWidget*>(watched));
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        if (!watched->isWidgetType()) break;
        QWidget* c = colouredControl(static_cast<QWidget*>(watched));
        if (!c || optedOut(c, noColour)) break;
        if (event->type() == QEvent::FocusIn && !c->property(plainPalette).isValid()) {
            c->setProperty(plainPalette, QVariant::fromValue(c->palette()));
            QPalette p = c->palette();
            p.setColor(QPalette::Base, focusColour());
            if (qobject_cast<QComboBox*>(c)) p.setColor(QPalette::Button, focusColour());
            c->setPalette(p);
        } else if (event->type() == QEvent::FocusOut && c->property(plainPalette).isValid()) {
            c->setPalette(c->property(plainPalette).value<QPalette>());
            c->setProperty(plainPalette, QVariant());
        }
        break;
    }
    case QEvent::Show:
        // The focus frame shows from the start, not only after the first Tab.
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
        if (watched->isWidgetType() && remembersPosition(static_cast<QWidget*>(watched))) {
            auto* w = static_cast<QWidget*>(watched);
            w->move(RestoreWindowPosition(w->objectName()));
        }
        break;
    case QEvent::Hide:
        if (!event->spontaneous() && watched->isWidgetType() &&
            remembersPosition(static_cast<QWidget*>(watched))) {
            auto* w = static_cast<QWidget*>(watched);
            SaveWindowPosition(w->objectName(), w->x(), w->y());
        }
        break;
    case QEvent::Wheel:
        wheelToKeys(static_cast<QWheelEvent*>(event));
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeepOwnPlacement(QWidget* window)
{
    window->setProperty(noPlacement, true);
}

void KeepOwnEnter(QWidget* windowOrControl)
{
    windowOrControl->setProperty(noEnter, true);
}

void KeepOwnColour(QWidget* control)
{
    control->setProperty(noColour, true);
}

void FocusNextTabStop(QWidget* from)
{
    QWidget* window = from->window();
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w->window() != window || w->focusProxy()) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
