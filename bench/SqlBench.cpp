// The queries the main window runs, the keyword search, the filter and
// locate of the task list and a script of 100,000 INSERT statements, each
// beside SQLite on the same rows with equivalent indexes. Prints the ratio
// engine time / SQLite time for every pair at the end, then the peak
// resident memory.
//
// The SQL shell nyilvex-sql is also set against the sqlite3 shell as whole
// processes, on the full customer query and a keyword query written as CSV.
//
// Run: build/bin/sql_bench  (needs build/bin/nyilvex-sql beside it and the
// sqlite3 shell on the PATH)

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/Layout.h"
#include "engine/Codepage.h"
#include "engine/Collation.h"
#include "engine/Database.h"
#include "engine/Filter.h"
#include "engine/Sql.h"

using namespace engine;

namespace {

constexpr int kCustomers = 100000;
constexpr int kCompanies = 5000;
constexpr int kTasks = 300000;
constexpr int kScriptRows = 100000;

std::string cp(const std::string& utf8)
{
    auto r = utf8ToCp1250(utf8);
    if (!r.isOk()) {
        std::fprintf(stderr, "%s\n", r.status().message().c_str());
        std::exit(1);
    }
    return *r;
}

void check(const Status& s, const char* what)
{
    if (!s.isOk()) {
        std::fprintf(stderr, "%s: %s\n", what, s.message().c_str());
        std::exit(1);
    }
}

void checkLite(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

int hungarianCollation(void*, int na, const void* a, int nb, const void* b)
{
    const auto x = utf8ToCp1250(std::string_view(static_cast<const char*>(a), size_t(na)));
    const auto y = utf8ToCp1250(std::string_view(static_cast<const char*>(b), size_t(nb)));
    return compareText(*x, *y);
}

void hungarianUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto text = utf8ToCp1250(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const std::string upper = cp1250ToUtf8(upperCp1250(*text));
    sqlite3_result_text(ctx, upper.c_str(), int(upper.size()), SQLITE_TRANSIENT);
}

sqlite3* openLite(const std::string& path)
{
    sqlite3* db = nullptr;
    checkLite(sqlite3_open(path.c_str(), &db), db, "sqlite open");
    sqlite3_create_collation(db, "HU", SQLITE_UTF8, nullptr, hungarianCollation);
    sqlite3_create_function(db, "UPPER", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, hungarianUpper, nullptr,
                            nullptr);
    // Room for the whole database in memory, as the engine keeps it.
    sqlite3_exec(db, "PRAGMA cache_size = -400000; PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
    return db;
}

void liteExec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql.substr(0, 80).c_str(), err);
        std::exit(1);
    }
}

// SQLite's form of the tables the benchmarks read, with the same keys and
// secondary indexes (case-insensitive ones ordered by the Hungarian collation).
const char* const kLiteSchema = R"(
CREATE TABLE tipus (tipus INTEGER PRIMARY KEY, tipus_nev TEXT COLLATE HU);
CREATE TABLE uzletkoto (uzletkoto INTEGER PRIMARY KEY, uzletkoto_nev TEXT COLLATE HU, telefon TEXT, mobil TEXT, emil TEXT);
CREATE TABLE ceg (ceg INTEGER PRIMARY KEY, ceg_nev TEXT COLLATE HU, cim_irsz TEXT COLLATE HU, cim_varos TEXT COLLATE HU,
  cim_cim TEXT COLLATE HU, tel_irsz TEXT, tel_varos TEXT, tel_cim TEXT, telefon TEXT COLLATE HU, honlap TEXT,
  kapcsolat TEXT, dat_figy TEXT, figy_szoveg TEXT, kulcsszavak TEXT);
