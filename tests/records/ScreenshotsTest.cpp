#include <QTabWidget>

#include "app/Main/Beall.h"
#include "app/Main/Beallit.h"
#include "app/records/Cikkszam_valaszt.h"
#include "app/records/Termek_Szerkeszt.h"
#include "app/records/TorzsCeg.h"
#include "app/records/TorzsCeg_Szerkeszt.h"
#include "app/records/TorzsTipus.h"
#include "app/records/Ugyfel_valaszt.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

// Not a check: with NYILVEX_SCREENSHOTS naming a folder, saves a picture of
// every list, picker and edit window over the sample database, to look at.
TEST(RecordsScreenshots, EveryWindowOnTheSampleDatabase)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) GTEST_SKIP() << "NYILVEX_SCREENSHOTS not set";
    TempHome home;
    BuildTestDatabase(home.path() + "/db", true);
    Connection conn{DatabaseAlias};
    conn.setParams(Connection::paradoxParams(home.path() + "/db"));
    Beall.referenceRight = true;
    Beall.databaseFolder = home.path() + "/db";

    ScriptedInteraction user;
    auto shoot = [&](const QString& form, const QString& file, std::function<void(QDialog&)> then = {}) {
        ShootModal(user, folder, form, file, std::move(then));
    };
    auto editToo = [&](const QString& form, const QString& file) {
        shoot(form + "_Szerkeszt", file + "_szerkeszt");
        shoot(form, file, [](QDialog& d) { d.findChild<QAction*>("aSzerkeszt")->trigger(); });
    };
    const std::pair<Torzs, const char*> lists[] = {
        {Torzs::Tipus, "TorzsTipus"},         {Torzs::Uzletkoto, "TorzsUzletkoto"},
        {Torzs::Beosztas, "TorzsBeosztas"},   {Torzs::Prioritas, "TorzsPrioritas"},
        {Torzs::Allapot, "TorzsAllapot"},     {Torzs::Feleredmeny, "TorzsFeleredmeny"},
        {Torzs::Feltipus, "TorzsFeltipus"},
    };
    for (const auto& [list, form] : lists) {
        editToo(QString("frm_") + form, form);
        ShowList(list, -1, true);
    }
    editToo("frm_TorzsNevnap", "TorzsNevnap");
    ShowNameDayList();
    shoot("frm_TorzsCeg", "TorzsCeg");
    ShowCompanyList(-1, false);
    shoot("frm_Ugyfel_valaszt", "Ugyfel_valaszt");
    PickCustomer(-1);
    shoot("frm_Cikkszam_valaszt", "Cikkszam_valaszt");
    PickProduct(-1);

    TableDataSet companies(&conn);
    companies.setTableName("ceg.DB");
    companies.open();
    shoot("frm_TorzsCeg_Szerkeszt", "TorzsCeg_Szerkeszt");
    EditCompany(companies, false);
    TableDataSet products(&conn);
    products.setTableName("termek.DB");
    products.open();
    shoot("frm_Termek_Szerkeszt", "Termek_Szerkeszt");
    EditProduct(products, false);
    shoot("frm_Beallit", "Beallit", [folder](QDialog& d) {
        d.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        SaveShot(d, folder, "Beallit_feladatok");
    });
    ShowSettingsDialog(nullptr);
}
