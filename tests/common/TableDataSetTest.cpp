// Table data sets on the real layout: navigation, locate, filter, editing,
// lookup fields, order and index changes, and other writers.
#include "DbFixture.h"

namespace {

class TableTest : public DbTest {
protected:
    void addTypes(std::initializer_list<const char*> names)
    {
        for (const char* n : names) addRow("tipus", {{"tipus_nev", QString::fromUtf8(n)}});
    }

    void addCustomers(std::initializer_list<const char*> names)
    {
        for (const char* n : names) addRow("ugyfel", {{"Ugyfel_nev", QString::fromUtf8(n)}});
    }
};

}  // namespace

TEST_F(TableTest, NavigatesInIndexOrderWithEndFlags)
{
    addTypes({"Vevő", "Beszállító", "Partner"});
    TableDataSet t(conn.get());
    t.setTableName("TIPUS.db");  // any letter case
    t.setIndexName("idx_tipus_nev");
    t.open();
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Beszállító", "Partner", "Vevő"}));
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_FALSE(t.eof());

    QStringList seen;
    for (t.first(); !t.eof(); t.next()) seen << t.fieldByName("TIPUS_NEV")->asString();
    EXPECT_EQ(seen, QStringList({"Beszállító", "Partner", "Vevő"}));
    EXPECT_EQ(t.recNo(), 3);  // next() on the last row stays there

    t.prior();
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_FALSE(t.eof());
    t.first();
    t.prior();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 1);

    t.moveBy(10);
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_TRUE(t.eof());
    t.setRecNo(2);
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Partner");
    t.setRecNo(99);
    EXPECT_EQ(t.recNo(), 3);
    t.last();
    EXPECT_EQ(t.currentRow(), 2);
}

TEST_F(TableTest, EmptyTableHasNoCurrentRow)
{
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.open();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.fieldByName("tipus_nev")->isNull());
    EXPECT_THROW(t.remove(), DbError);
    EXPECT_THROW(t.fieldByName("nincs_ilyen"), DbError);
    EXPECT_EQ(t.findField("nincs_ilyen"), nullptr);
}

TEST_F(TableTest, LocatesExactlyAndByCaseInsensitivePrefixWithAccents)
{
    addCustomers({"Kovács Ödön", "kocsis Ábel", "Öreg Ádám", "ödönfalvi Éva", "Őri Géza", "Szabó Ilona"});
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.setIndexName("idx_ugyfel_nev");
    t.open();
    const int ci = DataSet::CaseInsensitive;
    const int prefix = DataSet::CaseInsensitive | DataSet::PartialKey;
    Field* name = t.fieldByName("ugyfel_nev");

    EXPECT_TRUE(t.locate("Ugyfel_nev", QStringLiteral("ko"), prefix));
    EXPECT_EQ(name->asString(), "kocsis Ábel");  // first in Hungarian order
    EXPECT_TRUE(t.locate("ugyfel_nev", QStringLiteral("KOV"), prefix));
    EXPECT_EQ(name->asString(), "Kovács Ödön");
    EXPECT_TRUE(t.locate("ugyfel_nev", QStringLiteral("ÖD"), prefix));
    EXPECT_EQ(name->asString(), "ödönfalvi Éva");
    EXPECT_TRUE(t.locate("ugyfel_nev", QStringLiteral("ő"), prefix));
    EXPECT_EQ(name->asString(), "Őri Géza");  // ő is not ö
    EXPECT_TRUE(t.locate("ugyfel_nev", QStringLiteral("öreg á"), prefix));
    EXPECT_EQ(name->asString(), "Öreg Ádám");

    EXPECT_TRUE(t.locate("ugyfel_nev", QStringLiteral("SZABÓ ILONA"), ci));
    EXPECT_EQ(name->asString(), "Szabó Ilona");
    // Not found leaves the row where it was.
    EXPECT_FALSE(t.locate("ugyfel_nev", QStringLiteral("szabó ilona"), 0));
    EXPECT_FALSE(t.locate("ugyfel_nev", QStringLiteral("Szabó"), ci));
    EXPECT_FALSE(t.locate("ugyfel_nev", QStringLiteral("zz"), prefix));
    EXPECT_FALSE(t.locate("ugyfel_nev", QStringLiteral("中"), prefix));
    EXPECT_EQ(name->asString(), "Szabó Ilona");

    // By key, given as a number or as a text.
    const int key = t.fieldByName("Ugyfel")->asInteger();
    t.first();
    EXPECT_TRUE(t.locate("ugyfel", key));
    EXPECT_EQ(name->asString(), "Szabó Ilona");
    t.first();
    EXPECT_TRUE(t.locate("ugyfel", QString::number(key)));
    EXPECT_EQ(name->asString(), "Szabó Ilona");
    EXPECT_FALSE(t.locate("ugyfel", QStringLiteral("abc")));
}

