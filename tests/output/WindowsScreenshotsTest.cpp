// Screenshots of the export windows, the SQL console with a result, and the
// label and form-letter windows over the sample database, for a person to
// look at. Runs only when NYILVEX_SCREENSHOTS names a folder (under
// xvfb-run for real fonts).
#include <QAction>
#include <QDialog>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/output/Grid2Html.h"
#include "app/output/Hatarolt.h"
#include "app/output/Korlevel.h"
#include "app/output/TorzsCimke.h"
#include "app/sqlconsole/SQL.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"
#include "widgets/DBGrid.h"

TEST(OutputWindowsScreenshots, ExportsConsoleLabelsAndLetters)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty()) GTEST_SKIP() << "NYILVEX_SCREENSHOTS not set";
    TempHome home;
    BuildTestDatabase(home.path() + "/db", true);
    Connection conn{DatabaseAlias};
    conn.setParams(Connection::paradoxParams(home.path() + "/db"));
    Beall.databaseFolder = home.path() + "/db";
    Beall.referenceRight = true;

    ScriptedInteraction user;
    auto shoot = [&](const QString& form, const QString& file, std::function<void(QDialog&)> then = {}) {
        ShootModal(user, folder, form, file, std::move(then));
    };

    QueryDataSet customers(&conn);
    customers.setSql({"SELECT * FROM ugyfel ORDER BY Ugyfel_nev"});
    customers.open();
    shoot("frm_Hatarolt", "Hatarolt");
    ShowDelimitedExport(&customers, "Nyilvex_exp.CSV");
    DBGrid grid;
    grid.addColumn("Ugyfel_nev", "ügyfél", 200);
    grid.setDataSet(&customers);
    shoot("frm_Grid2Html", "Grid2Html");
    ShowHtmlExport(&grid, "Ügyfelek", QString());

    shoot("frm_SQL", "SQL", [folder](QDialog& d) {
        auto& c = static_cast<Tfrm_SQL&>(d);
        c.Memo1->setText("-- ügyfelek városonként\nSELECT Ugyfel_nev, Cim_varos\nFROM ugyfel\nWHERE Cim_varos LIKE 'S%'\n"
                         "ORDER BY Ugyfel_nev;");
        c.aFuttat->trigger();
        SaveShot(c, folder, "SQL_eredmeny");
    });
    ShowSqlConsole(nullptr);

    shoot("frm_TorzsCimke_Szerkeszt", "TorzsCimke_Szerkeszt");
    shoot("frm_TorzsCimke", "TorzsCimke", [](QDialog& d) { d.findChild<QAction*>("aSzerkeszt")->trigger(); });
    PickLabelLayout(nullptr, QString(), true);

    shoot("frm_Korlevel_Szerkeszt", "Korlevel_Szerkeszt");
    shoot("frm_Korlevel", "Korlevel", [](QDialog& d) { d.findChild<QAction*>("aSzerkeszt")->trigger(); });
    OpenFormLetters(nullptr, 1, &customers);
}
