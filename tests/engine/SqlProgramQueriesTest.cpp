// The statements the program sends, word for word, against a database of
// the real layout, and the rows each must give.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SqlFixture.h"
#include "engine/Filter.h"

using namespace engine;
using namespace sqltest;

namespace {

const std::string kCustomerQueryHead = lines({
    "SELECT",
    " ugyfel.*,",
    " tipus.tipus_nev,",
    " ceg.ceg_nev,",
    " uzletkoto.uzletkoto_nev",
    "FROM ugyfel",
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
    " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
    " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)",
});

const std::string kTaskQueryHead = lines({
    "SELECT",
    " feladat.*,",
    " ugyfel.ugyfel_nev,",
    " termek.cikkszam,",
    " termek.cikkszam_nev,",
    " allapot.allapot_nev,",
    " prioritas.prioritas_nev,",
    " prioritas.szin,",
    " feltipus.feltipus_nev,",
    " feleredmeny.feleredmeny_nev,",
    " ceg.ceg_nev",
    "FROM feladat",
    " LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)",
    " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)",
    " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)",
    " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)",
    " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)",
    " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)",
    " LEFT OUTER JOIN ceg ON (feladat.ceg = ceg.ceg)",
});

// Reads a query result's row for a filter.
class ResultRow : public RowValues {
public:
    ResultRow(const QueryResult& r, size_t row) : r_(r), row_(row) {}
    const Value& value(int column) const override
    {
        auto v = r_.value(row_, column);
        EXPECT_TRUE(v.isOk());
        held_ = v.isOk() ? *v : Value();
        return held_;
    }

private:
    const QueryResult& r_;
    size_t row_;
    mutable Value held_;
};

std::vector<int64_t> filtered(const QueryResult& r, const std::string& utf8Filter, const std::string& keyColumn)
{
    std::vector<Filter::Column> cols;
    for (const auto& c : r.columns()) cols.push_back({c.name, c.type});
    auto f = Filter::compile(cp(utf8Filter), cols);
    EXPECT_TRUE(f.isOk()) << f.status().message();
    std::vector<int64_t> keys;
    int key = -1;
    for (size_t c = 0; c < r.columns().size(); ++c)
        if (sameName(r.columns()[c].name, keyColumn)) key = int(c);
    for (size_t i = 0; f.isOk() && i < r.rowCount(); ++i)
        if (f->matches(ResultRow(r, i))) keys.push_back(r.value(i, key)->asInt());
    return keys;
}

class ProgramQueries : public SqlDb {
protected:
    void SetUp() override
    {
        SqlDb::SetUp();
        add("tipus", {{"tipus_nev", T("Vevő")}});
        add("tipus", {{"tipus_nev", T("Szállító")}});
        add("uzletkoto", {{"uzletkoto_nev", T("Kiss Ágnes")}});
        add("ceg", {{"ceg_nev", T("Csaba Kft.")}, {"cim_irsz", T("1111")}, {"cim_varos", T("Budapest")},
                    {"cim_cim", T("Fő u. 1.")}, {"telefon", T("1234567")},
                    {"kulcsszavak", T("Webáruház, szerviz")}});
        add("ceg", {{"ceg_nev", T("Cukor Bt.")}, {"cim_varos", T("Pécs")}});
        add("ugyfel", {{"Ugyfel_nev", T("Kovács Béla")}, {"ceg", I(1)}, {"tipus", I(1)}, {"uzletkoto", I(1)},
                       {"Emil1", T("kb@pelda.hu")}, {"kulcsszavak", T("árvíztűrő web")}, {"honap", I(3)},
                       {"nap", I(7)}, {"vnev", T("Kovács")}, {"knev", T("Béla")}, {"Cim_irsz", T("7621")},
                       {"Cim_varos", T("Pécs")}, {"Cim_cim", T("Széchenyi tér 1.")}});
        add("ugyfel", {{"Ugyfel_nev", T("Adam Péter")}, {"ceg", I(2)}, {"tipus", I(2)}});
        add("ugyfel", {{"Ugyfel_nev", T("Ábel Anna")}, {"ceg", I(99)}, {"tipus", I(5)}, {"Emil1", T("aa@pelda.hu")},
                       {"Cim_varos", T("Győr")}});
        add("ugyfel", {{"Ugyfel_nev", T("Csonka Ödön")}, {"Emil1", T("cs@pelda.hu")}, {"kulcsszavak", T("WEB")}});
        add("ugyfel", {{"Ugyfel_nev", T("Cukor Cecília")}, {"ceg", I(1)}});
        add("ugyfel", {{"ceg", I(2)}});  // no name
        add("termek", {{"cikkszam", T("T-1")}, {"cikkszam_nev", T("Tároló")}, {"kulcsszavak", T("WEB")}});
        add("termek", {{"cikkszam", T("A-2")}, {"cikkszam_nev", T("Szerver")}});
        add("allapot", {{"allapot", I(1)}, {"allapot_nev", T("Új")}, {"keszenvan", T("N")}});
        add("allapot", {{"allapot", I(2)}, {"allapot_nev", T("Kész")}, {"keszenvan", T("I")}});
        add("prioritas", {{"prioritas", I(1)}, {"prioritas_nev", T("Normál")}, {"szin", I(255)}});
        add("prioritas", {{"prioritas", I(2)}, {"prioritas_nev", T("Sürgős")}, {"szin", I(65280)}});
        add("feltipus", {{"feltipus_nev", T("Javítás")}});
        add("feleredmeny", {{"feleredmeny_nev", T("Sikeres")}});
        add("feladat", {{"ugyfel", I(1)}, {"termek", I(1)}, {"allapot", I(1)}, {"prioritas", I(1)},
                        {"feltipus", I(1)}, {"feleredmeny", I(1)}, {"ceg", I(1)}, {"lezarva", T("N")},
                        {"dat_hatid", D(2024, 3, 10)}, {"rovid", T("Első")}, {"kulcsszavak", T("weboldal")}});
        add("feladat", {{"ugyfel", I(3)}, {"termek", I(7)}, {"allapot", I(2)}, {"prioritas", I(9)},
                        {"lezarva", T("I")}, {"rovid", T("Második")}});
        add("feladat", {{"ugyfel", I(1)}, {"allapot", I(1)}, {"prioritas", I(2)}, {"lezarva", T("N")},
                        {"dat_hatid", D(2024, 3, 5)}, {"ceg", I(2)}});
        add("feladat", {{"ugyfel", I(2)}, {"termek", I(1)}, {"lezarva", T("N")}, {"dat_hatid", D(2024, 3, 10)}});
        add("feladat", {{"ugyfel", I(99)}, {"lezarva", T("N")}});
        add("nevnap", {{"Honap", I(3)}, {"Nap", I(7)}, {"Nev", T("Tamás")}});
        add("nevnap", {{"Honap", I(3)}, {"Nap", I(7)}, {"Nev", T("Tamara")}});
        add("nevnap", {{"Honap", I(3)}, {"Nap", I(8)}, {"Nev", T("Zoltán")}});
    }
};

}  // namespace