TEST_F(TableTest, LocatesOverSeveralFieldsAndBlanks)
{
    addRow("nevnap", {{"Honap", 3}, {"Nap", 7}, {"Nev", QStringLiteral("Tamás")}});
    addRow("nevnap", {{"Honap", 3}, {"Nap", 7}, {"Nev", QStringLiteral("Perpétua")}});
    addRow("nevnap", {{"Honap", 3}, {"Nap", 8}, {"Nev", QStringLiteral("Zoltán")}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Névtelen")}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Van cége")}, {"ceg", 0}});

    TableDataSet n(conn.get());
    n.setTableName("Nevnap.DB");
    n.setIndexFieldNames("Honap;Nap;Nev");
    n.setReadOnly(true);
    n.open();
    EXPECT_EQ(column(n, "Nev"), QStringList({"Perpétua", "Tamás", "Zoltán"}));
    EXPECT_TRUE(n.locate("Honap;Nap", QVariantList{3, 8}));
    EXPECT_EQ(n.fieldByName("nev")->asString(), "Zoltán");
    EXPECT_THROW(n.locate("Honap;Nap", QVariantList{3}), DbError);
    EXPECT_THROW(n.edit(), DbError);  // read-only

    TableDataSet u(conn.get());
    u.setTableName("ugyfel.DB");
    u.open();
    EXPECT_TRUE(u.locate("ceg", 0));
    EXPECT_EQ(u.fieldByName("ugyfel_nev")->asString(), "Van cége");
    EXPECT_TRUE(u.locate("ceg", QVariant()));  // blank is not 0
    EXPECT_EQ(u.fieldByName("ugyfel_nev")->asString(), "Névtelen");
}

TEST_F(TableTest, FilterSwitchesOnAndOffAndRefusesBadText)
{
    for (int i = 1; i <= 6; ++i)
        addRow("feladat", {{"rovid", QStringLiteral("feladat %1").arg(i)},
                           {"lezarva", QString(i % 3 == 0 ? "I" : "N")},
                           {"ceg", i % 2},
                           {"dat_hatid", QDate(2024, 3, i)}});
    TableDataSet t(conn.get());
    t.setTableName("feladat.DB");
    t.setFilter("lezarva='N'");
    t.setFiltered(true);
    t.open();
    EXPECT_EQ(column(t, "rovid"), QStringList({"feladat 1", "feladat 2", "feladat 4", "feladat 5"}));

    t.setRecNo(3);  // feladat 4 stays current through filter changes that keep it
    t.setFilter("(lezarva = 'N') and (ceg=0)");
    EXPECT_EQ(column(t, "rovid"), QStringList({"feladat 2", "feladat 4"}));
    EXPECT_EQ(t.fieldByName("rovid")->asString(), "feladat 4");

    t.setFilter("((dat_hatid<='2024.03.04') and (dat_hatid<>NULL))");
    EXPECT_EQ(t.recordCount(), 4);

    // A bad filter is refused with a message and the rows stay as they were.
    try {
        t.setFilter("lezarva='N' or ceg=1");
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Hibás szűrőfeltétel")) << e.message().toStdString();
    }
    EXPECT_EQ(t.filter(), "((dat_hatid<='2024.03.04') and (dat_hatid<>NULL))");
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_THROW(t.setFilter("nincsilyen=1"), DbError);
    EXPECT_EQ(t.recordCount(), 4);

    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 6);
    t.setFilter("ceg=5");  // kept for when filtering is on again
    EXPECT_EQ(t.recordCount(), 6);
    t.setFiltered(true);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    t.setFilter("");
    EXPECT_EQ(t.recordCount(), 6);

    // A bad filter set while filtering is off stops the next opening.
    t.close();
    t.setFiltered(false);
    t.setFilter("lezarva=");
    t.open();
    EXPECT_THROW(t.setFiltered(true), DbError);
    EXPECT_FALSE(t.filtered());
    EXPECT_EQ(t.recordCount(), 6);
}

