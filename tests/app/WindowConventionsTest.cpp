#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QStyleOptionMenuItem>
#include <QTextEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "common/Settings.h"
#include "tests/support/TempHome.h"
#include "widgets/MenuStyle.h"
#include "widgets/WindowConventions.h"

namespace {

// A dialog with three edit boxes, a memo and two buttons in tab order.
struct Form {
    QDialog d;
    QLineEdit* a = new QLineEdit(&d);
    QTextEdit* memo = new QTextEdit(&d);
    QComboBox* combo = new QComboBox(&d);
    QDateEdit* date = new QDateEdit(&d);
    QPushButton* ok = new QPushButton("OK", &d);
    QPushButton* cancel = new QPushButton("Mégsem", &d);

    Form()
    {
        d.setObjectName("frm_Proba");
        ok->setAutoDefault(false);
        cancel->setAutoDefault(false);
        int y = 0;
        for (QWidget* w : std::initializer_list<QWidget*>{a, memo, combo, date, ok, cancel})
            w->setGeometry(0, y += 30, 100, 25);
        QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    }
    void show()
    {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    }
};

}  // namespace

TEST(WindowConventions, EnterWalksTheTabStopsAndWrapsButNotInAMemo)
{
    TempHome home;
    Form f;
    f.show();
    f.a->setFocus();
    QTest::keyClick(f.a, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.memo);
    QTest::keyClick(f.memo, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.memo);
    EXPECT_EQ(f.memo->toPlainText(), "\n");
    f.combo->setFocus();
    QTest::keyClick(f.combo, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), f.date);
    QTest::keyClick(f.date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.ok);
    f.cancel->setFocus();
    QTest::keyClick(f.cancel, Qt::Key_Return);  // a focused button is pressed, not left
    f.cancel->setEnabled(false);
    f.ok->setEnabled(false);
    f.date->setFocus();
    QTest::keyClick(f.date, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.a);  // wrapped past the disabled buttons
}

TEST(WindowConventions, EnterPressesTheDefaultButtonOfADialog)
{
    TempHome home;
    Form f;
    f.ok->setDefault(true);
    f.show();
    f.a->setFocus();
    QTest::keyClick(f.a, Qt::Key_Return);
    EXPECT_EQ(f.d.result(), QDialog::Accepted);
    EXPECT_FALSE(f.d.isVisible());
}

TEST(WindowConventions, FocusedBoxTurnsSkyBlueAndBack)
{
    TempHome home;
    Form f;
    const QColor plain = f.a->palette().color(QPalette::Base);
    f.show();
    const QColor sky(166, 202, 240);
    for (QWidget* w : std::initializer_list<QWidget*>{f.a, f.memo, f.combo, f.date}) {
        w->setFocus();
        EXPECT_EQ(w->palette().color(QPalette::Base), sky) << w->metaObject()->className();
        f.ok->setFocus();
        EXPECT_EQ(w->palette().color(QPalette::Base), plain) << w->metaObject()->className();
    }
    KeepOwnColour(f.a);
    f.a->setFocus();
    EXPECT_EQ(f.a->palette().color(QPalette::Base), plain);
}

TEST(WindowConventions, PositionIsRestoredOnShowAndSavedOnClose)
{
    TempHome home;
    {
        Form f;
        f.show();
        EXPECT_EQ(f.d.pos(), QPoint(10, 10));
        f.d.move(123, 45);
        f.ok->click();
    }
    EXPECT_EQ(RestoreWindowPosition("frm_Proba"), QPoint(123, 45));
    Form again;
    again.show();
    EXPECT_EQ(again.d.pos(), QPoint(123, 45));

    Form own;
    own.d.setObjectName("frm_Sajat");
    KeepOwnPlacement(&own.d);
    own.d.move(300, 200);
    own.show();
    EXPECT_EQ(own.d.pos(), QPoint(300, 200));
    own.d.close();
    EXPECT_EQ(RestoreWindowPosition("frm_Sajat"), QPoint(10, 10));
}

TEST(WindowConventions, MouseWheelBecomesArrowKeysOnePerNotch)
{
    TempHome home;
    Form f;
    f.show();
    f.date->setDate(QDate(2024, 5, 10));
    f.date->setFocus();
    f.date->setCurrentSection(QDateTimeEdit::DaySection);
    auto wheel = [&](int dy) {
        QWheelEvent e(QPointF(5, 5), f.d.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.a, &e);  // wherever the mouse is, the focus gets the keys
    };
    wheel(120);
    EXPECT_EQ(f.date->date(), QDate(2024, 5, 11));
    wheel(-240);
    EXPECT_EQ(f.date->date(), QDate(2024, 5, 9));
    // A sideways turn, either way, goes down like a turn towards the user.
    auto sideways = [&](int dx) {
        QWheelEvent e(QPointF(5, 5), f.d.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(dx, 0),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.a, &e);
    };
    sideways(120);
    EXPECT_EQ(f.date->date(), QDate(2024, 5, 8));
    sideways(-240);
    EXPECT_EQ(f.date->date(), QDate(2024, 5, 6));
}