TEST_F(ProgramQueries, CustomerListWithEmptyNamesForMissingLinks)
{
    auto r = query(kCustomerQueryHead + "ORDER BY 1;");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->columns().size(), 31u);
    EXPECT_EQ(r->columns()[0].name, "Ugyfel");
    EXPECT_EQ(r->columns()[28].name, "tipus_nev");
    EXPECT_EQ(r->columns()[29].name, "ceg_nev");
    EXPECT_EQ(r->columns()[30].name, "uzletkoto_nev");
    EXPECT_EQ(r->columns()[29].type, FieldType::Alpha);
    EXPECT_EQ(r->columns()[29].size, 100);
    EXPECT_EQ(r->columns()[29].sourceTable, "ceg");
    EXPECT_EQ(ints(*r, "Ugyfel"), (std::vector<int64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(texts(*r, "ceg_nev"),
              (std::vector<std::string>{"Csaba Kft.", "Cukor Bt.", "-", "-", "Csaba Kft.", "Cukor Bt."}));
    EXPECT_EQ(texts(*r, "tipus_nev"), (std::vector<std::string>{"Vevő", "Szállító", "-", "-", "-", "-"}));
    EXPECT_EQ(texts(*r, "uzletkoto_nev")[0], "Kiss Ágnes");

    // The start order and the sorts the grid titles ask for.
    auto byName = query(kCustomerQueryHead + "ORDER BY ugyfel_nev;");
    ASSERT_TRUE(byName);
    EXPECT_EQ(texts(*byName, "Ugyfel_nev"), (std::vector<std::string>{"-", "Ábel Anna", "Adam Péter", "Cukor Cecília",
                                                                        "Csonka Ödön", "Kovács Béla"}));
    auto byCompany = query(kCustomerQueryHead + "ORDER BY ceg_nev;");
    ASSERT_TRUE(byCompany);
    EXPECT_EQ(ints(*byCompany, "Ugyfel"), (std::vector<int64_t>{3, 4, 2, 6, 1, 5}));  // Cukor before Csaba

    // The companies tab shows one company's customers through a filter.
    EXPECT_EQ(filtered(*r, "ceg=1", "Ugyfel"), (std::vector<int64_t>{1, 5}));
    EXPECT_TRUE(filtered(*r, "ceg=0", "Ugyfel").empty());
    EXPECT_EQ(filtered(*r, "(ceg=1) and ((dat_figy<='2024.03.07') and (dat_figy<>NULL))", "Ugyfel").size(), 0u);
    EXPECT_EQ(filtered(*r, "(tipus=1) and (honap=3) and (nap=7)", "Ugyfel"), (std::vector<int64_t>{1}));
}

TEST_F(ProgramQueries, TaskListSortsAndFilters)
{
    auto start = query(kTaskQueryHead + "ORDER BY feladat.feladat;");
    ASSERT_TRUE(start);
    ASSERT_EQ(start->columns().size(), 26u);
    EXPECT_EQ(ints(*start, "feladat"), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(texts(*start, "ugyfel_nev"),
              (std::vector<std::string>{"Kovács Béla", "Ábel Anna", "Kovács Béla", "Adam Péter", "-"}));
    EXPECT_EQ(texts(*start, "cikkszam_nev"), (std::vector<std::string>{"Tároló", "-", "-", "Tároló", "-"}));
    EXPECT_EQ(texts(*start, "allapot_nev"), (std::vector<std::string>{"Új", "Kész", "Új", "-", "-"}));
    EXPECT_EQ(texts(*start, "prioritas_nev"), (std::vector<std::string>{"Normál", "-", "Sürgős", "-", "-"}));
    EXPECT_EQ(ints(*start, "szin"), (std::vector<int64_t>{255, -999, 65280, -999, -999}));
    EXPECT_EQ(texts(*start, "feltipus_nev")[0], "Javítás");
    EXPECT_EQ(texts(*start, "feleredmeny_nev")[0], "Sikeres");
    EXPECT_EQ(texts(*start, "ceg_nev"), (std::vector<std::string>{"Csaba Kft.", "-", "Cukor Bt.", "-", "-"}));

    // The task list's own filter and the task filter dialog's expressions.
    EXPECT_EQ(filtered(*start, "lezarva='N'", "feladat"), (std::vector<int64_t>{1, 3, 4, 5}));
    EXPECT_EQ(filtered(*start, "(ugyfel=1) and (lezarva='N')", "feladat"), (std::vector<int64_t>{1, 3}));
    EXPECT_EQ(filtered(*start, "(allapot=1) and (prioritas=2) and (lezarva='N')", "feladat"),
              (std::vector<int64_t>{3}));

    // A title click replaces the last line; equal values keep id order and
    // blanks come first.
    auto byDeadline = query(kTaskQueryHead + "ORDER BY dat_hatid, feladat.feladat;");
    ASSERT_TRUE(byDeadline);
    EXPECT_EQ(ints(*byDeadline, "feladat"), (std::vector<int64_t>{2, 5, 3, 1, 4}));
    auto byCompany = query(kTaskQueryHead + "ORDER BY ceg_nev, feladat.feladat;");
    ASSERT_TRUE(byCompany);
    EXPECT_EQ(ints(*byCompany, "feladat"), (std::vector<int64_t>{2, 4, 5, 3, 1}));
    auto byId = query(kTaskQueryHead + "ORDER BY feladat;");
    ASSERT_TRUE(byId);
    EXPECT_EQ(ints(*byId, "feladat"), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    for (const char* field : {"dat_beerk", "cikkszam_nev", "allapot_nev", "prioritas_nev", "rovid", "ugyfel"}) {
        auto r = query(kTaskQueryHead + "ORDER BY " + field + ", feladat.feladat;");
        ASSERT_TRUE(r) << field;
        EXPECT_EQ(r->rowCount(), 5u) << field;
    }
}

TEST_F(ProgramQueries, KeywordSearches)
{
    const std::string customers = lines({
        "SELECT",
        " ugyfel.*,",
        " tipus.tipus_nev,",
        " ceg.ceg_nev",
        "FROM ugyfel",
        " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
        " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
        "WHERE UPPER(ugyfel.kulcsszavak) LIKE :pkulcs",
        "ORDER BY 1;",
    });
    const std::string tasks = lines({
        "SELECT",
        " feladat.*,",
        " ugyfel.ugyfel_nev,",
        " termek.cikkszam,",
        " termek.cikkszam_nev,",
        " allapot.allapot_nev,",
        " prioritas.prioritas_nev,",
        " prioritas.szin,",
        " feltipus.feltipus_nev,",
        " feleredmeny.feleredmeny_nev",
        "FROM feladat",
        " LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)",
        " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)",
        " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)",
        " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)",
        " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)",
        " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)",
        "WHERE UPPER(feladat.kulcsszavak) LIKE :pkulcs",
        "ORDER BY feladat;",
    });
    const std::string products = lines({"SELECT * FROM termek", "WHERE UPPER(kulcsszavak) LIKE :pkulcs",
                                        "ORDER BY cikkszam;"});
    const std::string companies = lines({"SELECT * FROM ceg", "WHERE UPPER(kulcsszavak) LIKE :pkulcs",
                                         "ORDER BY ceg_nev;"});
    auto key = [](const std::string& upper) { return std::vector<SqlParam>{{"pkulcs", T("%" + upper + "%")}}; };

    auto c = query(customers, key("WEB"));
    ASSERT_TRUE(c);
    EXPECT_EQ(ints(*c, "Ugyfel"), (std::vector<int64_t>{1, 4}));
    EXPECT_EQ(texts(*c, "ceg_nev"), (std::vector<std::string>{"Csaba Kft.", "-"}));
    auto t = query(tasks, key("WEB"));
    ASSERT_TRUE(t);
    EXPECT_EQ(ints(*t, "feladat"), (std::vector<int64_t>{1}));
    auto p = query(products, key("WEB"));
    ASSERT_TRUE(p);
    EXPECT_EQ(texts(*p, "cikkszam"), (std::vector<std::string>{"T-1"}));
    auto k = query(companies, key("WEB"));
    ASSERT_TRUE(k);
    EXPECT_EQ(texts(*k, "ceg_nev"), (std::vector<std::string>{"Csaba Kft."}));

    // Accented capitals: the keyword is upper-cased the Hungarian way.
    auto accented = query(customers, key(cp1250ToUtf8(upperCp1250(cp("árvíztűrő")))));
    ASSERT_TRUE(accented);
    EXPECT_EQ(ints(*accented, "Ugyfel"), (std::vector<int64_t>{1}));
    // An empty keyword lists every row with any keyword text, never a blank one.
    auto any = query(customers, key(""));
    ASSERT_TRUE(any);
    EXPECT_EQ(ints(*any, "Ugyfel"), (std::vector<int64_t>{1, 4}));
    // "_" stands for one character.
    auto one = query(companies, key("W_B"));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->rowCount(), 1u);
    auto none = query(products, key("WEBX"));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->rowCount(), 0u);
}

TEST_F(ProgramQueries, TaskBrowserAndCustomersByCompany)
{
    auto r = query(lines({
        "SELECT",
        " feladat.*,",
        " ugyfel.ugyfel_nev,",
        " termek.cikkszam,",
        " termek.cikkszam_nev,",
        " allapot.allapot_nev,",
        " prioritas.prioritas_nev,",
        " prioritas.szin,",
        " feltipus.feltipus_nev,",
        " ceg.ceg_nev,",
        " feleredmeny.feleredmeny_nev",
        "FROM feladat",
        " LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)",
        " LEFT OUTER JOIN ceg ON (feladat.ceg = ceg.ceg)",
        " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)",
        " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)",
        " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)",
        " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)",
        " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)",
        "ORDER BY feladat;",
    }));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowCount(), 5u);
    EXPECT_EQ(filtered(*r, "(ugyfel=1) and (lezarva = 'N')", "feladat"), (std::vector<int64_t>{1, 3}));
    EXPECT_EQ(filtered(*r, "(ugyfel=3)", "feladat"), (std::vector<int64_t>{2}));
    EXPECT_EQ(filtered(*r, "(termek=1) and (lezarva = 'N')", "feladat"), (std::vector<int64_t>{1, 4}));

    auto byCompany = query(lines({
        "SELECT",
        " ugyfel.*,",
        " tipus.tipus_nev,",
        " ceg.ceg_nev,",
        " ceg.cim_irsz AS ceg_irsz,",
        " ceg.cim_varos AS ceg_varos,",
        " ceg.cim_cim AS ceg_cim,",
        " ceg.telefon AS cegtelefon,",
        " uzletkoto.uzletkoto_nev",
        "FROM ugyfel",
        " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)",
        " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
        " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)",
        "ORDER BY ceg_nev, ugyfel.ugyfel_nev",
    }));
    ASSERT_TRUE(byCompany);
    EXPECT_EQ(texts(*byCompany, "Ugyfel_nev"), (std::vector<std::string>{"Ábel Anna", "Csonka Ödön", "-", "Adam Péter",
                                                                           "Cukor Cecília", "Kovács Béla"}));
    EXPECT_EQ(texts(*byCompany, "ceg_varos")[4], "Budapest");
    EXPECT_EQ(texts(*byCompany, "ceg_cim")[5], "Fő u. 1.");
    EXPECT_EQ(texts(*byCompany, "cegtelefon")[5], "1234567");
    EXPECT_EQ(texts(*byCompany, "ceg_irsz")[4], "1111");
    EXPECT_EQ(texts(*byCompany, "ceg_varos")[3], "Pécs");
    // The report filters it to one company.
    EXPECT_EQ(filtered(*byCompany, "ceg=1", "Ugyfel"), (std::vector<int64_t>{5, 1}));
}

