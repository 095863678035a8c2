#include "Form.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

void SetFixedDialogFrame(QDialog* dialog, QSize client)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(client);
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
}

QPushButton* PlaceButton(QWidget* parent, const QString& name, const QString& text, int x, int y,
                         bool isDefault)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 75, 25);
    b->setAutoDefault(false);
    b->setDefault(isDefault);
    return b;
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

void SetPasswordBox(QLineEdit* edit)
{
    edit->setEchoMode(QLineEdit::Password);
    // The style's own mask character is a dot; the sheet sets only the
    // character, so the box keeps its look and its focus colour.
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}
