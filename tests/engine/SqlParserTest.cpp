#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "engine/Codepage.h"
#include "engine/Sql.h"
#include "engine/SqlParser.h"

using namespace engine;
using namespace engine::sql;

namespace {

Result<Statement> parse(const std::string& utf8) { return parseStatement(*utf8ToCp1250(utf8)); }

std::string errorOf(const std::string& utf8)
{
    auto r = parse(utf8);
    return r.isOk() ? std::string("(no error)") : r.status().message();
}

}  // namespace

TEST(SqlParser, SelectShapes)
{
    auto r = parse("SELECT\n ugyfel.*,\n tipus.tipus_nev,\n ceg.ceg_nev AS nev, 'N' AS kuldve, 0 csoport\n"
                   "FROM ugyfel\n LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)\n"
                   " LEFT JOIN ceg c ON ugyfel.ceg = c.ceg\n"
                   "WHERE NOT (emil1 IS NULL) AND UPPER(ugyfel.kulcsszavak) LIKE :pkulcs\n"
                   "ORDER BY ceg_nev DESC, 1;");
    ASSERT_TRUE(r.isOk()) << r.status().message();
    const auto& s = std::get<SelectStmt>(*r);
    ASSERT_EQ(s.items.size(), 5u);
    EXPECT_EQ(s.items[0].kind, SelectItem::Kind::TableStar);
    EXPECT_EQ(s.items[0].table, "ugyfel");
    EXPECT_EQ(s.items[2].alias, "nev");
    EXPECT_EQ(s.items[3].alias, "kuldve");
    EXPECT_EQ(s.items[4].alias, "csoport");
    ASSERT_EQ(s.joins.size(), 2u);
    EXPECT_TRUE(s.joins[0].left);
    EXPECT_EQ(s.joins[1].table.alias, "c");
    ASSERT_EQ(s.orderBy.size(), 2u);
    EXPECT_TRUE(s.orderBy[0].descending);
    EXPECT_EQ(s.orderBy[1].expr->value.asInt(), 1);
    EXPECT_EQ(s.where->kind, Expr::Kind::Binary);

    auto g = parse("select tipus, count(*), count(distinct ceg) from ugyfel group by tipus order by 2 desc");
    ASSERT_TRUE(g.isOk()) << g.status().message();
    EXPECT_EQ(std::get<SelectStmt>(*g).groupBy.size(), 1u);
    auto d = parse("SELECT DISTINCT cim_varos FROM \"ugyfel.db\" u WHERE u.honap >= -3 + 1");
    ASSERT_TRUE(d.isOk()) << d.status().message();
    EXPECT_EQ(std::get<SelectStmt>(*d).from.name, "ugyfel");
    EXPECT_EQ(std::get<SelectStmt>(*d).from.alias, "u");
}

