// The main window on a fresh database per test: start-up state, tabs, sort,
// quick search, the drawing rules of the grids, reminders, delete, the jump
// to the company, the newsletter hand-off, shortcut keys, links and rights.
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/Main/Beall.h"
#include "app/Main/DetailLink.h"
#include "app/Main/ImageList.h"
#include "app/Main/Main.h"
#include "common/Convert.h"
#include "common/DataSet.h"
#include "widgets/DBGrid.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

using Values = std::initializer_list<std::pair<const char*, QVariant>>;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = home.programFolder() + "/Data";
        BuildTestDatabase(data);
        conn = std::make_unique<Connection>();
        conn->setParams(Connection::paradoxParams(data));
        set("beallit", {{"vanbelep", "N"}});
    }

    void TearDown() override
    {
        w.reset();
        conn.reset();
    }

    // Appends a row and returns its key (the first field).
    int add(const QString& table, Values values) { return AddRow(conn.get(), table, values); }

    // Changes the first row of a table.
    void set(const QString& table, Values values) { SetFirstRow(conn.get(), table, values); }

    // While the window runs, reads go through its own connection.
    Connection* reader() { return w ? w->Database1 : conn.get(); }

    int count(const QString& table)
    {
        TableDataSet t(reader());
        t.setTableName(table + ".DB");
        t.open();
        return t.recordCount();
    }

    QVariant valueOf(const QString& table, const QString& keyField, int key, const QString& field)
    {
        TableDataSet t(reader());
        t.setTableName(table + ".DB");
        t.open();
        if (!t.locate(keyField, key)) return QString("(nincs)");
        return t.fieldByName(field)->value();
    }

    // Starts the window as the program does: shown without help in getting
    // the keyboard, which it must take itself (under a real X server too).
    void start()
    {
        w = std::make_unique<Tfrm_Main>();
        ASSERT_TRUE(w->startUp());
        Beall.lastArchiveDate = QDate::currentDate();
        Beall.fullScreen = false;
        Beall.width = 1000;
        Beall.height = 700;
        w->show();
        // The splash closes by itself after three seconds; here at once.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frm_Logo") top->close();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 3000));
        ASSERT_EQ(QApplication::activeWindow(), w.get());
    }

    // A key as the platform delivers it: to the widget that has the
    // window's focus, through the shortcut override first.
    void press(QKeyCombination key)
    {
        QWidget* target = w->focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    }

    // The current row's field of a tab's list.
    QVariant current(int tab, const QString& field) { return w->browseDataSet(tab)->fieldByName(field)->value(); }

    // What the grid's drawing rules choose for one cell.
    DBGridCell cell(DBGrid* grid, int row, const QString& title, bool selected = false)
    {
        DBGridCell c;
        c.dataSet = grid->dataSet();
        c.row = row;
        for (int col = 0; col < grid->gridColumnCount(); ++col)
            if (grid->columnTitle(col) == title) {
                c.column = col;
                c.fieldName = grid->columnField(col);
            }
        c.title = title;
        c.selected = selected;
        c.background = Qt::white;
        c.textColor = selected ? QColor(Qt::white) : QColor(Qt::black);
        c.drawText = !c.fieldName.isEmpty();
        grid->onDrawCell(c);
        return c;
    }

    int rowOf(DataSet* ds, const QString& field, const QVariant& value)
    {
        for (int r = 0; r < ds->recordCount(); ++r)
            if (ds->valueAt(r, ds->fieldByName(field)->index()) == value) return r;
        return -1;
    }

    TempHome home;
    QString data;
    ScriptedInteraction user;
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Tfrm_Main> w;
};

void answerDate(ScriptedInteraction& user, const QDate& date, bool ok = true)
{
    user.onModal("frm_Datum", [date, ok](QDialog& d) {
        d.findChild<QDateEdit*>("eAlso")->setDate(date);
        ok ? d.accept() : d.reject();
    });
}

void answerText(ScriptedInteraction& user, const QString& text, bool ok = true)
{
    user.onModal("frm_InpStr", [text, ok](QDialog& d) {
        d.findChild<QLineEdit*>("Edit1")->setText(text);
        ok ? d.accept() : d.reject();
    });
}

bool samePicture(const QPixmap& a, Pic b) { return a.toImage() == Picture(b).toImage(); }

}  // namespace

TEST_F(MainWindowTest, StartsOnTheCompaniesWithTheFirstCompanysCustomersAndUnfinishedTasks)
{
    const int beta = add("ceg", {{"ceg_nev", "Béta Kft."}});
    const int alfa = add("ceg", {{"ceg_nev", "Alfa Bt."}});
    const int empty = add("ceg", {{"ceg_nev", "Cenzor Zrt."}});
    add("ugyfel", {{"Ugyfel_nev", "Kovács Anna"}, {"ceg", alfa}});
    add("ugyfel", {{"Ugyfel_nev", "Bíró Béla"}, {"ceg", beta}});
    add("ugyfel", {{"Ugyfel_nev", "Antal Ede"}, {"ceg", alfa}});
    add("ugyfel", {{"Ugyfel_nev", "Magányos Mária"}});
    add("feladat", {{"rovid", "nyitott"}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "kész"}, {"lezarva", "I"}});
    add("termek", {{"cikkszam", "BU-6001"}, {"cikkszam_nev", "Irodai forgószék"}});
    start();

    EXPECT_EQ(w->tabIndex(), 0);
    EXPECT_TRUE(w->pCeg->isVisible());
    EXPECT_FALSE(w->pUgyfel->isVisible());
    EXPECT_EQ(current(0, "ceg_nev").toString(), "Alfa Bt.");
    EXPECT_EQ(w->Qry->filter(), QString("ceg=%1").arg(alfa));
    EXPECT_TRUE(w->Qry->filtered());
    ASSERT_EQ(w->DBGrid5->model()->rowCount(), 2);
    EXPECT_EQ(w->Qry->sql().last(), "ORDER BY ugyfel_nev;");
    EXPECT_EQ(w->DBGrid5->model()->index(0, 1).data().toString(), "Antal Ede");
    EXPECT_EQ(w->statusText(2), "Sorrend: cégnév");
    EXPECT_EQ(w->statusText(0), "3 / 1");

    // Moving in the company list lists that company's customers below.
    w->TblCegek->locate("ceg", empty);
    EXPECT_EQ(w->Qry->filter(), QString("ceg=%1").arg(empty));
    EXPECT_EQ(w->DBGrid5->model()->rowCount(), 0);
    w->TblCegek->locate("ceg", beta);
    EXPECT_EQ(w->DBGrid5->model()->rowCount(), 1);

    // The customers tab lists everybody, whatever company was current.
    w->aUgyfel->trigger();
    EXPECT_EQ(w->tabIndex(), 1);
    EXPECT_TRUE(w->pUgyfel->isVisible());
    EXPECT_FALSE(w->Qry->filtered());
    EXPECT_EQ(w->DBGrid1->model()->rowCount(), 4);
    EXPECT_EQ(w->statusText(2), "Sorrend: ügyfél");
    EXPECT_EQ(w->statusText(1), "Teljes állomány");

    // The tasks start filtered to the unfinished ones, by id.
    w->aFeladat->trigger();
    EXPECT_EQ(w->statusText(2), "Sorrend: id");
    EXPECT_EQ(w->statusText(1), "Szűrt állomány");
    EXPECT_EQ(w->statusText(0), "1 / 1");
    EXPECT_EQ(current(2, "rovid").toString(), "nyitott");
    EXPECT_TRUE(w->aSzurF->isChecked());
    EXPECT_FALSE(w->aSzur->isChecked());
    EXPECT_TRUE(w->aSzurF->isVisible());
    EXPECT_FALSE(w->aSzur->isVisible());
    EXPECT_TRUE(w->aFeladat->isChecked());
    EXPECT_FALSE(w->aUgyfel->isChecked());

    // The tab strip, clicked, opens the products with their sort label.
    QTest::mouseClick(w->TabSet1, Qt::LeftButton, Qt::NoModifier, w->TabSet1->tabRect(3).center());
    EXPECT_EQ(w->tabIndex(), 3);
    EXPECT_EQ(w->statusText(2), "Sorrend: cikkszám");
    EXPECT_EQ(w->statusText(0), "1 / 1");
    EXPECT_FALSE(w->aSzur->isVisible());
    EXPECT_FALSE(w->aSzurF->isVisible());

    EXPECT_TRUE(w->aUj->isEnabled());
    EXPECT_TRUE(w->aSzerkeszt->isEnabled());
    for (QLabel* l : w->lblNevnap) EXPECT_EQ(l->text(), w->nameDayLine());
}