TEST_F(TableTest, PostKeepsThePostedRowCurrentWithItsKey)
{
    addTypes({"Alfa", "Gamma"});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.setIndexName("idx_tipus_nev");
    t.open();
    t.last();
    t.append();
    EXPECT_EQ(t.state(), DataSet::State::Insert);
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_TRUE(t.fieldByName("tipus")->isNull());
    t.fieldByName("tipus_nev")->setValue(QStringLiteral("Béta"));
    EXPECT_EQ(t.displayTextAt(t.currentRow(), 1), "Béta");  // the edit buffer shows in views
    t.post();
    EXPECT_EQ(t.state(), DataSet::State::Browse);
    EXPECT_EQ(t.fieldByName("tipus")->asInteger(), 3);  // the store's key, read back
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Béta");
    EXPECT_EQ(t.recNo(), 2);  // in its sorted place
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Alfa", "Béta", "Gamma"}));
    t.flushBuffers();

    t.edit();
    t.fieldByName("tipus_nev")->setValue(QStringLiteral("Zéta"));
    t.post();
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.fieldByName("tipus")->asInteger(), 3);

    t.first();
    t.edit();
    t.fieldByName("tipus_nev")->setValue(QStringLiteral("Omega"));
    t.cancel();
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Alfa");
    t.insert();
    t.cancel();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Alfa");
}

TEST_F(TableTest, RefusedPostKeepsStateValuesAndMessage)
{
    addRow("allapot", {{"allapot", 1}, {"allapot_nev", QStringLiteral("Új")}, {"keszenvan", QStringLiteral("N")}});
    TableDataSet t(conn.get());
    t.setTableName("allapot.DB");
    t.open();
    t.append();
    t.fieldByName("allapot")->setValue(1);
    t.fieldByName("allapot_nev")->setValue(QStringLiteral("Másik"));
    try {
        t.post();
        FAIL() << "duplicate key posted";
    } catch (const DbError& e) {
        EXPECT_FALSE(e.message().isEmpty());
        EXPECT_EQ(e.code(), engine::ErrorCode::DuplicateKey);
    }
    EXPECT_EQ(t.state(), DataSet::State::Insert);
    EXPECT_EQ(t.fieldByName("allapot_nev")->asString(), "Másik");
    t.fieldByName("allapot")->setValue(2);
    t.post();
    EXPECT_EQ(t.recordCount(), 2);

    // A hook that refuses keeps the edit state too.
    t.beforePost = [](DataSet& ds) {
        if (ds.fieldByName("allapot_nev")->isNull()) throw DbError("Hiányos, vagy hibás adatmegadás");
    };
    t.edit();
    t.fieldByName("allapot_nev")->clear();
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), DataSet::State::Edit);
    // Moving posts first, so a refused post stops the move.
    EXPECT_THROW(t.first(), DbError);
    EXPECT_EQ(t.state(), DataSet::State::Edit);
    t.cancel();
}

TEST_F(TableTest, FieldsRefuseTextsTheTableCannotHold)
{
    addTypes({"Vevő"});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.open();
    Field* name = t.fieldByName("tipus_nev");
    EXPECT_THROW(name->setValue(QStringLiteral("x")), DbError);  // not editing
    t.edit();
    try {
        name->setValue(QString(26, QLatin1Char('a')));
        FAIL() << "too long accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("25")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("26")) << e.message().toStdString();
    }
    EXPECT_EQ(name->asString(), "Vevő");
    try {
        name->setValue(QStringLiteral("Vevő 中"));
        FAIL() << "character outside Windows-1250 accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("中")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("Windows-1250")) << e.message().toStdString();
    }
    EXPECT_EQ(name->asString(), "Vevő");
    name->setValue(QString(25, QChar(0x0151)));  // ő: 25 characters fit, whatever their UTF-8 length
    EXPECT_EQ(name->asString().size(), 25);
    EXPECT_THROW(t.fieldByName("tipus")->setValue(5), DbError);  // the store numbers the rows
    t.post();
}