TEST_F(ProgramQueries, EnvelopeAndRegisteredMail)
{
    const std::string envelope = lines({
        "SELECT",
        " ugyfel.ugyfel,",
        " ugyfel.ugyfel_nev AS kapcsolat2,",
        " ceg.ceg_nev AS ugyfel_nev,",
        " ugyfel.cim_irsz,",
        " ugyfel.cim_varos,",
        " ugyfel.cim_cim",
        "FROM ugyfel",
        " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
        "WHERE ugyfel.ugyfel = :pugyfel;",
    });
    const std::string registered = lines({
        "SELECT",
        " ugyfel.ugyfel_nev AS kapcsolat2,",
        " ceg.ceg_nev AS ugyfel_nev,",
        " ugyfel.cim_irsz,",
        " ugyfel.cim_varos,",
        " ugyfel.cim_cim",
        "FROM ugyfel",
        " LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)",
        "WHERE ugyfel.ugyfel = :pugyfel;",
    });
    auto e = query(envelope, {{"pugyfel", I(1)}});
    ASSERT_TRUE(e);
    ASSERT_EQ(e->rowCount(), 1u);
    EXPECT_EQ(e->columns().size(), 6u);
    EXPECT_EQ(texts(*e, "kapcsolat2")[0], "Kovács Béla");
    EXPECT_EQ(texts(*e, "ugyfel_nev")[0], "Csaba Kft.");
    EXPECT_EQ(texts(*e, "cim_cim")[0], "Széchenyi tér 1.");
    EXPECT_EQ(texts(*e, "cim_irsz")[0], "7621");

    auto withoutCompany = query(registered, {{"pugyfel", I(4)}});
    ASSERT_TRUE(withoutCompany);
    ASSERT_EQ(withoutCompany->rowCount(), 1u);
    EXPECT_EQ(withoutCompany->columns().size(), 5u);
    EXPECT_EQ(texts(*withoutCompany, "ugyfel_nev")[0], "-");
    EXPECT_EQ(texts(*withoutCompany, "kapcsolat2")[0], "Csonka Ödön");
    auto missing = query(envelope, {{"pugyfel", I(42)}});
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->rowCount(), 0u);
}