TEST_F(MainWindowTest, DoubleClickOnACompanysCustomerOpensItInTheCustomerList)
{
    const int ceg = add("ceg", {{"ceg_nev", "Alfa Bt."}});
    for (const char* n : {"Antal Ede", "Bodnár Béla", "Cseh Cecília"}) add("ugyfel", {{"Ugyfel_nev", n}});
    const int zoli = add("ugyfel", {{"Ugyfel_nev", "Zentai Zoltán"}, {"ceg", ceg}});
    start();
    ASSERT_EQ(w->DBGrid5->model()->rowCount(), 1);
    emit w->DBGrid5->doubleClicked(w->DBGrid5->model()->index(0, 1));
    EXPECT_EQ(w->tabIndex(), 1);
    EXPECT_FALSE(w->Qry->filtered());
    EXPECT_EQ(current(1, "ugyfel").toInt(), zoli);
}

TEST_F(MainWindowTest, TitleClicksSortKeepTheRowShadeTheColumnAndSteerTheQuickSearch)
{
    add("ugyfel", {{"Ugyfel_nev", "Kovács Anna"}, {"Mobil", "+36 30 333"}});
    const int bela = add("ugyfel", {{"Ugyfel_nev", "Bíró Béla"}, {"Mobil", "+36 20 999"}});
    add("ugyfel", {{"Ugyfel_nev", "kozma Kata"}, {"Mobil", "+36 70 111"}});
    add("ugyfel", {{"Ugyfel_nev", "Ábel Ádám"}, {"Mobil", "+36 30 222"}});
    start();
    w->aUgyfel->trigger();
    w->Qry->locate("ugyfel", bela);

    QHeaderView* titles = w->DBGrid1->horizontalHeader();
    emit titles->sectionClicked(4);  // "mobil"
    EXPECT_EQ(Beall.sortFields[1], "mobil");
    EXPECT_EQ(w->Qry->sql().last(), "ORDER BY mobil;");
    EXPECT_EQ(current(1, "ugyfel").toInt(), bela);
    EXPECT_EQ(w->statusText(2), "Sorrend: mobil");
    const QColor face = w->DBGrid1->palette().color(QPalette::Active, QPalette::Button);
    const QColor window = w->DBGrid1->palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(w->DBGrid1->columnColor(4), face);
    for (int col : {0, 1, 2, 3, 5}) EXPECT_EQ(w->DBGrid1->columnColor(col), window) << col;
    EXPECT_EQ(QApplication::focusWidget(), w->Edit1);

    // The quick search now looks at mobile numbers.
    w->Edit1->setText("+36 30");
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Ábel Ádám");

    // Clicking the same title again keeps order and row; the marker column
    // sorts nothing.
    emit titles->sectionClicked(4);
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Ábel Ádám");
    emit titles->sectionClicked(0);
    EXPECT_EQ(Beall.sortFields[1], "mobil");

    // By name: "ko" finds the first name starting with Ko or ko; an erased
    // box or a text nobody has leaves the row.
    emit titles->sectionClicked(1);
    w->Edit1->clear();
    w->Edit1->setText("ko");
    const QString found = current(1, "Ugyfel_nev").toString();
    EXPECT_TRUE(found == "Kovács Anna" || found == "kozma Kata") << found.toStdString();
    EXPECT_EQ(w->DBGrid1->model()->index(w->Qry->currentRow(), 1).data().toString(), found);
    w->Edit1->setText("");
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), found);
    w->Edit1->setText("Xaver");
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), found);

    // Hand cursor over the sortable titles only.
    QWidget* tv = titles->viewport();
    const int y = titles->height() / 2;
    QMouseEvent overName(QEvent::MouseMove, QPointF(titles->sectionPosition(1) + 5, y), tv->mapToGlobal(QPointF(0, 0)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tv, &overName);
    EXPECT_EQ(tv->cursor().shape(), Qt::PointingHandCursor);
    QMouseEvent overMarker(QEvent::MouseMove, QPointF(5, y), tv->mapToGlobal(QPointF(0, 0)), Qt::NoButton,
                           Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tv, &overMarker);
    EXPECT_EQ(tv->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowTest, TasksSortByDeadlineThenIdAndTablesByTheirIndexes)
{
    const QDate d(2024, 3, 1);
    const int t1 = add("feladat", {{"rovid", "egy"}, {"dat_hatid", d.addDays(2)}, {"lezarva", "N"}});
    const int t2 = add("feladat", {{"rovid", "kettő"}, {"dat_hatid", d}, {"lezarva", "N"}});
    const int t3 = add("feladat", {{"rovid", "három"}, {"dat_hatid", d}, {"lezarva", "N"}});
    add("ceg", {{"ceg_nev", "Alfa"}, {"telefon", "3"}});
    add("ceg", {{"ceg_nev", "Béta"}, {"telefon", "1"}});
    start();
    w->aFeladat->trigger();
    w->QryFeladat->locate("feladat", t1);
    emit w->DBGrid2->horizontalHeader()->sectionClicked(3);  // "határidő"
    EXPECT_EQ(w->QryFeladat->sql().last(), "ORDER BY dat_hatid, feladat.feladat;");
    EXPECT_EQ(current(2, "feladat").toInt(), t1);
    const int id = w->QryFeladat->fieldByName("feladat")->index();
    EXPECT_EQ(w->QryFeladat->valueAt(0, id).toInt(), t2);
    EXPECT_EQ(w->QryFeladat->valueAt(1, id).toInt(), t3);
    EXPECT_EQ(w->statusText(2), "Sorrend: határidő");

    // Back by id, where text that is no id moves nothing and an id moves to it.
    emit w->DBGrid2->horizontalHeader()->sectionClicked(1);  // "!" sorts nothing
    EXPECT_EQ(Beall.sortFields[2], "dat_hatid");
    w->SortBy("feladat", 2);
    EXPECT_EQ(w->QryFeladat->sql().last(), "ORDER BY feladat;");
    w->Edit2->setText("abc");
    EXPECT_EQ(current(2, "feladat").toInt(), t1);
    w->Edit2->setText(QString::number(t3));
    EXPECT_EQ(current(2, "feladat").toInt(), t3);
    EXPECT_EQ(w->DBGrid2->model()->index(w->QryFeladat->currentRow(), 3).data().toString(),
              w->QryFeladat->fieldByName("dat_hatid")->displayText());

    w->aCeg->trigger();
    EXPECT_EQ(current(0, "ceg_nev").toString(), "Alfa");
    emit w->DBGrid4->horizontalHeader()->sectionClicked(5);  // "telefon"
    EXPECT_EQ(current(0, "ceg_nev").toString(), "Alfa");
    EXPECT_EQ(w->TblCegek->valueAt(0, w->TblCegek->fieldByName("ceg_nev")->index()).toString(), "Béta");
    EXPECT_EQ(w->statusText(2), "Sorrend: telefon");
}

// Title clicks one after another sort the rows the list already has; what
// another program changed meanwhile shows at the next click.
TEST_F(MainWindowTest, TitleClicksAfterAnotherProgramsChangeShowTheChange)
{
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Kovács Anna"}, {"Mobil", "+36 30 333"}});
    const int bela = add("ugyfel", {{"Ugyfel_nev", "Bíró Béla"}, {"Mobil", "+36 20 999"}});
    const QDate d(2024, 3, 1);
    const int t1 = add("feladat", {{"rovid", "egy"}, {"dat_hatid", d.addDays(2)}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "lezárt"}, {"dat_hatid", d}, {"lezarva", "I"}});
    const int t3 = add("feladat", {{"rovid", "három"}, {"dat_hatid", d.addDays(1)}, {"lezarva", "N"}});
    start();
    w->aUgyfel->trigger();
    ASSERT_TRUE(w->Qry->locate("ugyfel", bela));
    QHeaderView* titles = w->DBGrid1->horizontalHeader();
    const int name = w->Qry->fieldByName("Ugyfel_nev")->index();
    emit titles->sectionClicked(4);  // "mobil"
    emit titles->sectionClicked(1);  // "ügyfél"
    EXPECT_EQ(w->Qry->valueAt(0, name).toString(), "Bíró Béla");

    add("ugyfel", {{"Ugyfel_nev", "Ábel Ádám"}, {"Mobil", "+36 10 000"}});
    emit titles->sectionClicked(4);
    ASSERT_EQ(w->Qry->recordCount(), 3);
    EXPECT_EQ(w->Qry->valueAt(0, name).toString(), "Ábel Ádám");
    EXPECT_EQ(current(1, "ugyfel").toInt(), bela);
    EXPECT_EQ(w->DBGrid1->model()->rowCount(), 3);
    set("ugyfel", {{"Ugyfel_nev", "Zajti Anna"}});  // the first customer, Kovács Anna
    emit titles->sectionClicked(1);
    EXPECT_EQ(w->Qry->valueAt(2, name).toString(), "Zajti Anna");
    EXPECT_EQ(current(1, "ugyfel").toInt(), bela);
    EXPECT_EQ(w->DBGrid1->model()->index(w->Qry->currentRow(), 1).data().toString(), "Bíró Béla");
    // A row whose values the list can no longer give after the change stays
    // current by the key it had when it became current; a row another
    // program removed leaves the list on its first row.
    ASSERT_TRUE(w->Qry->locate("Ugyfel_nev", "Zajti Anna"));
    set("ugyfel", {{"Ugyfel_nev", "Kovács Anna"}});
    emit titles->sectionClicked(4);
    EXPECT_EQ(w->Qry->valueAt(2, name).toString(), "Kovács Anna");
    EXPECT_EQ(w->Qry->recNo(), 3);
    EXPECT_EQ(current(1, "ugyfel").toInt(), anna);
    EXPECT_EQ(w->DBGrid1->model()->index(w->Qry->currentRow(), 1).data().toString(), "Kovács Anna");
    {
        TableDataSet t(conn.get());
        t.setTableName("ugyfel.DB");
        t.open();
        ASSERT_TRUE(t.locate("ugyfel", anna));
        t.remove();
        t.flushBuffers();
    }
    emit titles->sectionClicked(1);
    ASSERT_EQ(w->Qry->recordCount(), 2);
    EXPECT_EQ(w->Qry->recNo(), 1);
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Ábel Ádám");

    // The unfinished tasks stay the only ones shown, whatever the order.
    w->aFeladat->trigger();
    ASSERT_TRUE(w->QryFeladat->locate("feladat", t3));
    const int id = w->QryFeladat->fieldByName("feladat")->index();
    emit w->DBGrid2->horizontalHeader()->sectionClicked(3);  // "határidő"
    ASSERT_EQ(w->QryFeladat->recordCount(), 2);
    EXPECT_EQ(w->QryFeladat->valueAt(0, id).toInt(), t3);
    EXPECT_EQ(w->QryFeladat->valueAt(1, id).toInt(), t1);
    EXPECT_EQ(current(2, "feladat").toInt(), t3);
    add("feladat", {{"rovid", "új"}, {"dat_hatid", d}, {"lezarva", "N"}});
    w->SortBy("feladat", 2);
    EXPECT_EQ(w->QryFeladat->recordCount(), 3);
    EXPECT_EQ(current(2, "feladat").toInt(), t3);
    EXPECT_EQ(w->statusText(0), "3 / 2");
}