CREATE INDEX idx_ceg_nev ON ceg (ceg_nev);
CREATE INDEX idx_cim_irsz ON ceg (cim_irsz);
CREATE INDEX idx_cim_varos ON ceg (cim_varos);
CREATE INDEX idx_cim_cim ON ceg (cim_cim);
CREATE INDEX idx_telefon ON ceg (telefon);
CREATE INDEX idx_dat_figy ON ceg (dat_figy);
CREATE TABLE ugyfel (Ugyfel INTEGER PRIMARY KEY, Ugyfel_nev TEXT COLLATE HU, Telefon_magan TEXT, Telefon_ceges TEXT,
  Mobil TEXT, Fax TEXT, Emil1 TEXT, Emil2 TEXT, Honlap TEXT, Cim_varos TEXT, Cim_irsz TEXT, Cim_cim TEXT,
  Kapcsolat TEXT, Datum TEXT, Megjegyzes TEXT, vnev TEXT, knev TEXT, honap INTEGER, nap INTEGER, tipus INTEGER,
  ceg INTEGER, uzletkoto INTEGER, dat_figy TEXT, figy_szoveg TEXT, beosztas INTEGER, prefix TEXT, ffino INTEGER,
  kulcsszavak TEXT);
CREATE INDEX idx_ugyfel_nev ON ugyfel (Ugyfel_nev);
CREATE TABLE termek (termek INTEGER PRIMARY KEY, cikkszam TEXT COLLATE HU, cikkszam_nev TEXT COLLATE HU,
  kategoria TEXT COLLATE HU, dat_figy TEXT, figy_szoveg TEXT, kulcsszavak TEXT);
CREATE INDEX idx_cikkszam ON termek (cikkszam);
CREATE INDEX idx_cikkszam_nev ON termek (cikkszam_nev);
CREATE INDEX idx_kategoria ON termek (kategoria);
CREATE TABLE allapot (allapot INTEGER PRIMARY KEY, allapot_nev TEXT, keszenvan TEXT);
CREATE TABLE prioritas (prioritas INTEGER PRIMARY KEY, prioritas_nev TEXT, hatid INTEGER, szin INTEGER);
CREATE TABLE feltipus (feltipus INTEGER PRIMARY KEY, feltipus_nev TEXT COLLATE HU);
CREATE INDEX idx_feltipus_nev ON feltipus (feltipus_nev);
CREATE TABLE feleredmeny (feleredmeny INTEGER PRIMARY KEY, feleredmeny_nev TEXT COLLATE HU);
CREATE INDEX idx_feleredmeny_nev ON feleredmeny (feleredmeny_nev);
CREATE TABLE feladat (feladat INTEGER PRIMARY KEY, dat_beerk TEXT, dat_hatid TEXT, ugyfel INTEGER, allapot INTEGER,
  prioritas INTEGER, rovid TEXT, leiras TEXT, feltipus INTEGER, feleredmeny INTEGER, lezarva TEXT, termek INTEGER,
  dat_figy TEXT, figy_szoveg TEXT, kulcsszavak TEXT, dat_lezar TEXT, ceg INTEGER);
)";

const char* const kFamily[] = {"Kovács", "Szabó", "Tóth", "Nagy", "Horváth", "Varga", "Kiss", "Molnár", "Németh",
                               "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Mészáros", "Oláh",
                               "Simon", "Rácz", "Fekete", "Ábrahám", "Csonka", "Szűcs", "Zsoldos", "Győri", "Őri"};
const char* const kGiven[] = {"Anna", "Ábel", "Béla", "Csaba", "Dóra", "Éva", "Gyula", "Ilona", "Ödön", "Zsuzsa",
                              "Tünde", "Lőrinc", "Szilvia", "Nóra", "Péter", "János"};
const char* const kCities[] = {"Budapest", "Pécs", "Győr", "Szeged", "Debrecen", "Érd", "Ózd", "Sopron"};
const char* const kWords[] = {"web", "szerviz", "árvíz", "kávé", "áru", "hálózat", "nyomtató", "zsák"};

// The last customer has a name of its own and owns the last tasks: a locate
// by its prefix walks almost the whole task list.
const char* const kLastName = "Zzz Utolsó Ügyfél";