TEST_F(ProgramQueries, NewsletterAndNameDays)
{
    auto r = query(lines({
        "SELECT",
        " emil1 AS emil,",
        " ugyfel_nev AS nev,",
        " 'N' AS kuldve,",
        " 0 AS csoport,",
        " vnev,",
        " knev,",
        " honap,",
        " nap",
        "FROM ugyfel",
        "WHERE NOT (emil1 IS NULL)",
    }));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->columns().size(), 8u);
    const std::vector<std::string> names = {"emil", "nev", "kuldve", "csoport", "vnev", "knev", "honap", "nap"};
    for (size_t c = 0; c < names.size(); ++c) EXPECT_EQ(r->columns()[c].name, names[c]);
    EXPECT_EQ(r->columns()[0].size, 100);
    EXPECT_EQ(r->columns()[2].type, FieldType::Alpha);
    EXPECT_EQ(r->columns()[2].size, 1);
    EXPECT_EQ(texts(*r, "emil"), (std::vector<std::string>{"kb@pelda.hu", "aa@pelda.hu", "cs@pelda.hu"}));
    EXPECT_EQ(texts(*r, "kuldve"), (std::vector<std::string>{"N", "N", "N"}));
    EXPECT_EQ(ints(*r, "csoport"), (std::vector<int64_t>{0, 0, 0}));
    EXPECT_EQ(texts(*r, "vnev")[0], "Kovács");
    EXPECT_EQ(ints(*r, "honap")[0], 3);

    // The console's statements: the hand-off table and the log emptied.
    add("emil", {{"emil", T("regi@pelda.hu")}, {"kuldve", Value::fromBool(true)}});
    add("naplo", {{"felhasznalo", T("admin")}, {"sikeres", T("I")}});
    EXPECT_EQ(exec("DELETE FROM emil;"), 1);
    EXPECT_EQ(exec(" DELETE FROM naplo;"), 1);
    EXPECT_EQ(exec("UPDATE ugyfel SET ffino=0"), 6);

    auto days = query("SELECT nev FROM nevnap\r\nWHERE (honap=3) and (nap=7);\r\n");
    ASSERT_TRUE(days);
    auto got = texts(*days, "nev");
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"Tamara", "Tamás"}));
    auto none = query("SELECT nev FROM nevnap\r\nWHERE (honap=2) and (nap=30);\r\n");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->rowCount(), 0u);
}

