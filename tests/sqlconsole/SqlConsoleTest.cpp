#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include "app/Main/Beall.h"
#include "app/sqlconsole/SQL.h"
#include "common/DataSet.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestDatabase.h"
#include "widgets/DBGrid.h"

namespace {

QStringList trimmed(const QStringList& list)
{
    QStringList out;
    for (const QString& s : list) out << s.trimmed();
    return out;
}

class SqlConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BuildTestDatabase(home.path() + "/db");
        conn.setParams(Connection::paradoxParams(home.path() + "/db"));
        for (const char* n : {"Kiss Anna", "Nagy Béla"})
            conn.execSql(QString("INSERT INTO ugyfel (Ugyfel_nev, ffino) VALUES ('%1', 0)").arg(n));
        for (const char* e : {"a@pelda.hu", "a;b@pelda.hu"})
            conn.execSql(QString("INSERT INTO emil (emil, nev) VALUES ('%1', 'x')").arg(e));
    }

    QStringList column(const QString& sql)
    {
        QueryDataSet q(&conn);
        q.setSql({sql});
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) out << q.fields().front()->asString();
        return out;
    }

    // Opens the console, lets `script` use it and closes it.
    void run(const std::function<void(Tfrm_SQL&)>& script)
    {
        user.onModal("frm_SQL", [script](QDialog& d) {
            script(static_cast<Tfrm_SQL&>(d));
            d.reject();
        });
        ShowSqlConsole(nullptr);
    }

    TempHome home;
    Connection conn{DatabaseAlias};
    ScriptedInteraction user;
};

}  // namespace

TEST(SqlRunSplit, SplitsAsTheEngineDoesAndKnowsASelectPastComments)
{
    EXPECT_TRUE(SplitSqlRun("  select * from ugyfel").query);
    EXPECT_TRUE(SplitSqlRun("-- lista\n/* mind */ SELECT * FROM ugyfel").query);
    const SqlRun two = SplitSqlRun("SELECT * FROM ugyfel; SELECT * FROM ceg");
    EXPECT_TRUE(two.query);
    EXPECT_EQ(two.statements.size(), 1);

    const SqlRun run = SplitSqlRun("DELETE FROM emil -- a régit; mind\n WHERE emil = 'a;b'; /* ; */\n"
                                   "UPDATE ugyfel SET ffino=1");
    EXPECT_FALSE(run.query);
    EXPECT_EQ(trimmed(run.statements),
              QStringList({"DELETE FROM emil -- a régit; mind\n WHERE emil = 'a;b'", "/* ; */\nUPDATE ugyfel SET ffino=1"}));
    EXPECT_EQ(SplitSqlRun("DELETE FROM emil; DELETE FROM naplo;").statements.size(), 2);
    EXPECT_TRUE(SplitSqlRun(" ;\n-- semmi\n").statements.isEmpty());
    EXPECT_THROW(SplitSqlRun("UPDATE ugyfel SET Ugyfel_nev='✓'"), DbError);
}

TEST_F(SqlConsoleTest, SelectShowsItsRowsAndExportsThem)
{
    const QString file = home.path() + "/eredmeny.csv";
    user.onModal("frm_Hatarolt", [file](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("Edit1")->text(), "");
        d.findChild<QLineEdit*>("Edit1")->setText(file);
        d.findChild<QPushButton*>("Button1")->click();
        d.reject();
    });
    run([](Tfrm_SQL& w) {
        EXPECT_EQ(w.windowTitle(), "SQL lekérdezés");
        EXPECT_FALSE(w.aExport->isEnabled());
        w.Memo1->setText("  select Ugyfel_nev from ugyfel order by Ugyfel_nev");
        w.aFuttat->trigger();
        EXPECT_EQ(w.Pg1->currentIndex(), 1);
        EXPECT_EQ(w.Qry->recordCount(), 2);
        EXPECT_EQ(w.DBGrid1->columnWidth(0), 64);
        ASSERT_TRUE(w.aExport->isEnabled());
        w.aExport->trigger();
    });
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Ugyfel_nev;\r\nKiss Anna;\r\nNagy B\xE9la;\r\n"));
}