TEST_F(TableTest, BlankIsNeitherZeroNorEmptyText)
{
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Üres")}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Nullás")}, {"honap", 0}, {"Datum", QDate(2024, 3, 7)}});
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.open();
    Field* honap = t.fieldByName("honap");
    Field* datum = t.fieldByName("datum");
    EXPECT_TRUE(honap->isNull());
    EXPECT_EQ(honap->asInteger(), 0);
    EXPECT_EQ(honap->displayText(), "");
    EXPECT_FALSE(datum->asDate().isValid());
    t.next();
    EXPECT_FALSE(honap->isNull());
    EXPECT_EQ(honap->displayText(), "0");
    EXPECT_EQ(datum->asDate(), QDate(2024, 3, 7));
    EXPECT_EQ(datum->displayText(), "2024. 03. 07.");

    t.edit();
    honap->setValue(QStringLiteral(""));
    EXPECT_TRUE(honap->isNull());
    EXPECT_THROW(honap->setValue(QStringLiteral("tizenkettő")), DbError);
    EXPECT_THROW(datum->setValue(QStringLiteral("2024.02.30")), DbError);
    EXPECT_EQ(datum->asDate(), QDate(2024, 3, 7));
    datum->setValue(QStringLiteral("2024. 02. 29."));
    t.fieldByName("Telefon_magan")->setValue(QStringLiteral(""));
    t.post();
    EXPECT_TRUE(honap->isNull());
    EXPECT_TRUE(t.fieldByName("Telefon_magan")->isNull());
    EXPECT_EQ(datum->asDate(), QDate(2024, 2, 29));
}

TEST_F(TableTest, EditOnEmptyStartsAnInsertAndHooksRun)
{
    TableDataSet t(conn.get());
    t.setTableName("ugyf_megj.DB");
    t.setIndexFieldNames("ugyf_megj");
    int scrolls = 0;
    int posts = 0;
    t.onNewRecord = [](DataSet& ds) { ds.fieldByName("datum")->setValue(QDate(2024, 3, 7)); };
    t.afterPost = [&](DataSet&) { ++posts; };
    t.afterScroll = [&](DataSet&) { ++scrolls; };
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), DataSet::State::Insert);
    EXPECT_EQ(t.fieldByName("datum")->asDate(), QDate(2024, 3, 7));
    t.fieldByName("rovid")->setValue(QStringLiteral("Első"));
    t.post();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(t.fieldByName("ugyf_megj")->asInteger(), 1);
    t.append();
    t.fieldByName("rovid")->setValue(QStringLiteral("Második"));
    t.first();  // moving posts the pending row
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_GT(scrolls, 0);
}

TEST_F(TableTest, RemovesRowsAndEmptiesTheTable)
{
    addTypes({"A", "B", "C"});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.setFilter("tipus<>2");
    t.setFiltered(true);
    t.open();
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"A", "C"}));
    t.first();
    t.remove();
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"C"}));
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "C");
    t.setFiltered(false);
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"B", "C"}));
    t.emptyTable();
    EXPECT_TRUE(t.isEmpty());
    t.close();
    t.open();
    EXPECT_TRUE(t.isEmpty());
}

