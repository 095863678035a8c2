// The main window's commands that open the record windows: the owner they
// are given on every tab, and nothing opened for an empty list.
#include <QApplication>
#include <QDir>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/records/RecordWindow.h"
#include "common/DataSet.h"
#include "tests/records/MainWindowFixture.h"
#include "tests/support/Screenshots.h"

namespace {

class MainRecordCommandsTest : public MainWindowRecordsTest {
protected:
    // Closes the next `form` after noting its title bar and owner.
    void expectOwner(const QString& form, int key, int kind, const QString& title)
    {
        user.onModal(form, [=](QDialog& d) {
            auto& list = static_cast<OwnerListWindow&>(d);
            EXPECT_EQ(list.ownerKey(), key) << form.toStdString();
            EXPECT_EQ(list.ownerKind(), kind) << form.toStdString();
            EXPECT_TRUE(list.Panel1->text().endsWith(title)) << list.Panel1->text().toStdString();
            d.reject();
        });
    }
};

}  // namespace

TEST_F(MainRecordCommandsTest, EveryTabGivesItsCurrentRowAsOwner)
{
    const int firm = add("ceg", {{"ceg_nev", "Alfa Bt."}});
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Kovács Anna"}, {"ceg", firm}});
    const int task = add("feladat", {{"rovid", "Árajánlat"}, {"lezarva", "N"}});
    const int product = add("termek", {{"cikkszam", "BU-1"}, {"cikkszam_nev", "Szék"}});
    start();

    const struct {
        int tab, key, kind;
        const char* title;
    } owners[] = {{0, firm, 3, "Alfa Bt."}, {1, anna, 0, "Kovács Anna"}, {2, task, 1, "Árajánlat"},
                  {3, product, 2, "Szék"}};
    for (const auto& o : owners) {
        w->setTabIndex(o.tab);
        expectOwner("frm_Megjegyzes", o.key, o.kind, o.title);
        expectOwner("frm_Ertesit", o.key, o.kind, o.title);
        expectOwner("frm_Megj", o.key, o.kind, o.title);
        w->aMegjegyzes->trigger();
        w->aErtesit->trigger();
        w->aCsatolt->trigger();
    }

    // The quick note goes to the task without the notes window.
    w->setTabIndex(2);
    user.onModal("frm_Megjegyzes_Szerkeszt", [](QDialog& d) {
        auto* e = d.findChild<QLineEdit*>("DBEdit4");
        e->setFocus();
        e->insert("gyors");
        d.findChild<QAction*>("aElfogad")->trigger();
    });
    w->aMegjegyzesUj->trigger();
    TableDataSet notes(w->Database1);
    notes.setTableName("ugyf_megj.DB");
    notes.open();
    ASSERT_EQ(notes.recordCount(), 1);
    EXPECT_EQ(notes.fieldByName("ugyfel")->asInteger(), task);
    EXPECT_EQ(notes.fieldByName("tipus")->asInteger(), 1);
    EXPECT_EQ(notes.fieldByName("rovid")->asString(), "gyors");
    EXPECT_EQ(notes.fieldByName("datum")->asDate(), QDate::currentDate());
}

TEST_F(MainRecordCommandsTest, AnEmptyListOpensNothing)
{
    start();
    for (int tab : {0, 1, 2, 3}) {
        w->setTabIndex(tab);
        for (QAction* a : {w->aMegjegyzes, w->aErtesit, w->aCsatolt, w->aMegjegyzesUj}) a->trigger();
    }
    EXPECT_TRUE(user.asked.empty());
}

// Pictures of the record windows over the sample database, for a person to
// look at: NYILVEX_SCREENSHOTS names the folder.
TEST_F(MainRecordCommandsTest, Screenshots)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) GTEST_SKIP() << "NYILVEX_SCREENSHOTS not set";
    const int anna = add("ugyfel", {{"Ugyfel_nev", "Dr. Kovács Anna Mária"}});
    add("ugyf_megj", {{"ugyfel", anna}, {"tipus", 0}, {"datum", QDate(2026, 11, 2)}, {"rovid", "Telefonhívás"},
                      {"megjegyzes", "Visszahívást kért a jövő hét elején.\n-- Kata 2026.11.02 14:05 --"}});
    add("ugyf_ertesit", {{"ugyfel", anna}, {"tipus", 0}, {"datum", QDate(2026, 10, 1)}, {"rovid", "Levél"}});
    add("megj", {{"Ugyfel", anna}, {"tipus", 0}, {"datum", QDate(2026, 9, 9)}, {"doknev", "/srv/iratok/szerzodes.pdf"},
                 {"doknev_rovid", "Szerződés"}});
    start();
    w->setTabIndex(1);
    w->Qry->locate("ugyfel", anna);
    auto shoot = [folder](const QString& name) {
        return [folder, name](QDialog& d) {
            SaveShot(d, folder, name);
            if (auto* list = qobject_cast<OwnerListWindow*>(&d)) {
                list->aSzerkeszt->trigger();
                QTest::qWait(50);
            }
            d.reject();
        };
    };
    for (const char* form : {"frm_Megjegyzes", "frm_Megjegyzes_Szerkeszt", "frm_Ertesit", "frm_Ertesit_Szerkeszt",
                             "frm_Megj", "frm_Megj_Szerkeszt"})
        user.onModal(form, shoot(form));
    w->aMegjegyzes->trigger();
    w->aErtesit->trigger();
    w->aCsatolt->trigger();
    user.onModal("frm_Szerkeszt", shoot("frm_Szerkeszt"));
    w->aSzerkeszt->trigger();
    w->setTabIndex(2);
    user.onModal("frm_Feladat_Szerkeszt", shoot("frm_Feladat_Szerkeszt"));
    w->aUj->trigger();
}
