// Query data sets, statements, batch append and the connection.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <optional>

#include "DbFixture.h"

namespace {

const QStringList kCustomerQuery = {
    "SELECT",
    " ugyfel.*,",
    " tipus.tipus_nev,",
    " ceg.ceg_nev,",
    " uzletkoto.uzletkoto_nev",
    "FROM ugyfel",
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
    " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
    " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)",
    "ORDER BY 1;",
};

const QStringList kNewsletterQuery = {
    "SELECT", " emil1 AS emil,", " ugyfel_nev AS nev,", " 'N' AS kuldve,", " 0 AS csoport,",
    " vnev,", " knev,", " honap,", " nap", "FROM ugyfel", "WHERE NOT (emil1 IS NULL)",
};

class QueryTest : public DbTest {
protected:
    void addCompaniesAndCustomers()
    {
        for (int i = 1; i <= 6; ++i) addRow("ceg", {{"ceg_nev", QStringLiteral("Cég %1").arg(i)}});
        addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Zoltán")}, {"ceg", 5}, {"Emil1", QStringLiteral("z@x.hu")}});
        addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Ágnes")}, {"ceg", 5}, {"honap", 1}, {"nap", 21}});
        addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Béla")}, {"ceg", 2}, {"Emil1", QStringLiteral("b@x.hu")}});
        addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Cecília")}, {"ceg", 42}});  // its company is gone
    }
};

}  // namespace

TEST_F(QueryTest, CustomerQueryWithCompanyFilterAndSortLine)
{
    addCompaniesAndCustomers();
    QueryDataSet q(conn.get());
    q.setSql(kCustomerQuery);
    q.sql().removeLast();
    q.sql().append("ORDER BY ugyfel_nev;");
    q.setDisplayLabel("ugyfel_nev", QStringLiteral("ügyfél"));
    q.open();
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ágnes", "Béla", "Cecília", "Zoltán"}));
    EXPECT_EQ(column(q, "ceg_nev"), QStringList({"Cég 5", "Cég 2", "", "Cég 5"}));
    EXPECT_EQ(q.fieldByName("UGYFEL_NEV")->displayLabel(), "ügyfél");
    EXPECT_EQ(q.fieldByName("ugyfel_nev")->dataType(), engine::FieldType::Alpha);
    EXPECT_EQ(q.fieldByName("ugyfel_nev")->size(), 100);
    EXPECT_THROW(q.edit(), DbError);  // the rows of a query are read-only

    q.setFilter("ceg=5");
    q.setFiltered(true);
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ágnes", "Zoltán"}));
    EXPECT_TRUE(q.locate("ugyfel_nev", QStringLiteral("zol"), DataSet::CaseInsensitive | DataSet::PartialKey));
    EXPECT_EQ(q.recNo(), 2);
    q.setFilter("ceg=0");
    EXPECT_TRUE(q.isEmpty());
    q.setFiltered(false);
    EXPECT_EQ(q.recordCount(), 4);

    // The main window's re-sort: close, replace the last line, open, locate.
    ASSERT_TRUE(q.locate("ugyfel_nev", QStringLiteral("Béla")));
    const int key = q.fieldByName("ugyfel")->asInteger();
    q.close();
    q.sql().removeLast();
    q.sql().append("ORDER BY ceg_nev;");
    q.open();
    EXPECT_TRUE(q.locate("ugyfel", key));
    EXPECT_EQ(q.fieldByName("ugyfel_nev")->asString(), "Béla");
}

