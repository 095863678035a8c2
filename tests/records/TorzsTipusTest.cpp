#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "RecordsFixture.h"
#include "app/records/TorzsTipus.h"
#include "common/Convert.h"
#include "tests/support/ScriptedInteraction.h"
#include "widgets/DBGrid.h"

namespace {

class TorzsTipusTest : public RecordsTest {
protected:
    // The value of `field` in the list's current row.
    static QString current(QDialog& d, const char* field)
    {
        return static_cast<Tfrm_TorzsTipus&>(d).Tbl->fieldByName(field)->asString();
    }
    static DBGrid* grid(QDialog& d) { return d.findChild<DBGrid*>("DBGrid1"); }
};

}  // namespace

TEST_F(TorzsTipusTest, PickReturnsTheChosenKeyOrMinusOneAndTheVariantsTheirValues)
{
    ScriptedInteraction user;
    // Stands on the given key; the row moved to is the one chosen.
    user.onModal("frm_TorzsPrioritas", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Prioritások");
        EXPECT_EQ(current(d, "prioritas"), "3");
        EXPECT_TRUE(d.findChild<QAction*>("aElfogad")->isVisible());
        static_cast<Tfrm_TorzsTipus&>(d).Tbl->next();
        trigger(d, "aElfogad");
    });
    EXPECT_EQ(ShowList(Torzs::Prioritas, 3, true), 4);

    // A key that is gone shows the first row; "Bezár" gives -1 and leaves
    // the outputs alone.
    user.onModal("frm_TorzsPrioritas", [](QDialog& d) {
        EXPECT_EQ(current(d, "prioritas"), "1");
        trigger(d, "aBezar");
    });
    int deadline = 99;
    EXPECT_EQ(ShowListWithDeadline(77, true, deadline), -1);
    EXPECT_EQ(deadline, 99);

    user.onModal("frm_TorzsPrioritas", [](QDialog& d) { trigger(d, "aElfogad"); });
    EXPECT_EQ(ShowListWithDeadline(2, true, deadline), 2);
    EXPECT_EQ(deadline, 7);

    user.onModal("frm_TorzsAllapot", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Állapotok");
        // A double-click in pick mode accepts.
        emit grid(d)->doubleClicked(grid(d)->model()->index(0, 0));
    });
    QString name = "régi";
    EXPECT_EQ(ShowListWithName(Torzs::Allapot, 1, true, name), 1);
    EXPECT_FALSE(name.isEmpty());
    EXPECT_NE(name, "régi");
}

TEST_F(TorzsTipusTest, AnEmptyListAcceptsKeyZeroWithAnEmptyName)
{
    ScriptedInteraction user;
    user.onModal("frm_TorzsTipus", [](QDialog& d) { trigger(d, "aElfogad"); });
    QString name = "régi";
    EXPECT_EQ(ShowListWithName(Torzs::Tipus, -1, true, name), 0);
    EXPECT_EQ(name, "");
}