// The style frames the focused control only in a window marked as driven by
// the keyboard; every window is, from the moment it shows.
TEST(WindowConventions, FocusFrameShowsFromTheStartAndAfterEnter)
{
    TempHome home;
    Form f;
    QCheckBox* check = new QCheckBox("Bejelölve", &f.d);
    check->setGeometry(0, 220, 100, 25);
    QWidget::setTabOrder(f.date, check);
    f.show();
    auto framed = [](QWidget* w) {
        QStyleOption o;
        o.initFrom(w);
        return w->hasFocus() && (o.state & QStyle::State_HasFocus) && (o.state & QStyle::State_KeyboardFocusChange);
    };
    f.ok->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(framed(f.ok));
    f.date->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(f.date, Qt::Key_Return);
    EXPECT_TRUE(framed(check));
}

TEST(MenuStyle, CaptionLosesEveryAmpersandAndKeepsTheShortcutApart)
{
    QString shortcut;
    EXPECT_EQ(MenuStyle::caption("&Nyomtat\tCtrl+P", &shortcut), "Nyomtat");
    EXPECT_EQ(shortcut, "Ctrl+P");
    EXPECT_EQ(MenuStyle::caption("Kis && Nagy", &shortcut), "Kis  Nagy");
    EXPECT_EQ(shortcut, "");
    EXPECT_EQ(MenuStyle::caption("&&&"), "");
}

TEST(MenuStyle, DrawsItemsInTheProgramsColours)
{
    MenuStyle* style = MenuStyle::instance();
    QMenu menu;
    QImage img(200, 24, QImage::Format_RGB32);
    auto draw = [&](QStyle::State state, bool checked, QStyleOptionMenuItem::MenuItemType type) {
        img.fill(Qt::white);
        QStyleOptionMenuItem opt;
        opt.initFrom(&menu);
        opt.rect = QRect(0, 0, 200, 24);
        opt.state = state | QStyle::State_Enabled;
        opt.text = "&Nyomtat\tCtrl+P";
        opt.menuItemType = type;
        opt.checkType = QStyleOptionMenuItem::NonExclusive;
        opt.checked = checked;
        QPainter p(&img);
        style->drawControl(QStyle::CE_MenuItem, &opt, &p, &menu);
    };
    draw(QStyle::State_None, false, QStyleOptionMenuItem::Normal);
    EXPECT_EQ(img.pixelColor(5, 20), QColor(255, 251, 240));   // picture band
    EXPECT_EQ(img.pixelColor(150, 20), QColor(238, 238, 238));  // item background
    draw(QStyle::State_None, true, QStyleOptionMenuItem::Normal);
    EXPECT_EQ(img.pixelColor(150, 20), QColor(255, 251, 240));  // ticked: cream
    draw(QStyle::State_Selected, false, QStyleOptionMenuItem::Normal);
    EXPECT_EQ(img.pixelColor(0, 0), QColor(128, 128, 128));     // frame
    EXPECT_EQ(img.pixelColor(150, 20), QColor(222, 170, 141));  // highlight
    draw(QStyle::State_None, false, QStyleOptionMenuItem::Separator);
    EXPECT_EQ(img.pixelColor(100, 12), QColor(162, 162, 162));
    EXPECT_EQ(img.pixelColor(1, 12), QColor(255, 251, 240));

    QStyleOptionMenuItem opt;
    opt.initFrom(&menu);
    opt.text = "Nyomtat";
    opt.menuItemType = QStyleOptionMenuItem::Normal;
    const QSize base = QApplication::style()->sizeFromContents(QStyle::CT_MenuItem, &opt,
                                                               QSize(60, 14), &menu);
    EXPECT_EQ(style->sizeFromContents(QStyle::CT_MenuItem, &opt, QSize(60, 14), &menu),
              base + QSize(50, 2));
}

TEST(MenuStyle, SetMenuStyleReachesEveryMenuOfTheWindow)
{
    QWidget window;
    auto* popup = new QMenu(&window);
    auto* sub = popup->addMenu("Al");
    SetMenuStyle(&window);
    EXPECT_EQ(popup->style(), MenuStyle::instance());
    EXPECT_EQ(sub->style(), MenuStyle::instance());
}
