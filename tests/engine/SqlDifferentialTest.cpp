// The executor against SQLite: the same random rows in both, the same
// statements, the same answers. SQLite orders and upper-cases text with the
// engine's own Hungarian rules (a collation and UPPER registered from
// Collation.h and Codepage.h), and LIKE is case-sensitive on both sides.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <iterator>
#include <random>
#include <sstream>

#include "SqlFixture.h"
#include "engine/Collation.h"

using namespace engine;
using namespace sqltest;

namespace {

int hungarianCollation(void*, int na, const void* a, int nb, const void* b)
{
    const std::string x = *utf8ToCp1250(std::string_view(static_cast<const char*>(a), size_t(na)));
    const std::string y = *utf8ToCp1250(std::string_view(static_cast<const char*>(b), size_t(nb)));
    return compareText(x, y);
}

void hungarianUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const std::string upper = cp1250ToUtf8(upperCp1250(*utf8ToCp1250(text)));
    sqlite3_result_text(ctx, upper.c_str(), int(upper.size()), SQLITE_TRANSIENT);
}

class Sqlite {
public:
    Sqlite()
    {
        sqlite3_open(":memory:", &db_);
        sqlite3_create_collation(db_, "HU", SQLITE_UTF8, nullptr, hungarianCollation);
        sqlite3_create_function(db_, "UPPER", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, hungarianUpper, nullptr,
                                nullptr);
        exec("PRAGMA case_sensitive_like = ON");
    }
    ~Sqlite() { sqlite3_close(db_); }

    void exec(const std::string& sql)
    {
        char* err = nullptr;
        ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << sql << ": " << err;
    }

    int64_t changes() const { return sqlite3_changes(db_); }

    // Every row as "v1|v2|...", blanks as NULL.
    std::vector<std::string> rows(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        std::vector<std::string> out;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql << sqlite3_errmsg(db_);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (c > 0) row += '|';
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL: row += "NULL"; break;
                case SQLITE_INTEGER: row += std::to_string(sqlite3_column_int64(st, c)); break;
                case SQLITE_FLOAT: {
                    char buf[32];
                    std::snprintf(buf, sizeof buf, "%.6g", sqlite3_column_double(st, c));
                    row += buf;
                    break;
                }
                default: row += reinterpret_cast<const char*>(sqlite3_column_text(st, c)); break;
                }
            }
            out.push_back(row);
        }
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

std::string show(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Null: return "NULL";
    case Value::Kind::Int: return std::to_string(v.asInt());
    case Value::Kind::Float: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v.asFloat());
        return buf;
    }
    case Value::Kind::Text: return cp1250ToUtf8(v.asText());
    case Value::Kind::Date: {
        int y, m, d;
        v.asDate().toYmd(y, m, d);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
        return buf;
    }
    default: return "?";
    }
}

const char* const kFamily[] = {"Kovács", "Szabó", "Tóth", "Nagy", "Horváth", "Varga", "Kiss", "Molnár", "Németh",
                               "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros", "Oláh",
                               "Simon", "Rácz", "Fekete", "Ábrahám", "Csonka", "Cukor", "Zsoldos", "Győri", "Őri",
                               "Ötvös", "Ürge", "Űrös", "Dzsida", "ádám", "ÉDES"};
const char* const kGiven[] = {"Anna", "Ábel", "Béla", "Csaba", "Dóra", "Éva", "Gyula", "Ilona", "Ödön", "Zsuzsa",
                              "Tünde", "Lőrinc", "Szilvia", "Nóra"};
const char* const kCities[] = {"Budapest", "Pécs", "Győr", "Szeged", "Debrecen", "Érd", "Ózd", "Sopron"};
const char* const kPhonePieces[] = {"06", "-", "30", "/", " ", "+36", "(1)", "1", "0", "9", ".", "_", "#"};
const char* const kWords[] = {"web", "szerviz", "árvíz", "Tűrő", "WEB", "kávé", "ÁRU", "ab", "Ab", "zsák"};

class Differential : public SqlDb {
protected:
    Differential() { withLayout_ = false; }

