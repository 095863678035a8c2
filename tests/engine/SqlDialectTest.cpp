// The dialect beyond the program's own statements: what an administrator may
// type, the messages for what is wrong, and statements that happen whole or
// not at all.

#include <gtest/gtest.h>

#include "SqlFixture.h"

using namespace engine;
using namespace sqltest;

namespace {

class Dialect : public SqlDb {
protected:
    Dialect() { withLayout_ = false; }

    void SetUp() override
    {
        SqlDb::SetUp();
        exec("CREATE TABLE ceg (ceg AUTOINC, ceg_nev CHAR(20), PRIMARY KEY (ceg))");
        exec("CREATE TABLE ugyfel (ugyfel AUTOINC, nev CHAR(10), ceg INT, datum DATE, pont NUMERIC, aktiv BOOLEAN, "
             "megj BLOB(0,1), PRIMARY KEY (ugyfel))");
        exec("INSERT INTO ceg (ceg_nev) VALUES ('Alfa'), ('Béta')");
        exec("INSERT INTO ugyfel (nev, ceg, datum, pont, aktiv) VALUES ('Éva', 1, '2024-03-07', 1.5, TRUE), "
             "('ádám', 2, '2023-12-31', 2, FALSE), ('Zoé', 1, NULL, NULL, NULL), (NULL, 3, '2024-01-01', 0, TRUE)");
    }
};

}  // namespace

TEST_F(Dialect, ErrorsSayWhatIsWrong)
{
    EXPECT_NE(error("SELECT * FROM nincs").find("Ismeretlen tábla: „nincs”"), std::string::npos);
    EXPECT_NE(error("SELECT nincs FROM ugyfel").find("Ismeretlen mező: „nincs”"), std::string::npos);
    EXPECT_NE(error("SELECT u.nev FROM ugyfel x").find("Ismeretlen tábla: „u”"), std::string::npos);
    EXPECT_NE(error("SELECT ceg FROM ugyfel LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)")
                  .find("Nem egyértelmű mezőnév: „ceg”"),
              std::string::npos);
    EXPECT_NE(error("UPDATE ugyfel SET nincs = 1").find("Ismeretlen mező: „ugyfel.nincs”"), std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel WHERE nev = 5").find("Típushiba"), std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel WHERE datum = '2024-02-30'").find("érvénytelen dátum"), std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel WHERE ugyfel = :pid").find("Hiányzó paraméter: „:pid”"),
              std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel ORDER BY 9").find("ORDER BY 9. oszlopa nem létezik"), std::string::npos);
    EXPECT_NE(error("SELECT nev, COUNT(*) FROM ugyfel").find("GROUP BY"), std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel WHERE COUNT(*) > 1").find("összesítő függvény itt nem"),
              std::string::npos);
    EXPECT_NE(error("INSERT INTO ugyfel (nev) VALUES ('a', 'b')").find("Az értékek száma (2)"), std::string::npos);
    EXPECT_NE(error("INSERT INTO ugyfel (nev) VALUES ('Túl hosszú név')").find("legfeljebb 10 karakter"),
              std::string::npos);
    EXPECT_NE(error("INSERT INTO ugyfel (ceg) VALUES ('x')").find("Típushiba"), std::string::npos);
    EXPECT_NE(error("CREATE TABLE ceg (a INT)").find("ceg"), std::string::npos);
    EXPECT_NE(error("CREATE TABLE t (a INT, b INT, PRIMARY KEY (b))").find("első mezőinek"), std::string::npos);
    EXPECT_NE(error("CREATE TABLE t (a INT, A CHAR(2))").find("kétszer"), std::string::npos);
    EXPECT_NE(error("ALTER TABLE ceg ADD ceg_nev CHAR(5)").find("már létezik"), std::string::npos);
    EXPECT_NE(error("SELECT * FROM ugyfel; DELETE FROM ugyfel").find("egyszerre csak egy utasítás"),
              std::string::npos);
    // Nothing of the last statement happened.
    auto r = query("SELECT COUNT(*) FROM ugyfel");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->value(0, 0)->asInt(), 4);
}

