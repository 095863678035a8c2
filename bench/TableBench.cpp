// The table store side by side with SQLite on the same rows, in one run:
// 100,000 customers in the customer table's layout, the same statements'
// work on both sides, and the ratio engine/SQLite of each (below 1.0: the
// engine is faster).
//
//   table_bench [ROWS]
//
// Each measurement runs three times, alternating engine and SQLite, and the
// best time of each counts. SQLite runs with its defaults (rollback journal,
// full sync), its text index ordered by the same Hungarian collation.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/Codepage.h"
#include "engine/Collation.h"
#include "engine/Database.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

// The customer table (ugyfel).
TableDef customerDef()
{
    TableDef d;
    d.fields = {
        {"Ugyfel", FieldType::AutoInc, 0},     {"Ugyfel_nev", FieldType::Alpha, 100}, {"Telefon_magan", FieldType::Alpha, 20},
        {"Telefon_ceges", FieldType::Alpha, 20}, {"Mobil", FieldType::Alpha, 20},      {"Fax", FieldType::Alpha, 20},
        {"Emil1", FieldType::Alpha, 100},       {"Emil2", FieldType::Alpha, 100},      {"Honlap", FieldType::Alpha, 100},
        {"Cim_varos", FieldType::Alpha, 50},    {"Cim_irsz", FieldType::Alpha, 5},     {"Cim_cim", FieldType::Alpha, 100},
        {"Kapcsolat", FieldType::Alpha, 50},    {"Datum", FieldType::Date, 0},         {"Megjegyzes", FieldType::Memo, 0},
        {"vnev", FieldType::Alpha, 50},         {"knev", FieldType::Alpha, 25},        {"honap", FieldType::Long, 0},
        {"nap", FieldType::Long, 0},            {"tipus", FieldType::Long, 0},         {"ceg", FieldType::Long, 0},
        {"uzletkoto", FieldType::Long, 0},      {"dat_figy", FieldType::Date, 0},      {"figy_szoveg", FieldType::Alpha, 255},
        {"beosztas", FieldType::Long, 0},       {"prefix", FieldType::Alpha, 10},      {"ffino", FieldType::Long, 0},
        {"kulcsszavak", FieldType::Alpha, 255},
    };
    d.keyFieldCount = 1;
    d.indexes = {{"idx_ugyfel_nev", {"Ugyfel_nev"}, true, false}};
    return d;
}

std::string cp(const std::string& utf8) { return *utf8ToCp1250(utf8); }

// Rows as both sides get them (the key is assigned on insert).
std::vector<Record> makeRows(size_t n)
{
    static const char* const kFamily[] = {"Kovács", "Nagy", "Tóth", "Szabó", "Horváth", "Varga", "Kiss", "Molnár",
                                          "Németh", "Farkas", "Balogh", "Papp", "Takács", "Juhász", "Lakatos", "Ács",
                                          "Őri", "Ügyes", "Csizmadia", "Zsigmond"};
    static const char* const kGiven[] = {"Ágnes", "Béla", "Csaba", "Dóra", "Éva", "Ferenc", "Gyula", "Ilona",
                                         "János", "Katalin", "László", "Mária", "Nóra", "Ödön", "Péter", "Zsuzsanna"};
    static const char* const kCities[] = {"Budapest", "Debrecen", "Szeged", "Miskolc", "Pécs", "Győr", "Érd", "Eger"};
    std::mt19937 rng(42);
    std::vector<Record> rows;
    rows.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const std::string fam = cp(kFamily[rng() % 20]), giv = cp(kGiven[rng() % 16]);
        Record r(28);
        r[1] = Value::fromText(fam + " " + giv);
        r[2] = Value::fromText("06-1-" + std::to_string(1000000 + rng() % 9000000));
        r[4] = Value::fromText("06-30-" + std::to_string(1000000 + rng() % 9000000));
        r[6] = Value::fromText("ugyfel" + std::to_string(i) + "@pelda.hu");
        r[9] = Value::fromText(cp(kCities[rng() % 8]));
        r[10] = Value::fromText(std::to_string(1000 + rng() % 9000));
        r[11] = Value::fromText(cp("Fő utca ") + std::to_string(rng() % 200));
        r[13] = Value::fromDate(Date::fromYmd(2015 + int(rng() % 10), 1 + int(rng() % 12), 1 + int(rng() % 28)));
        if (i % 4 == 0) r[14] = Value::fromText(cp("Megjegyzés a ügyfélről, ") + std::string(rng() % 300, 'm'));
        r[15] = Value::fromText(fam);
        r[16] = Value::fromText(giv);
        r[17] = Value::fromInt(int64_t(rng() % 13));
        r[18] = Value::fromInt(int64_t(rng() % 29));
        r[19] = Value::fromInt(int64_t(1 + rng() % 5));
        r[20] = Value::fromInt(int64_t(rng() % 2000));
        r[21] = Value::fromInt(int64_t(1 + rng() % 9));
        r[24] = Value::fromInt(int64_t(1 + rng() % 7));
        r[26] = Value::fromInt(0);
        if (i % 10 == 0) r[27] = Value::fromText(cp("kulcsszó, vevő"));
        rows.push_back(std::move(r));
    }
    return rows;
}