TEST_F(ProgramQueries, ReminderUpdates)
{
    struct Tab {
        const char* table;
        const char* key;
        int64_t id;
    };
    const Tab tabs[] = {{"ceg", "ceg", 2}, {"ugyfel", "ugyfel", 3}, {"feladat", "feladat", 4}, {"termek", "termek", 1}};
    for (const Tab& t : tabs) {
        const std::string table = t.table, key = t.key;
        const std::string set =
            "UPDATE " + table + " SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE " + key + "=:pid;";
        const std::string clear = "UPDATE " + table + " SET dat_figy=NULL, figy_szoveg=NULL WHERE " + key + " = :pid;";
        EXPECT_EQ(exec(set, {{"pdat", D(2024, 3, 7)}, {"pszoveg", T("Hívd vissza!")}, {"pid", I(t.id)}}), 1) << table;
        auto r = query("SELECT * FROM " + table + " WHERE " + key + " = " + std::to_string(t.id));
        ASSERT_TRUE(r);
        ASSERT_EQ(r->rowCount(), 1u);
        EXPECT_EQ(at(*r, 0, "dat_figy"), D(2024, 3, 7)) << table;
        EXPECT_EQ(texts(*r, "figy_szoveg")[0], "Hívd vissza!") << table;
        // Only that row.
        auto others = query("SELECT COUNT(*) FROM " + table + " WHERE dat_figy IS NOT NULL");
        ASSERT_TRUE(others);
        EXPECT_EQ(others->value(0, 0)->asInt(), 1) << table;

        EXPECT_EQ(exec(clear, {{"pid", I(t.id)}}), 1) << table;
        auto cleared = query("SELECT dat_figy, figy_szoveg FROM " + table + " WHERE " + key + " = " +
                             std::to_string(t.id));
        ASSERT_TRUE(cleared);
        EXPECT_TRUE(cleared->value(0, 0)->isNull());
        EXPECT_TRUE(cleared->value(0, 1)->isNull());
        // A key deleted meanwhile: nothing changes.
        EXPECT_EQ(exec(clear, {{"pid", I(777)}}), 0) << table;
    }
    // The set statement with an empty reminder text.
    EXPECT_EQ(exec("UPDATE ugyfel SET dat_figy=:pdat, figy_szoveg=:pszoveg WHERE ugyfel=:pid;",
                   {{"pdat", D(2024, 3, 7)}, {"pszoveg", T("")}, {"pid", I(1)}}),
              1);
    auto r = query("SELECT dat_figy FROM ugyfel WHERE ugyfel = 1");
    ASSERT_TRUE(r);
    EXPECT_EQ(*r->value(0, 0), D(2024, 3, 7));
}