const std::string kCustomerQuery =
    "SELECT\n ugyfel.*,\n tipus.tipus_nev,\n ceg.ceg_nev,\n uzletkoto.uzletkoto_nev\nFROM ugyfel\n"
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)\n LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)\n"
    " LEFT OUTER JOIN uzletkoto ON (ugyfel.uzletkoto = uzletkoto.uzletkoto)\nORDER BY ugyfel_nev;";

const std::string kTaskQueryHead =
    "SELECT\n feladat.*,\n ugyfel.ugyfel_nev,\n termek.cikkszam,\n termek.cikkszam_nev,\n allapot.allapot_nev,\n"
    " prioritas.prioritas_nev,\n prioritas.szin,\n feltipus.feltipus_nev,\n feleredmeny.feleredmeny_nev,\n"
    " ceg.ceg_nev\nFROM feladat\n LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)\n"
    " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)\n"
    " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)\n"
    " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)\n"
    " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)\n"
    " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)\n"
    " LEFT OUTER JOIN ceg ON (feladat.ceg = ceg.ceg)\n";

const std::vector<std::pair<std::string, std::string>> kKeywordQueries = {
    {"customers",
     "SELECT\n ugyfel.*,\n tipus.tipus_nev,\n ceg.ceg_nev\nFROM ugyfel\n"
     " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus)\n LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)\n"
     "WHERE UPPER(ugyfel.kulcsszavak) LIKE :pkulcs\nORDER BY 1;"},
    {"tasks",
     "SELECT\n feladat.*,\n ugyfel.ugyfel_nev,\n termek.cikkszam,\n termek.cikkszam_nev,\n allapot.allapot_nev,\n"
     " prioritas.prioritas_nev,\n prioritas.szin,\n feltipus.feltipus_nev,\n feleredmeny.feleredmeny_nev\n"
     "FROM feladat\n LEFT OUTER JOIN ugyfel ON (feladat.ugyfel = ugyfel.ugyfel)\n"
     " LEFT OUTER JOIN termek ON (feladat.termek = termek.termek)\n"
     " LEFT OUTER JOIN allapot ON (feladat.allapot = allapot.allapot)\n"
     " LEFT OUTER JOIN prioritas ON (feladat.prioritas = prioritas.prioritas)\n"
     " LEFT OUTER JOIN feltipus ON (feladat.feltipus = feltipus.feltipus)\n"
     " LEFT OUTER JOIN feleredmeny ON (feladat.feleredmeny = feleredmeny.feleredmeny)\n"
     "WHERE UPPER(feladat.kulcsszavak) LIKE :pkulcs\nORDER BY feladat;"},
    {"products", "SELECT * FROM termek\nWHERE UPPER(kulcsszavak) LIKE :pkulcs\nORDER BY cikkszam;"},
    {"companies", "SELECT * FROM ceg\nWHERE UPPER(kulcsszavak) LIKE :pkulcs\nORDER BY ceg_nev;"},
};

struct Env {
    std::string folder;
    std::shared_ptr<Database> db;
    sqlite3* lite = nullptr;
    std::string sqlShell;  // path of nyilvex-sql
};
Env env;