TEST_F(Dialect, ConditionsAndOrder)
{
    auto ids = [&](const std::string& where) {
        auto r = query("SELECT ugyfel FROM ugyfel WHERE " + where + " ORDER BY ugyfel");
        return r ? ints(*r, "ugyfel") : std::vector<int64_t>{};
    };
    EXPECT_EQ(ids("datum >= '2024-01-01'"), (std::vector<int64_t>{1, 4}));
    EXPECT_EQ(ids("datum < '2024-01-01' OR datum IS NULL"), (std::vector<int64_t>{2, 3}));
    EXPECT_EQ(ids("NOT (datum > '2024-01-01')"), (std::vector<int64_t>{2, 4}));  // blank is neither
    EXPECT_EQ(ids("pont > 1"), (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(ids("aktiv = TRUE"), (std::vector<int64_t>{1, 4}));
    EXPECT_EQ(ids("nev LIKE '_va'"), (std::vector<int64_t>{1}));
    EXPECT_EQ(ids("nev LIKE 'á%'"), (std::vector<int64_t>{2}));
    EXPECT_EQ(ids("nev LIKE 'Á%'"), (std::vector<int64_t>{}));  // LIKE tells case apart
    EXPECT_EQ(ids("UPPER(nev) LIKE 'Á%'"), (std::vector<int64_t>{2}));
    EXPECT_EQ(ids("LOWER(nev) = 'zoé'"), (std::vector<int64_t>{3}));
    EXPECT_EQ(ids("nev NOT LIKE '%o%'"), (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(ids("ceg <> 1 AND NOT (nev IS NULL)"), (std::vector<int64_t>{2}));
    EXPECT_EQ(ids("datum - 1 = '2024-03-06'"), (std::vector<int64_t>{1}));

    auto byParam = query("SELECT ugyfel FROM ugyfel WHERE datum <= :d AND nev <> :n",
                         {{"D", D(2024, 3, 7)}, {"n", T("Éva")}});
    ASSERT_TRUE(byParam);
    EXPECT_EQ(ints(*byParam, "ugyfel"), (std::vector<int64_t>{2}));

    // Hungarian order, blanks first; DESC turns it, blanks last.
    auto names = query("SELECT nev FROM ugyfel ORDER BY nev");
    ASSERT_TRUE(names);
    EXPECT_EQ(texts(*names, "nev"), (std::vector<std::string>{"-", "ádám", "Éva", "Zoé"}));
    auto desc = query("SELECT nev FROM ugyfel ORDER BY 1 DESC");
    ASSERT_TRUE(desc);
    EXPECT_EQ(texts(*desc, "nev"), (std::vector<std::string>{"Zoé", "Éva", "ádám", "-"}));
}

// Conditions over more rows than are tested at once find what one by one
// finds, also where a run of rows ends.
TEST_F(Dialect, ConditionsOverManyRows)
{
    std::vector<int64_t> expected;
    for (int i = 0; i < 2600; ++i) {
        const std::string nev = (i % 2 ? "é" : "a") + std::to_string(i);
        const int64_t id = add("ugyfel", {{"nev", T(nev)}, {"ceg", I(i % 3)}, {"megj", i % 5 ? Value() : T("x")}});
        if (i % 3 == 2 && nev.find("7") != std::string::npos && nev[0] != 'a') expected.push_back(id);
    }
    auto r = query("SELECT ugyfel FROM ugyfel WHERE ceg = 2 AND UPPER(nev) LIKE 'É%7%' ORDER BY ugyfel");
    ASSERT_TRUE(r);
    EXPECT_EQ(ints(*r, "ugyfel"), expected);
    auto memo = query("SELECT COUNT(*) AS n FROM ugyfel WHERE ceg = 1 AND megj IS NOT NULL");
    ASSERT_TRUE(memo);
    EXPECT_EQ(at(*memo, 0, "n"), I(173));
}

TEST_F(Dialect, JoinsAggregatesAndConstants)
{
    auto r = query("SELECT u.nev AS ki, c.ceg_nev, 'x' AS jel, 7 AS szam, u.ugyfel * 10 FROM ugyfel u "
                   "LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) ORDER BY u.ugyfel");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->columns()[0].name, "ki");
    EXPECT_EQ(r->columns()[3].type, FieldType::Long);
    EXPECT_EQ(texts(*r, "ceg_nev"), (std::vector<std::string>{"Alfa", "Béta", "Alfa", "-"}));
    EXPECT_EQ(texts(*r, "jel"), (std::vector<std::string>{"x", "x", "x", "x"}));
    EXPECT_EQ(ints(*r, "EXPR"), (std::vector<int64_t>{10, 20, 30, 40}));

    auto inner = query("SELECT ugyfel.*, ceg.* FROM ugyfel JOIN ceg ON ugyfel.ceg = ceg.ceg ORDER BY ceg_nev DESC");
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->rowCount(), 3u);
    EXPECT_EQ(inner->columns().back().name, "ceg_nev");
    EXPECT_EQ(inner->columns()[inner->columns().size() - 2].name, "ceg_1");  // the second "ceg"

    auto groups = query("SELECT ceg, COUNT(*), COUNT(datum), MIN(nev), MAX(pont), SUM(ugyfel), AVG(pont) FROM ugyfel "
                        "GROUP BY ceg ORDER BY 2 DESC, ceg");
    ASSERT_TRUE(groups);
    ASSERT_EQ(groups->rowCount(), 3u);
    EXPECT_EQ(ints(*groups, "ceg"), (std::vector<int64_t>{1, 2, 3}));
    EXPECT_EQ(ints(*groups, "COUNT"), (std::vector<int64_t>{2, 1, 1}));
    EXPECT_EQ(groups->value(0, 2)->asInt(), 1);
    EXPECT_EQ(texts(*groups, "MIN")[0], "Éva");
    EXPECT_EQ(groups->value(0, 5)->asInt(), 4);
    EXPECT_DOUBLE_EQ(groups->value(0, 6)->asFloat(), 1.5);

    auto empty = query("SELECT COUNT(*), SUM(pont) FROM ugyfel WHERE ugyfel > 100");
    ASSERT_TRUE(empty);
    ASSERT_EQ(empty->rowCount(), 1u);
    EXPECT_EQ(empty->value(0, 0)->asInt(), 0);
    EXPECT_TRUE(empty->value(0, 1)->isNull());

    auto distinct = query("SELECT DISTINCT ceg FROM ugyfel ORDER BY ceg DESC");
    ASSERT_TRUE(distinct);
    EXPECT_EQ(ints(*distinct, "ceg"), (std::vector<int64_t>{3, 2, 1}));
}

TEST_F(Dialect, ChangesAreWholeOrNothing)
{
    // The third row is too long: none of the three is stored.
    EXPECT_NE(error("INSERT INTO ugyfel (nev) VALUES ('a'), ('b'), ('tizenegy betű')").find("legfeljebb"),
              std::string::npos);
    // The store refuses the second row's key: the first is taken back.
    exec("CREATE TABLE kod (kod CHAR(5), nev CHAR(10), PRIMARY KEY (kod))");
    exec("INSERT INTO kod VALUES ('A', 'egy'), ('B', 'kettő'), ('C', 'három')");
    EXPECT_FALSE(run("INSERT INTO kod VALUES ('D', 'négy'), ('A', 'másik')").isOk());
    // An UPDATE that would give two rows the same key changes nothing.
    EXPECT_FALSE(run("UPDATE kod SET kod = 'X' WHERE kod <> 'C'").isOk());
    auto kod = query("SELECT kod, nev FROM kod ORDER BY kod");
    ASSERT_TRUE(kod);
    EXPECT_EQ(texts(*kod, "kod"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(texts(*kod, "nev"), (std::vector<std::string>{"egy", "kettő", "három"}));
    // An UPDATE with a value too long for one row changes no row.
    EXPECT_FALSE(run("UPDATE ugyfel SET nev = nev || 'nagyon hosszú' WHERE ugyfel > 1").isOk());
    auto r = query("SELECT COUNT(*) FROM ugyfel WHERE nev LIKE '%hosszú'");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->value(0, 0)->asInt(), 0);

    EXPECT_EQ(exec("UPDATE ugyfel SET pont = pont + 1, nev = UPPER(nev) WHERE ceg = 1"), 2);
    auto up = query("SELECT nev, pont FROM ugyfel WHERE ceg = 1 ORDER BY ugyfel");
    ASSERT_TRUE(up);
    EXPECT_EQ(texts(*up, "nev"), (std::vector<std::string>{"ÉVA", "ZOÉ"}));
    EXPECT_DOUBLE_EQ(up->value(0, 1)->asFloat(), 2.5);
    EXPECT_TRUE(up->value(1, 1)->isNull());

    EXPECT_EQ(exec("INSERT INTO ugyfel (nev, ceg) SELECT ceg_nev, ceg FROM ceg"), 2);
    EXPECT_EQ(exec("DELETE FROM ugyfel WHERE ceg = 2"), 2);
    EXPECT_EQ(exec("DELETE FROM ugyfel"), 4);
    auto none = query("SELECT * FROM ugyfel");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->rowCount(), 0u);
}

TEST_F(Dialect, ResultsNeverShowChangedRows)
{
    auto r = query("SELECT nev, megj FROM ugyfel ORDER BY ugyfel");
    ASSERT_TRUE(r);
    EXPECT_EQ(texts(*r, "nev")[0], "Éva");
    // Results say whether a table they read changed, joined and grouped ones too.
    auto joined = query("SELECT nev, ceg_nev FROM ugyfel LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)");
    auto grouped = query("SELECT ceg, COUNT(*) FROM ugyfel GROUP BY ceg");
    ASSERT_TRUE(joined && grouped);
    for (const engine::QueryResult* q : {r.get(), joined.get(), grouped.get()}) EXPECT_FALSE(*q->changed());
    exec("UPDATE ceg SET ceg_nev = 'Gamma' WHERE ceg = 2");
    EXPECT_FALSE(*r->changed());
    EXPECT_TRUE(*joined->changed());
    EXPECT_FALSE(*grouped->changed());
    exec("UPDATE ugyfel SET nev = 'Más' WHERE ugyfel = 1");
    EXPECT_TRUE(*r->changed());
    EXPECT_TRUE(*grouped->changed());
    auto v = r->value(0, 0);
    ASSERT_FALSE(v.isOk());
    EXPECT_NE(v.status().message().find("megváltozott"), std::string::npos);
    // A fresh run sees the change.
    auto again = query("SELECT nev FROM ugyfel ORDER BY ugyfel");
    ASSERT_TRUE(again);
    EXPECT_EQ(texts(*again, "nev")[0], "Más");
    EXPECT_FALSE(again->value(99, 0).isOk());
}

TEST_F(Dialect, SingleStatementsWithoutASession)
{
    auto memo = runSql(*db_, cp("UPDATE ugyfel SET megj = :m WHERE ugyfel = 2"),
                       {{"m", T(std::string(5000, 'x') + "ő")}});
    ASSERT_TRUE(memo.isOk()) << memo.status().message();
    EXPECT_EQ(memo->rowsAffected, 1);
    auto r = runSql(*db_, cp("select MEGJ from UGYFEL where Ugyfel = 2;"));
    ASSERT_TRUE(r.isOk()) << r.status().message();
    ASSERT_TRUE(r->rows);
    EXPECT_EQ(r->rows->value(0, 0)->asText().size(), 5001u);
    EXPECT_EQ(r->rows->columns()[0].type, FieldType::Memo);
    EXPECT_FALSE(runSql(*db_, "").isOk());
}

TEST_F(Dialect, LeftJoinsOnAKeyFindTheirRowsWhenRead)
{
    // Enough companies that a single value is found by a key lookup, and a
    // whole column through a map of the companies' keys.
    for (int c = 3; c <= 200; ++c) exec("INSERT INTO ceg (ceg_nev) VALUES ('Cég " + std::to_string(c) + "')");
    exec("UPDATE ugyfel SET ceg = NULL WHERE nev = 'Zoé'");
    exec("INSERT INTO ugyfel (nev, ceg) VALUES ('Nincs', 999)");
    const std::string sql = "SELECT u.nev, c.ceg_nev, c.ceg * 10 AS tiz FROM ugyfel u "
                            "LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) ORDER BY u.ugyfel";
    const std::vector<std::string> names = {"Alfa", "Béta", "", "Cég 3", ""};
    auto one = query(sql);
    ASSERT_TRUE(one);
    ASSERT_EQ(one->rowCount(), 5u);
    for (size_t r = one->rowCount(); r-- > 0;) {  // from the last row: each found on its own
        auto v = one->value(r, 1);
        ASSERT_TRUE(v.isOk()) << v.status().message();
        EXPECT_EQ(v->isNull() ? "" : cp1250ToUtf8(v->asText()), names[r]) << r;
    }
    EXPECT_TRUE(at(*one, 2, "tiz").isNull());
    EXPECT_EQ(at(*one, 3, "tiz").asInt(), 30);

    auto bulk = query(sql);
    ASSERT_TRUE(bulk);
    std::vector<Value> values;
    ASSERT_TRUE(bulk->values(1, 0, 5, values).isOk());
    ASSERT_EQ(values.size(), 5u);
    for (size_t r = 0; r < 5; ++r) EXPECT_EQ(values[r].isNull() ? "" : cp1250ToUtf8(values[r].asText()), names[r]);
    ASSERT_TRUE(bulk->values(2, 1, 3, values).isOk());
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].asInt(), 20);
    EXPECT_FALSE(bulk->values(1, 3, 3, values).isOk());  // past the last row
    EXPECT_TRUE(values.empty());

    // The text fields as views of what is stored, the same as the values; no
    // views of an expression.
    std::vector<std::string_view> views;
    ASSERT_TRUE(*bulk->texts(1, 0, 5, views));
    ASSERT_EQ(views.size(), 5u);
    for (size_t r = 0; r < 5; ++r) EXPECT_EQ(cp1250ToUtf8(std::string(views[r])), names[r]) << r;
    ASSERT_TRUE(*bulk->texts(0, 2, 3, views));
    EXPECT_EQ(cp1250ToUtf8(std::string(views[0])), "Zoé");
    EXPECT_FALSE(*bulk->texts(2, 0, 5, views));
    EXPECT_TRUE(views.empty());
    EXPECT_FALSE(bulk->texts(1, 3, 3, views).isOk());
    // In the order of another term, and none of a grouped result.
    auto sorted = query("SELECT u.nev, c.ceg_nev FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) "
                        "ORDER BY c.ceg_nev DESC, u.nev");
    ASSERT_TRUE(sorted);
    ASSERT_TRUE(*sorted->texts(0, 0, 5, views));
    ASSERT_TRUE(sorted->values(0, 0, 5, values).isOk());
    for (size_t r = 0; r < 5; ++r) EXPECT_EQ(std::string(views[r]), values[r].isNull() ? "" : values[r].asText()) << r;
    auto grouped = query("SELECT c.ceg_nev, COUNT(*) AS db FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) "
                         "GROUP BY c.ceg_nev");
    ASSERT_TRUE(grouped);
    EXPECT_FALSE(*grouped->texts(0, 0, 1, views));

    // A change of the joined table after the run, found partners or not,
    // and the result refuses its values.
    exec("UPDATE ceg SET ceg_nev = 'Gamma' WHERE ceg = 1");
    for (const auto* r : {one.get(), bulk.get()}) {
        auto v = r->value(0, 1);
        ASSERT_FALSE(v.isOk());
        EXPECT_NE(v.status().message().find("megváltozott"), std::string::npos);
        EXPECT_FALSE(r->values(1, 0, 5, values).isOk());
        EXPECT_FALSE(r->texts(1, 0, 5, views).isOk());
    }
    EXPECT_EQ(texts(*query(sql), "ceg_nev")[0], "Gamma");
}