// The main window's title click: another last line, the rows of the open
// query sorted anew, the filtered ones and the current one kept; a change
// made meanwhile by another handle is run in full and shows.
TEST_F(QueryTest, ReopenWithAnotherLastLineSortsTheRowsAgain)
{
    addCompaniesAndCustomers();
    QueryDataSet q(conn.get());
    q.setSql(kCustomerQuery);
    q.reopenWithLastLine("ORDER BY ugyfel_nev;");  // closed: opens
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ágnes", "Béla", "Cecília", "Zoltán"}));
    q.setFilter("ceg=5");
    q.setFiltered(true);
    ASSERT_TRUE(q.locate("ugyfel_nev", QStringLiteral("Zoltán")));
    int resets = 0;
    QObject::connect(&q, &DataSet::rowsChanged, [&] { ++resets; });

    q.reopenWithLastLine("ORDER BY ugyfel DESC;");
    EXPECT_EQ(q.sql().last(), "ORDER BY ugyfel DESC;");
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ágnes", "Zoltán"}));
    EXPECT_EQ(q.fieldByName("ugyfel_nev")->asString(), "Zoltán");
    EXPECT_EQ(q.recNo(), 2);
    q.setFiltered(false);
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Cecília", "Béla", "Ágnes", "Zoltán"}));
    EXPECT_EQ(q.recNo(), 4);
    q.reopenWithLastLine("ORDER BY ceg_nev;");  // a joined column, blanks first
    EXPECT_EQ(column(q, "ceg_nev"), QStringList({"", "Cég 2", "Cég 5", "Cég 5"}));
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Cecília", "Béla", "Zoltán", "Ágnes"}));
    EXPECT_EQ(q.fieldByName("ugyfel_nev")->asString(), "Zoltán");
    // The filter's column, kept from the first order, read in this one.
    q.setFilter("ceg=2");
    q.setFiltered(true);
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Béla"}));
    q.setFilter("ceg=5");
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Zoltán", "Ágnes"}));
    q.setFiltered(false);

    // The same as a fresh run, value for value.
    QueryDataSet fresh(conn.get());
    fresh.setSql(q.sql());
    fresh.open();
    ASSERT_EQ(fresh.recordCount(), q.recordCount());
    for (int f = 0; f < q.fieldCount(); ++f)
        for (int row = 0; row < q.recordCount(); ++row)
            EXPECT_EQ(q.valueAt(row, f), fresh.valueAt(row, f)) << f << " " << row;

    // Another handle adds a customer of company 5: the next order shows it.
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Ábris")}, {"ceg", 5}});
    q.setFiltered(true);
    q.reopenWithLastLine("ORDER BY ugyfel_nev;");
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ábris", "Ágnes", "Zoltán"}));
    EXPECT_EQ(q.recNo(), 1);  // read anew: as after open()

    // A line the engine refuses leaves the query closed, as close and open would.
    EXPECT_THROW(q.reopenWithLastLine("ORDER BY nincs;"), DbError);
    EXPECT_FALSE(q.isActive());
    EXPECT_EQ(q.sql().last(), "ORDER BY nincs;");
}

TEST_F(QueryTest, ParametersAreTyped)
{
    addCompaniesAndCustomers();
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Dátumos")}, {"Datum", QDate(2024, 3, 7)}});
    QueryDataSet q(conn.get());
    q.setSql({"SELECT ugyfel_nev FROM ugyfel", "WHERE ceg = :pceg", "ORDER BY ugyfel_nev"});
    q.setParam("pceg", QueryDataSet::ParamType::Integer, 5);
    q.open();
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ágnes", "Zoltán"}));
    q.close();
    q.setParam(":PCEG", QueryDataSet::ParamType::Integer, QStringLiteral("2"));
    q.open();
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Béla"}));
    q.close();
    EXPECT_THROW(q.setParam("pceg", QueryDataSet::ParamType::Integer, QStringLiteral("két")), DbError);

    q.clearParams();
    q.setSql({"SELECT ugyfel_nev FROM ugyfel WHERE Datum = :pdat"});
    q.setParam("pdat", QueryDataSet::ParamType::Date, QDate(2024, 3, 7));
    q.open();
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Dátumos"}));
    q.close();

    q.setSql({"SELECT ugyfel_nev FROM ugyfel WHERE ugyfel_nev = :pnev"});
    q.setParam("pnev", QueryDataSet::ParamType::Text, QStringLiteral("Ágnes"));
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    q.close();

    // A statement for its effect, as the reminder update sends it.
    QueryDataSet upd(conn.get());
    upd.setSql({"UPDATE ugyfel SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE ugyfel=:pid;"});
    upd.setParam("pdat", QueryDataSet::ParamType::Date, QDate(2024, 4, 1));
    upd.setParam("pszoveg", QueryDataSet::ParamType::Text, QStringLiteral("Hívd fel őt"));
    upd.setParam("pid", QueryDataSet::ParamType::Integer, 2);
    EXPECT_EQ(upd.execSql(), 1);
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.open();
    ASSERT_TRUE(t.locate("ugyfel", 2));
    EXPECT_EQ(t.fieldByName("figy_szoveg")->asString(), "Hívd fel őt");
    EXPECT_EQ(t.fieldByName("dat_figy")->asDate(), QDate(2024, 4, 1));

    QueryDataSet bad(conn.get());
    bad.setSql({"SELECT * FROM nincsilyen"});
    EXPECT_THROW(bad.open(), DbError);
    EXPECT_FALSE(bad.isActive());
    bad.setSql({"UPDATE ugyfel SET nap = 1 WHERE ugyfel = -1"});
    EXPECT_THROW(bad.open(), DbError);  // opening needs rows
}