std::string sqlDate(int serialOffset)
{
    int y, m, d;
    Date::fromYmd(2020, 1, 1).addDays(serialOffset).toYmd(y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

// The same rows into both: reference tables, companies, customers, products, tasks.
void fill()
{
    std::mt19937 rng(42);
    auto pick = [&](auto& list) { return std::string(list[rng() % std::size(list)]); };
    liteExec(env.lite, kLiteSchema);
    liteExec(env.lite, "BEGIN");

    // One insert path for both sides: a row given as field name and UTF-8 text
    // or integer, blank when absent.
    struct Cell {
        const char* field;
        std::string text;
        int64_t number = 0;
        bool isNumber = false;
        bool isDate = false;
    };
    std::map<std::string, std::shared_ptr<Table>> tables;
    std::map<std::string, sqlite3_stmt*> statements;
    auto insert = [&](const char* table, const std::vector<Cell>& cells) {
        auto& t = tables[table];
        if (!t) {
            auto opened = env.db->openTable(table, OpenMode::Shared);
            check(opened.status(), table);
            t = *opened;
        }
        Record rec(t->def().fields.size());
        std::string cols, marks;
        for (const Cell& c : cells) {
            const int f = t->def().fieldIndex(c.field);
            if (f < 0) {
                std::fprintf(stderr, "no field %s.%s\n", table, c.field);
                std::exit(1);
            }
            if (c.isNumber) {
                rec[f] = Value::fromInt(c.number);
            } else if (c.isDate) {
                int y = std::atoi(c.text.substr(0, 4).c_str()), m = std::atoi(c.text.substr(5, 2).c_str()),
                    d = std::atoi(c.text.substr(8, 2).c_str());
                rec[f] = Value::fromDate(Date::fromYmd(y, m, d));
            } else {
                rec[f] = Value::fromText(cp(c.text));
            }
            cols += std::string(cols.empty() ? "" : ",") + c.field;
            marks += std::string(marks.empty() ? "" : ",") + "?";
        }
        auto row = t->insert(rec);
        check(row.status(), table);
        const std::string sql = std::string("INSERT INTO ") + table + " (" + cols + ") VALUES (" + marks + ")";
        sqlite3_stmt*& st = statements[sql];
        if (!st) checkLite(sqlite3_prepare_v2(env.lite, sql.c_str(), -1, &st, nullptr), env.lite, "prepare");
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].isNumber) sqlite3_bind_int64(st, int(i + 1), cells[i].number);
            else sqlite3_bind_text(st, int(i + 1), cells[i].text.c_str(), -1, SQLITE_TRANSIENT);
        }
        checkLite(sqlite3_step(st), env.lite, "insert");
        sqlite3_reset(st);
    };
    auto num = [](const char* f, int64_t v) { return Cell{f, {}, v, true, false}; };
    auto txt = [](const char* f, std::string v) { return Cell{f, std::move(v), 0, false, false}; };
    auto date = [](const char* f, std::string v) { return Cell{f, std::move(v), 0, false, true}; };

    for (const char* n : {"Vevő", "Szállító", "Partner", "Egyéb"}) insert("tipus", {txt("tipus_nev", n)});
    for (const char* n : {"Kiss Ágnes", "Nagy Ödön", "Varga Éva"}) insert("uzletkoto", {txt("uzletkoto_nev", n)});
    for (int a = 1; a <= 4; ++a)
        insert("allapot", {num("allapot", a), txt("allapot_nev", "Állapot " + std::to_string(a)), txt("keszenvan", "N")});
    for (int p = 1; p <= 5; ++p)
        insert("prioritas", {num("prioritas", p), txt("prioritas_nev", "Prioritás " + std::to_string(p)),
                             num("szin", p * 1000)});
    for (const char* n : {"Javítás", "Telepítés", "Konzultáció"}) insert("feltipus", {txt("feltipus_nev", n)});
    for (const char* n : {"Sikeres", "Sikertelen"}) insert("feleredmeny", {txt("feleredmeny_nev", n)});
    for (int p = 1; p <= 2000; ++p) {
        std::vector<Cell> cells = {txt("cikkszam", "C-" + std::to_string(100000 + p)),
                                   txt("cikkszam_nev", pick(kWords) + " " + std::to_string(p)),
                                   txt("kategoria", "K" + std::to_string(p % 20))};
        if (p % 3 == 0) cells.push_back(txt("kulcsszavak", pick(kWords) + ", " + pick(kWords)));
        insert("termek", cells);
    }
    for (int c = 1; c <= kCompanies; ++c) {
        std::vector<Cell> cells = {txt("ceg_nev", pick(kFamily) + " és Társa " + std::to_string(c) + " Kft."),
                                   txt("cim_irsz", std::to_string(1000 + rng() % 9000)),
                                   txt("cim_varos", pick(kCities)), txt("cim_cim", "Fő utca " + std::to_string(c)),
                                   txt("telefon", "06-1-" + std::to_string(1000000 + rng() % 9000000))};
        if (c % 4 == 0) cells.push_back(txt("kulcsszavak", pick(kWords) + " " + pick(kWords)));
        insert("ceg", cells);
    }
    for (int u = 1; u <= kCustomers; ++u) {
        const std::string family = pick(kFamily), given = pick(kGiven);
        std::vector<Cell> cells = {
            txt("Ugyfel_nev", u == kCustomers ? kLastName : family + " " + given),
            txt("Telefon_ceges", "06-30-" + std::to_string(1000000 + rng() % 9000000)),
            txt("Mobil", "06-20-" + std::to_string(1000000 + rng() % 9000000)),
            txt("Emil1", "ugyfel" + std::to_string(u) + "@pelda.hu"), txt("Cim_varos", pick(kCities)),
            txt("Cim_irsz", std::to_string(1000 + rng() % 9000)), txt("Cim_cim", "Kossuth utca " + std::to_string(u % 200)),
            date("Datum", sqlDate(int(rng() % 1500))), txt("vnev", family), txt("knev", given),
            num("honap", 1 + rng() % 12), num("nap", 1 + rng() % 28), num("tipus", 1 + rng() % 4),
            num("uzletkoto", 1 + rng() % 3)};
        if (rng() % 10 != 0) cells.push_back(num("ceg", 1 + rng() % kCompanies));
        if (u % 5 == 0) cells.push_back(txt("kulcsszavak", pick(kWords) + ", " + pick(kWords)));
        insert("ugyfel", cells);
    }
    for (int f = 1; f <= kTasks; ++f) {
        const int64_t customer = f > kTasks - 10 ? kCustomers : 1 + rng() % (kCustomers - 1);
        std::vector<Cell> cells = {date("dat_beerk", sqlDate(int(rng() % 1500))),
                                   num("ugyfel", customer),
                                   num("allapot", 1 + rng() % 4),
                                   num("prioritas", 1 + rng() % 5),
                                   txt("rovid", "Feladat " + std::to_string(f) + " " + pick(kWords)),
                                   num("feltipus", 1 + rng() % 3),
                                   txt("lezarva", rng() % 3 == 0 ? "I" : "N"),
                                   num("ceg", 1 + rng() % kCompanies)};
        if (rng() % 8 != 0) cells.push_back(date("dat_hatid", sqlDate(int(rng() % 1500))));
        if (rng() % 2 == 0) cells.push_back(num("termek", 1 + rng() % 2000));
        if (rng() % 2 == 0) cells.push_back(num("feleredmeny", 1 + rng() % 2));
        if (f % 7 == 0) cells.push_back(txt("kulcsszavak", pick(kWords) + " " + pick(kWords)));
        insert("feladat", cells);
    }
    for (auto& [sql, st] : statements) sqlite3_finalize(st);
    liteExec(env.lite, "COMMIT");
    liteExec(env.lite, "ANALYZE");
    for (auto& [name, t] : tables) check(t->flush(), "flush");
}

