// The main window's print commands: each tab's list goes to its report as
// it stands, the company list to the grid print, and the notes of the
// current row to the notes report.
#include <QAction>
#include <QDialog>

#include <gtest/gtest.h>

#include <memory>

#include "app/Main/Beall.h"
#include "app/Main/Main.h"
#include "app/records/Ugyfel_valaszt.h"
#include "common/DataSet.h"
#include "tests/support/PdfText.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

namespace {

class MainWindowPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString data = home.programFolder() + "/Data";
        BuildTestDatabase(data);
        conn = std::make_unique<Connection>();
        conn->setParams(Connection::paradoxParams(data));
        table("beallit", [](TableDataSet& t) {
            t.edit();
            t.fieldByName("vanbelep")->setValue("N");
        });
        user.onPages = [this](PrintDocument& doc) { text = PdfPages(doc).join("\f"); };
    }

    void TearDown() override
    {
        w.reset();
        conn.reset();
    }

    void table(const QString& name, const std::function<void(TableDataSet&)>& change)
    {
        TableDataSet t(conn.get());
        t.setTableName(name + ".DB");
        t.open();
        change(t);
        t.post();
        t.flushBuffers();
    }

    int add(const QString& name, const std::vector<std::pair<const char*, QVariant>>& values)
    {
        int key = 0;
        table(name, [&](TableDataSet& t) {
            t.append();
            for (const auto& [field, value] : values) t.fieldByName(field)->setValue(value);
            t.post();
            key = t.fields().front()->value().toInt();
        });
        return key;
    }

    void start()
    {
        w = std::make_unique<Tfrm_Main>();
        ASSERT_TRUE(w->startUp());
    }

    TempHome home;
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Tfrm_Main> w;
    ScriptedInteraction user;
    QString text;
};

TEST_F(MainWindowPrintTest, EachTabPrintsItsListAsItStands)
{
    const int company = add("ceg", {{"ceg_nev", "Kék Kft."}});
    const int customer = add("ugyfel", {{"ugyfel_nev", "Bárány Béla"}, {"ceg", company}});
    add("ugyfel", {{"ugyfel_nev", "Aradi Anna"}});
    add("feladat", {{"rovid", "Nyitott"}, {"lezarva", "N"}, {"ugyfel", customer}});
    add("feladat", {{"rovid", "Lezárt"}, {"lezarva", "I"}});
    add("termek", {{"cikkszam", "T-1"}, {"cikkszam_nev", "Tinta"}});
    start();

    w->setTabIndex(1);
    w->aNyomtatkep->trigger();
    EXPECT_EQ(user.ofKind("preview").back().title, "Ügyfelek listája");
    EXPECT_TRUE(text.contains("ügyfél szerint"));
    EXPECT_LT(text.indexOf("Aradi Anna"), text.indexOf("Bárány Béla"));

    w->setTabIndex(2);
    w->aNyomtat->trigger();
    EXPECT_EQ(user.ofKind("print").back().title, "Feladatok listája");
    EXPECT_TRUE(text.contains("id szerint"));
    EXPECT_TRUE(text.contains("Szűrt adatok"));
    EXPECT_TRUE(text.contains("Nyitott"));
    EXPECT_FALSE(text.contains("Lezárt"));
    w->aNyomReszletes->trigger();
    EXPECT_TRUE(text.contains("qrFeladatReszl"));

    w->setTabIndex(3);
    w->aNyomtatkep->trigger();
    EXPECT_TRUE(text.contains("Termékek listája"));
    EXPECT_TRUE(text.contains("Tinta"));
    const size_t previews = user.ofKind("preview").size();
    w->aNyomEgyszeru->trigger();
    EXPECT_EQ(user.ofKind("preview").size(), previews);

    w->setTabIndex(0);
    w->aNyomtatkep->trigger();
    EXPECT_EQ(user.ofKind("preview").back().title, "Cégek");
    EXPECT_TRUE(text.contains("qrGridPrint"));
    EXPECT_TRUE(text.contains("Kék Kft."));

    w->aNyomCegSzerint->trigger();
    EXPECT_TRUE(text.contains("Ügyfelek listája cégek szerint"));
    EXPECT_TRUE(text.contains("Aradi Anna"));

    // One company, picked from the company list; no pick, no print.
    user.onModal("frm_TorzsCeg", [](QDialog& d) { d.findChild<QAction*>("aElfogad")->trigger(); });
    w->aNyomCegSzerint1->trigger();
    EXPECT_TRUE(text.contains("Bárány Béla"));
    EXPECT_FALSE(text.contains("Aradi Anna"));
    const size_t shown = user.ofKind("preview").size();
    user.onModal("frm_TorzsCeg", [](QDialog& d) { d.reject(); });
    w->aNyomCegSzerint1->trigger();
    EXPECT_EQ(user.ofKind("preview").size(), shown);
}

TEST_F(MainWindowPrintTest, CustomerPickerPrintsItsGrid)
{
    add("ugyfel", {{"ugyfel_nev", "Aradi Anna"}, {"mobil", "30/123-4567"}});
    start();
    user.onModal("frm_Ugyfel_valaszt", [](QDialog& d) {
        d.findChild<QAction*>("aNyomtatKep")->trigger();
        d.reject();
    });
    EXPECT_EQ(PickCustomer(-1), -1);
    EXPECT_EQ(user.ofKind("preview").back().title, "Ügyfelek");
    EXPECT_TRUE(text.contains("qrGridPrint"));
    EXPECT_TRUE(text.contains("Aradi Anna"));
    EXPECT_TRUE(text.contains("30/123-4567"));
}

TEST_F(MainWindowPrintTest, NotesAndNotificationsOfTheCurrentRow)
{
    const int customer = add("ugyfel", {{"ugyfel_nev", "Jegyzet Jolán"}});
    add("ugyf_megj", {{"ugyfel", customer}, {"tipus", 0}, {"datum", QDate(2026, 1, 2)}, {"rovid", "Hívás"}});
    add("ugyf_ertesit", {{"ugyfel", customer}, {"tipus", 0}, {"datum", QDate(2026, 1, 3)}, {"rovid", "Levél"}});
    start();
    w->setTabIndex(1);

    w->aNyomMegjegyzes->trigger();
    EXPECT_EQ(user.ofKind("preview").back().title, "Megjegyzések");
    EXPECT_TRUE(text.contains("Jegyzet Jolán"));
    EXPECT_TRUE(text.contains("Hívás"));

    w->aNyomErtesit->trigger();
    EXPECT_EQ(user.ofKind("preview").back().title, "Értesítések");
    EXPECT_TRUE(text.contains("Levél"));

    // The notes window prints its owner's notes, at once or previewed.
    text.clear();
    user.onModal("frm_Megjegyzes", [](QDialog& d) {
        d.findChild<QAction*>("aNyomtat")->trigger();
        d.reject();
    });
    w->aMegjegyzes->trigger();
    EXPECT_EQ(user.ofKind("print").back().title, "Megjegyzések");
    EXPECT_TRUE(text.contains("Jegyzet Jolán"));
    EXPECT_TRUE(text.contains("Hívás"));
    user.onModal("frm_Ertesit", [](QDialog& d) {
        d.findChild<QAction*>("aNyomtatKep")->trigger();
        d.reject();
    });
    w->aErtesit->trigger();
    EXPECT_EQ(user.ofKind("preview").back().title, "Értesítések");
}

}  // namespace
