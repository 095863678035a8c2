// The customer and task filters: the expressions they build, the dialogs'
// memories, the F3 toggles and the customer filter across the companies tab.
#include <QAction>
#include <QCheckBox>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "SearchFixture.h"
#include "app/search/Szur.h"
#include "app/search/SzurF.h"
#include "widgets/DBGrid.h"

namespace {

FilterMemory ticked(std::initializer_list<int> ticks, std::array<int, 4> ids)
{
    FilterMemory m;
    for (int t : ticks) m.ticks[size_t(t)] = true;
    m.ids = ids;
    return m;
}

// Ticks the dialog's boxes named in `on`, unticks the others, presses "Szűrés".
void tickAndFilter(ScriptedInteraction& user, const QString& form, std::initializer_list<int> on, bool ok = true)
{
    user.onModal(form, [on, ok](QDialog& d) {
        for (int i = 1; i <= 5; ++i) d.findChild<QCheckBox*>(QString("CheckBox%1").arg(i))->setChecked(false);
        for (int i : on) d.findChild<QCheckBox*>(QString("CheckBox%1").arg(i))->setChecked(true);
        d.findChild<QPushButton*>(ok ? "Button1" : "Button2")->click();
    });
}

}  // namespace

TEST(FilterExpressionTest, CustomerClausesComeInTheirOrderWithoutALeadingAnd)
{
    const QDate march7(2024, 3, 7);
    // ticks: 0 company, 1 type, 2 reminder, 3 name day, 4 agent; ids: company, type, agent.
    const std::array<int, 4> ids = {5, 3, 2, 0};
    const struct {
        std::initializer_list<int> ticks;
        const char* expected;
    } cases[] = {
        {{}, ""},
        {{0}, "(ceg=5)"},
        {{1}, "(tipus=3)"},
        {{4}, "(uzletkoto=2)"},
        {{2}, "((dat_figy<='2024.03.07') and (dat_figy<>NULL))"},
        {{3}, "(honap=3) and (nap=7)"},
        {{0, 2}, "(ceg=5) and ((dat_figy<='2024.03.07') and (dat_figy<>NULL))"},
        {{4, 3}, "(uzletkoto=2) and (honap=3) and (nap=7)"},
        {{3, 2, 4, 1, 0},
         "(ceg=5) and (tipus=3) and (uzletkoto=2) and ((dat_figy<='2024.03.07') and (dat_figy<>NULL)) and "
         "(honap=3) and (nap=7)"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildCustomerFilter(ticked(c.ticks, ids), march7), c.expected);
    // Two-digit months and days, and never-picked ids.
    EXPECT_EQ(BuildCustomerFilter(ticked({3}, ids), QDate(2024, 12, 24)), "(honap=12) and (nap=24)");
    EXPECT_EQ(BuildCustomerFilter(ticked({0, 1}, {-1, -1, 0, 0}), march7), "(ceg=-1) and (tipus=-1)");
}

TEST(FilterExpressionTest, TaskClausesComeInTheirOrderWithoutALeadingAnd)
{
    const std::array<int, 4> ids = {1, 2, 17, 4};
    const struct {
        std::initializer_list<int> ticks;
        const char* expected;
    } cases[] = {
        {{}, ""},
        {{0}, "(allapot=1)"},
        {{1}, "(prioritas=2)"},
        {{2}, "(ugyfel=17)"},
        {{3}, "(termek=4)"},
        {{4}, "(lezarva='N')"},
        {{2, 4}, "(ugyfel=17) and (lezarva='N')"},
        {{4, 3, 2, 1, 0}, "(allapot=1) and (prioritas=2) and (ugyfel=17) and (termek=4) and (lezarva='N')"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildTaskFilter(ticked(c.ticks, ids)), c.expected);
}

TEST_F(SearchTest, CustomerFilterTogglesWithF3AndSurvivesTheCompaniesTab)
{
    const int alfa = add("ceg", {{"ceg_nev", "Alfa Bt."}});
    const int beta = add("ceg", {{"ceg_nev", "Béta Kft."}});
    const QDate today = QDate::currentDate();
    add("ugyfel", {{"Ugyfel_nev", "Anna"}, {"ceg", alfa}, {"dat_figy", today.addDays(-1)}});
    add("ugyfel", {{"Ugyfel_nev", "Béla"}, {"ceg", alfa}, {"dat_figy", today.addDays(3)}});
    add("ugyfel", {{"Ugyfel_nev", "Cili"}, {"ceg", beta}});
    add("ugyfel", {{"Ugyfel_nev", "Dani"}, {"ceg", beta}, {"dat_figy", today}});
    start();
    w->setTabIndex(1);
    ASSERT_TRUE(w->aSzur->isEnabled());

    // "Aktív figyelmeztetés": due reminders only, never a blank one.
    tickAndFilter(user, "frm_Szur", {3});
    w->aSzur->trigger();
    EXPECT_TRUE(w->aSzur->isChecked());
    EXPECT_EQ(w->Qry->recordCount(), 2);
    EXPECT_EQ(w->statusText(1), "Szűrt állomány");
    EXPECT_EQ(w->statusText(0), "2 / 1");

    // The companies tab lists one company's customers from the same list...
    w->setTabIndex(0);
    EXPECT_EQ(w->DBGrid5->model()->rowCount(), 2);
    w->TblCegek->locate("ceg", beta);
    EXPECT_EQ(w->DBGrid5->model()->rowCount(), 2);
    // ...and the customers tab shows the user's filter again, as it says.
    w->setTabIndex(1);
    EXPECT_EQ(w->Qry->recordCount(), 2);
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Anna");
    EXPECT_EQ(w->statusText(1), "Szűrt állomány");

    // F3 switches it off without the dialog, and on again with it.
    user.asked.clear();
    w->aSzur->trigger();
    EXPECT_FALSE(w->aSzur->isChecked());
    EXPECT_EQ(w->Qry->recordCount(), 4);
    EXPECT_EQ(w->statusText(1), "Teljes állomány");
    EXPECT_TRUE(user.asked.empty());
    // Off, the companies tab leaves the whole list behind.
    w->setTabIndex(0);
    w->setTabIndex(1);
    EXPECT_FALSE(w->Qry->filtered());
    EXPECT_EQ(w->Qry->recordCount(), 4);

    // A cancelled dialog changes nothing and forgets its ticks.
    tickAndFilter(user, "frm_Szur", {1}, false);
    w->aSzur->trigger();
    EXPECT_FALSE(w->aSzur->isChecked());
    EXPECT_EQ(w->Qry->recordCount(), 4);
    EXPECT_TRUE(Beall.customerFilter.ticks[2]);
    EXPECT_FALSE(Beall.customerFilter.ticks[0]);

    // Nothing ticked: on, every row, as the dialog leaves it.
    tickAndFilter(user, "frm_Szur", {});
    w->aSzur->trigger();
    EXPECT_TRUE(w->aSzur->isChecked());
    EXPECT_EQ(w->Qry->recordCount(), 4);

    // The dialog opens with the remembered ticks.
    w->aSzur->trigger();
    bool shownTicked = true;
    user.onModal("frm_Szur", [&shownTicked](QDialog& d) {
        shownTicked = d.findChild<QCheckBox*>("CheckBox3")->isChecked();
        d.reject();
    });
    w->aSzur->trigger();
    EXPECT_FALSE(shownTicked);
}

TEST_F(SearchTest, TaskFilterStartsOnUnfinishedTasksAndF3ActsOnlyOnItsTab)
{
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Anna"}});
    add("feladat", {{"rovid", "nyitott"}, {"lezarva", "N"}, {"ugyfel", anna}, {"allapot", 2}});
    add("feladat", {{"rovid", "kész"}, {"lezarva", "I"}, {"ugyfel", anna}, {"allapot", 2}});
    add("feladat", {{"rovid", "másé"}, {"lezarva", "N"}, {"allapot", 2}});
    start();

    // F3 elsewhere does nothing to the task list.
    w->setTabIndex(1);
    w->aSzurF->trigger();
    EXPECT_TRUE(w->aSzurF->isChecked());
    EXPECT_TRUE(user.asked.empty());

    w->setTabIndex(2);
    EXPECT_EQ(w->QryFeladat->recordCount(), 2);
    w->aSzurF->trigger();
    EXPECT_FALSE(w->aSzurF->isChecked());
    EXPECT_EQ(w->QryFeladat->recordCount(), 3);
    EXPECT_EQ(w->statusText(1), "Teljes állomány");

    // The dialog opens with "Csak még nem kész" ticked, as at start.
    Beall.taskFilter.ids[2] = anna;
    bool unfinishedTicked = false;
    user.onModal("frm_SzurF", [&unfinishedTicked](QDialog& d) {
        unfinishedTicked = d.findChild<QCheckBox*>("CheckBox5")->isChecked();
        d.findChild<QCheckBox*>("CheckBox3")->setChecked(true);
        d.findChild<QPushButton*>("Button1")->click();
    });
    w->aSzurF->trigger();
    EXPECT_TRUE(unfinishedTicked);
    EXPECT_EQ(w->QryFeladat->filter(), QString("(ugyfel=%1) and (lezarva='N')").arg(anna));
    EXPECT_EQ(w->QryFeladat->recordCount(), 1);
    EXPECT_EQ(current(2, "rovid").toString(), "nyitott");
    EXPECT_EQ(w->statusText(1), "Szűrt állomány");
}

TEST_F(SearchTest, APickIsKeptEvenWhenTheFilterIsCancelledAndTheTicksAreNot)
{
    add("ceg", {{"ceg_nev", "Alfa Bt."}});
    const int beta = add("ceg", {{"ceg_nev", "Béta Kft."}});
    add("ugyfel", {{"Ugyfel_nev", "Anna"}});
    add("ugyfel", {{"Ugyfel_nev", "Béla"}, {"ceg", beta}});
    start();
    w->setTabIndex(1);

    // "..." of "Cég" opens the company list on the remembered company; the
    // chosen one shows at once and the keyboard goes on to "Típus".
    QWidget* focusAfter = nullptr;
    user.onModal("frm_Szur", [&](QDialog& d) {
        d.findChild<QCheckBox*>("CheckBox4")->setChecked(true);
        d.findChild<QPushButton*>("BitBtn1")->click();
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "Béta Kft.");
        EXPECT_FALSE(d.findChild<QCheckBox*>("CheckBox1")->isChecked());
        focusAfter = d.focusWidget();
        EXPECT_EQ(focusAfter, d.findChild<QCheckBox*>("CheckBox2"));
        d.findChild<QPushButton*>("Button2")->click();
    });
    user.onModal("frm_TorzsCeg", [beta](QDialog& d) {
        d.findChild<DBGrid*>("DBGrid1")->dataSet()->locate("ceg", beta);
        d.findChild<QAction*>("aElfogad")->trigger();
    });
    w->aSzur->trigger();
    EXPECT_FALSE(w->aSzur->isChecked());
    EXPECT_EQ(Beall.customerFilter.ids[0], beta);
    EXPECT_EQ(Beall.customerFilter.names[0], "Béta Kft.");

    // The next opening shows the company, not the cancelled tick; a closed
    // list changes nothing; "Cég" ticked filters on it.
    user.onModal("frm_Szur", [&](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "Béta Kft.");
        EXPECT_FALSE(d.findChild<QCheckBox*>("CheckBox4")->isChecked());
        d.findChild<QPushButton*>("BitBtn1")->click();
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "Béta Kft.");
        d.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
        d.findChild<QPushButton*>("Button1")->click();
    });
    user.onModal("frm_TorzsCeg", [](QDialog& d) { d.reject(); });
    w->aSzur->trigger();
    EXPECT_EQ(w->Qry->filter(), QString("(ceg=%1)").arg(beta));
    EXPECT_EQ(w->Qry->recordCount(), 1);
    EXPECT_EQ(current(1, "Ugyfel_nev").toString(), "Béla");
}