// A value written by one layer is the same moment when the other reads it:
// the data sets, SQL conditions and the engine agree on dates and times.
TEST_F(QueryTest, DatesAndTimesMeanTheSameThroughDataSetsAndSql)
{
    QueryDataSet ddl(conn.get());
    ddl.setSql({"CREATE TABLE idok (n INTEGER, d DATE, t TIME, ts TIMESTAMP)"});
    ddl.execSql();

    TableDataSet t(conn.get());
    t.setTableName("idok.db");
    t.open();
    t.append();
    t.fieldByName("n")->setValue(1);
    t.fieldByName("d")->setValue(QDate(2026, 12, 9));
    t.fieldByName("t")->setValue(QTime(12, 47, 5));
    t.fieldByName("ts")->setValue(QDateTime(QDate(2026, 12, 9), QTime(12, 47, 5)));
    t.post();
    t.close();

    QueryDataSet q(conn.get());
    q.setSql({"SELECT n FROM idok WHERE d = '2026-12-09' AND t = '12:47:05'",
              " AND ts = '2026-12-09 12:47:05' AND ts < '2026-12-10'"});
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    q.close();

    ddl.setSql({"INSERT INTO idok (n, d, t, ts) VALUES (2, '2000-02-29', '23:59:59', '2000-02-29 23:59:59')"});
    ddl.execSql();
    t.open();
    ASSERT_TRUE(t.locate("n", 2));
    EXPECT_EQ(t.fieldByName("d")->value(), QVariant(QDate(2000, 2, 29)));
    EXPECT_EQ(t.fieldByName("t")->value(), QVariant(QTime(23, 59, 59)));
    EXPECT_EQ(t.fieldByName("ts")->value(), QVariant(QDateTime(QDate(2000, 2, 29), QTime(23, 59, 59))));

    // A moment read from a query converts back to itself.
    q.setSql({"SELECT ts FROM idok WHERE n = :pn"});
    q.setParam("pn", QueryDataSet::ParamType::Integer, 1);
    q.open();
    EXPECT_EQ(q.fieldByName("ts")->value(), QVariant(QDateTime(QDate(2026, 12, 9), QTime(12, 47, 5))));
}

TEST_F(QueryTest, RefreshRunsTheQueryAgain)
{
    addCompaniesAndCustomers();
    QueryDataSet q(conn.get());
    q.setSql({"SELECT ugyfel_nev FROM ugyfel ORDER BY ugyfel_nev"});
    q.open();
    q.setRecNo(2);
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Zsolt")}});
    EXPECT_EQ(q.recordCount(), 4);
    q.refresh();
    EXPECT_EQ(q.recordCount(), 5);
    EXPECT_EQ(q.recNo(), 2);
}