// Runs `sql` in SQLite and steps through every row; returns the row count.
int64_t liteRows(const std::string& sql, const char* param = nullptr)
{
    sqlite3_stmt* st = nullptr;
    checkLite(sqlite3_prepare_v2(env.lite, sql.c_str(), -1, &st, nullptr), env.lite, "prepare");
    if (param) sqlite3_bind_text(st, 1, param, -1, SQLITE_TRANSIENT);
    int64_t n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) ++n;
    sqlite3_finalize(st);
    return n;
}

std::unique_ptr<QueryResult> ourQuery(const std::string& sql, const std::vector<SqlParam>& params = {})
{
    auto r = runSql(*env.db, cp(sql), params);
    check(r.isOk() ? Status::ok() : r.status(), "query");
    return std::move(r->rows);
}

// SQLite's text of a query: ":pkulcs" becomes "?".
std::string liteText(std::string sql)
{
    const size_t p = sql.find(":pkulcs");
    if (p != std::string::npos) sql.replace(p, 7, "?");
    return sql;
}

void BM_CustomerQuery_Engine(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ourQuery(kCustomerQuery)->rowCount());
}
void BM_CustomerQuery_Sqlite(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(liteRows(kCustomerQuery));
}

const std::string kTaskByDeadline = kTaskQueryHead + "ORDER BY dat_hatid, feladat.feladat;";
void BM_TaskQuery_Engine(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ourQuery(kTaskByDeadline)->rowCount());
}
void BM_TaskQuery_Sqlite(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(liteRows(kTaskByDeadline));
}