TEST_F(Dialect, OrderByTermsOfEveryKind)
{
    exec("CREATE TABLE t (id AUTOINC, n INT, x NUMERIC, s CHAR(20), PRIMARY KEY (id))");
    exec("INSERT INTO t (n, x, s) VALUES (5, -1.5, '06-30/123'), (NULL, 0, NULL), (-3, 2.25, '(1) 2'), "
         "(5, NULL, '06-30/123'), (0, -0.0, '+36 1'), (-3, -7, 'Kovács'), (NULL, 1000000, ''), "
         "(7, -1000000, '06 30')");
    auto ids = [&](const std::string& tail) {
        std::vector<int64_t> out;
        auto r = query("SELECT id FROM t " + tail);
        for (size_t i = 0; r && i < r->rowCount(); ++i) out.push_back(r->value(i, 0)->asInt());
        return out;
    };
    using V = std::vector<int64_t>;
    // Blanks first, equal values in key order; DESC turns it all.
    EXPECT_EQ(ids("ORDER BY n"), V({2, 7, 3, 6, 5, 1, 4, 8}));
    EXPECT_EQ(ids("ORDER BY n DESC"), V({8, 1, 4, 5, 3, 6, 2, 7}));
    EXPECT_EQ(ids("ORDER BY n, id"), ids("ORDER BY n"));
    EXPECT_EQ(ids("ORDER BY n DESC, x"), V({8, 4, 1, 5, 6, 3, 2, 7}));
    EXPECT_EQ(ids("ORDER BY x"), V({4, 8, 6, 1, 2, 5, 3, 7}));  // -0 equals 0
    EXPECT_EQ(ids("ORDER BY x DESC"), V({7, 3, 2, 5, 1, 6, 8, 4}));
    // Texts in the collation's order, with letters and of digits and
    // punctuation alone (the empty text is stored blank).
    EXPECT_EQ(ids("ORDER BY s, id"), V({2, 7, 3, 5, 8, 1, 4, 6}));
    EXPECT_EQ(ids("ORDER BY s DESC"), V({6, 1, 4, 8, 5, 3, 2, 7}));
    EXPECT_EQ(ids("WHERE id <> 6 ORDER BY s DESC"), V({1, 4, 8, 5, 3, 2, 7}));
    // The smallest integer there is still sorts after the blanks.
    EXPECT_EQ(ids("ORDER BY n * 0 - 9223372036854775807 - 1, id"), V({2, 7, 1, 3, 4, 5, 6, 8}));
    EXPECT_EQ(ids("ORDER BY n + 3 - 9223372036854775807 - 1"), ids("ORDER BY n"));
    EXPECT_EQ(ids("ORDER BY n + 3 - 9223372036854775807 - 1 DESC, x"), ids("ORDER BY n DESC, x"));
}