TEST_F(MainWindowTest, CellsShowMarkersAndColoursOfRemindersNameDaysAndPriorities)
{
    const QDate today = QDate::currentDate();
    const int colourless = 7;
    add("prioritas", {{"prioritas", colourless}, {"prioritas_nev", "színtelen"}});
    add("ugyfel", {{"Ugyfel_nev", "A due and name day"}, {"dat_figy", today}, {"honap", today.month()},
                   {"nap", today.day()}});
    add("ugyfel", {{"Ugyfel_nev", "B due"}, {"dat_figy", today.addDays(-3)}});
    add("ugyfel", {{"Ugyfel_nev", "C next week"}, {"dat_figy", today.addDays(7)}});
    add("feladat", {{"rovid", "overdue open"}, {"dat_hatid", today}, {"lezarva", "N"}, {"prioritas", 1}});
    add("feladat", {{"rovid", "overdue closed"}, {"dat_hatid", today.addDays(-1)}, {"lezarva", "I"}});
    add("feladat", {{"rovid", "no deadline"}, {"lezarva", "N"}, {"prioritas", colourless}});
    add("ceg", {{"ceg_nev", "Company next week"}, {"dat_figy", today.addDays(7)}});
    add("ceg", {{"ceg_nev", "Company without"}});
    add("termek", {{"cikkszam", "P1"}, {"dat_figy", today.addDays(7)}});
    add("termek", {{"cikkszam", "P2"}, {"dat_figy", today}});
    start();
    w->aUgyfel->trigger();
    const QPalette& pal = w->DBGrid1->palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor windowColour = pal.color(QPalette::Active, QPalette::Base);

    // Customers: blue wins over red; markers only for due reminders.
    EXPECT_EQ(cell(w->DBGrid1, 0, "ügyfél").textColor, QColor(0, 0, 255));
    EXPECT_EQ(cell(w->DBGrid1, 0, "ügyfél", true).textColor, QColor(0, 255, 255));
    EXPECT_EQ(cell(w->DBGrid1, 1, "ügyfél").textColor, QColor(255, 0, 0));
    EXPECT_EQ(cell(w->DBGrid1, 1, "mobil", true).textColor, QColor(255, 255, 0));
    EXPECT_EQ(cell(w->DBGrid1, 2, "ügyfél").textColor, QColor(Qt::black));
    DBGridCell m = cell(w->DBGrid1, 1, "*");
    EXPECT_TRUE(samePicture(m.picture, Pic::Reminder));
    EXPECT_FALSE(m.drawText);
    EXPECT_EQ(m.background, windowColour);
    m = cell(w->DBGrid1, 2, "*", true);
    EXPECT_TRUE(samePicture(m.picture, Pic::Empty));
    EXPECT_EQ(m.background, highlight);

    // Tasks: the alarm clock for open tasks due today or before; the
    // priority's colour, black without one, normal colours when selected.
    w->aFeladat->trigger();
    EXPECT_TRUE(samePicture(cell(w->DBGrid2, 0, "!").picture, Pic::Alarm));
    EXPECT_EQ(cell(w->DBGrid2, 0, "rövid leírás").textColor, ColorFromBGR(0x0000C0));
    EXPECT_EQ(cell(w->DBGrid2, 0, "rövid leírás", true).textColor, QColor(Qt::white));
    EXPECT_TRUE(samePicture(cell(w->DBGrid2, 1, "!").picture, Pic::Empty));  // no deadline
    EXPECT_EQ(cell(w->DBGrid2, 1, "rövid leírás").textColor, QColor(Qt::black));
    w->aSzurF->setChecked(false);
    w->QryFeladat->setFiltered(false);
    EXPECT_EQ(current(2, "rovid").toString(), "overdue open");
    EXPECT_TRUE(samePicture(cell(w->DBGrid2, 1, "!").picture, Pic::Empty));  // closed

    // A company reminder shows at once; a product one when it is due.
    w->aCeg->trigger();
    EXPECT_TRUE(samePicture(cell(w->DBGrid4, 0, "*").picture, Pic::Reminder));
    EXPECT_TRUE(samePicture(cell(w->DBGrid4, 1, "*").picture, Pic::Empty));
    EXPECT_EQ(cell(w->DBGrid4, 0, "cégnév").textColor, QColor(Qt::black));
    w->aTermek->trigger();
    EXPECT_TRUE(samePicture(cell(w->DBGrid3, 0, "*").picture, Pic::Empty));
    EXPECT_TRUE(samePicture(cell(w->DBGrid3, 1, "*").picture, Pic::Reminder));
    EXPECT_EQ(cell(w->DBGrid3, 1, "cikkszám", true).textColor, QColor(255, 255, 0));
    EXPECT_EQ(cell(w->DBGrid3, 0, "cikkszám").textColor, QColor(Qt::black));

    // The pictures themselves: a see-through empty one, a yellow triangle,
    // a red clock.
    const QImage empty = Picture(Pic::Empty).toImage();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(qAlpha(empty.pixel(x, y)), 0);
    const QColor triangle = Picture(Pic::Reminder).toImage().pixelColor(4, 13);
    EXPECT_GT(triangle.red(), 200);
    EXPECT_GT(triangle.green(), 180);
    EXPECT_LT(triangle.blue(), 60);
    const QColor clock = Picture(Pic::Alarm).toImage().pixelColor(3, 9);
    EXPECT_GT(clock.red(), 120);
    EXPECT_LT(clock.green(), 40);

    // And the grid paints through these rules.
    const QImage shot = w->DBGrid3->viewport()->grab().toImage();
    EXPECT_FALSE(shot.isNull());
}