namespace {

// The statements of the version upgrade, as it sends them.
const std::vector<std::string> kUpgradeCreates = {
    lines({"CREATE TABLE ugyf_ertesit(", " ugyf_ertesit AUTOINC,", " ugyfel INT,", " datum DATE,", " rovid CHAR(50),",
           " tipus INT,", "PRIMARY KEY (ugyf_ertesit));"}),
    lines({"CREATE TABLE korlevel(", " korlevel AUTOINC,", " rovid CHAR(75),", " szoveg BLOB(0,3),", " tipus INT,",
           "PRIMARY KEY (korlevel));"}),
    lines({"CREATE TABLE termek (", " termek AUTOINC,", " cikkszam CHAR(15),", " cikkszam_nev CHAR(50),",
           " kategoria CHAR(10),", "PRIMARY KEY (termek));"}),
    lines({"CREATE TABLE kategoria (", " kategoria CHAR(10),", " kategoria_nev CHAR(50),",
           "PRIMARY KEY (kategoria));"}),
    lines({"CREATE TABLE beallit (", " beallit AUTOINC,", " vanbelep CHAR(1),", " alapprioritas INT,",
           " alaphatarido INT,", "PRIMARY KEY (beallit));"}),
    lines({"CREATE TABLE beosztas (", " beosztas AUTOINC,", " beosztas_nev CHAR(25),", "PRIMARY KEY (beosztas));"}),
    lines({"CREATE TABLE feladat (", " feladat AUTOINC,", " dat_beerk DATE,", " dat_hatid DATE,", " ugyfel INT,",
           " cikkszam CHAR(15),", " allapot INT,", " prioritas INT,", " rovid CHAR(75),", " leiras BLOB(0,1),",
           "PRIMARY KEY (feladat));"}),
    lines({"CREATE TABLE prioritas (", " prioritas INT,", " prioritas_nev CHAR(25),", " hatid INT,",
           "PRIMARY KEY (prioritas));"}),
    lines({"CREATE TABLE allapot (", " allapot INT,", " allapot_nev CHAR(25),", " keszenvan CHAR(1),",
           "PRIMARY KEY (allapot));"}),
};
const char* const kUpgradeInsert = "INSERT INTO beallit (vanbelep,alapprioritas,alaphatarido) VALUES ('I',1,1)";

// Table, ALTER statement, UPDATE statement (may be empty).
const std::vector<std::tuple<std::string, std::string, std::string>> kUpgradeFields = {
    {"megj", "ALTER TABLE megj ADD tipus INT;", "UPDATE megj SET tipus=0;"},
    {"ceg", "ALTER TABLE ceg ADD kulcsszavak CHAR(255);", ""},
    {"ceg", "ALTER TABLE ceg ADD kapcsolat CHAR(25);", ""},
    {"ceg", "ALTER TABLE ceg ADD dat_figy DATE;", ""},
    {"ceg", "ALTER TABLE ceg ADD figy_szoveg CHAR(255);", ""},
    {"feladat", "ALTER TABLE feladat ADD ceg INT;", ""},
    {"ugyf_megj", "ALTER TABLE ugyf_megj ADD tipus INT;", "UPDATE ugyf_megj SET tipus=0;"},
    {"ugyfel", "ALTER TABLE ugyfel ADD kulcsszavak CHAR(255);", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD beosztas INT;", "UPDATE ugyfel SET beosztas=0;"},
    {"ugyfel", "ALTER TABLE ugyfel ADD prefix CHAR(10);", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD ffino INT;", "UPDATE ugyfel SET ffino=0;"},
    {"ugyfel", "ALTER TABLE ugyfel ADD dat_figy DATE;", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD figy_szoveg CHAR(255);", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD vnev CHAR(50);", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD knev CHAR(25);", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD honap INT;", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD nap INT;", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD tipus INT;", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD ceg INT;", ""},
    {"ugyfel", "ALTER TABLE ugyfel ADD uzletkoto INT;", ""},
};

class Upgrade : public SqlDb {
protected:
    Upgrade() { withLayout_ = false; }

    // An old database: the five tables the field list reads, in an early
    // layout, with rows.
    void SetUp() override
    {
        SqlDb::SetUp();
        for (const char* create : {
                 "CREATE TABLE megj (Ugyfel INT, doknev CHAR(255), doknev_rovid CHAR(50), datum DATE, "
                 "PRIMARY KEY (Ugyfel, doknev))",
                 "CREATE TABLE ceg (ceg AUTOINC, ceg_nev CHAR(100), cim_irsz CHAR(6), PRIMARY KEY (ceg))",
                 "CREATE TABLE ugyf_megj (ugyf_megj AUTOINC, ugyfel INT, datum DATE, rovid CHAR(50), "
                 "megjegyzes BLOB(0,1), PRIMARY KEY (ugyf_megj))",
                 "CREATE TABLE ugyfel (Ugyfel AUTOINC, Ugyfel_nev CHAR(100), Megjegyzes BLOB(0,1), "
                 "PRIMARY KEY (Ugyfel))",
             })
            exec(create);
        exec("INSERT INTO megj (Ugyfel, doknev) VALUES (5, '/tmp/a.txt'), (6, '/tmp/b.txt')");
        exec("INSERT INTO ceg (ceg_nev) VALUES ('Régi Kft.')");
        exec("INSERT INTO ugyf_megj (ugyfel, rovid, megjegyzes) VALUES (5, 'Régi', 'Hosszú szöveg')");
        exec("INSERT INTO ugyfel (Ugyfel_nev) VALUES ('Első Ügyfél'), ('Második Ügyfél')");
    }

    // One run as the maintenance tool makes it: missing tables are created,
    // missing fields added; a failing statement is passed over.
    void runUpgrade()
    {
        auto names = db_->tableNames();
        ASSERT_TRUE(names.isOk());
        const char* const tableNames[] = {"ugyf_ertesit", "korlevel", "termek", "kategoria", "beallit",
                                          "beosztas",     "feladat",  "prioritas", "allapot"};
        for (size_t i = 0; i < kUpgradeCreates.size(); ++i) {
            const bool present = std::any_of(names->begin(), names->end(),
                                             [&](const std::string& n) { return sameName(n, tableNames[i]); });
            if (present) continue;
            EXPECT_TRUE(run(kUpgradeCreates[i]).isOk()) << kUpgradeCreates[i];
            if (std::string(tableNames[i]) == "beallit") {
                EXPECT_TRUE(run(kUpgradeInsert).isOk());
            }
        }
        std::string lastTable;
        std::set<std::string> fields;
        for (const auto& [table, alter, update] : kUpgradeFields) {
            if (table != lastTable) {
                auto t = db_->openTable(table, OpenMode::ReadOnly);
                ASSERT_TRUE(t.isOk()) << t.status().message();
                fields.clear();
                for (const auto& f : (*t)->def().fields) fields.insert(upperCp1250(f.name));
                lastTable = table;
            }
            // "ALTER TABLE t ADD field TYPE;"
            const size_t start = alter.find(" ADD ") + 5;
            const std::string field = upperCp1250(alter.substr(start, alter.find(' ', start) - start));
            if (fields.count(field)) continue;
            EXPECT_TRUE(run(alter).isOk()) << alter;
            if (!update.empty()) {
                EXPECT_TRUE(run(update).isOk()) << update;
            }
        }
    }
};

}  // namespace

TEST_F(Upgrade, CreatesTablesAddsFieldsAndRunsTwice)
{
    runUpgrade();
    auto beallit = query("SELECT * FROM beallit");
    ASSERT_TRUE(beallit);
    ASSERT_EQ(beallit->rowCount(), 1u);
    EXPECT_EQ(texts(*beallit, "vanbelep")[0], "I");
    EXPECT_EQ(ints(*beallit, "alapprioritas")[0], 1);
    EXPECT_EQ(ints(*beallit, "alaphatarido")[0], 1);

    auto korlevel = db_->openTable("korlevel", OpenMode::ReadOnly);
    ASSERT_TRUE(korlevel.isOk());
    EXPECT_EQ((*korlevel)->def().fields[2].type, FieldType::FmtMemo);
    auto feladat = db_->openTable("FELADAT", OpenMode::ReadOnly);
    ASSERT_TRUE(feladat.isOk());
    EXPECT_EQ((*feladat)->def().fields[8].type, FieldType::Memo);
    EXPECT_EQ((*feladat)->def().fields.back().name, "ceg");  // added after the rest
    korlevel->reset();
    feladat->reset();

    // Existing rows: the new field of the UPDATE is 0, the others blank.
    auto customers = query("SELECT Ugyfel_nev, beosztas, ffino, vnev, Megjegyzes FROM ugyfel ORDER BY 1");
    ASSERT_TRUE(customers);
    ASSERT_EQ(customers->rowCount(), 2u);
    EXPECT_EQ(ints(*customers, "beosztas"), (std::vector<int64_t>{0, 0}));
    EXPECT_EQ(ints(*customers, "ffino"), (std::vector<int64_t>{0, 0}));
    EXPECT_EQ(texts(*customers, "vnev"), (std::vector<std::string>{"-", "-"}));
    EXPECT_EQ(texts(*customers, "Ugyfel_nev")[0], "Első Ügyfél");
    auto notes = query("SELECT tipus, megjegyzes FROM ugyf_megj");
    ASSERT_TRUE(notes);
    EXPECT_EQ(ints(*notes, "tipus"), (std::vector<int64_t>{0}));
    EXPECT_EQ(texts(*notes, "megjegyzes")[0], "Hosszú szöveg");
    auto docs = query("SELECT tipus FROM megj");
    ASSERT_TRUE(docs);
    EXPECT_EQ(ints(*docs, "tipus"), (std::vector<int64_t>{0, 0}));

    // A second run finds everything and changes nothing.
    runUpgrade();
    auto again = query("SELECT COUNT(*) FROM beallit");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->value(0, 0)->asInt(), 1);
    // The statements themselves, run again, fail cleanly and change nothing.
    EXPECT_NE(error(kUpgradeCreates[4]).find("beallit"), std::string::npos);
    const std::string twice = error("ALTER TABLE ugyfel ADD ffino INT;");
    EXPECT_NE(twice.find("már létezik"), std::string::npos) << twice;
    auto same = query("SELECT COUNT(*), COUNT(ffino) FROM ugyfel");
    ASSERT_TRUE(same);
    EXPECT_EQ(same->value(0, 0)->asInt(), 2);
    EXPECT_EQ(same->value(0, 1)->asInt(), 2);
}