TEST_F(TableTest, LookupFieldsShowNamesThroughLinks)
{
    const int vevo = addRow("tipus", {{"tipus_nev", QStringLiteral("Vevő")}});
    const int acme = addRow("ceg", {{"ceg_nev", QStringLiteral("Ácsmester Kft.")}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Egy")}, {"tipus", vevo}, {"ceg", acme}});
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Kettő")}, {"tipus", 99}, {"ceg", 77}});  // links to no row
    addRow("ugyfel", {{"Ugyfel_nev", QStringLiteral("Három")}});

    TableDataSet xTipus(conn.get());
    xTipus.setTableName("tipus.DB");
    xTipus.setReadOnly(true);
    TableDataSet xCeg(conn.get());
    xCeg.setTableName("ceg.DB");
    xCeg.setReadOnly(true);
    TableDataSet t(conn.get());
    t.setTableName("ugyfel.DB");
    t.addLookupField("tipus_nev", "tipus", &xTipus, "tipus", "tipus_nev", QStringLiteral("típus"));
    t.addLookupField("ceg_nev", "ceg", &xCeg, "ceg", "ceg_nev");
    t.open();

    Field* tipusNev = t.fieldByName("TIPUS_NEV");
    EXPECT_TRUE(tipusNev->isLookup());
    EXPECT_EQ(tipusNev->displayLabel(), "típus");
    EXPECT_EQ(t.fields().back()->fieldName(), "ceg_nev");  // lookup fields come last
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Vevő", "", ""}));
    EXPECT_EQ(column(t, "ceg_nev"), QStringList({"Ácsmester Kft.", "", ""}));

    // While editing, the name follows the link field.
    const int partner = addRow("tipus", {{"tipus_nev", QStringLiteral("Partner")}});
    t.setRecNo(3);
    t.edit();
    t.fieldByName("tipus")->setValue(partner);
    EXPECT_EQ(tipusNev->asString(), "Partner");
    EXPECT_THROW(tipusNev->setValue(QStringLiteral("Vevő")), DbError);
    t.post();
    EXPECT_EQ(tipusNev->asString(), "Partner");

    // A lookup through a field that is not the lookup table's key.
    TableDataSet xNev(conn.get());
    xNev.setTableName("tipus.DB");
    TableDataSet byName(conn.get());
    byName.setTableName("ugyfel.DB");
    byName.addLookupField("tipus_kod", "Ugyfel_nev", &xNev, "tipus_nev", "tipus");
    byName.open();
    EXPECT_TRUE(byName.locate("ugyfel_nev", QStringLiteral("Egy")));
    EXPECT_TRUE(byName.fieldByName("tipus_kod")->isNull());

    TableDataSet bad(conn.get());
    bad.setTableName("ugyfel.DB");
    bad.addLookupField("x", "nincs", &xTipus, "tipus", "tipus_nev");
    EXPECT_THROW(bad.open(), DbError);
    EXPECT_FALSE(bad.isActive());
}

TEST_F(TableTest, OrderChangesKeepTheCurrentRow)
{
    addRow("ceg", {{"ceg_nev", QStringLiteral("Bárka Bt.")}, {"cim_varos", QStringLiteral("Zalaegerszeg")}});
    addRow("ceg", {{"ceg_nev", QStringLiteral("Alma Kft.")}, {"cim_varos", QStringLiteral("Budapest")}});
    addRow("ceg", {{"ceg_nev", QStringLiteral("Cékla Zrt.")}, {"cim_varos", QStringLiteral("Debrecen")}});
    TableDataSet t(conn.get());
    t.setTableName("ceg.DB");
    t.setIndexName("idx_ceg_nev");
    t.open();
    EXPECT_EQ(column(t, "ceg_nev"), QStringList({"Alma Kft.", "Bárka Bt.", "Cékla Zrt."}));
    t.setRecNo(2);
    t.setIndexName("idx_cim_varos");
    EXPECT_EQ(column(t, "cim_varos"), QStringList({"Budapest", "Debrecen", "Zalaegerszeg"}));
    EXPECT_EQ(t.fieldByName("ceg_nev")->asString(), "Bárka Bt.");
    EXPECT_EQ(t.recNo(), 3);

    EXPECT_THROW(t.setIndexName("idx_nincs"), DbError);
    EXPECT_EQ(column(t, "cim_varos"), QStringList({"Budapest", "Debrecen", "Zalaegerszeg"}));
    EXPECT_EQ(t.fieldByName("ceg_nev")->asString(), "Bárka Bt.");
    t.setIndexFieldNames("ceg");
    EXPECT_EQ(column(t, "ceg_nev"), QStringList({"Bárka Bt.", "Alma Kft.", "Cékla Zrt."}));
}

TEST_F(TableTest, IndexMaintenanceOnAnExclusiveTable)
{
    addTypes({"Gamma", "Alfa", "Béta"});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.setExclusive(true);
    t.open();
    t.clearIndexes();
    t.addPrimaryIndex("tipus");
    t.addIndex("idx_tipus_nev", "tipus_nev", true, false);
    t.addIndex("idx_nev_desc", "tipus_nev", false, true);
    t.setIndexName("idx_tipus_nev");
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Alfa", "Béta", "Gamma"}));
    t.setIndexName("idx_nev_desc");
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Gamma", "Béta", "Alfa"}));
    t.close();

    // A shared handle may not restructure.
    TableDataSet shared(conn.get());
    shared.setTableName("tipus.DB");
    shared.open();
    EXPECT_THROW(shared.clearIndexes(), DbError);
}

TEST_F(TableTest, ReReadsWhatOtherWritersChanged)
{
    const int a = addRow("tipus", {{"tipus_nev", QStringLiteral("Alfa")}});
    const int b = addRow("tipus", {{"tipus_nev", QStringLiteral("Béta")}});
    TableDataSet t(conn.get());
    t.setTableName("tipus.DB");
    t.setIndexName("idx_tipus_nev");
    t.open();
    t.setRecNo(2);
    ASSERT_EQ(t.fieldByName("tipus")->asInteger(), b);

    // Another program adds a row that sorts before, and deletes Alfa.
    addRow("tipus", {{"tipus_nev", QStringLiteral("Ábécé")}});
    {
        auto other = otherHandle().openTable("tipus", engine::OpenMode::Shared);
        ASSERT_TRUE(other.isOk());
        auto id = (*other)->findKey({engine::Value::fromInt(a)});
        ASSERT_TRUE(id.isOk() && *id);
        ASSERT_TRUE((*other)->remove(**id).isOk());
    }
    t.refresh();
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Ábécé", "Béta"}));
    EXPECT_EQ(t.fieldByName("tipus")->asInteger(), b);  // found again by its key

    // Another data set in this program changes the current row; editing
    // here follows the other writer instead of changing a stale row.
    TableDataSet other(conn.get());
    other.setTableName("tipus.DB");
    other.open();
    ASSERT_TRUE(other.locate("tipus", b));
    other.edit();
    other.fieldByName("tipus_nev")->setValue(QStringLiteral("Aaa"));
    other.post();
    t.edit();
    EXPECT_EQ(t.fieldByName("tipus_nev")->asString(), "Aaa");
    t.fieldByName("tipus_nev")->setValue(QStringLiteral("Béta 2"));
    t.post();
    other.refresh();
    EXPECT_EQ(other.fieldByName("tipus_nev")->asString(), "Béta 2");

    // A current row deleted elsewhere cannot be edited.
    other.remove();
    EXPECT_THROW(t.edit(), DbError);
    EXPECT_EQ(t.state(), DataSet::State::Browse);
    EXPECT_EQ(column(t, "tipus_nev"), QStringList({"Ábécé"}));
}

TEST_F(TableTest, LabelsAndFormatsSurviveReopening)
{
    addRow("cimke", {{"cimke", QStringLiteral("A4 3x8")}, {"felsomargo", 12.5}, {"oszlop", 3}});
    TableDataSet t(conn.get());
    t.setTableName("cimke.DB");
    t.setDisplayFormat("FelsoMargo", "### ### ##0.00");
    t.setDisplayLabel("felsomargo", QStringLiteral("felső margó"));
    // The label is known before the fields are made (a status line names
    // the order of a list not opened yet).
    EXPECT_EQ(t.displayLabel("FelsoMargo"), "felső margó");
    EXPECT_EQ(t.displayLabel("oszlop"), "oszlop");
    t.open();
    Field* f = t.fieldByName("felsomargo");
    EXPECT_EQ(f->displayText(), "12,50");
    EXPECT_EQ(f->asString(), "12,5");
    EXPECT_EQ(f->asFloat(), 12.5);
    EXPECT_EQ(f->displayLabel(), "felső margó");
    EXPECT_EQ(f->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(t.fieldByName("cimke")->displayLabel(), "cimke");  // no label: its name
    EXPECT_EQ(t.fieldByName("cimke")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    t.fieldByName("oszlop")->setDisplayLabel(QStringLiteral("oszlopok"));
    t.close();
    EXPECT_EQ(t.displayLabel("oszlop"), "oszlopok");
    t.open();
    EXPECT_EQ(t.fieldByName("oszlop")->displayLabel(), "oszlopok");
    EXPECT_EQ(t.fieldByName("felsomargo"), f);  // the same field object
    EXPECT_EQ(f->displayText(), "12,50");
    t.edit();
    f->setValue(QStringLiteral("1 234,5"));
    EXPECT_EQ(f->displayText(), "1 234,50");
    t.post();
}