TEST_F(MainWindowTest, ReminderIsSetAndClearedWithTheirStatementsAndMegsemChangesNothing)
{
    add("ugyfel", {{"Ugyfel_nev", "Első Elek"}});
    const int id = add("ugyfel", {{"Ugyfel_nev", "Második Márta"}});
    start();
    w->aUgyfel->trigger();
    w->Qry->locate("ugyfel", id);

    // Mégsem in the date dialog, then in the text dialog: nothing changes.
    answerDate(user, QDate::currentDate(), false);
    w->aFigyelmeztet->trigger();
    answerDate(user, QDate(2031, 5, 6));
    answerText(user, "x", false);
    w->aFigyelmeztet->trigger();
    EXPECT_FALSE(valueOf("ugyfel", "Ugyfel", id, "dat_figy").isValid());
    EXPECT_TRUE(user.messages().isEmpty());

    answerDate(user, QDate(2031, 5, 6));
    answerText(user, "Visszahívni");
    w->aFigyelmeztet->trigger();
    EXPECT_EQ(w->QryUpdFigy->sql(),
              QStringList{"UPDATE ugyfel SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE ugyfel=:pid;"});
    EXPECT_EQ(current(1, "ugyfel").toInt(), id);
    EXPECT_EQ(current(1, "dat_figy").toDate(), QDate(2031, 5, 6));
    EXPECT_EQ(valueOf("ugyfel", "Ugyfel", id, "dat_figy").toDate(), QDate(2031, 5, 6));
    EXPECT_EQ(valueOf("ugyfel", "Ugyfel", id, "figy_szoveg").toString(), "Visszahívni");

    // A reminder far ahead is not changed but offered for removal; "Nem" keeps it.
    user.yesNo = {false, true};
    w->aFigyelmeztet->trigger();
    EXPECT_EQ(valueOf("ugyfel", "Ugyfel", id, "dat_figy").toDate(), QDate(2031, 5, 6));
    w->aFigyelmeztet->trigger();
    EXPECT_EQ(user.messages(), QStringList({"Töröljem a figyelmeztetést?", "Töröljem a figyelmeztetést?"}));
    EXPECT_EQ(w->QryUpdFigy->sql(),
              QStringList{"UPDATE ugyfel SET dat_figy=NULL, figy_szoveg=NULL WHERE ugyfel = :pid;"});
    EXPECT_FALSE(valueOf("ugyfel", "Ugyfel", id, "dat_figy").isValid());
    EXPECT_FALSE(valueOf("ugyfel", "Ugyfel", id, "figy_szoveg").isValid());
    EXPECT_EQ(current(1, "ugyfel").toInt(), id);
}

TEST_F(MainWindowTest, ReminderOnAFilteredTaskListKeepsTheListAndTheTask)
{
    add("feladat", {{"rovid", "egy"}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "kész"}, {"lezarva", "I"}});
    const int id = add("feladat", {{"rovid", "három"}, {"lezarva", "N"}});
    start();
    w->aFeladat->trigger();
    w->QryFeladat->locate("feladat", id);
    answerDate(user, QDate::currentDate());
    answerText(user, "");
    w->aFigyelmeztet->trigger();
    EXPECT_EQ(w->QryUpdFigy->sql().front(),
              "UPDATE feladat SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE feladat=:pid;");
    EXPECT_TRUE(w->QryFeladat->filtered());
    EXPECT_EQ(w->QryFeladat->recordCount(), 2);
    EXPECT_EQ(current(2, "feladat").toInt(), id);
    EXPECT_EQ(current(2, "dat_figy").toDate(), QDate::currentDate());
    // An empty text is stored and the row counts as reminded: the marker shows.
    EXPECT_TRUE(samePicture(cell(w->DBGrid2, w->QryFeladat->currentRow(), "*").picture, Pic::Reminder));
}

// Another program changes and deletes rows while the lists stay open: back
// in the window, at a tab change and before a command the lists show the
// change with their current row (the first one where it is gone), filter
// and order kept; when nothing changed nothing is read again.
TEST_F(MainWindowTest, ListsFollowAnotherProgramsChanges)
{
    const int laszlo = add("ugyfel", {{"Ugyfel_nev", "Kiss László"}, {"Emil1", "kiss@pelda.hu"}});
    const int bela = add("ugyfel", {{"Ugyfel_nev", "Bíró Béla"}});
    const int cecilia = add("ugyfel", {{"Ugyfel_nev", "Cseh Cecília"}});
    const int t1 = add("feladat", {{"rovid", "egy"}, {"ugyfel", laszlo}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "lezárt"}, {"ugyfel", laszlo}, {"lezarva", "I"}});
    const int t3 = add("feladat", {{"rovid", "három"}, {"ugyfel", bela}, {"lezarva", "N"}});
    start();
    w->aFeladat->trigger();
    ASSERT_TRUE(w->QryFeladat->locate("feladat", t3));
    w->aUgyfel->trigger();
    emit w->DBGrid1->horizontalHeader()->sectionClicked(1);  // "ügyfél"
    ASSERT_TRUE(w->Qry->locate("ugyfel", laszlo));
    EXPECT_EQ(w->lnkEmil1->text(), "kiss@pelda.hu");
    const int name = w->Qry->fieldByName("Ugyfel_nev")->index();
    int rereads = 0;
    for (DataSet* list : {static_cast<DataSet*>(w->Qry), static_cast<DataSet*>(w->QryFeladat)})
        QObject::connect(list, &DataSet::rowsChanged, [&rereads] { ++rereads; });
    auto comeBack = [this] {
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(w.get(), &activated);
    };
    comeBack();
    EXPECT_EQ(rereads, 0);

    conn->execSql("UPDATE ugyfel SET ugyfel_nev='Kiss Lászlóné', emil1='lne@pelda.hu' WHERE ugyfel_nev LIKE 'Kiss%'");
    comeBack();
    EXPECT_EQ(rereads, 1);
    EXPECT_EQ(current(1, "ugyfel").toInt(), laszlo);
    EXPECT_EQ(w->lnkEmil1->text(), "lne@pelda.hu");
    EXPECT_EQ(w->Qry->valueAt(0, name).toString(), "Bíró Béla");
    EXPECT_EQ(w->Qry->valueAt(1, name).toString(), "Cseh Cecília");
    EXPECT_EQ(w->DBGrid1->model()->index(2, 1).data().toString(), "Kiss Lászlóné");

    // The row a command would act on is gone: the list shows the first row
    // and the command asks nothing and deletes nothing.
    ASSERT_TRUE(w->Qry->locate("ugyfel", cecilia));
    conn->execSql("DELETE FROM ugyfel WHERE ugyfel=" + QString::number(cecilia));
    user.yesNo = {true};
    w->aTorol->trigger();
    EXPECT_TRUE(user.messages().isEmpty());
    EXPECT_EQ(count("ugyfel"), 2);
    ASSERT_EQ(w->Qry->recordCount(), 2);
    EXPECT_EQ(current(1, "ugyfel").toInt(), bela);

    // The tasks list, filtered to the unfinished ones, at the tab change.
    conn->execSql("UPDATE feladat SET rovid='három!' WHERE feladat=" + QString::number(t3));
    w->aFeladat->trigger();
    EXPECT_TRUE(w->QryFeladat->filtered());
    EXPECT_EQ(w->statusText(1), "Szűrt állomány");
    ASSERT_EQ(w->QryFeladat->recordCount(), 2);
    EXPECT_EQ(current(2, "feladat").toInt(), t3);
    EXPECT_EQ(current(2, "rovid").toString(), "három!");
    const int customer = w->QryFeladat->fieldByName("ugyfel_nev")->index();
    EXPECT_EQ(w->QryFeladat->valueAt(0, customer).toString(), "Kiss Lászlóné");
    conn->execSql("DELETE FROM feladat WHERE feladat=" + QString::number(t3));
    comeBack();
    ASSERT_EQ(w->QryFeladat->recordCount(), 1);
    EXPECT_EQ(current(2, "feladat").toInt(), t1);
    w->aUgyfel->trigger();
    w->aFeladat->trigger();
    comeBack();
    EXPECT_FALSE(w->Qry->isOutdated());
    EXPECT_FALSE(w->QryFeladat->isOutdated());
    EXPECT_EQ(current(2, "feladat").toInt(), t1);
}