TEST_F(QueryTest, LongResultsAreFilteredAndSearchedInBlocks)
{
    // More rows than a block of the filter and of the search; the last
    // customer's tasks are the last ones.
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Első")}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Utolsó Ügyfél")}});
    constexpr int kTasks = 40000;
    for (int first = 1; first <= kTasks; first += 1000) {
        QStringList rows;
        for (int f = first; f < first + 1000; ++f)
            rows << QStringLiteral("('F %1', '%2', %3)").arg(f).arg(f % 3 == 0 ? "I" : "N").arg(f > kTasks - 5 ? 2 : 1);
        conn->execSql("INSERT INTO feladat (rovid, lezarva, ugyfel) VALUES " + rows.join(", "));
    }
    QueryDataSet q(conn.get());
    q.setSql({"SELECT feladat.*, ugyfel.ugyfel_nev FROM feladat",
              " LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)", "ORDER BY feladat;"});
    q.setFilter("lezarva='N'");
    q.setFiltered(true);
    q.open();
    EXPECT_EQ(q.recordCount(), kTasks - kTasks / 3);
    EXPECT_EQ(q.fieldByName("rovid")->asString(), "F 1");

    EXPECT_TRUE(q.locate("ugyfel_nev", QStringLiteral("utolsó"), DataSet::CaseInsensitive | DataSet::PartialKey));
    EXPECT_EQ(q.fieldByName("rovid")->asString(), "F 39997");  // 39996 is closed
    EXPECT_TRUE(q.locate("feladat", 30001));
    EXPECT_EQ(q.recNo(), 20001);
    EXPECT_FALSE(q.locate("feladat", 30000));  // filtered out
    EXPECT_EQ(q.recNo(), 20001);
    q.setFiltered(false);
    EXPECT_TRUE(q.locate("rovid;lezarva", {QStringLiteral("F 30000"), QStringLiteral("I")}));
    EXPECT_EQ(q.recNo(), 30000);

    // Rows changed under the open query cannot be read any more: a filter
    // on another column says so, and a search finds nothing.
    conn->execSql("UPDATE feladat SET rovid = 'más' WHERE feladat = 1");
    q.setFilter("rovid='F 2'");
    EXPECT_THROW(q.setFiltered(true), DbError);
    EXPECT_FALSE(q.locate("rovid", QStringLiteral("F 7")));
    q.refresh();
    EXPECT_TRUE(q.locate("rovid", QStringLiteral("más")));
}

TEST_F(QueryTest, BatchAppendCopiesColumnByColumnAndSkipsRefusedRows)
{
    addCompaniesAndCustomers();
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Hosszú")}, {"Emil1", QStringLiteral("h@x.hu")},
                      {"knev", QStringLiteral("Keresztnév")}, {"honap", 5}, {"nap", 3}});
    addRow("emil", {{"emil", QStringLiteral("régi@x.hu")}});

    QueryDataSet q(conn.get());
    q.setSql(kNewsletterQuery);
    TableDataSet emil(conn.get());
    emil.setTableName("emil.DB");
    emil.setExclusive(true);
    q.open();
    emil.open();
    emil.emptyTable();
    EXPECT_EQ(batchAppend(q, emil), 3);
    EXPECT_EQ(emil.recordCount(), 3);
    ASSERT_TRUE(emil.locate("emil", QStringLiteral("h@x.hu")));
    EXPECT_EQ(emil.fieldByName("nev")->asString(), "Hosszú");
    EXPECT_EQ(emil.fieldByName("kuldve")->value(), QVariant(false));  // 'N' is not sent yet
    EXPECT_EQ(emil.fieldByName("csoport")->value(), QVariant(0));
    EXPECT_EQ(emil.fieldByName("knev")->asString(), "Keresztnév");
    EXPECT_EQ(emil.fieldByName("honap")->asInteger(), 5);

    // Into a table whose key refuses duplicates and whose name is shorter.
    addRow("allapot", {{"allapot", 2}, {"allapot_nev", QStringLiteral("Megvan")}});
    QueryDataSet src(conn.get());
    src.setSql({"SELECT ceg AS allapot, ugyfel_nev AS allapot_nev FROM ugyfel", "WHERE NOT (ceg IS NULL)",
                "ORDER BY ugyfel"});
    TableDataSet allapot(conn.get());
    allapot.setTableName("allapot.DB");
    // Zoltán (5) stored; Ágnes (5 again) refused; Béla (2) refused: 2 exists;
    // Cecília (42) stored.
    EXPECT_EQ(batchAppend(src, allapot), 2);
    EXPECT_EQ(column(allapot, "allapot"), QStringList({"2", "5", "42"}));
    EXPECT_TRUE(allapot.isActive());

    TableDataSet tipus(conn.get());
    tipus.setTableName("tipus.DB");
    QueryDataSet names(conn.get());
    names.setSql({"SELECT ugyfel, ugyfel_nev FROM ugyfel ORDER BY ugyfel"});
    addRow("ugyfel", {{"Ugyfel_nev", QString(30, QLatin1Char('x'))}});  // longer than tipus_nev
    EXPECT_EQ(batchAppend(names, tipus), 5);  // the auto-increment key is the table's own
}

