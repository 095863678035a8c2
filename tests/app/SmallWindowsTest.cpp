#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/dialogs/Logo.h"
#include "app/dialogs/Nevjegy.h"
#include "app/dialogs/Pictures.h"
#include "app/dialogs/Readme.h"
#include "common/Interaction.h"
#include "common/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"

TEST(Splash, StaysOneAndAHalfSecondsThenFadesAndFreesItself)
{
    QPointer<Tfrm_Logo> logo = new Tfrm_Logo;
    logo->show();
    EXPECT_EQ(logo->size(), QSize(400, 240));
    EXPECT_EQ(logo->opacity(), 255);
    EXPECT_TRUE(logo->Timer1->isActive());
    EXPECT_EQ(logo->Timer1->interval(), 1500);
    logo->startFading();
    EXPECT_FALSE(logo->Timer1->isActive());
    EXPECT_TRUE(logo->Timer2->isActive());
    EXPECT_EQ(logo->Timer2->interval(), 67);
    for (int i = 0; i < 22; ++i) logo->fadeStep();
    EXPECT_EQ(logo->opacity(), 35);
    EXPECT_TRUE(logo->isVisible());
    logo->fadeStep();
    EXPECT_EQ(logo->opacity(), 25);
    EXPECT_FALSE(logo->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(logo.isNull());
}

TEST(Splash, GreyPixelsAreSeeThrough)
{
    const QImage pic = SplashPicture().toImage();
    EXPECT_EQ(pic.pixelColor(0, 0), QColor(128, 128, 128));
    Tfrm_Logo logo;
    EXPECT_FALSE(logo.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(logo.mask().contains(QPoint(200, 120)));
}

TEST(AboutBox, ShowsNameAndVersionAndClosesWithOk)
{
    TempHome home;
    ScriptedInteraction user;
    user.onModal("frm_Nevjegy", [](QDialog& d) {
        EXPECT_EQ(d.size(), QSize(319, 343));
        EXPECT_EQ(d.findChild<QLabel*>("lblVerzio")->text(), "Nyilvex\nV4.1.0.180");
        d.findChild<QPushButton*>("btnOK")->click();
    });
    Tfrm_Nevjegy box;
    EXPECT_EQ(interaction().runModal(box), QDialog::Accepted);
}

TEST(ReadmeWindow, HoldsTheStoredTextAndRemembersItsPlace)
{
    TempHome home;
    const QString text = ReadmeText();
    EXPECT_TRUE(text.startsWith("Nyilvex program\n---"));
    EXPECT_TRUE(text.contains("Fontos információk"));
    EXPECT_TRUE(text.contains("rendszergazda"));
    ScriptedInteraction user;
    user.onModal("frm_Readme", [](QDialog& d) {
        EXPECT_EQ(d.pos(), QPoint(10, 10));
        EXPECT_EQ(d.size(), QSize(552, 399));
        EXPECT_TRUE(d.findChild<QPlainTextEdit*>("Memo1")->isReadOnly());
        d.move(40, 50);
        d.reject();
    });
    Tfrm_Readme w;
    EXPECT_EQ(w.Memo1->toPlainText(), text);
    interaction().runModal(w);
    EXPECT_EQ(RestoreWindowPosition("frm_Readme"), QPoint(40, 50));
}

TEST(ProgramFont, BoldTahomaStandsOutFromTheRegular)
{
    // Captions, names in the details panels and the about box's headings
    // are bold Tahoma 8 and 9: they must draw visibly heavier.
    auto ink = [](const QFont& font) {
        QImage img(300, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(4, 20, "Ügyfélnyilvántartó Cégek");
        p.end();
        long dark = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) dark += 255 - qGray(img.pixel(x, y));
        return dark;
    };
    for (int size : {8, 9}) {
        QFont regular("Tahoma", size);
        QFont bold = regular;
        bold.setBold(true);
        EXPECT_GT(ink(bold), ink(regular) * 5 / 4) << size;
    }
}