TEST_F(MainWindowTest, DeleteRemovesOnlyTheRowAndLeavesItsNotesDocumentsAndTasks)
{
    const int keep = add("ugyfel", {{"Ugyfel_nev", "Marad Mária"}});
    const int gone = add("ugyfel", {{"Ugyfel_nev", "Törölt Tamás"}});
    add("ugyf_megj", {{"ugyfel", gone}, {"tipus", 0}, {"rovid", "jegyzet"}});
    add("ugyf_ertesit", {{"ugyfel", gone}, {"tipus", 0}, {"rovid", "értesítés"}});
    add("megj", {{"Ugyfel", gone}, {"doknev", "/tmp/a.txt"}, {"tipus", 0}});
    const int task = add("feladat", {{"rovid", "feladata"}, {"ugyfel", gone}, {"lezarva", "N"}});
    start();
    w->aUgyfel->trigger();
    w->Qry->locate("ugyfel", gone);

    user.yesNo = {false};
    w->aTorol->trigger();
    EXPECT_EQ(count("ugyfel"), 2);

    user.yesNo = {true};
    w->aTorol->trigger();
    EXPECT_EQ(user.messages(), QStringList({"Valóban töröljem a sort?", "Valóban töröljem a sort?"}));
    EXPECT_EQ(count("ugyfel"), 1);
    EXPECT_EQ(valueOf("ugyfel", "Ugyfel", keep, "Ugyfel_nev").toString(), "Marad Mária");
    EXPECT_EQ(count("ugyf_megj"), 1);
    EXPECT_EQ(count("ugyf_ertesit"), 1);
    EXPECT_EQ(count("megj"), 1);
    EXPECT_EQ(count("feladat"), 1);
    EXPECT_TRUE(w->Qry->isActive());
    EXPECT_EQ(w->Qry->recNo(), 1);
    EXPECT_FALSE(w->Tbl->isActive());

    // The task of the deleted customer still lists, without a name.
    w->aFeladat->trigger();
    EXPECT_EQ(current(2, "feladat").toInt(), task);
    EXPECT_EQ(current(2, "ugyfel_nev").toString(), "");

    user.yesNo = {true};
    w->aTorol->trigger();
    EXPECT_EQ(count("feladat"), 0);
    EXPECT_EQ(w->QryFeladat->recordCount(), 0);
    // An empty list has nothing to delete and asks nothing.
    w->aTorol->trigger();
    EXPECT_EQ(user.messages().size(), 3);
}

TEST_F(MainWindowTest, JumpToTheCompanyOfACustomerOrTask)
{
    add("ceg", {{"ceg_nev", "Alfa"}});
    const int beta = add("ceg", {{"ceg_nev", "Béta"}});
    add("ugyfel", {{"Ugyfel_nev", "Cégtelen Csaba"}});
    const int dora = add("ugyfel", {{"Ugyfel_nev", "Dolgozó Dóra"}, {"ceg", beta}});
    add("feladat", {{"rovid", "béta feladata"}, {"ceg", beta}, {"lezarva", "N"}});
    start();

    w->aUgyfel->trigger();
    ASSERT_EQ(current(1, "Ugyfel_nev").toString(), "Cégtelen Csaba");
    w->aUgrikCeg->trigger();
    EXPECT_EQ(w->tabIndex(), 0);
    EXPECT_EQ(current(0, "ceg_nev").toString(), "Alfa");

    w->aUgyfel->trigger();
    w->Qry->locate("ugyfel", dora);
    w->aUgrikCeg->trigger();
    EXPECT_EQ(current(0, "ceg").toInt(), beta);
    EXPECT_EQ(w->Qry->filter(), QString("ceg=%1").arg(beta));

    w->TblCegek->first();
    w->aFeladat->trigger();
    w->aUgrikCeg->trigger();
    EXPECT_EQ(current(0, "ceg").toInt(), beta);

    // Elsewhere the command does nothing.
    w->aTermek->trigger();
    w->aUgrikCeg->trigger();
    EXPECT_EQ(w->tabIndex(), 3);
}

TEST_F(MainWindowTest, NewsletterHandOffRunTwiceGivesTheSameTable)
{
    add("ugyfel", {{"Ugyfel_nev", "Első Elek"}, {"Emil1", "elek@pelda.hu"}, {"vnev", "Első"}, {"knev", "Elek"},
                   {"honap", 3}, {"nap", 7}});
    add("ugyfel", {{"Ugyfel_nev", "Csak Második"}, {"Emil2", "masodik@pelda.hu"}});
    add("ugyfel", {{"Ugyfel_nev", "Harmadik Hugó"}, {"Emil1", "hugo@pelda.hu"}});
    add("emil", {{"emil", "regi@pelda.hu"}});
    start();

    user.yesNo = {false};
    w->aZoduvoza->trigger();
    EXPECT_EQ(count("emil"), 1);

    for (int run = 0; run < 2; ++run) {
        user.yesNo = {true, run == 1};
        w->aZoduvoza->trigger();
        EXPECT_EQ(user.messages().last(), "2 E-Mail cím hozzáadása kész. Indítsam a Hírlevél programot?");
        TableDataSet emil(reader());
        emil.setTableName("emil.DB");
        emil.open();
        ASSERT_EQ(emil.recordCount(), 2);
        ASSERT_TRUE(emil.locate("emil", "elek@pelda.hu"));
        EXPECT_EQ(emil.fieldByName("nev")->asString(), "Első Elek");
        EXPECT_FALSE(emil.fieldByName("kuldve")->asBoolean());
        EXPECT_FALSE(emil.fieldByName("kuldve")->isNull());
        EXPECT_EQ(emil.fieldByName("csoport")->asInteger(), 0);
        EXPECT_EQ(emil.fieldByName("vnev")->asString(), "Első");
        EXPECT_EQ(emil.fieldByName("knev")->asString(), "Elek");
        EXPECT_EQ(emil.fieldByName("honap")->asInteger(), 3);
        EXPECT_EQ(emil.fieldByName("nap")->asInteger(), 7);
        EXPECT_TRUE(emil.locate("emil", "hugo@pelda.hu"));
        EXPECT_FALSE(emil.locate("emil", "masodik@pelda.hu"));
    }
    EXPECT_FALSE(w->TblEmil->isActive());
    EXPECT_FALSE(w->QryEmil->isActive());
    const auto shell = user.ofKind("shell");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].text, home.programFolder() + "/Zoduvoza.exe");
}