void BM_Keyword_Engine(benchmark::State& state)
{
    const auto& q = kKeywordQueries[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(ourQuery(q.second, {{"pkulcs", Value::fromText(cp("%ÁRVÍZ%"))}})->rowCount());
}
void BM_Keyword_Sqlite(benchmark::State& state)
{
    const auto& q = kKeywordQueries[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(liteRows(liteText(q.second), "%ÁRVÍZ%"));
}

// The task list as the main window holds it, opened once.
std::unique_ptr<QueryResult> taskList;

class ResultRow : public RowValues {
public:
    ResultRow(const QueryResult& r, size_t row) : r_(r), row_(row) {}
    const Value& value(int column) const override
    {
        auto v = r_.value(row_, column);
        check(v.isOk() ? Status::ok() : v.status(), "filter");
        held_ = std::move(*v);
        return held_;
    }

private:
    const QueryResult& r_;
    size_t row_;
    mutable Value held_;
};

void BM_FilterOpen_Engine(benchmark::State& state)
{
    std::vector<Filter::Column> cols;
    for (const auto& c : taskList->columns()) cols.push_back({c.name, c.type});
    for (auto _ : state) {
        auto f = Filter::compile("lezarva='N'", cols);
        std::vector<uint32_t> visible;
        for (size_t i = 0; i < taskList->rowCount(); ++i)
            if (f->matches(ResultRow(*taskList, i))) visible.push_back(uint32_t(i));
        benchmark::DoNotOptimize(visible.size());
    }
}
void BM_FilterOpen_Sqlite(benchmark::State& state)
{
    const std::string sql = kTaskQueryHead + "WHERE feladat.lezarva = 'N'\nORDER BY feladat.feladat;";
    for (auto _ : state) benchmark::DoNotOptimize(liteRows(sql));
}

void BM_LocatePrefix_Engine(benchmark::State& state)
{
    int column = -1;
    for (size_t c = 0; c < taskList->columns().size(); ++c)
        if (sameName(taskList->columns()[c].name, "ugyfel_nev")) column = int(c);
    const std::string prefix = lowerCp1250(cp("zzz ut"));
    for (auto _ : state) {
        size_t found = taskList->rowCount();
        for (size_t i = 0; i < taskList->rowCount(); ++i) {
            auto v = taskList->value(i, column);
            check(v.isOk() ? Status::ok() : v.status(), "locate");
            if (!v->isNull() && lowerCp1250(v->asText().substr(0, prefix.size())) == prefix) {
                found = i;
                break;
            }
        }
        if (found != size_t(kTasks - 10)) {
            std::fprintf(stderr, "locate found row %zu\n", found);
            std::exit(1);
        }
    }
}
void BM_LocatePrefix_Sqlite(benchmark::State& state)
{
    const std::string sql = kTaskQueryHead + "ORDER BY feladat.feladat;";
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(env.lite, sql.c_str(), -1, &st, nullptr);
        const int column = 17;  // ugyfel_nev
        int64_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
            if (t && sqlite3_strnicmp(t, "zzz ut", 6) == 0) break;
            ++n;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(n);
    }
}

std::string insertScript()
{
    std::string s;
    std::mt19937 rng(5);
    for (int i = 0; i < kScriptRows; ++i)
        s += "INSERT INTO feladat (dat_beerk, dat_hatid, ugyfel, allapot, prioritas, rovid, lezarva) VALUES ('" +
             sqlDate(int(rng() % 1500)) + "', '" + sqlDate(int(rng() % 1500)) + "', " +
             std::to_string(1 + rng() % kCustomers) + ", 1, 2, 'Új feladat " + std::to_string(i) + "', 'N');\n";
    return s;
}

void BM_InsertScript_Engine(benchmark::State& state)
{
    const std::string scriptFile = env.folder + "/script.sql";
    std::ofstream(scriptFile) << insertScript();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string folder = env.folder + "/script-db";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        {
            auto db = Database::open(folder);
            auto t = layout::find("feladat");
            check((*db)->createTable(t->name, t->def), "create");
        }
        state.ResumeTiming();
        const std::string command = env.sqlShell + " " + folder + " < " + scriptFile;
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "nyilvex-sql failed\n");
            std::exit(1);
        }
    }
}
void BM_InsertScript_Sqlite(benchmark::State& state)
{
    const std::string script = "BEGIN;\n" + insertScript() + "COMMIT;\n";
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = env.folder + "/script.sqlite";
        std::filesystem::remove(path);
        sqlite3* db = openLite(path);
        liteExec(db, "CREATE TABLE feladat (feladat INTEGER PRIMARY KEY, dat_beerk TEXT, dat_hatid TEXT, "
                     "ugyfel INTEGER, allapot INTEGER, prioritas INTEGER, rovid TEXT, leiras TEXT, feltipus INTEGER, "
                     "feleredmeny INTEGER, lezarva TEXT, termek INTEGER, dat_figy TEXT, figy_szoveg TEXT, "
                     "kulcsszavak TEXT, dat_lezar TEXT, ceg INTEGER)");
        state.ResumeTiming();
        liteExec(db, script);
        sqlite3_close(db);
    }
}