TEST_F(TorzsTipusTest, EnterAcceptsOnlyInPickModeAndMovesToTheGridInTheAgentList)
{
    const int anna = addRow("uzletkoto", {{"uzletkoto_nev", "Kiss Anna"}});
    addRow("uzletkoto", {{"uzletkoto_nev", "Nagy Béla"}});
    ScriptedInteraction user;
    user.onModal("frm_TorzsUzletkoto", [](QDialog& d) {
        EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isVisible());
        EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isEnabled());
        QLineEdit* search = box(d, "Edit1");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), grid(d));
        QTest::keyClick(grid(d), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        d.reject();
    });
    EXPECT_EQ(ShowList(Torzs::Uzletkoto, -1, false), -1);

    user.onModal("frm_TorzsUzletkoto", [](QDialog& d) {
        QLineEdit* search = box(d, "Edit1");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(ShowList(Torzs::Uzletkoto, anna, true), anna);
}

TEST_F(TorzsTipusTest, SearchFindsThePrefixWhateverTheCaseAndANonMatchLeavesTheRow)
{
    for (const char* n : {"Kiss Anna", "MAROS Ede", "Magyar Béla", "Ábel Ákos", "Zöld Zoltán"})
        addRow("uzletkoto", {{"uzletkoto_nev", n}});
    ScriptedInteraction user;
    user.onModal("frm_TorzsUzletkoto", [](QDialog& d) {
        QLineEdit* search = box(d, "Edit1");
        QTest::keyClicks(search, "ma");
        EXPECT_EQ(current(d, "uzletkoto_nev"), "Magyar Béla");
        QTest::keyClicks(search, "r");
        EXPECT_EQ(current(d, "uzletkoto_nev"), "MAROS Ede");
        QTest::keyClicks(search, "x");
        EXPECT_EQ(current(d, "uzletkoto_nev"), "MAROS Ede");
        search->clear();
        search->insert("á");
        EXPECT_EQ(current(d, "uzletkoto_nev"), "Ábel Ákos");
        d.reject();
    });
    ShowList(Torzs::Uzletkoto, -1, false);
}

TEST_F(TorzsTipusTest, WithoutTheRightNothingChangesButPickingWorks)
{
    const int key = addRow("tipus", {{"tipus_nev", "Vevő"}});
    Beall.referenceRight = false;
    ScriptedInteraction user;
    user.onModal("frm_TorzsTipus", [](QDialog& d) {
        trigger(d, "aUj");
        trigger(d, "aSzerkeszt");
        trigger(d, "aTorol");
        emit grid(d)->doubleClicked(grid(d)->model()->index(0, 0));
        QTest::keyClicks(box(d, "Edit1"), "ve");
        d.reject();
    });
    ShowList(Torzs::Tipus, -1, false);
    EXPECT_EQ(user.errors(), QStringList(4, "Nincs jogosultság a művelethez."));
    EXPECT_EQ(rows("tipus", {"tipus_nev"}), QStringList{"Vevő"});

    user.onModal("frm_TorzsTipus", [](QDialog& d) { trigger(d, "aElfogad"); });
    EXPECT_EQ(ShowList(Torzs::Tipus, key, true), key);
}

TEST_F(TorzsTipusTest, ADuplicatePriorityCodeIsRefusedWithTheWindowOpenAndTheListUsable)
{
    ScriptedInteraction user;
    user.colours = {QColor(0x12, 0x34, 0x56)};
    user.onModal("frm_TorzsPrioritas_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Prioritás");
        typeInto(box(d, "DBEdit1"), "2");
        typeInto(box(d, "DBEdit2"), "Dupla");
        typeInto(box(d, "DBEdit3"), "3");
        click(d, "Button1");
        click(d, "btnOK");
        ASSERT_TRUE(d.isVisible());
        EXPECT_EQ(box(d, "DBEdit2")->text(), "Dupla");
        typeInto(box(d, "DBEdit1"), "5");
        click(d, "btnOK");
    });
    user.onModal("frm_TorzsPrioritas", [](QDialog& d) {
        trigger(d, "aUj");
        // The list goes on: the new row is current and can be picked.
        EXPECT_EQ(current(d, "prioritas"), "5");
        trigger(d, "aElfogad");
    });
    EXPECT_EQ(ShowList(Torzs::Prioritas, -1, true), 5);
    ASSERT_EQ(user.errors().size(), 1);
    EXPECT_TRUE(user.errors().front().startsWith("Hiányos, vagy hibás adatmegadás\n"));
    EXPECT_GT(user.errors().front().size(), QString("Hiányos, vagy hibás adatmegadás\n").size());
    // Stored blue-green-red: blue 0x56 in the high byte.
    EXPECT_EQ(rows("prioritas", {"prioritas", "prioritas_nev", "hatid", "szin"}).last(),
              QString("5|Dupla|3|%1").arg(0x563412));
}