    void SetUp() override
    {
        SqlDb::SetUp();
        const char* ours[] = {
            "CREATE TABLE ceg (ceg INT, ceg_nev CHAR(60), varos CHAR(30), PRIMARY KEY (ceg))",
            "CREATE TABLE ugyfel (ugyfel INT, nev CHAR(60), ceg INT, honap INT, datum DATE, kulcs CHAR(80), "
            "tel CHAR(20), PRIMARY KEY (ugyfel))",
        };
        for (const char* s : ours) exec(s);
        lite_.exec("CREATE TABLE ceg (ceg INTEGER PRIMARY KEY, ceg_nev TEXT COLLATE HU, varos TEXT COLLATE HU)");
        lite_.exec("CREATE TABLE ugyfel (ugyfel INTEGER PRIMARY KEY, nev TEXT COLLATE HU, ceg INTEGER, honap "
                   "INTEGER, datum TEXT, kulcs TEXT COLLATE HU, tel TEXT COLLATE HU)");

        std::mt19937 rng(20240307);
        auto pick = [&](auto& list) { return std::string(list[rng() % (sizeof list / sizeof list[0])]); };
        auto maybe = [&](const std::string& sqlValue) { return rng() % 6 == 0 ? std::string("NULL") : sqlValue; };
        auto quoteText = [](const std::string& s) { return "'" + s + "'"; };
        std::string script;
        for (int c = 1; c <= 30; ++c)
            both("INSERT INTO ceg (ceg, ceg_nev, varos) VALUES (" + std::to_string(c) + ", " +
                 maybe(quoteText(pick(kFamily) + (rng() % 2 ? " Kft." : " Bt."))) + ", " +
                 maybe(quoteText(pick(kCities))) + ")");
        for (int u = 1; u <= 400; ++u) {
            char date[16];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", 2022 + int(rng() % 3), 1 + int(rng() % 12),
                          1 + int(rng() % 28));
            std::string words = pick(kWords);
            for (unsigned k = rng() % 3; k > 0; --k) words.append(" ").append(pick(kWords));
            std::string tel;  // digits, blanks and punctuation: the collation's plain characters
            for (unsigned k = 1 + rng() % 4; k > 0; --k) tel += pick(kPhonePieces);
            both("INSERT INTO ugyfel (ugyfel, nev, ceg, honap, datum, kulcs, tel) VALUES (" + std::to_string(u) +
                 ", " + maybe(quoteText(pick(kFamily) + " " + pick(kGiven))) + ", " +
                 maybe(std::to_string(1 + rng() % 35)) + ", " + maybe(std::to_string(rng() % 13)) + ", " +
                 maybe(quoteText(date)) + ", " + maybe(quoteText(words)) + ", " + maybe(quoteText(tel)) + ")");
        }
    }

    void both(const std::string& sql)
    {
        exec(sql);
        lite_.exec(sql);
    }

    std::vector<std::string> ourRows(const std::string& sql)
    {
        auto r = query(sql);
        return r ? shown(*r) : std::vector<std::string>();
    }

    // Every row as "v1|v2|...", as Sqlite::rows() gives them.
    static std::vector<std::string> shown(const QueryResult& r)
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < r.rowCount(); ++i) {
            std::string row;
            for (size_t c = 0; c < r.columns().size(); ++c) {
                if (c > 0) row += '|';
                auto v = r.value(i, c);
                row += v.isOk() ? show(*v) : "ERROR";
            }
            out.push_back(row);
        }
        return out;
    }

    void same(const std::string& sql)
    {
        const auto expected = lite_.rows(sql);
        const auto got = ourRows(sql);
        ASSERT_EQ(got.size(), expected.size()) << sql;
        for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], expected[i]) << sql << "\nrow " << i;
    }

    // A random condition over the customer (u) and company (c) columns.
    std::string condition(std::mt19937& rng, int depth)
    {
        const int kind = int(rng() % (depth > 0 ? 9 : 6));
        const char* ops[] = {"=", "<>", "<", "<=", ">", ">="};
        const std::string op = ops[rng() % 6];
        switch (kind) {
        case 0: return "u.honap " + op + " " + std::to_string(rng() % 13);
        case 1: return "u.nev " + op + " '" + kFamily[rng() % std::size(kFamily)] + "'";
        case 2: return "u.datum " + op + " '2023-0" + std::to_string(1 + rng() % 9) + "-15'";
        case 3: {
            const char* patterns[] = {"%a%", "K%", "%é%", "_o%", "%ő%", "Sz%", "%A", "%", "%Kft.", "%zs%"};
            return std::string(rng() % 2 ? "u.nev" : "c.ceg_nev") + (rng() % 3 == 0 ? " NOT" : "") + " LIKE '" +
                   patterns[rng() % 10] + "'";
        }
        case 4: {
            const char* cols[] = {"u.nev", "u.ceg", "u.datum", "u.kulcs", "c.ceg_nev", "c.varos"};
            return std::string(cols[rng() % 6]) + (rng() % 2 ? " IS NULL" : " IS NOT NULL");
        }
        case 5: {
            const char* words[] = {"WEB", "ÁRVÍZ", "TŰRŐ", "AB", "KÁVÉ", "ZS"};
            return std::string("UPPER(u.kulcs) LIKE '%") + words[rng() % 6] + "%'";
        }
        case 6: return "(" + condition(rng, depth - 1) + ") AND (" + condition(rng, depth - 1) + ")";
        case 7: return "(" + condition(rng, depth - 1) + ") OR (" + condition(rng, depth - 1) + ")";
        default: return "NOT (" + condition(rng, depth - 1) + ")";
        }
    }

    Sqlite lite_;
};

}  // namespace