// The two shells as whole processes, each writing a whole result as CSV to
// /dev/null: nyilvex-sql on the tables, the sqlite3 shell on a copy of
// SQLite's tables without the Hungarian collation (the shell does not know
// it), with a plain index on the customer name for its ORDER BY. The keyword
// is plain ASCII, so that both shells' UPPER() find the same rows.
const std::string kShellKeywordQuery =
    "SELECT ugyfel.*, tipus.tipus_nev, ceg.ceg_nev FROM ugyfel"
    " LEFT OUTER JOIN tipus ON (ugyfel.tipus = tipus.tipus) LEFT OUTER JOIN ceg ON (ugyfel.ceg = ceg.ceg)"
    " WHERE UPPER(ugyfel.kulcsszavak) LIKE '%SZERVIZ%' ORDER BY 1;";

std::string shellQuoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

void runShell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.substr(0, 120).c_str());
        std::exit(1);
    }
}

std::string shellDatabase()
{
    const std::string path = env.folder + "/shell.sqlite";
    if (std::filesystem::exists(path)) return path;
    std::string schema = kLiteSchema;
    for (size_t p; (p = schema.find(" COLLATE HU")) != std::string::npos;) schema.erase(p, 11);
    sqlite3* db = nullptr;
    checkLite(sqlite3_open(path.c_str(), &db), db, "sqlite open");
    liteExec(db, schema);
    liteExec(db, "ATTACH '" + env.folder + "/bench.sqlite' AS src; BEGIN");
    for (const char* t : {"tipus", "uzletkoto", "ceg", "ugyfel", "termek", "allapot", "prioritas", "feltipus",
                          "feleredmeny", "feladat"})
        liteExec(db, std::string("INSERT INTO main.") + t + " SELECT * FROM src." + t);
    liteExec(db, "COMMIT; DETACH src");
    sqlite3_close(db);
    return path;
}

// A whole process varies by a tenth or more from run to run here: each side
// runs its command a number of times back to back and counts the median.
constexpr int kShellRounds = 9;