TEST_F(TorzsTipusTest, PriorityColourIsEditedAsBgrDrawnInTheListAndKeptOnCancel)
{
    const QStringList before = rows("prioritas", {"szin"});
    ScriptedInteraction user;
    user.colours = {QColor(255, 0, 0), QColor(0, 0, 255)};
    user.onModal("frm_TorzsPrioritas_Szerkeszt", [](QDialog& d) {
        // The sample starts in the stored colour of "Sürgős" ($0000C0).
        EXPECT_EQ(d.findChild<QLabel*>("Label4")->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
        click(d, "Button1");
        click(d, "btnMegsem");
    });
    user.onModal("frm_TorzsPrioritas_Szerkeszt", [](QDialog& d) {
        click(d, "Button1");
        click(d, "btnOK");
    });
    user.onModal("frm_TorzsPrioritas", [](QDialog& d) {
        trigger(d, "aSzerkeszt");
        trigger(d, "aSzerkeszt");
        // Rows not selected are drawn in their colour; the selected one not.
        DBGrid* g = grid(d);
        DBGridCell cell;
        cell.dataSet = g->dataSet();
        cell.row = 0;
        cell.textColor = Qt::black;
        g->onDrawCell(cell);
        EXPECT_EQ(cell.textColor, QColor(0, 0, 255));
        cell.selected = true;
        cell.textColor = Qt::white;
        g->onDrawCell(cell);
        EXPECT_EQ(cell.textColor, QColor(Qt::white));
        // The deadline's title stands right, over its numbers; the others centred.
        const auto align = [g](int c) {
            return g->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        };
        EXPECT_EQ(g->columnTitle(2), "határidő");
        EXPECT_TRUE(align(2) & Qt::AlignRight);
        EXPECT_FALSE(align(1) & Qt::AlignRight);
        d.reject();
    });
    ShowList(Torzs::Prioritas, 1, false);
    QStringList after = before;
    after[0] = QString::number(0xFF0000);
    EXPECT_EQ(rows("prioritas", {"szin"}), after);
}

TEST_F(TorzsTipusTest, DeleteAsksFirstAndAnEmptyListAsksNothing)
{
    addRow("feltipus", {{"feltipus_nev", "Szerviz"}});
    addRow("feltipus", {{"feltipus_nev", "Ajánlat"}});
    ScriptedInteraction user;
    user.yesNo = {false, true, true};
    user.onModal("frm_TorzsFeltipus", [](QDialog& d) {
        EXPECT_EQ(current(d, "feltipus_nev"), "Ajánlat");
        for (int i = 0; i < 4; ++i) trigger(d, "aTorol");
        d.reject();
    });
    ShowList(Torzs::Feltipus, -1, false);
    EXPECT_EQ(user.ofKind("question").size(), 3u);
    EXPECT_EQ(user.ofKind("question")[0].text, "Valóban töröljem a sort?");
    EXPECT_EQ(user.ofKind("question")[0].title, "Megerősítés");
    EXPECT_TRUE(rows("feltipus", {"feltipus_nev"}).isEmpty());
}

TEST_F(TorzsTipusTest, StatusFlagAndCancelledInsertAndNameDaysEditOnDoubleClick)
{
    ScriptedInteraction user;
    user.onModal("frm_TorzsAllapot_Szerkeszt", [](QDialog& d) {
        typeInto(box(d, "DBEdit1"), "9");
        typeInto(box(d, "DBEdit2"), "Számlázva");
        d.findChild<QCheckBox*>("DBCheckBox1")->click();
        click(d, "btnOK");
    });
    user.onModal("frm_TorzsAllapot_Szerkeszt", [](QDialog& d) {
        typeInto(box(d, "DBEdit1"), "10");
        d.reject();
    });
    user.onModal("frm_TorzsAllapot", [](QDialog& d) {
        trigger(d, "aUj");
        trigger(d, "aUj");
        d.reject();
    });
    const int before = rows("allapot", {"allapot"}).size();
    ShowList(Torzs::Allapot, -1, false);
    EXPECT_EQ(rows("allapot", {"allapot"}).size(), before + 1);
    EXPECT_EQ(rows("allapot", {"allapot", "allapot_nev", "keszenvan"}).last(), "9|Számlázva|I");

    user.onModal("frm_TorzsNevnap_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Névnap szerkesztés");
        d.reject();
    });
    user.onModal("frm_TorzsNevnap", [](QDialog& d) {
        EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isVisible());
        EXPECT_EQ(d.focusWidget(), box(d, "Edit1"));
        emit grid(d)->doubleClicked(grid(d)->model()->index(0, 0));
        d.reject();
    });
    ShowNameDayList();
}
