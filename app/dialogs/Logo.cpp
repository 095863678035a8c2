#include "Logo.h"

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QTimer>

#include "Pictures.h"
#include "common/Convert.h"
#include "widgets/Form.h"
#include "widgets/WindowConventions.h"

Tfrm_Logo::Tfrm_Logo(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      picture_(SplashPicture())
{
    setObjectName("frm_Logo");
    setAttribute(Qt::WA_DeleteOnClose);
    // Only a picture: the keyboard stays with the main window under it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    KeepOwnPlacement(this);
    setFixedSize(400, 240);
    setMask(picture_.createMaskFromColor(ColorFromBGR(0x808080), Qt::MaskInColor));

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(1500);
    Timer2 = new QTimer(this);
    Timer2->setInterval(67);
    connect(Timer1, &QTimer::timeout, this, &Tfrm_Logo::startFading);
    connect(Timer2, &QTimer::timeout, this, &Tfrm_Logo::fadeStep);
}

void Tfrm_Logo::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    CentreOnScreen(this);
    setWindowOpacity(opacity_ / 255.0);
    Timer1->start();
}

void Tfrm_Logo::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    QWidget* active = QApplication::activeWindow();
    if (parentWidget() && (!active || active == this)) parentWidget()->activateWindow();
}

void Tfrm_Logo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

void Tfrm_Logo::startFading()
{
    Timer1->stop();
    Timer2->start();
}

void Tfrm_Logo::fadeStep()
{
    opacity_ -= 10;
    setWindowOpacity(opacity_ / 255.0);
    if (opacity_ <= 33) {
        Timer2->stop();
        close();
    }
}