// ---------------------------------------------------------------------------
// SQLite side

int hungarianCollation(void*, int n1, const void* a, int n2, const void* b)
{
    return compareTextCaseless({static_cast<const char*>(a), size_t(n1)}, {static_cast<const char*>(b), size_t(n2)});
}

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3* openSqlite(const std::string& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db), db);
    check(sqlite3_create_collation(db, "HU", SQLITE_UTF8, nullptr, hungarianCollation), db);
    return db;
}

std::string sqliteColumns(bool withTypes)
{
    const TableDef d = customerDef();
    std::string s;
    for (size_t i = 0; i < d.fields.size(); ++i) {
        if (i) s += ", ";
        s += d.fields[i].name;
        if (!withTypes) continue;
        if (i == 0)
            s += " INTEGER PRIMARY KEY";
        else if (d.fields[i].type == FieldType::Long || d.fields[i].type == FieldType::Date)
            s += " INTEGER";
        else
            s += " TEXT";
    }
    return s;
}

void sqliteInsertAll(sqlite3* db, const std::vector<Record>& rows)
{
    sqlite3_stmt* st = nullptr;
    std::string sql = "INSERT INTO ugyfel VALUES (NULL";
    for (int i = 1; i < 28; ++i) sql += ", ?";
    sql += ")";
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db);
    for (const Record& r : rows) {
        for (int i = 1; i < 28; ++i) {
            const Value& v = r[size_t(i)];
            switch (v.kind()) {
            case Value::Kind::Null: sqlite3_bind_null(st, i); break;
            case Value::Kind::Int: sqlite3_bind_int64(st, i, v.asInt()); break;
            case Value::Kind::Date: sqlite3_bind_int64(st, i, v.asDate().serial); break;
            default: sqlite3_bind_text(st, i, v.asText().data(), int(v.asText().size()), SQLITE_STATIC); break;
            }
        }
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

void sqliteCreate(sqlite3* db)
{
    check(sqlite3_exec(db, ("CREATE TABLE ugyfel (" + sqliteColumns(true) + ")").c_str(), nullptr, nullptr, nullptr), db);
    check(sqlite3_exec(db, "CREATE INDEX idx_ugyfel_nev ON ugyfel (Ugyfel_nev COLLATE HU)", nullptr, nullptr, nullptr), db);
}

// Reads every column of every row of a query; returns a checksum so the
// work cannot be skipped.
size_t sqliteReadAll(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
    size_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_TEXT)
                sum += size_t(sqlite3_column_bytes(st, i)) + size_t(sqlite3_column_text(st, i)[0]);
            else
                sum += size_t(sqlite3_column_int64(st, i));
        }
    }
    sqlite3_finalize(st);
    return sum;
}

