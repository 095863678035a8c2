// The customer and task editors through the main window's commands, on a
// fresh database per test: the name split and the name-day and postal-code
// lookups, new and cancelled records and where the list stands afterwards,
// refused saves, the defaults of a new task and its blank dates.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/records/Feladat_Szerkeszt.h"
#include "app/records/Szerkeszt.h"
#include "engine/Database.h"
#include "widgets/DBGrid.h"
#include "tests/records/MainWindowFixture.h"

namespace {

void typeInto(QDialog& d, const char* box, const QString& text)
{
    auto* e = d.findChild<QLineEdit*>(box);
    e->setFocus();
    e->selectAll();
    e->insert(text);
}

QString textOf(QDialog& d, const char* box) { return d.findChild<QLineEdit*>(box)->text(); }

void click(QDialog& d, const char* button) { d.findChild<QPushButton*>(button)->click(); }

using EditorsTest = MainWindowRecordsTest;

}  // namespace

TEST_F(EditorsTest, NameSplitAndNameDayLookup)
{
    const struct {
        const char* full;
        const char* family;
        const char* given;
        int month, day;
    } cases[] = {
        {"Kiss  Antal", "Kiss", "Antal", 1, 17},     // two blanks: word 2 empty, word 3 the name
        {"Nagy Éva", "Nagy", "Éva", 12, 24},         // earliest of the year for a name with one day
        {"Dr. Kovács Dénes", "Dr.", "Dénes", 4, 8},  // three words: the third, its earliest day
        {"Ábel", "Ábel", "Ábel", 1, 2},              // one word is both names
        {"  Szabó ede ", "Szabó", "ede", 3, 18},     // trimmed; letter case ignored
        {"", "", "", 0, 0},
        {"Kovács Zebulon", "Kovács", "Zebulon", 0, 0},  // no name day
    };
    for (const auto& c : cases) {
        QString given, family;
        int month = -1, day = -1;
        SplitName(c.full, given, month, day, family);
        EXPECT_EQ(family, c.family) << c.full;
        EXPECT_EQ(given, c.given) << c.full;
        EXPECT_EQ(month, c.month) << c.full;
        EXPECT_EQ(day, c.day) << c.full;
    }
}

TEST_F(EditorsTest, PostalCodeFillsOnlyAnEmptyOrTheDefaultCity)
{
    EXPECT_EQ(CityForPostalCode("6720", "", "Pécs"), "Szeged");
    EXPECT_EQ(CityForPostalCode("6720", "Pécs", "Pécs"), "Szeged");
    EXPECT_EQ(CityForPostalCode("6720", "pécs", "Pécs"), "pécs");
    EXPECT_EQ(CityForPostalCode("6720", "Győr", "Pécs"), "Győr");
    EXPECT_EQ(CityForPostalCode("0000", "", "Pécs"), "");
    EXPECT_EQ(CityForPostalCode("", "Pécs", ""), "Pécs");
}

TEST_F(EditorsTest, NewCustomerFromTheKeyboardIsSavedAndSelectedCancelLeavesNothing)
{
    add("ugyfel", {{"Ugyfel_nev", "Ács Béla"}});
    start();
    Beall.defaultCity = "Budapest";
    w->setTabIndex(1);
    user.onModal("frm_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Szerkesztés");
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        EXPECT_EQ(QApplication::focusWidget(), d.findChild<QLineEdit*>("DBEdit1"));
        typeInto(d, "DBEdit1", "Zöld  Antal");
        click(d, "BitBtn1");
        EXPECT_EQ(textOf(d, "DBEdit15"), "Zöld");
        EXPECT_EQ(textOf(d, "DBEdit16"), "Antal");
        EXPECT_EQ(textOf(d, "DBEdit17"), "1");
        typeInto(d, "DBEdit9", "Budapest");
        typeInto(d, "DBEdit10", "6720");
        d.findChild<QLineEdit*>("DBEdit11")->setFocus();  // leaving the postal code
        EXPECT_EQ(textOf(d, "DBEdit9"), "Szeged");
        click(d, "Button1");
    });
    user.onModal("frm_Szerkeszt", [](QDialog& d) {
        typeInto(d, "DBEdit1", "Eldobott Ede");
        click(d, "Button2");
    });
    w->aUj->trigger();
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Zöld  Antal");
    const int saved = current(1, "ugyfel").toInt();
    EXPECT_EQ(valueOf("ugyfel", "ugyfel", saved, "Cim_varos").toString(), "Szeged");
    EXPECT_EQ(valueOf("ugyfel", "ugyfel", saved, "nap").toInt(), 17);
    EXPECT_EQ(valueOf("ugyfel", "ugyfel", saved, "Datum").toDate(), QDate::currentDate());

    w->aUj->trigger();
    EXPECT_EQ(count("ugyfel"), 2);
    EXPECT_EQ(w->Qry->recNo(), 1);
    EXPECT_FALSE(w->Tbl->isActive());
}