TEST_F(MainWindowTest, CommandKeysRunTheirCommandsFromTheQuickSearchAndTheGrid)
{
    const int firm = add("ceg", {{"ceg_nev", "Alfa Bt."}});
    add("ugyfel", {{"Ugyfel_nev", "Anna"}, {"ceg", firm}, {"Emil1", "anna@pelda.hu"}});
    add("feladat", {{"rovid", "nyitott"}, {"lezarva", "N"}});
    add("termek", {{"cikkszam", "BU-6001"}});
    start();
    QStringList ran;
    for (QAction* a : w->actions())
        QObject::connect(a, &QAction::triggered, w.get(), [&ran, a] { ran << a->objectName(); });

    // The keys of the action table and the command each reaches on the
    // companies tab (Ctrl+H and Ctrl+I the first of their two, F3 the
    // filter command shown there).
    const std::pair<QKeyCombination, QAction*> keys[] = {
        {Qt::Key_Insert, w->aUj},
        {Qt::Key_F2, w->aSzerkeszt},
        {Qt::CTRL | Qt::Key_Delete, w->aTorol},
        {Qt::CTRL | Qt::Key_K, w->aNyomtatkep},
        {Qt::CTRL | Qt::Key_P, w->aNyomtat},
        {Qt::CTRL | Qt::Key_E, w->aExcel},
        {Qt::Key_F1, w->aSugo},
        {Qt::CTRL | Qt::Key_I, w->aFigyelmeztet},
        {Qt::CTRL | Qt::Key_H, w->aZoduvoza},
        {Qt::CTRL | Qt::Key_F, w->aKeres},
        {Qt::Key_F3, w->aSzur},
        {Qt::CTRL | Qt::Key_D, w->aCsatolt},
        {Qt::CTRL | Qt::Key_T, w->aKeresReszletes},
        {Qt::CTRL | Qt::Key_L, w->aLeveletNeki},
        {Qt::CTRL | Qt::Key_M, w->aMegjegyzes},
        {Qt::SHIFT | Qt::CTRL | Qt::Key_M, w->aMegjegyzesUj},
        {Qt::ALT | Qt::Key_1, w->aUgyfel},
        {Qt::ALT | Qt::Key_2, w->aFeladat},
        {Qt::ALT | Qt::Key_3, w->aTermek},
        {Qt::CTRL | Qt::Key_B, w->aFeladatBongeszo},
        {Qt::CTRL | Qt::Key_U, w->aKulcsszoKeres},
        {Qt::CTRL | Qt::Key_F8, w->aKorlevel},
        {Qt::CTRL | Qt::Key_R, w->aErtesit},
    };
    for (QWidget* focus : {static_cast<QWidget*>(w->Edit4), static_cast<QWidget*>(w->DBGrid4)}) {
        for (const auto& [key, command] : keys) {
            const std::string what = QKeySequence(key).toString().toStdString() + " in " +
                                     focus->objectName().toStdString();
            w->setTabIndex(0);
            w->Edit4->setText("zz");
            w->Edit4->setCursorPosition(0);
            focus->setFocus();
            ran.clear();
            user.asked.clear();
            // Questions are answered No, the reminder's date dialog cancelled.
            user.yesNo.clear();
            if (command->isEnabled() && (command == w->aTorol || command == w->aZoduvoza)) user.yesNo = {false};
            if (command->isEnabled() && command == w->aFigyelmeztet) answerDate(user, QDate::currentDate(), false);
            if (command == w->aKeresReszletes) user.onModal("frm_Keres", [](QDialog& d) { d.reject(); });
            if (command == w->aKulcsszoKeres) answerText(user, "", false);
            if (command == w->aUj || command == w->aSzerkeszt)
                user.onModal("frm_TorzsCeg_Szerkeszt", [](QDialog& d) { d.reject(); });
            // The windows a command opens are closed at once.
            const std::pair<QAction*, const char*> windows[] = {{w->aCsatolt, "frm_Megj"},
                                                                {w->aMegjegyzes, "frm_Megjegyzes"},
                                                                {w->aMegjegyzesUj, "frm_Megjegyzes_Szerkeszt"},
                                                                {w->aErtesit, "frm_Ertesit"},
                                                                {w->aKorlevel, "frm_Korlevel"},
                                                                {w->aExcel, "frm_Hatarolt"}};
            for (const auto& [opener, form] : windows)
                if (command == opener) user.onModal(form, [](QDialog& d) { d.reject(); });
            press(key);

            if (command->isEnabled()) {
                EXPECT_EQ(ran, QStringList{command->objectName()}) << what;
            } else {
                EXPECT_TRUE(ran.isEmpty()) << what;
                EXPECT_TRUE(user.asked.empty()) << what;
                EXPECT_EQ(w->tabIndex(), 0) << what;
            }
            // Command keys are never typed or edited into the quick search.
            EXPECT_EQ(w->Edit4->text(), "zz") << what;
        }
    }
}

TEST_F(MainWindowTest, SharedKeysReachTheFirstCommandAndTheWheelMovesOneRow)
{
    for (const char* n : {"Anna", "Béla", "Cili", "Dani"}) add("ugyfel", {{"Ugyfel_nev", n}});
    start();
    w->aUgyfel->trigger();

    user.yesNo = {false};
    press(Qt::CTRL | Qt::Key_H);
    EXPECT_EQ(user.messages(), QStringList{"Az előzőleg legyűjtött e-mail adatok törlődnek. Folytatja?"});

    answerDate(user, QDate::currentDate(), false);
    press(Qt::CTRL | Qt::Key_I);
    EXPECT_EQ(user.ofKind("modal").size(), 1u);
    EXPECT_EQ(user.ofKind("modal")[0].title, "frm_Datum");

    // Enter in the quick-search box goes to the grid; the wheel turned
    // towards the user moves one row down, away from the user one row up.
    press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), w->DBGrid1);
    w->Qry->first();
    QWidget* vp = w->DBGrid1->viewport();
    const QPointF at(vp->width() / 2.0, vp->height() / 2.0);
    QWheelEvent down(at, vp->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &down);
    EXPECT_EQ(w->Qry->recNo(), 2);
    QWheelEvent up(at, vp->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &up);
    EXPECT_EQ(w->Qry->recNo(), 1);

    // Alt+2 selects the tasks, where F3 belongs to the task filter command;
    // Ctrl+F selects the text of its quick search.
    press(Qt::ALT | Qt::Key_2);
    EXPECT_EQ(w->tabIndex(), 2);
    QStringList ran;
    for (QAction* a : {w->aSzur, w->aSzurF})
        QObject::connect(a, &QAction::triggered, w.get(), [&ran, a] { ran << a->objectName(); });
    w->aSzurF->setEnabled(true);
    press(Qt::Key_F3);
    EXPECT_EQ(ran, QStringList{"aSzurF"});
    w->Edit2->setText("12");
    w->DBGrid2->setFocus();
    press(Qt::CTRL | Qt::Key_F);
    EXPECT_EQ(QApplication::focusWidget(), w->Edit2);
    EXPECT_EQ(w->Edit2->selectedText(), "12");
}

TEST_F(MainWindowTest, KeysComeBackToTheMainWindowWhenARealDialogCloses)
{
    // Under a bare X server nothing hands the keyboard back when a modal
    // window closes: the window that was active takes it back itself.
    add("ceg", {{"ceg_nev", "Alfa Bt."}});
    start();
    Interaction* scripted = setInteraction(nullptr);  // the desktop's own dialogs
    // The reminder's date is taken and its text dialog, right after it,
    // closed unanswered.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (modal->objectName() == "frm_Datum") modal->findChild<QPushButton*>("btnOK")->click();
        else modal->close();
    });
    closer.start(50);
    press(Qt::CTRL | Qt::Key_I);
    closer.stop();
    setInteraction(scripted);
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == w.get(); }, 2000));
    EXPECT_TRUE(current(0, "dat_figy").isNull());
}