// ---------------------------------------------------------------------------
// Engine side

size_t engineReadRow(Table& t, RowId r, int fields)
{
    size_t sum = 0;
    for (int i = 0; i < fields; ++i) {
        const Value v = *t.readField(r, i);
        switch (v.kind()) {
        case Value::Kind::Text: sum += v.asText().size() + size_t(uint8_t(v.asText()[0])); break;
        case Value::Kind::Int: sum += size_t(v.asInt()); break;
        case Value::Kind::Date: sum += size_t(v.asDate().serial); break;
        default: break;
        }
    }
    return sum;
}

void fail(const Status& s)
{
    if (s.isOk()) return;
    std::fprintf(stderr, "engine: %s\n", s.message().c_str());
    std::exit(1);
}

// ---------------------------------------------------------------------------

double seconds(const std::function<void()>& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Pair {
    std::string what;
    double engine = 1e9;
    double sqlite = 1e9;
};

// Runs `prepare` untimed before each timed run.
void measure(Pair& p, const std::function<void()>& prepEngine, const std::function<void()>& engine,
             const std::function<void()>& prepSqlite, const std::function<void()>& sqlite)
{
    for (int round = 0; round < 3; ++round) {
        prepEngine();
        p.engine = std::min(p.engine, seconds(engine));
        prepSqlite();
        p.sqlite = std::min(p.sqlite, seconds(sqlite));
    }
    std::printf("%-52s %10.1f ms %10.1f ms %8.2f\n", p.what.c_str(), p.engine * 1000, p.sqlite * 1000,
                p.engine / p.sqlite);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t n = argc > 1 ? size_t(std::atol(argv[1])) : 100000;
    char tmpl[] = "/tmp/nyx-bench-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    const fs::path engDir = dir / "engine";
    fs::create_directories(engDir);
    const std::string sqlPath = (dir / "bench.sqlite").string();
    const std::vector<Record> rows = makeRows(n);
    std::printf("%zu customers; best of 3 runs each\n\n", n);
    std::printf("%-52s %13s %13s %8s\n", "", "engine", "SQLite", "ratio");

    // The base tables both sides work on.
    auto buildEngine = [&](const fs::path& folder) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        auto db = *Database::open(folder.string());
        fail(db->createTable("ugyfel", customerDef()));
        auto t = *db->openTable("ugyfel", OpenMode::Shared);
        for (const Record& r : rows) {
            Record copy = r;
            fail(t->insert(copy).status());
        }
        fail(t->flush());
    };
    auto buildSqlite = [&](const std::string& path) {
        fs::remove(path);
        sqlite3* db = openSqlite(path);
        sqliteCreate(db);
        check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
        sqliteInsertAll(db, rows);
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    };

    std::vector<Pair> results;
    auto nothing = [] {};
    {
        Pair p{"append " + std::to_string(n) + " rows, one flush"};
        measure(
            p, [&] { fs::remove_all(engDir); }, [&] { buildEngine(engDir); }, [&] { fs::remove(sqlPath); },
            [&] { buildSqlite(sqlPath); });
        results.push_back(p);
    }
    size_t sink = 0;
    {
        Pair p{"open the table and read every row"};
        measure(
            p, nothing,
            [&] {
                auto db = *Database::open(engDir.string());
                auto t = *db->openTable("ugyfel", OpenMode::ReadOnly);
                const std::vector<RowId> ids = *t->rows(OrderSpec::primary());
                for (RowId r : ids) sink += engineReadRow(*t, r, 28);
            },
            nothing,
            [&] {
                sqlite3* db = openSqlite(sqlPath);
                sink += sqliteReadAll(db, "SELECT * FROM ugyfel");
                sqlite3_close(db);
            });
        results.push_back(p);
    }
    {
        auto db = *Database::open(engDir.string());
        auto t = *db->openTable("ugyfel", OpenMode::Shared);
        sqlite3* sdb = openSqlite(sqlPath);
        Pair p{"walk the case-insensitive name index"};
        measure(
            p, nothing,
            [&] {
                const std::vector<RowId> ids = *t->rows(OrderSpec::index("idx_ugyfel_nev"));
                for (RowId r : ids) sink += engineReadRow(*t, r, 28);
            },
            nothing, [&] { sink += sqliteReadAll(sdb, "SELECT * FROM ugyfel ORDER BY Ugyfel_nev COLLATE HU"); });
        results.push_back(p);

        std::mt19937 rng(7);
        std::vector<int64_t> keys(10000);
        for (int64_t& k : keys) k = int64_t(1 + rng() % n);
        Pair f{"find 10,000 rows by key"};
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(sdb, "SELECT * FROM ugyfel WHERE Ugyfel = ?", -1, &st, nullptr), sdb);
        measure(
            f, nothing,
            [&] {
                for (int64_t k : keys) {
                    const std::optional<RowId> r = *t->findKey({Value::fromInt(k)});
                    sink += engineReadRow(*t, *r, 28);
                }
            },
            nothing,
            [&] {
                for (int64_t k : keys) {
                    sqlite3_bind_int64(st, 1, k);
                    while (sqlite3_step(st) == SQLITE_ROW)
                        for (int i = 0; i < 28; ++i)
                            sink += sqlite3_column_type(st, i) == SQLITE_TEXT ? size_t(sqlite3_column_bytes(st, i))
                                                                              : size_t(sqlite3_column_int64(st, i));
                    sqlite3_reset(st);
                }
            });
        sqlite3_finalize(st);
        results.push_back(f);

        Pair w{"post one row with write-through (x20)"};
        sqlite3_stmt* ins = nullptr;
        std::string sql = "INSERT INTO ugyfel VALUES (NULL";
        for (int i = 1; i < 28; ++i) sql += ", ?";
        sql += ")";
        check(sqlite3_prepare_v2(sdb, sql.c_str(), -1, &ins, nullptr), sdb);
        measure(
            w, nothing,
            [&] {
                for (int i = 0; i < 20; ++i) {
                    Record r = rows[size_t(i)];
                    fail(t->insert(r).status());
                    fail(t->flush());
                }
            },
            nothing,
            [&] {
                for (int i = 0; i < 20; ++i) {
                    const Record& r = rows[size_t(i)];
                    for (int k = 1; k < 28; ++k) {
                        const Value& v = r[size_t(k)];
                        if (v.isNull())
                            sqlite3_bind_null(ins, k);
                        else if (v.kind() == Value::Kind::Int)
                            sqlite3_bind_int64(ins, k, v.asInt());
                        else if (v.kind() == Value::Kind::Date)
                            sqlite3_bind_int64(ins, k, v.asDate().serial);
                        else
                            sqlite3_bind_text(ins, k, v.asText().data(), int(v.asText().size()), SQLITE_STATIC);
                    }
                    check(sqlite3_step(ins), sdb);
                    sqlite3_reset(ins);
                }
            });
        sqlite3_finalize(ins);
        results.push_back(w);
        sqlite3_close(sdb);
    }
    {
        Pair p{"add a field to the table"};
        int round = 0;
        measure(
            p, [&] { buildEngine(engDir); },
            [&] {
                auto db = *Database::open(engDir.string());
                auto t = *db->openTable("ugyfel", OpenMode::Exclusive);
                fail(t->addField({"uj_mezo" + std::to_string(round), FieldType::Long, 0}));
            },
            [&] { buildSqlite(sqlPath); },
            [&] {
                sqlite3* db = openSqlite(sqlPath);
                check(sqlite3_exec(db, ("ALTER TABLE ugyfel ADD uj_mezo" + std::to_string(round++) + " INTEGER").c_str(),
                                   nullptr, nullptr, nullptr),
                      db);
                sqlite3_close(db);
            });
        results.push_back(p);
    }
    fs::remove_all(dir);
    std::printf("\n(checksum %zu)\n", sink);
    return 0;
}