TEST_F(EditorsTest, LongNameWordsAreCutToTheBoxesAndEditKeepsTheRow)
{
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Anna"}});
    add("ugyfel", {{"Ugyfel_nev", "Béla"}});
    start();
    w->setTabIndex(1);
    w->Qry->locate("ugyfel", anna);
    const QString family(60, QChar(u'é'));
    const QString given(30, 'g');
    user.onModal("frm_Szerkeszt", [&](QDialog& d) {
        typeInto(d, "DBEdit1", family + " " + given);
        click(d, "BitBtn1");
        EXPECT_EQ(textOf(d, "DBEdit15"), family.left(50));
        EXPECT_EQ(textOf(d, "DBEdit16"), given.left(25));
        EXPECT_EQ(textOf(d, "DBEdit17"), "0");
        click(d, "Button3");  // the OK of the second page
    });
    w->aSzerkeszt->trigger();
    EXPECT_EQ(current(1, "ugyfel").toInt(), anna);
    EXPECT_EQ(current(1, "vnev").toString(), family.left(50));
    EXPECT_EQ(current(1, "knev").toString(), given.left(25));
    EXPECT_EQ(count("ugyfel"), 2);
}

TEST_F(EditorsTest, CustomerSaveRefusedWhileTheTableIsHeldKeepsWhatWasTyped)
{
    start();
    w->setTabIndex(1);
    auto other = engine::Database::open((home.programFolder() + "/Data").toStdString());
    ASSERT_TRUE(other.isOk());
    auto held = (*other)->openTable("ugyfel", engine::OpenMode::Shared);
    ASSERT_TRUE(held.isOk());
    user.onModal("frm_Szerkeszt", [&](QDialog& d) {
        typeInto(d, "DBEdit1", "Türelmes Teréz");
        ASSERT_TRUE((*held)->begin().isOk());
        click(d, "Button1");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(textOf(d, "DBEdit1"), "Türelmes Teréz");
        ASSERT_TRUE((*held)->rollback().isOk());
        click(d, "Button1");
    });
    // The empty list's "Szerkeszt" starts a new customer.
    w->aSzerkeszt->trigger();
    EXPECT_EQ(user.errors().size(), 1);
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Türelmes Teréz");
}

TEST_F(EditorsTest, NewTaskHasTheDefaultsAndShowsUntilClosed)
{
    add("feladat", {{"rovid", "régi"}, {"lezarva", "N"}, {"dat_beerk", QDate(2024, 1, 1)}});
    set("beallit", {{"alapprioritas", 3}, {"alaphatarido", 5}});
    start();
    w->setTabIndex(2);
    const QDate today = QDate::currentDate();
    user.onModal("frm_Feladat_Szerkeszt", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Feladat szerkesztés");
        EXPECT_EQ(d.findChild<QDateEdit*>("DateTimePicker1")->date(), today);
        EXPECT_EQ(d.findChild<QDateEdit*>("DateTimePicker2")->date(), today.addDays(5));
        typeInto(d, "DBEdit8", "új munka");
        click(d, "Button1");
    });
    w->aUj->trigger();
    const int task = current(2, "feladat").toInt();
    EXPECT_EQ(current(2, "rovid").toString(), "új munka");
    EXPECT_EQ(current(2, "allapot").toInt(), 1);
    EXPECT_EQ(current(2, "prioritas").toInt(), 3);
    EXPECT_EQ(current(2, "dat_hatid").toDate(), today.addDays(5));

    // Closed: it leaves the list of unfinished tasks, which stands on its first row.
    user.onModal("frm_Feladat_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(textOf(d, "DBEdit1").size(), 5);
        d.findChild<QCheckBox*>("DBCheckBox1")->click();
        click(d, "Button1");
    });
    w->aSzerkeszt->trigger();
    EXPECT_EQ(valueOf("feladat", "feladat", task, "lezarva").toString(), "I");
    EXPECT_EQ(w->QryFeladat->recordCount(), 1);
    EXPECT_EQ(current(2, "rovid").toString(), "régi");

    // Cancelled: no row, the first task selected; a changed date not kept.
    user.onModal("frm_Feladat_Szerkeszt", [](QDialog& d) { click(d, "Button2"); });
    user.onModal("frm_Feladat_Szerkeszt", [](QDialog& d) {
        d.findChild<QDateEdit*>("DateTimePicker1")->setDate(QDate(2020, 5, 5));
        click(d, "Button2");
    });
    w->aUj->trigger();
    w->aSzerkeszt->trigger();
    EXPECT_EQ(count("feladat"), 2);
    EXPECT_EQ(current(2, "dat_beerk").toDate(), QDate(2024, 1, 1));
}