TEST_F(MainWindowTest, LongTextsInTheDetailsPanelsNeverWidenTheWindow)
{
    // Fields at their full size: texts that do not fit are cut, the window
    // keeps the width it was given (else it would reach past the screen).
    const QString longText = QString("hosszu.cim.").repeated(9) + "h";
    ASSERT_EQ(longText.size(), 100);
    const int firm = add("ceg", {{"ceg_nev", longText}});
    add("ugyfel", {{"Ugyfel_nev", longText}, {"Emil1", longText}, {"Emil2", longText}, {"Honlap", longText},
                   {"ceg", firm}});
    add("termek", {{"cikkszam_nev", longText.left(50)}});
    add("feladat", {{"rovid", longText.left(75)}, {"lezarva", "N"}});
    start();
    const int width = w->width();
    for (int tab : {1, 2, 3, 0}) {
        w->setTabIndex(tab);
        QTest::qWait(20);
        EXPECT_LE(w->minimumSizeHint().width(), width) << tab;
        EXPECT_EQ(w->width(), width) << tab;
    }
}

TEST_F(MainWindowTest, LinksAndMailCommandsUseTheCustomerList)
{
    add("ugyfel", {{"Ugyfel_nev", "Levelező Lili"}, {"Emil1", "lili@pelda.hu"}, {"Honlap", "www.lili.hu"}});
    add("ugyfel", {{"Ugyfel_nev", "Néma Nándor"}});
    add("feladat", {{"rovid", "feladat"}, {"lezarva", "N"}});
    start();
    w->aUgyfel->trigger();
    ASSERT_EQ(current(1, "Ugyfel_nev").toString(), "Levelező Lili");
    EXPECT_EQ(w->lnkEmil1->text(), "lili@pelda.hu");
    EXPECT_EQ(w->lnkEmil1->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(w->lnkEmil1->font().underline());
    w->lnkEmil1->onClick();
    w->lnkEmil2->onClick();
    w->lnkHonlap->onClick();

    // Ctrl+L on the tasks tab mails the customer current in the customer list.
    w->aFeladat->trigger();
    w->aLeveletNeki->trigger();
    std::vector<QString> targets;
    for (const auto& a : user.ofKind("shell")) targets.push_back(a.text);
    EXPECT_EQ(targets, (std::vector<QString>{"mailto:lili@pelda.hu?subject=nyilvex", "mailto:?subject=nyilvex",
                                             "www.lili.hu", "mailto:lili@pelda.hu"}));

    w->aUgyfel->trigger();
    w->Qry->last();
    w->aLeveletNeki->trigger();
    EXPECT_EQ(user.errors(), QStringList{"Nincs E-Mail cím megadva."});

    // Help and information go to the desktop with the program folder's files.
    w->aSugo->trigger();
    w->aLevel->trigger();
    EXPECT_EQ(user.ofKind("shell").back().text, "mailto:info@tarvio.hu?subject=Nyilvex program");
    EXPECT_EQ(user.ofKind("shell")[4].text, home.programFolder() + "/Help/index.htm");
    // A target the desktop cannot open is reported.
    user.shellSucceeds = false;
    w->aVedazero->trigger();
    EXPECT_EQ(user.errors().last(), "Nem sikerült megnyitni: " + home.programFolder() + "/Vedazero.exe");
}

TEST_F(MainWindowTest, AdministratorCommandsNeedTheRight)
{
    start();
    Beall.adminRight = false;
    w->aFelhasznalo->trigger();
    w->aBeallit->trigger();
    w->aSQL->trigger();
    EXPECT_EQ(user.errors(), QStringList({"Nincs jogosultság a művelethez.", "Nincs jogosultság a művelethez.",
                                          "Nincs jogosultság a művelethez."}));
    EXPECT_TRUE(user.ofKind("modal").empty());

    Beall.adminRight = true;
    user.onModal("frm_Felhasznalo", [](QDialog& d) { d.reject(); });
    user.onModal("frm_Beallit", [](QDialog& d) { d.reject(); });
    user.onModal("frm_Nevjegy", [](QDialog& d) { d.accept(); });
    user.onModal("frm_SQL", [](QDialog& d) { d.reject(); });
    w->aFelhasznalo->trigger();
    w->aBeallit->trigger();
    w->aNevjegy->trigger();
    w->aSQL->trigger();
    ASSERT_EQ(user.ofKind("modal").size(), 4u);
    EXPECT_EQ(user.errors().size(), 3);
}

TEST_F(MainWindowTest, ColumnsKeepTheirSharesAndTheTabStripSitsAtTheRight)
{
    start();
    w->aUgyfel->trigger();
    w->resize(1017, 600);
    QApplication::processEvents();
    const int room1 = w->DBGrid1->width() - 51;
    const double shares1[] = {0, 0.29, 0.15, 0.15, 0.15, 0.25};
    for (int col = 1; col < 6; ++col)
        EXPECT_EQ(w->DBGrid1->columnWidth(col), int(std::nearbyint(room1 * shares1[col]))) << col;
    EXPECT_EQ(w->DBGrid1->columnWidth(0), 18);
    w->aFeladat->trigger();
    const int room2 = w->DBGrid2->width() - 70;
    EXPECT_EQ(w->DBGrid2->columnWidth(8), int(room2 * 0.32));
    EXPECT_EQ(w->DBGrid2->columnWidth(1), 18);
    const int sw = w->StatusBar1->width();
    EXPECT_EQ(w->TabSet1->geometry(), QRect(sw - 270, 2, 250, 17));
    EXPECT_EQ(w->StatusPanels[3]->width(), sw - 250 - 345);
}

TEST_F(MainWindowTest, NameDayLineNamesTodaysNamesInHungarian)
{
    EXPECT_EQ(NameDayLineText(QDate(2024, 2, 24), "Mátyás"), "2024.február.24 szombat; Mátyás napja   ");
    EXPECT_EQ(NameDayLineText(QDate(2024, 3, 7), ""), "2024.március.7 csütörtök;  napja   ");

    // Today's line in the window holds what the name-day table has for today.
    const QDate today = QDate::currentDate();
    TableDataSet t(conn.get());
    t.setTableName("nevnap.DB");
    t.open();
    t.emptyTable();
    t.close();
    add("nevnap", {{"Honap", today.month()}, {"Nap", today.day()}, {"Nev", "Ábrahám"}});
    add("nevnap", {{"Honap", today.month()}, {"Nap", today.day()}, {"Nev", "Zénó"}});
    add("nevnap", {{"Honap", today.month() % 12 + 1}, {"Nap", 1}, {"Nev", "Más"}});
    start();
    EXPECT_EQ(w->nameDayLine(), NameDayLineText(today, "Ábrahám, Zénó"));
    EXPECT_EQ(w->lblNevnap[2]->text(), w->nameDayLine());
}

// Not a check: with NYILVEX_SCREENSHOTS naming a folder, saves a picture of
// each tab of the window over the sample database, to look at.
TEST(MainWindowScreenshots, EachTabOnTheSampleDatabase)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) GTEST_SKIP() << "NYILVEX_SCREENSHOTS not set";
    TempHome home;
    BuildSampleWithoutLogin(home.programFolder() + "/Data");
    ScriptedInteraction user;
    Tfrm_Main w;
    ASSERT_TRUE(w.startUp());
    Beall.fullScreen = false;
    Beall.width = 1024;
    Beall.height = 700;
    w.show();
    for (int tab : {0, 1, 2, 3}) {
        w.setTabIndex(tab);
        w.browseDataSet(tab)->setRecNo(3);
        SaveShot(w, folder, QString("tab%1").arg(tab));
    }
    w.PopupMenu3->popup(w.mapToGlobal(QPoint(100, 100)));
    SaveShot(*w.PopupMenu3, folder, "menu3");
    w.MainMenu1[0]->popup(w.mapToGlobal(QPoint(100, 100)));
    SaveShot(*w.MainMenu1[0], folder, "menu0");
}