TEST_F(SqlConsoleTest, StatementsRunOneByOneAndASemicolonInAStringOrCommentCutsNothing)
{
    run([](Tfrm_SQL& w) {
        w.Memo1->setText("UPDATE ugyfel SET ffino=1;\n"
                         "DELETE FROM emil -- a régit; mind\n"
                         " WHERE emil = 'a;b@pelda.hu'\n");
        w.aFuttat->trigger();
        EXPECT_EQ(w.ProgressBar1->maximum(), 2);
        EXPECT_FALSE(w.ProgressBar1->isVisible());
        EXPECT_FALSE(w.aExport->isEnabled());
        EXPECT_TRUE(w.aFuttat->isEnabled());
    });
    EXPECT_EQ(user.messages(), QStringList{"SQL futtatás kész.\n2 utasítás futott le."});
    EXPECT_EQ(column("SELECT ffino FROM ugyfel"), QStringList({"1", "1"}));
    EXPECT_EQ(column("SELECT emil FROM emil"), QStringList{"a@pelda.hu"});
}

TEST_F(SqlConsoleTest, OnlyTheSelectionRunsAndAFailureStopsTheRest)
{
    run([](Tfrm_SQL& w) {
        w.Memo1->setText("UPDATE ugyfel SET ffino=5;\nUPDATE ugyfel SET ffino=2;");
        w.Memo1->setSelection(1, 0, 1, 26);
        w.aFuttat->trigger();
        w.Memo1->setText("UPDATE ugyfel SET ffino=3; UPDATE nincs SET x=1; UPDATE ugyfel SET ffino=4;");
        w.aFuttat->trigger();
        EXPECT_TRUE(w.ProgressBar1->isVisible());
        EXPECT_EQ(w.ProgressBar1->value(), 1);
        // A SELECT the engine rejects keeps the SQL page.
        w.Memo1->setText("SELECT * FROM ugyfel; SELECT * FROM ceg");
        w.aFuttat->trigger();
        EXPECT_EQ(w.Pg1->currentIndex(), 0);
        EXPECT_FALSE(w.aExport->isEnabled());
        // Text Windows-1250 cannot hold runs nothing.
        w.Memo1->setText("UPDATE ugyfel SET ffino=9; UPDATE ugyfel SET Ugyfel_nev='✓'");
        w.aFuttat->trigger();
    });
    ASSERT_EQ(user.messages().size(), 4);
    EXPECT_EQ(user.messages()[0], "SQL futtatás kész.\n1 utasítás futott le.");
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(user.messages()[i].startsWith("SQL hiba:\n")) << i;
    EXPECT_TRUE(user.messages()[1].contains("2. utasítás"));
    EXPECT_EQ(column("SELECT ffino FROM ugyfel"), QStringList({"3", "3"}));
}

TEST_F(SqlConsoleTest, FilesAreSavedAndOpenedAsWindows1250Lines)
{
    const QString file = home.path() + "/lekerdezes.sql";
    user.files = {file, "", file};
    run([file](Tfrm_SQL& w) {
        w.Memo1->setText("SELECT *\nFROM ugyfel -- ügyfelek\n");
        w.aMent->trigger();
        EXPECT_EQ(w.fileName(), file);
        w.aUj->trigger();
        EXPECT_EQ(w.Memo1->text(), "");
        EXPECT_EQ(w.fileName(), file);
        w.aMegnyit->trigger();  // cancelled
        EXPECT_EQ(w.Memo1->text(), "");
        w.aMegnyit->trigger();
        EXPECT_EQ(w.Memo1->text(), "SELECT *\r\nFROM ugyfel -- ügyfelek\r\n");
    });
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("SELECT *\r\nFROM ugyfel -- \xFCgyfelek\r\n"));
    const auto saves = user.ofKind("save");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].title, "SQL mentése");
    // No SQL folder in the program folder: the dialog starts at home.
    EXPECT_EQ(saves[0].text, QDir::homePath());

    // Text a SQL file cannot hold is refused, the earlier file kept.
    user.files = {file};
    run([](Tfrm_SQL& w) {
        w.Memo1->setText("SELECT '✓' FROM ugyfel");
        w.aMent->trigger();
        EXPECT_EQ(w.fileName(), "");
    });
    EXPECT_TRUE(user.errors().last().startsWith("Hiba: "));
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("SELECT *\r\nFROM ugyfel -- \xFCgyfelek\r\n"));
}
