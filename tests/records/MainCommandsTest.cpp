// The main window's commands that open the lists and editors of the
// records, on a fresh database.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

#include "RecordsFixture.h"
#include "app/Main/Main.h"
#include "app/records/ListWindow.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestDatabase.h"
#include "widgets/DBGrid.h"

namespace {

class MainCommandsTest : public RecordsTest {
protected:
    void SetUp() override
    {
        RecordsTest::SetUp();
        SetFirstRow(&conn, "beallit", {{"vanbelep", "N"}});
        Beall.databaseFolder = dbFolder();
    }

    void TearDown() override { w.reset(); }

    void start()
    {
        QFile ini(home.settingsFile());
        QDir().mkpath(home.settingsFolder());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[Adatbazis]\r\nUtvonal=" + dbFolder() + "\r\n").toUtf8());
        ini.close();
        w = std::make_unique<Tfrm_Main>();
        ASSERT_TRUE(w->startUp());
        Beall.lastArchiveDate = QDate::currentDate();
        Beall.fullScreen = false;
        w->show();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frm_Logo") top->close();
    }

    ScriptedInteraction user;
    std::unique_ptr<Tfrm_Main> w;
};

}  // namespace

TEST_F(MainCommandsTest, EveryListOpensForBrowsingWithoutAccept)
{
    start();
    const std::pair<QAction*, const char*> lists[] = {
        {w->aTorzsTipus, "frm_TorzsTipus"},         {w->aUzletkoto, "frm_TorzsUzletkoto"},
        {w->aTorzsAllapot, "frm_TorzsAllapot"},     {w->aTorzsPrioritas, "frm_TorzsPrioritas"},
        {w->aTorzsFeltipus, "frm_TorzsFeltipus"},   {w->aTorzsFelEredmeny, "frm_TorzsFeleredmeny"},
        {w->aTorzsNevnap, "frm_TorzsNevnap"},       {w->aTorzsCegek, "frm_TorzsCeg"},
    };
    for (const auto& [action, form] : lists) {
        EXPECT_TRUE(action->isEnabled()) << form;
        user.onModal(form, [form](QDialog& d) {
            EXPECT_FALSE(d.findChild<QAction*>("aElfogad")->isVisible()) << form;
            QTest::keyClick(d.findChild<DBGrid*>("DBGrid1"), Qt::Key_Return);
            EXPECT_TRUE(d.isVisible()) << form;
            QTest::keyClick(d.findChild<DBGrid*>("DBGrid1"), Qt::Key_Escape);
            EXPECT_FALSE(d.isVisible()) << form;
        });
        action->trigger();
    }
    EXPECT_EQ(user.ofKind("modal").size(), std::size(lists));
}

TEST_F(MainCommandsTest, EditOnAnEmptyCompanyListAddsACompanyAndTheListStandsOnIt)
{
    start();
    ASSERT_EQ(w->tabIndex(), 0);
    user.onModal("frm_TorzsCeg_Szerkeszt", [](QDialog& d) {
        EXPECT_EQ(box(d, "DBEdit1")->text(), "");
        typeInto(box(d, "DBEdit1"), "Béta Bt.");
        click(d, "btnOK");
    });
    user.onModal("frm_TorzsCeg_Szerkeszt", [](QDialog& d) {
        typeInto(box(d, "DBEdit1"), "Alfa Kft.");
        click(d, "btnOK");
    });
    w->aSzerkeszt->trigger();
    w->aUj->trigger();
    EXPECT_EQ(w->TblCegek->fieldByName("ceg_nev")->asString(), "Alfa Kft.");
    EXPECT_EQ(w->TblCegek->recNo(), 1);
    EXPECT_EQ(w->statusText(0), "2 / 1");
    EXPECT_EQ(rows("ceg", {"ceg_nev"}), QStringList({"Béta Bt.", "Alfa Kft."}));
}

TEST_F(MainCommandsTest, ProductEditorFromTheProductsTab)
{
    start();
    w->setTabIndex(3);
    user.onModal("frm_Termek_Szerkeszt", [](QDialog& d) {
        QTest::keyClicks(box(d, "DBEdit1"), "abc-1");
        click(d, "Button1");
    });
    w->aUj->trigger();
    EXPECT_EQ(w->TblTermek->fieldByName("cikkszam")->asString(), "ABC-1");
    EXPECT_EQ(w->statusText(0), "1 / 1");
}

TEST_F(MainCommandsTest, APriorityColourChosenInItsListColoursItsTasksInTheTaskGrid)
{
    addRow("feladat", {{"rovid", "sürgős munka"}, {"lezarva", "N"}, {"prioritas", 2}});
    start();
    user.colours = {QColor(0, 128, 255)};
    user.onModal("frm_TorzsPrioritas_Szerkeszt", [](QDialog& d) {
        click(d, "Button1");
        click(d, "btnOK");
    });
    user.onModal("frm_TorzsPrioritas", [](QDialog& d) {
        static_cast<ListWindow&>(d).Tbl->locate("prioritas", 2);
        trigger(d, "aSzerkeszt");
        d.reject();
    });
    w->aTorzsPrioritas->trigger();
    EXPECT_EQ(rows("prioritas", {"szin"})[1], QString::number(0xFF8000));
    w->setTabIndex(2);
    DBGridCell cell;
    cell.dataSet = w->QryFeladat;
    cell.row = 0;
    cell.column = 3;
    cell.fieldName = "dat_hatid";
    w->DBGrid2->onDrawCell(cell);
    EXPECT_EQ(cell.textColor, QColor(0, 128, 255));
}