// The quick search finds a date typed as the grid shows it, and the first
// date that starts as typed.
TEST_F(MainWindowTest, QuickSearchFindsDatesAsTheGridShowsThem)
{
    const int dec1 = add("feladat", {{"rovid", "egy"}, {"dat_hatid", QDate(2026, 12, 1)}, {"lezarva", "N"}});
    const int dec10 = add("feladat", {{"rovid", "tíz"}, {"dat_hatid", QDate(2026, 12, 10)}, {"lezarva", "N"}});
    const int dec15 = add("feladat", {{"rovid", "tizenöt"}, {"dat_hatid", QDate(2026, 12, 15)}, {"lezarva", "N"}});
    const int jan = add("feladat", {{"rovid", "január"}, {"dat_hatid", QDate(2027, 1, 5)}, {"lezarva", "N"}});
    start();
    w->aFeladat->trigger();
    w->SortBy("dat_hatid", 2);
    const int col = 3;  // "határidő"
    w->QryFeladat->locate("feladat", jan);
    w->Edit2->setText(w->DBGrid2->model()->index(rowOf(w->QryFeladat, "feladat", dec10), col).data().toString());
    EXPECT_EQ(w->Edit2->text(), "2026. 12. 10.");
    EXPECT_EQ(current(2, "feladat").toInt(), dec10);
    w->Edit2->setText("2026.12.15");
    EXPECT_EQ(current(2, "feladat").toInt(), dec15);
    w->Edit2->setText("2026.12.1");  // the first one shown as "2026. 12. 1…"
    EXPECT_EQ(current(2, "feladat").toInt(), dec10);
    w->Edit2->setText("2026.12.01");
    EXPECT_EQ(current(2, "feladat").toInt(), dec1);
    w->Edit2->setText("2027");
    EXPECT_EQ(current(2, "feladat").toInt(), jan);
    w->Edit2->setText("2026. 12.");
    EXPECT_EQ(current(2, "feladat").toInt(), dec1);
    w->Edit2->setText("2026.12.3");  // nothing starts so and no such day: the row stays
    EXPECT_EQ(current(2, "feladat").toInt(), dec1);
    w->Edit2->setText("tizen");
    EXPECT_EQ(current(2, "feladat").toInt(), dec1);
    EXPECT_EQ(ShownDatePrefix("2026.1.5."), "2026. 01. 05.");
    EXPECT_EQ(ShownDatePrefix("12345"), "");
}

// The labels of a details panel stay where they are from row to row; a long
// value ends in "…" and shows whole as its tooltip; in the smallest window
// every value keeps some room.
TEST_F(MainWindowTest, DetailsPanelsKeepTheirColumnsAndShortenLongValues)
{
    add("ugyfel", {{"Ugyfel_nev", "Kis Ő"}, {"Telefon_ceges", "1"}, {"Emil1", "a@b.hu"}});
    add("ugyfel", {{"Ugyfel_nev", "Kis Pál"}, {"Telefon_ceges", "+36 1 234 5678/123"},
                   {"Emil1", "nagyon.hosszu.cim.amely.nem.fer.el@valahol.messze.example.hu"}});
    start();
    w->aUgyfel->trigger();
    QWidget* panel = w->findChild<QWidget*>("pDetails1");
    ASSERT_NE(panel, nullptr);
    auto labelPlaces = [&] {
        QList<int> xs;
        for (QLabel* l : panel->findChildren<QLabel*>())
            if (!qobject_cast<DBText*>(l)) xs << l->mapTo(panel, QPoint(0, 0)).x();
        return xs;
    };
    w->Qry->first();
    QApplication::processEvents();
    const QList<int> first = labelPlaces();
    w->Qry->next();
    QApplication::processEvents();
    EXPECT_EQ(labelPlaces(), first);
    auto* mail = panel->findChild<DBText*>("txt_Emil1");
    ASSERT_NE(mail, nullptr);
    EXPECT_TRUE(mail->text().endsWith("…")) << mail->text().toStdString();
    EXPECT_TRUE(QString("nagyon.hosszu.cim.amely.nem.fer.el@valahol.messze.example.hu")
                    .startsWith(mail->text().chopped(1)));
    EXPECT_EQ(mail->toolTip(), "nagyon.hosszu.cim.amely.nem.fer.el@valahol.messze.example.hu");

    w->resize(w->minimumSizeHint());
    QApplication::processEvents();
    for (DBText* t : panel->findChildren<DBText*>()) {
        if (!t->isVisible()) continue;
        EXPECT_GE(t->width(), t->fontMetrics().horizontalAdvance("M…")) << t->objectName().toStdString();
    }
}

// Pop-up menu 1 on every grid, the companies' lower one included.
TEST_F(MainWindowTest, LowerCompanyGridHasTheGridMenu)
{
    start();
    w->aCeg->trigger();
    ASSERT_EQ(w->DBGrid5->contextMenuPolicy(), Qt::CustomContextMenu);
    emit w->DBGrid5->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->PopupMenu1->isVisible(); }, 1000));
    w->PopupMenu1->close();
}

// The archive from the menu holds the tables beside the window's own open
// lists (no waiting on itself) and packs what the window shows; the lists
// closed for it keep their column titles meanwhile and after.
TEST_F(MainWindowTest, ArchiveFromTheMenuKeepsTheColumnTitles)
{
    add("ugyfel", {{"Ugyfel_nev", "Kis Pál"}});
    start();
    auto titles = [this] {
        QStringList out;
        for (DBGrid* g : {w->DBGrid4, w->DBGrid1, w->DBGrid2, w->DBGrid3, w->DBGrid5})
            for (int c = 0; c < g->gridColumnCount(); ++c) out << g->columnTitle(c);
        return out;
    };
    const QStringList before = titles();
    EXPECT_TRUE(before.contains("cégnév"));
    EXPECT_TRUE(before.contains("ügyfél"));
    user.files = {home.path() + "/mentes.zip"};
    w->aArchiv->trigger();
    EXPECT_EQ(user.messages(), QStringList{"Archív állomány kész."});
    EXPECT_EQ(titles(), before);

    const QString restored = home.path() + "/vissza";
    ASSERT_EQ(QProcess::execute("unzip", {"-q", home.path() + "/mentes.zip", "-d", restored}), 0);
    Connection archived;
    archived.setParams(Connection::paradoxParams(restored));
    TableDataSet customers(&archived);
    customers.setTableName("ugyfel.DB");
    customers.open();
    ASSERT_EQ(customers.recordCount(), 1);
    EXPECT_EQ(customers.fieldByName("Ugyfel_nev")->value().toString(), "Kis Pál");
}

TEST_F(MainWindowTest, ExportsWriteTheCurrentTabsListAndGrid)
{
    add("ugyfel", {{"Ugyfel_nev", "Kiss Anna"}});
    add("ceg", {{"ceg_nev", "Alfa & Társa"}});
    start();
    w->setTabIndex(1);
    const QString csv = home.path() + "/ugyfelek.csv";
    user.onModal("frm_Hatarolt", [&csv](QDialog& d) {
        auto* name = d.findChild<QLineEdit*>("Edit1");
        EXPECT_EQ(name->text(), "Nyilvex_exp.CSV");
        name->setText(csv);
        d.findChild<QPushButton*>("Button1")->click();
        d.reject();
    });
    w->aExcel->trigger();
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].contains(";Kiss Anna;")) << lines[1].toStdString();
    EXPECT_EQ(user.messages(), QStringList{csv + " kész."});

    w->setTabIndex(0);
    const QString htm = home.path() + "/cegek.htm";
    user.onModal("frm_Grid2Html", [&htm](QDialog& d) {
        auto* name = d.findChild<QLineEdit*>("Edit1");
        EXPECT_EQ(name->text(), "c_gek.htm");
        name->setText(htm);
        d.findChild<QPushButton*>("Button1")->click();
    });
    w->aHtml->trigger();
    QFile page(htm);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    EXPECT_TRUE(html.contains("<title>C\xE9gek</title>"));
    EXPECT_TRUE(html.contains(">Alfa &amp; T\xE1rsa</font></td>"));
    const auto shell = user.ofKind("shell");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].text, htm);
}