TEST_F(QueryTest, ConnectionClosesItsDataSetsAndReconnects)
{
    addCompaniesAndCustomers();
    Connection named("Nyilvex");
    named.setParams(Connection::paradoxParams(folder()));
    EXPECT_EQ(Connection::byName("nyilvex"), &named);
    EXPECT_EQ(named.folder(), folder());
    EXPECT_TRUE(named.params().contains("DEFAULT DRIVER=PARADOX"));
    EXPECT_TRUE(named.params().contains("ENABLE BCD=FALSE"));

    TableDataSet t(&named);
    t.setTableName("ceg.DB");
    QueryDataSet q(&named);
    q.setSql({"SELECT * FROM ugyfel"});
    t.open();
    q.open();
    EXPECT_TRUE(named.isConnected());
    int closedSignals = 0;
    QObject::connect(&t, &DataSet::closed, [&] { ++closedSignals; });
    named.close();
    EXPECT_FALSE(named.isConnected());
    EXPECT_FALSE(t.isActive());
    EXPECT_FALSE(q.isActive());
    EXPECT_EQ(closedSignals, 1);
    t.open();  // reconnects
    EXPECT_TRUE(named.isConnected());
    EXPECT_EQ(t.recordCount(), 6);

    const QStringList tables = named.tableNames();
    EXPECT_EQ(tables.size(), 25);
    EXPECT_TRUE(tables.contains("ugyfel", Qt::CaseInsensitive));
    EXPECT_FALSE(tables.contains("ugyfel.DB", Qt::CaseInsensitive));
    EXPECT_EQ(named.fieldNames("Nevnap.DB"), QStringList({"Honap", "Nap", "Nev"}));
    EXPECT_EQ(named.execSql("UPDATE ceg SET telefon = '1' WHERE ceg <= 2"), 2);

    Connection missing;
    missing.setParams(Connection::paradoxParams(QDir(folder()).filePath("nincs")));
    try {
        missing.open();
        FAIL() << "a missing folder connected";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Az adatbázis mappája nem található")) << e.message().toStdString();
    }
    TableDataSet orphan(&missing);
    orphan.setTableName("ceg.DB");
    EXPECT_THROW(orphan.open(), DbError);

    TableDataSet noTable(&named);
    noTable.setTableName("nincsilyen.DB");
    EXPECT_THROW(noTable.open(), DbError);
}