// A session runs many inserts of one shape (a loaded script): each one gets
// its own values and, when wrong, the same message a statement run alone gets.
TEST_F(Dialect, InsertsOfOneShapeKeepTheirOwnValuesAndPlaces)
{
    exec("CREATE TABLE sor (id INT, nev CHAR(12), ar NUMERIC, datum DATE, PRIMARY KEY (id))");
    const char* const inserts[] = {
        "INSERT INTO sor (id, nev, ar, datum) VALUES (1, 'első', 2.5, '2024-01-31')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (22, 'a második', 10.25, '2023-12-01')",
        "insert into sor (id, nev, ar, datum) values (3, 'it''s', 0.5, '2022-02-28')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (-4, '', -1.5, NULL)",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (5, 'öt', 7, '2021-05-05')",
        "INSERT INTO sor (nev, id, ar, datum) VALUES ('hat', 6, 6.5, '2020-06-06')",
    };
    for (const char* s : inserts) EXPECT_EQ(exec(s), 1) << s;
    auto r = query("SELECT id, nev, ar, datum FROM sor ORDER BY id");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->rowCount(), 6u);
    EXPECT_EQ(texts(*r, "nev"), (std::vector<std::string>{"-", "első", "it's", "öt", "hat", "a második"}));
    const int64_t ids[] = {-4, 1, 3, 5, 6, 22};
    const double prices[] = {-1.5, 2.5, 0.5, 7, 6.5, 10.25};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(r->value(i, 0)->asInt(), ids[i]);
        EXPECT_DOUBLE_EQ(r->value(i, 2)->asFloat(), prices[i]);
    }
    EXPECT_TRUE(r->value(0, 3)->isNull());
    EXPECT_EQ(*r->value(5, 3), D(2023, 12, 1));

    // Errors of a statement of the same shape name its own values and places.
    const std::string wrong[] = {
        "INSERT INTO sor (id, nev, ar, datum) VALUES (7, 'tizenhárom betű', 1.5, '2024-01-01')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (123456, 'x', 1.5, '2024-02-30')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (99999999999999999999, 'x', 1.5, '2024-01-01')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES (1, 'másik', 1.5, '2024-01-01')",
        "INSERT INTO sor (id, nev, ar, datum) VALUES ('8', 'x', 1.5, '2024-01-01')",
    };
    for (const std::string& s : wrong) {
        EXPECT_EQ(exec("INSERT INTO sor (id, nev, ar, datum) VALUES (100, 'jó', 1.5, '2024-01-01')"), 1);
        const std::string message = error(s);
        EXPECT_FALSE(message.empty()) << s;
        auto alone = runSql(*db_, cp(s));
        ASSERT_FALSE(alone.isOk()) << s;
        EXPECT_EQ(message, alone.status().message()) << s;
        // The next good statement of the shape still runs as written.
        EXPECT_EQ(exec("INSERT INTO sor (id, nev, ar, datum) VALUES (101, 'jó is', 2.5, '2024-01-02')"), 1);
        EXPECT_EQ(exec("DELETE FROM sor WHERE id >= 100"), 2);
    }
    EXPECT_NE(error(wrong[2]).find("túl nagy szám"), std::string::npos);
    EXPECT_NE(error(wrong[0]).find("(1. sor, 49. oszlop)"), std::string::npos) << error(wrong[0]);

    // The same shape on another table or field is another statement.
    exec("CREATE TABLE mas (id INT, cim CHAR(5), ar NUMERIC, datum DATE)");
    EXPECT_EQ(exec("INSERT INTO mas (id, cim, ar, datum) VALUES (1, 'x', 2.5, '2024-01-31')"), 1);
    EXPECT_NE(error("INSERT INTO mas (id, nev, ar, datum) VALUES (1, 'x', 2.5, '2024-01-31')").find("Ismeretlen mező"),
              std::string::npos);
    auto count = query("SELECT COUNT(*) FROM sor");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->value(0, 0)->asInt(), 6);
}