TEST_F(Differential, FixedQueries)
{
    const char* const queries[] = {
        "SELECT u.ugyfel, u.nev, c.ceg_nev, c.varos FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) "
        "ORDER BY c.ceg_nev, u.nev, u.ugyfel",
        "SELECT u.ugyfel, c.ceg_nev FROM ugyfel u INNER JOIN ceg c ON (u.ceg = c.ceg) ORDER BY 2 DESC, 1",
        "SELECT ugyfel, nev, datum FROM ugyfel ORDER BY datum DESC, nev, ugyfel",
        "SELECT ugyfel, UPPER(nev) FROM ugyfel ORDER BY nev DESC, 1",
        "SELECT COUNT(*), COUNT(nev), COUNT(kulcs) FROM ugyfel",
        "SELECT COUNT(*) FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) WHERE c.varos IS NULL",
        "SELECT ceg, COUNT(*), MIN(nev), MAX(datum) FROM ugyfel GROUP BY ceg ORDER BY ceg",
        "SELECT DISTINCT varos FROM ceg ORDER BY varos",
        "SELECT ugyfel FROM ugyfel WHERE UPPER(kulcs) LIKE '%ÁRVÍZ%' ORDER BY ugyfel",
        "SELECT ugyfel, nev FROM ugyfel WHERE nev >= 'Cs' AND nev < 'D' ORDER BY nev, ugyfel",
        "SELECT ugyfel, honap + 1, honap * 2 - ugyfel FROM ugyfel WHERE NOT (honap IS NULL) ORDER BY ugyfel",
        "SELECT u.nev, c.ceg_nev FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg AND c.varos = 'Pécs') "
        "ORDER BY u.ugyfel",
        // Few probes: key lookups instead of a hash table; a number as key.
        "SELECT c.ceg, u.nev FROM ceg c LEFT OUTER JOIN ugyfel u ON (u.ugyfel = c.ceg) WHERE c.ceg = 7",
        "SELECT c.ceg, u.ugyfel FROM ceg c LEFT OUTER JOIN ugyfel u ON (u.ugyfel = c.ceg * 1.0 AND u.honap > 3) "
        "WHERE c.ceg <= 2 ORDER BY 1, 2",
        "SELECT c.ceg, u.ugyfel FROM ceg c INNER JOIN ugyfel u ON (u.ugyfel = c.ceg + 0.5) ORDER BY 1",
        // Sorts over left joins whose rows are found only when read; numbers,
        // dates and texts, blanks, DESC.
        "SELECT u.ugyfel, c.ceg_nev, c.varos FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) "
        "ORDER BY u.honap DESC, u.datum, u.ugyfel",
        "SELECT u.tel, u.ugyfel, c.ceg_nev FROM ugyfel u LEFT OUTER JOIN ceg c ON (c.ceg = u.ceg) "
        "ORDER BY u.tel DESC, u.ugyfel",
        "SELECT ugyfel, tel FROM ugyfel ORDER BY tel, ugyfel",
        "SELECT ugyfel, honap * 1.5 - 7 FROM ugyfel ORDER BY 2, 1",
        "SELECT u.ugyfel, c.ceg_nev FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) WHERE u.tel LIKE '%0%' "
        "ORDER BY u.kulcs, u.ugyfel",
        // No equality: every pair is tried.
        "SELECT c.ceg, u.ugyfel FROM ceg c LEFT OUTER JOIN ugyfel u ON (u.ugyfel < c.ceg) WHERE c.ceg <= 4 "
        "ORDER BY 1, 2",
    };
    for (const char* q : queries) same(q);
}

TEST_F(Differential, RandomConditions)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 250; ++i) {
        const std::string where = condition(rng, 2);
        same("SELECT u.ugyfel, u.nev, c.ceg_nev FROM ugyfel u LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) WHERE " +
             where + " ORDER BY u.nev DESC, u.ugyfel");
        if (HasFatalFailure()) return;
    }
}

