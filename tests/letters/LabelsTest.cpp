// Label layouts: the sheet geometry, the type by label height, and the
// layout list with its editor on a real cimke table.
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/output/LabelSheet.h"
#include "app/output/TorzsCimke.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

LabelLayout layout(double top, double side, double height, int columns)
{
    return LabelLayout{"próba", top, side, height, columns};
}

TEST(LabelSheetTest, ThreeColumnsOf37MillimetreLabels)
{
    const LabelLayout l = layout(15, 7, 37, 3);
    ASSERT_EQ(LabelLayoutProblem(l), "");
    const LabelSheet sheet(l);
    EXPECT_NEAR(sheet.columnWidth(), 65.33, 0.005);
    EXPECT_NEAR(sheet.textWidth(), 61.33, 0.005);
    EXPECT_EQ(sheet.rowsPerColumn(), 7);  // (297 - 30) / 37
    const LabelLines lines = LabelLinesFor(37);
    EXPECT_EQ(lines.name.pointSize, 9);
    EXPECT_DOUBLE_EQ(lines.name.top, 1.32);
    EXPECT_EQ(lines.city.pointSize, 8);
    EXPECT_DOUBLE_EQ(lines.city.top, 13.23);
    EXPECT_EQ(lines.street.pointSize, 8);
    EXPECT_DOUBLE_EQ(lines.street.top, 18.52);
    EXPECT_EQ(lines.postalCode.pointSize, 10);
    EXPECT_DOUBLE_EQ(lines.postalCode.top, 23.81);
    EXPECT_TRUE(lines.name.bold && lines.city.underline && lines.postalCode.bold);
    EXPECT_FALSE(lines.street.bold || lines.street.underline);
}

TEST(LabelSheetTest, HeightThresholds)
{
    EXPECT_EQ(LabelLinesFor(50).postalCode.pointSize, 14);
    EXPECT_DOUBLE_EQ(LabelLinesFor(50).city.top, 19.84);
    EXPECT_EQ(LabelLinesFor(49.9).postalCode.pointSize, 12);
    EXPECT_DOUBLE_EQ(LabelLinesFor(49.9).city.top, 17.20);
    EXPECT_EQ(LabelLinesFor(40).name.pointSize, 11);
    EXPECT_EQ(LabelLinesFor(39.99).name.pointSize, 9);
    EXPECT_DOUBLE_EQ(LabelLinesFor(32).name.top, 1.32);
    EXPECT_DOUBLE_EQ(LabelLinesFor(31.9).name.top, 0);
    EXPECT_EQ(LabelLinesFor(24).postalCode.pointSize, 9);
    EXPECT_EQ(LabelLinesFor(23.9).postalCode.pointSize, 8);
    EXPECT_DOUBLE_EQ(LabelLinesFor(23.9).postalCode.top, 15.87);
}

TEST(LabelSheetTest, LabelsFillDownThenAcrossThenANewSheet)
{
    // Two columns, room for three labels in each: (297 - 2 * 18) / 87.
    const LabelSheet sheet(layout(18, 5, 87, 2));
    ASSERT_EQ(sheet.rowsPerColumn(), 3);
    const double col2 = 5 + 100;
    const LabelSheet::Place expected[] = {
        {0, 5, 18}, {0, 5, 105}, {0, 5, 192}, {0, col2, 18}, {0, col2, 105}, {0, col2, 192}, {1, 5, 18}};
    for (int i = 0; i < 7; ++i) {
        const LabelSheet::Place p = sheet.place(i);
        EXPECT_EQ(p.sheet, expected[i].sheet) << i;
        EXPECT_DOUBLE_EQ(p.left, expected[i].left) << i;
        EXPECT_DOUBLE_EQ(p.top, expected[i].top) << i;
    }
    // A label exactly as high as the room between the margins fits once.
    EXPECT_EQ(LabelSheet(layout(10, 0, 277, 1)).rowsPerColumn(), 1);
}

TEST(LabelSheetTest, LayoutsWithoutRoomAreRefusedWithTheReason)
{
    EXPECT_EQ(LabelLayoutProblem(layout(10, 5, 37, 0)), "Az oszlopok száma legalább 1 legyen.");
    EXPECT_EQ(LabelLayoutProblem(layout(10, 5, 37, -2)), "Az oszlopok száma legalább 1 legyen.");
    EXPECT_EQ(LabelLayoutProblem(layout(10, 5, 0, 3)), "A címke magassága legalább 5 mm legyen.");
    EXPECT_EQ(LabelLayoutProblem(layout(10, -1, 37, 3)), "A margó nem lehet negatív.");
    EXPECT_EQ(LabelLayoutProblem(layout(10, 105, 37, 1)),
              "A szélső margók mellett 1 oszlopnak nem marad hely a lapon.");
    EXPECT_EQ(LabelLayoutProblem(layout(10, 5, 37, 60)),
              "A szélső margók mellett 60 oszlopnak nem marad hely a lapon.");
    EXPECT_EQ(LabelLayoutProblem(layout(140, 5, 37, 3)),
              "A felső és alsó margó mellett egy címke sem fér el a lapon.");
    EXPECT_EQ(LabelLayoutProblem(layout(qQNaN(), 5, 37, 3)), "A méretek nem érvényes számok.");
    EXPECT_EQ(LabelLayoutProblem(LabelLayout{" ", 10, 5, 37, 3}), "A címke neve nincs megadva.");
}

void typeInto(QLineEdit* e, const QString& text)
{
    e->selectAll();
    e->insert(text);
}

class LabelListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        Beall.referenceRight = true;
    }
    void TearDown() override { Beall.referenceRight = false; }

    // "name:top:side:height:columns" of every layout, in name order.
    QStringList layouts()
    {
        TableDataSet t(&conn);
        t.setTableName("cimke.DB");
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next()) {
            const LabelLayout l = LabelLayoutOf(t);
            out << QString("%1:%2:%3:%4:%5").arg(l.name).arg(l.topMargin).arg(l.sideMargin)
                       .arg(l.labelHeight).arg(l.columns);
        }
        return out;
    }

    static void fill(QDialog& d, const QStringList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            typeInto(d.findChild<QLineEdit*>(QString("DBEdit%1").arg(i + 1)), values[i]);
        d.findChild<QPushButton*>("btnOK")->click();
    }

    // Runs the list (not in pick mode) and lets `script` act on it.
    void withList(const std::function<void(QDialog&)>& script)
    {
        user.onModal("frm_TorzsCimke", [&](QDialog& d) {
            script(d);
            d.reject();
        });
        PickLabelLayout(nullptr, QString(), false);
    }

    TempHome home;
    Connection conn{DatabaseAlias};
    ScriptedInteraction user;
};

TEST_F(LabelListTest, ANewLayoutIsStoredOnlyWhenLabelsFit)
{
    user.onModal("frm_TorzsCimke_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Címke szerkesztés");
        fill(d, {"Avery 3x7", "15", "7", "37", "0"});
        fill(d, {"Avery 3x7", "15", "7", "0", "3"});
        fill(d, {"Avery 3x7", "15", "104", "37", "3"});
        EXPECT_TRUE(d.isVisible());
        fill(d, {"Avery 3x7", "15", "7", "37", "3"});
    });
    withList([](QDialog& d) { d.findChild<QAction*>("aUj")->trigger(); });
    EXPECT_EQ(user.errors(),
              (QStringList{"Hiányos, vagy hibás adatmegadás\nAz oszlopok száma legalább 1 legyen.",
                           "Hiányos, vagy hibás adatmegadás\nA címke magassága legalább 5 mm legyen.",
                           "Hiányos, vagy hibás adatmegadás\nA szélső margók mellett 3 oszlopnak nem marad hely a lapon."}));
    EXPECT_EQ(layouts(), QStringList{"Avery 3x7:15:7:37:3"});

    // The same name again: the table's key refuses it, the editor stays.
    user.onModal("frm_TorzsCimke_Szerkeszt", [](QDialog& d) {
        fill(d, {"Avery 3x7", "10", "5", "40", "2"});
        EXPECT_TRUE(d.isVisible());
        d.reject();
    });
    withList([](QDialog& d) { d.findChild<QAction*>("aUj")->trigger(); });
    ASSERT_EQ(user.errors().size(), 4);
    EXPECT_TRUE(user.errors().last().startsWith("Hiányos, vagy hibás adatmegadás\n"));
    EXPECT_EQ(layouts(), QStringList{"Avery 3x7:15:7:37:3"});
}

TEST_F(LabelListTest, PickModeReturnsTheAcceptedLayout)
{
    user.onModal("frm_TorzsCimke_Szerkeszt", [](QDialog& d) { fill(d, {"Kicsi", "10", "5", "20", "4"}); });
    user.onModal("frm_TorzsCimke_Szerkeszt", [](QDialog& d) { fill(d, {"Nagy", "10", "5", "50", "2"}); });
    withList([](QDialog& d) {
        EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isVisible());
        d.findChild<QAction*>("aUj")->trigger();
        d.findChild<QAction*>("aUj")->trigger();
    });

    user.onModal("frm_TorzsCimke", [](QDialog& d) {
        EXPECT_TRUE(d.findChild<QAction*>("aElfogad")->isEnabled());
        d.findChild<QAction*>("aElfogad")->trigger();
    });
    const LabelLayout l = PickLabelLayout(nullptr, "NAGY", true);
    EXPECT_EQ(l.name, "Nagy");
    EXPECT_DOUBLE_EQ(l.labelHeight, 50);
    EXPECT_EQ(l.columns, 2);

    user.onModal("frm_TorzsCimke", [](QDialog& d) { d.reject(); });
    EXPECT_EQ(PickLabelLayout(nullptr, "Nagy", true).name, "");
}

TEST_F(LabelListTest, ChangesNeedTheReferenceRight)
{
    user.onModal("frm_TorzsCimke_Szerkeszt", [](QDialog& d) { fill(d, {"Kicsi", "10", "5", "20", "4"}); });
    withList([](QDialog& d) { d.findChild<QAction*>("aUj")->trigger(); });
    Beall.referenceRight = false;
    withList([](QDialog& d) {
        for (const char* a : {"aUj", "aSzerkeszt", "aTorol"}) d.findChild<QAction*>(a)->trigger();
    });
    EXPECT_EQ(user.errors(), QStringList(3, "Nincs jogosultság a művelethez."));
    EXPECT_EQ(layouts(), QStringList{"Kicsi:10:5:20:4"});

    Beall.referenceRight = true;
    user.yesNo = {false, true};
    withList([](QDialog& d) {
        d.findChild<QAction*>("aTorol")->trigger();
        d.findChild<QAction*>("aTorol")->trigger();
    });
    EXPECT_EQ(user.messages().last(), "Valóban töröljem a sort?");
    EXPECT_TRUE(layouts().isEmpty());
}

}  // namespace