// A list kept open while another handle changes and deletes its rows: it
// knows cheaply that it is outdated, runs again keeping its filter, its
// order and its current row by key (the first row when that one is gone),
// and a value it can no longer give is read anew instead of shown blank.
TEST_F(QueryTest, OutdatedRowsAreReadAgainKeepingTheCurrentRowByKey)
{
    addCompaniesAndCustomers();
    QueryDataSet q(conn.get());
    q.setSql(kCustomerQuery);
    q.sql().removeLast();
    q.sql().append("ORDER BY ugyfel_nev;");
    q.setKeyField("ugyfel");
    q.setFilter("ceg=5");
    q.setFiltered(true);
    q.open();
    ASSERT_TRUE(q.locate("ugyfel_nev", QStringLiteral("Zoltán")));
    const int zoltan = q.fieldByName("ugyfel")->asInteger();
    EXPECT_FALSE(q.isOutdated());
    bool kept = false;
    EXPECT_FALSE(q.refreshIfOutdated(&kept));
    EXPECT_TRUE(kept);

    Connection other;
    other.setParams(conn->params());
    other.execSql(QStringLiteral("UPDATE ugyfel SET ugyfel_nev='Ábrahám', emil1='a@x.hu' WHERE ugyfel_nev='Zoltán'"));
    other.execSql(QStringLiteral("INSERT INTO ugyfel (ugyfel_nev, ceg) VALUES ('Aladár', 5), ('Elek', 2)"));
    EXPECT_TRUE(q.isOutdated());
    // The key remembered as the row became current, without reading anew.
    EXPECT_EQ(q.currentKey().toInt(), zoltan);
    EXPECT_TRUE(q.isOutdated());
    EXPECT_TRUE(q.refreshIfOutdated(&kept));
    EXPECT_TRUE(kept);
    EXPECT_FALSE(q.isOutdated());
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ábrahám", "Ágnes", "Aladár"}));
    EXPECT_EQ(q.fieldByName("ugyfel")->asInteger(), zoltan);
    EXPECT_EQ(q.fieldByName("emil1")->asString(), "a@x.hu");
    EXPECT_EQ(q.recNo(), 1);

    // The current row removed: the first row that passes the filter.
    ASSERT_TRUE(q.locate("ugyfel_nev", QStringLiteral("Ágnes")));
    other.execSql(QStringLiteral("DELETE FROM ugyfel WHERE ugyfel_nev='Ágnes'"));
    EXPECT_TRUE(q.refreshIfOutdated(&kept));
    EXPECT_FALSE(kept);
    EXPECT_EQ(column(q, "ugyfel_nev"), QStringList({"Ábrahám", "Aladár"}));
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.fieldByName("ugyfel")->asInteger(), zoltan);

    // A changed joined table counts too.
    ASSERT_TRUE(q.locate("ugyfel_nev", QStringLiteral("Aladár")));
    const int aladar = q.fieldByName("ugyfel")->asInteger();
    other.execSql(QStringLiteral("UPDATE ceg SET ceg_nev='Ötödik' WHERE ceg=5"));
    EXPECT_TRUE(q.isOutdated());
    // A value of the current row asked for after the change is read from
    // the rows run again, never given blank; the row stays.
    EXPECT_EQ(q.fieldByName("ceg_nev")->asString(), "Ötödik");
    EXPECT_FALSE(q.isOutdated());
    EXPECT_EQ(q.fieldByName("ugyfel")->asInteger(), aladar);

    // Views get blank while they paint and the new rows right after the
    // event they paint in.
    int argc = 1;
    char arg0[] = "common_tests";
    char* argv[] = {arg0, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance()) app.emplace(argc, argv);
    other.execSql(QStringLiteral("UPDATE ugyfel SET ugyfel_nev='Adorján' WHERE ugyfel_nev='Aladár'"));
    const int name = q.fieldByName("ugyfel_nev")->index();
    int resets = 0;
    QObject::connect(&q, &DataSet::rowsChanged, [&] { ++resets; });
    EXPECT_EQ(q.valueAt(1, name), QVariant());
    EXPECT_EQ(resets, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(q.valueAt(1, name).toString(), "Adorján");
    EXPECT_EQ(q.fieldByName("ugyfel")->asInteger(), aladar);
}