TEST(SqlParser, ChangeStatements)
{
    auto i = parse("INSERT INTO beallit (vanbelep,alapprioritas,alaphatarido) VALUES ('I',1,1)");
    ASSERT_TRUE(i.isOk()) << i.status().message();
    EXPECT_EQ(std::get<InsertStmt>(*i).columns.size(), 3u);
    EXPECT_EQ(std::get<InsertStmt>(*i).rows.size(), 1u);
    auto u = parse("UPDATE ugyfel SET dat_figy=NULL, figy_szoveg=NULL WHERE ugyfel = :pid;");
    ASSERT_TRUE(u.isOk()) << u.status().message();
    EXPECT_EQ(std::get<UpdateStmt>(*u).sets.size(), 2u);
    EXPECT_TRUE(parse("DELETE FROM emil;").isOk());
    EXPECT_TRUE(parse("INSERT INTO emil SELECT emil1, ugyfel_nev FROM ugyfel").isOk());

    auto c = parse("CREATE TABLE korlevel(\n korlevel AUTOINC,\n rovid CHAR(75),\n szoveg BLOB(0,3),\n"
                   " tipus INT,\nPRIMARY KEY (korlevel));");
    ASSERT_TRUE(c.isOk()) << c.status().message();
    const auto& ct = std::get<CreateTableStmt>(*c);
    ASSERT_EQ(ct.columns.size(), 4u);
    EXPECT_EQ(ct.columns[0].field.type, FieldType::AutoInc);
    EXPECT_EQ(ct.columns[1].field.type, FieldType::Alpha);
    EXPECT_EQ(ct.columns[1].field.size, 75);
    EXPECT_EQ(ct.columns[2].field.type, FieldType::FmtMemo);
    EXPECT_EQ(ct.columns[3].field.type, FieldType::Long);
    ASSERT_EQ(ct.primaryKey.size(), 1u);
    auto memo = parse("CREATE TABLE f (f AUTOINC, leiras BLOB(0,1), PRIMARY KEY (f))");
    ASSERT_TRUE(memo.isOk());
    EXPECT_EQ(std::get<CreateTableStmt>(*memo).columns[1].field.type, FieldType::Memo);

    auto a = parse("ALTER TABLE ugyfel ADD ffino INT;");
    ASSERT_TRUE(a.isOk()) << a.status().message();
    EXPECT_EQ(std::get<AlterTableStmt>(*a).add[0].field.name, "ffino");
}

TEST(SqlParser, ErrorsNameThePlace)
{
    EXPECT_NE(errorOf("SELECT * FORM ugyfel").find("Szintaktikai hiba a(z) „FORM ugyfel” közelében (1. sor, 10. oszlop)"),
              std::string::npos)
        << errorOf("SELECT * FORM ugyfel");
    EXPECT_NE(errorOf("SELECT *\nFROM ugyfel\nWHERE (ceg = 1").find("3. sor"), std::string::npos);
    EXPECT_NE(errorOf("SELECT * FROM ugyfel WHERE").find("az utasítás végén"), std::string::npos);
    EXPECT_NE(errorOf("SELECT * FROM ugyfel; SELECT * FROM ceg").find("egyszerre csak egy utasítás"),
              std::string::npos);
    EXPECT_NE(errorOf("SELECT 'abc FROM x").find("záró aposztróf"), std::string::npos);
    EXPECT_NE(errorOf("CREATE TABLE t (a CHAR(300))").find("1 és 255"), std::string::npos);
    EXPECT_NE(errorOf("CREATE TABLE t (a BLOB(0,9))").find("altípusa"), std::string::npos);
    EXPECT_NE(errorOf("CREATE TABLE t (a TEXT)").find("ismeretlen mezőtípus"), std::string::npos);
    EXPECT_NE(errorOf("SELECT FOO(x) FROM t").find("ismeretlen függvény: „FOO”"), std::string::npos);
    EXPECT_NE(errorOf("SELECT * FROM a, b").find("JOIN"), std::string::npos);
    EXPECT_NE(errorOf("DROP TABLE ugyfel").find("SELECT, INSERT"), std::string::npos);
    EXPECT_NE(errorOf("SELECT * FROM t WHERE a = #").find("nem várt karakter"), std::string::npos);
}

TEST(SqlScript, SplitsAtSemicolonsOutsideLiteralsAndComments)
{
    const auto parts = splitStatements("DELETE FROM emil; DELETE FROM naplo;");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], "DELETE FROM emil");
    EXPECT_EQ(parts[1], " DELETE FROM naplo");

    const auto quoted = splitStatements(
        "INSERT INTO t VALUES ('a;b', 'it''s; fine');\n-- comment; still comment\nUPDATE t SET x=1 /* ; */\n");
    ASSERT_EQ(quoted.size(), 2u);
    EXPECT_EQ(quoted[0], "INSERT INTO t VALUES ('a;b', 'it''s; fine')");
    EXPECT_NE(quoted[1].find("UPDATE t SET x=1"), std::string::npos);

    EXPECT_TRUE(splitStatements("  ;\n ; -- only a comment\n").empty());
    ASSERT_EQ(splitStatements("SELECT 1 FROM t").size(), 1u);
}