TEST_F(EditorsTest, BlankTaskDatesStayBlankAndAMissingTaskOpensNothing)
{
    const int task = add("feladat", {{"rovid", "dátum nélkül"}, {"lezarva", "N"}});
    start();
    w->setTabIndex(2);
    user.onModal("frm_Feladat_Szerkeszt", [](QDialog& d) {
        typeInto(d, "DBEdit8", "még mindig dátum nélkül");
        click(d, "Button1");
    });
    w->aSzerkeszt->trigger();
    EXPECT_TRUE(valueOf("feladat", "feladat", task, "dat_beerk").isNull());
    EXPECT_TRUE(valueOf("feladat", "feladat", task, "dat_hatid").isNull());
    EXPECT_EQ(valueOf("feladat", "feladat", task, "rovid").toString(), "még mindig dátum nélkül");

    // Removed by another program meanwhile: nothing to edit.
    user.asked.clear();
    EditTask(*w->TblFeladat, *w->QryFeladat, false, task + 100, w.get());
    EXPECT_TRUE(user.asked.empty());
    EXPECT_FALSE(w->TblFeladat->isActive());
}

// A customer and a task made and changed with the keyboard alone: Ins and
// F2 on the list, typing, Enter and Tab between the boxes, Enter on "OK".
TEST_F(EditorsTest, CustomerAndTaskFromTheKeyboardAlone)
{
    start();
    // (QTest types ASCII only.)
    auto keyboardOnly = [](const QString& boxName, const QString& text) {
        return [boxName, text](QDialog& d) {
            d.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            QTest::qWait(20);
            ASSERT_EQ(QApplication::focusWidget()->window(), &d);
            for (int i = 0; i < 40 && QApplication::focusWidget()->objectName() != boxName; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QLineEdit* box = d.findChild<QLineEdit*>(boxName);
            ASSERT_EQ(QApplication::focusWidget(), box);
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return);  // on to the next box
            EXPECT_NE(QApplication::focusWidget(), box);
            for (int i = 0; i < 40 && QApplication::focusWidget()->objectName() != "Button1"; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            EXPECT_FALSE(d.isVisible());
        };
    };
    const std::pair<int, const char*> lists[] = {{1, "DBEdit1"}, {2, "DBEdit8"}};
    for (const auto& [tab, box] : lists) {
        w->setTabIndex(tab);
        const char* form = tab == 1 ? "frm_Szerkeszt" : "frm_Feladat_Szerkeszt";
        const char* field = tab == 1 ? "Ugyfel_nev" : "rovid";
        user.onModal(form, keyboardOnly(box, "Elso"));
        user.onModal(form, keyboardOnly(box, "Masodik"));
        auto press = [this, tab](Qt::Key key) {
            w->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
            w->browseGrid(tab)->setFocus();
            QTest::keyClick(w->browseGrid(tab), key);
        };
        press(Qt::Key_Insert);
        EXPECT_EQ(current(tab, field).toString(), "Elso");
        press(Qt::Key_F2);
        EXPECT_EQ(current(tab, field).toString(), "Masodik");
        EXPECT_EQ(w->browseDataSet(tab)->recordCount(), 1);
    }
}