TEST_F(Differential, ChangesLeaveTheSameTables)
{
    const char* const changes[] = {
        "UPDATE ugyfel SET honap = honap + 1 WHERE nev LIKE '%a%'",
        "UPDATE ugyfel SET kulcs = UPPER(kulcs) WHERE datum < '2023-06-01'",
        "UPDATE ugyfel SET datum = NULL WHERE honap IS NULL OR honap > 10",
        "DELETE FROM ugyfel WHERE ceg IS NULL",
        "DELETE FROM ugyfel WHERE NOT (nev >= 'L') AND datum >= '2023-01-01'",
        "INSERT INTO ugyfel (ugyfel, nev, honap) VALUES (1001, 'Új Ügyfél', 5), (1002, NULL, NULL)",
        "UPDATE ceg SET varos = 'Eger' WHERE ceg_nev LIKE '%Bt.'",
        "DELETE FROM ceg WHERE varos = 'Eger'",
    };
    for (const char* c : changes) {
        const int64_t ours = exec(c);
        lite_.exec(c);
        EXPECT_EQ(ours, lite_.changes()) << c;
        same("SELECT * FROM ugyfel ORDER BY ugyfel");
        same("SELECT * FROM ceg ORDER BY ceg");
    }
}

// A list sorted by one column after another: each order sorts the rows found
// by the first run anew, and each answer is SQLite's. Once a table changed,
// or the statement differs in more than its order, it runs in full.
TEST_F(Differential, ResortsOfTheFoundRows)
{
    const std::string body = "SELECT u.ugyfel, u.nev, u.datum, u.tel, c.ceg_nev, c.varos FROM ugyfel u "
                             "LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) WHERE u.honap <> 3 ";
    auto earlier = query(body + "ORDER BY u.ugyfel");
    ASSERT_TRUE(earlier);
    // Joined columns the first run left to be found when read, an expression
    // over one, numbers of columns, DESC, and orders met before.
    const char* const orders[] = {
        "ORDER BY ceg_nev, u.ugyfel",       "ORDER BY nev DESC, u.ugyfel",   "ORDER BY datum, u.ugyfel",
        "ORDER BY ceg_nev DESC, nev, 1",    "ORDER BY c.varos DESC, tel, 1", "ORDER BY 4 DESC, 1",
        "ORDER BY ceg_nev, u.ugyfel",       "ORDER BY u.ugyfel",             "ORDER BY nev DESC, u.ugyfel",
    };
    for (const char* order : orders) {
        std::vector<uint32_t> from;
        auto r = runSql(*db_, cp(body + order), {}, *earlier, from);
        ASSERT_TRUE(r.isOk()) << order << ": " << r.status().message();
        ASSERT_TRUE(r->rows);
        // Whole columns (read in the order the rows were found) as row by row.
        const QueryResult& result = *r->rows;
        for (size_t c = 0; c < result.columns().size(); ++c) {
            std::vector<Value> whole;
            ASSERT_TRUE(result.values(c, 0, result.rowCount(), whole).isOk()) << order;
            ASSERT_EQ(whole.size(), result.rowCount());
            for (size_t i = 0; i < whole.size(); ++i) ASSERT_EQ(show(whole[i]), show(*result.value(i, c))) << order;
        }
        const auto got = shown(*r->rows);
        EXPECT_EQ(got, lite_.rows(body + order)) << order;
        ASSERT_EQ(from.size(), got.size()) << order << ": sorted anew";
        const auto before = shown(*earlier);
        for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], before[from[i]]) << order << ", row " << i;
        earlier = std::move(r->rows);
    }

    auto runsInFull = [&](const std::string& sql, const std::vector<SqlParam>& params, const std::string& lite) {
        std::vector<uint32_t> from{1};
        auto r = runSql(*db_, cp(sql), params, *earlier, from);
        ASSERT_TRUE(r.isOk()) << sql << ": " << r.status().message();
        EXPECT_TRUE(from.empty()) << sql;
        EXPECT_EQ(shown(*r->rows), lite_.rows(lite)) << sql;
    };
    const std::string otherWhere = "SELECT u.ugyfel, u.nev, u.datum, u.tel, c.ceg_nev, c.varos FROM ugyfel u "
                                   "LEFT OUTER JOIN ceg c ON (u.ceg = c.ceg) WHERE u.honap <> 4 ORDER BY nev, 1";
    runsInFull(otherWhere, {}, otherWhere);
    runsInFull(body + "AND u.honap <> :h ORDER BY nev, 1", {{"h", I(5)}}, body + "AND u.honap <> 5 ORDER BY nev, 1");
    runsInFull("SELECT u.ugyfel FROM ugyfel u ORDER BY 1", {}, "SELECT u.ugyfel FROM ugyfel u ORDER BY 1");

    // A change of a joined table: the earlier rows refuse their values, and
    // the next order runs in full and shows the change.
    both("UPDATE ceg SET ceg_nev = 'Aaa' WHERE ceg = 7");
    EXPECT_FALSE(earlier->value(0, 4).isOk());
    std::vector<Value> whole;
    EXPECT_FALSE(earlier->values(4, 0, earlier->rowCount(), whole).isOk());
    runsInFull(body + "ORDER BY ceg_nev, 1", {}, body + "ORDER BY ceg_nev, 1");
}