void shellPair(benchmark::State& state, const std::string& sql, bool engine)
{
    const std::string command =
        engine ? env.sqlShell + " " + env.folder + " -c " + shellQuoted(sql) + " > /dev/null"
               : "sqlite3 -csv -header " + shellDatabase() + " " + shellQuoted(sql) + " > /dev/null";
    runShell(command);  // warm: the files in the page cache, the copy made
    for (auto _ : state) {
        std::vector<double> seconds;
        for (int i = 0; i < kShellRounds; ++i) {
            const auto start = std::chrono::steady_clock::now();
            runShell(command);
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(seconds.begin(), seconds.end());
        state.SetIterationTime(seconds[seconds.size() / 2]);
    }
}

void BM_CustomerCsvShell_Engine(benchmark::State& state) { shellPair(state, kCustomerQuery, true); }
void BM_CustomerCsvShell_Sqlite(benchmark::State& state) { shellPair(state, kCustomerQuery, false); }
void BM_KeywordCsvShell_Engine(benchmark::State& state) { shellPair(state, kShellKeywordQuery, true); }
void BM_KeywordCsvShell_Sqlite(benchmark::State& state) { shellPair(state, kShellKeywordQuery, false); }

// Collects the times and prints engine / SQLite per pair after the usual
// report: wall-clock time, and processor time where the work runs in this
// process (the shell script runs in a child, so only its wall time counts).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times_[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-22s %11s %11s %11s %11s\n", "engine / SQLite", "engine ms", "sqlite ms", "ratio",
                    "cpu ratio");
        for (const auto& [name, t] : times_) {
            const size_t p = name.find("_Engine");
            if (p == std::string::npos) continue;
            std::string other = name;
            other.replace(p, 7, "_Sqlite");
            auto it = times_.find(other);
            if (it == times_.end()) continue;
            std::string shown = name.substr(3, p - 3);
            const size_t arg = name.find('/', p);
            if (arg != std::string::npos && std::isdigit(static_cast<unsigned char>(name[arg + 1])))
                shown += " " + kKeywordQueries[std::size_t(name[arg + 1] - '0')].first;
            const bool inProcess = t.second > 0.01 * t.first;
            char cpu[16] = "-";
            if (inProcess) std::snprintf(cpu, sizeof cpu, "%.2f", t.second / it->second.second);
            std::printf("%-22s %11.1f %11.1f %11.2f %11s\n", shown.c_str(), t.first, it->second.first,
                        t.first / it->second.first, cpu);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> times_;
};

}  // namespace

BENCHMARK(BM_CustomerQuery_Engine)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_CustomerQuery_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TaskQuery_Engine)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TaskQuery_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Keyword_Engine)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Keyword_Sqlite)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_FilterOpen_Engine)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_FilterOpen_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LocatePrefix_Engine)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LocatePrefix_Sqlite)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_CustomerCsvShell_Engine)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_CustomerCsvShell_Sqlite)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_KeywordCsvShell_Engine)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_KeywordCsvShell_Sqlite)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_InsertScript_Engine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InsertScript_Sqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    char tmpl[] = "/tmp/nyilvex-sqlbench-XXXXXX";
    env.folder = mkdtemp(tmpl);
    env.sqlShell = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "nyilvex-sql").string();
    auto db = Database::open(env.folder);
    check(db.status(), "open");
    env.db = *db;
    check(layout::createAll(*env.db), "layout");
    env.lite = openLite(env.folder + "/bench.sqlite");
    std::fprintf(stderr, "Filling %d customers, %d companies, %d tasks...\n", kCustomers, kCompanies, kTasks);
    fill();
    taskList = ourQuery(kTaskQueryHead + "ORDER BY feladat.feladat;");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Both engines ran in this process (the shells' children are not
    // counted: a child forked from this process starts with its memory).
    struct rusage self {};
    getrusage(RUSAGE_SELF, &self);
    std::printf("\npeak resident memory of this process: %.1f MB\n", double(self.ru_maxrss) / 1024.0);
    taskList.reset();
    sqlite3_close(env.lite);
    env.db.reset();
    std::filesystem::remove_all(env.folder);
    return 0;
}
