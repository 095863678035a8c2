// The task browser: its two modes, the in-progress switch, and the jump into
// the main window's task list.
#include <QAction>
#include <QLabel>

#include "SearchFixture.h"
#include "app/search/FeladatBongeszo.h"

namespace {

// One opening of the browser: what it showed, then "Kiválaszt" on row
// `choose` (or "Mégsem" when negative), after `toggles` presses of F3.
struct Seen {
    QString heading;
    QList<int> rows;  // record counts: at opening, then after each toggle
};

Seen browse(Tfrm_Main& main, ScriptedInteraction& user, int toggles, int choose)
{
    Seen seen;
    user.onModal("frm_FeladatBongeszo", [&seen, toggles, choose](QDialog& d) {
        auto& b = static_cast<Tfrm_FeladatBongeszo&>(d);
        seen.heading = b.Panel1->text();
        seen.rows << b.Qry->recordCount();
        for (int i = 0; i < toggles; ++i) {
            b.aSzur->trigger();
            seen.rows << b.Qry->recordCount();
        }
        if (choose < 0) {
            b.aMegsem->trigger();
            return;
        }
        if (!b.Qry->isEmpty()) b.Qry->setRecNo(choose + 1);
        b.aElfogad->trigger();
    });
    main.aFeladatBongeszo->trigger();
    return seen;
}

}  // namespace

TEST_F(SearchTest, TaskBrowserListsACustomersOrAProductsTasksAndJumpsToTheChosenOne)
{
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Anna"}});
    add("ugyfel", {{"Ugyfel_nev", "Béla"}});
    const int szek = add("termek", {{"cikkszam", "SZ-1"}, {"cikkszam_nev", "Szék"}});
    const int t1 = add("feladat", {{"rovid", "első"}, {"ugyfel", anna}, {"termek", szek}, {"lezarva", "N"}});
    const int t2 = add("feladat", {{"rovid", "kész"}, {"ugyfel", anna}, {"lezarva", "I"}});
    add("feladat", {{"rovid", "harmadik"}, {"ugyfel", anna}, {"lezarva", "N"}});
    add("feladat", {{"rovid", "széké"}, {"termek", szek}, {"lezarva", "N"}});
    start();

    // Nothing on the companies and tasks tabs.
    for (int tab : {0, 2}) {
        w->setTabIndex(tab);
        w->aFeladatBongeszo->trigger();
        EXPECT_TRUE(user.asked.empty());
    }

    // A customer's three tasks, one closed: two in progress, three without the switch.
    w->setTabIndex(1);
    w->Qry->locate("ugyfel", anna);
    Seen seen = browse(*w, user, 2, 0);
    EXPECT_EQ(seen.heading, "Ügyfél: Anna");
    EXPECT_EQ(seen.rows, (QList<int>{2, 3, 2}));
    EXPECT_EQ(w->tabIndex(), 2);
    EXPECT_EQ(current(2, "feladat").toInt(), t1);

    // A closed task chosen: the tasks tab, but its unfinished list stays put.
    w->setTabIndex(1);
    w->Qry->locate("ugyfel", anna);
    w->QryFeladat->last();
    const int before = current(2, "feladat").toInt();
    browse(*w, user, 1, 1);
    EXPECT_EQ(w->tabIndex(), 2);
    EXPECT_EQ(current(2, "feladat").toInt(), before);
    EXPECT_NE(before, t2);

    // A product's tasks; "Mégsem" leaves the main window as it was.
    w->setTabIndex(3);
    seen = browse(*w, user, 0, -1);
    EXPECT_EQ(seen.heading, "Termék: Szék");
    EXPECT_EQ(seen.rows, QList<int>{2});
    EXPECT_EQ(w->tabIndex(), 3);

    // A customer without tasks: an empty list, "Kiválaszt" gives task 0, which is nowhere.
    w->setTabIndex(1);
    w->Qry->locate("Ugyfel_nev", "Béla");
    seen = browse(*w, user, 0, 0);
    EXPECT_EQ(seen.rows, QList<int>{0});
    EXPECT_EQ(w->tabIndex(), 2);
    EXPECT_EQ(TaskBrowserFilter(true, 7, true), "(ugyfel=7) and (lezarva = 'N')");
    EXPECT_EQ(TaskBrowserFilter(false, 7, false), "(termek=7)");
}
