// Writes the seed inputs of table_fuzz: small tables made by the engine
// itself (keyed and unkeyed, every written field type, memos inline, shared
// and in blocks of their own, a secondary index; one with changes only in
// its journal, followed by SQL statements), packed as the fuzz target reads
// them.
//
//   table_fuzz_seeds OUTDIR
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/Database.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put32(std::string& out, size_t v)
{
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

// With `sql`, the journal and the text follow the files.
bool pack(const fs::path& dir, const std::string& table, const fs::path& out, const std::string& sql = {})
{
    const std::string parts[3] = {slurp(dir / (table + ".DB")), slurp(dir / (table + ".MB")),
                                  slurp(dir / (table + ".XG0"))};
    std::string bytes;
    for (const std::string& p : parts) put32(bytes, p.size());
    for (const std::string& p : parts) bytes += p;
    if (!sql.empty()) {
        const std::string wal = slurp(dir / (table + ".WAL"));
        put32(bytes, wal.size());
        bytes += wal + sql;
    }
    std::ofstream(out, std::ios::binary) << bytes;
    return !parts[0].empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: table_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const fs::path outDir = argv[1];
    fs::create_directories(outDir);
    char templ[] = "/tmp/nyx-seeds-XXXXXX";
    const fs::path work = mkdtemp(templ);
    auto db = *Database::open(work.string());

    TableDef keyed;
    keyed.fields = {{"kod", FieldType::AutoInc, 0}, {"nev", FieldType::Alpha, 20},   {"datum", FieldType::Date, 0},
                    {"leiras", FieldType::Memo, 8},  {"szam", FieldType::Number, 0}, {"jelzo", FieldType::Logical, 0},
                    {"egesz", FieldType::Long, 0},   {"rtf", FieldType::FmtMemo, 0}};
    keyed.keyFieldCount = 1;
    keyed.indexes = {{"idx_nev", {"nev"}, true, false}};
    TableDef unkeyed;
    unkeyed.fields = {{"nev", FieldType::Alpha, 10}, {"db", FieldType::Long, 0}};

    const int sizes[] = {0, 3, 40};
    int made = 0;
    for (int rows : sizes) {
        const std::string name = "k" + std::to_string(rows);
        if (!db->createTable(name, keyed).isOk()) return 1;
        {
            auto t = *db->openTable(name, OpenMode::Shared);
            for (int i = 0; i < rows; ++i) {
                Record r = {Value(),
                            Value::fromText("nev" + std::to_string(i * 7 % 13)),
                            Value::fromDate(Date::fromYmd(2020, 1 + i % 12, 1 + i % 28)),
                            Value::fromText(std::string(size_t(i * i % 3000), char('a' + i % 26))),
                            Value::fromFloat(i * 0.5 - 3),
                            Value::fromBool(i % 2 == 0),
                            i % 5 ? Value::fromInt(i) : Value(),
                            i % 3 ? Value() : Value::fromText("{\\rtf1 " + std::to_string(i) + "}")};
                if (!t->insert(r).isOk()) return 1;
            }
        }
        made += pack(work, name, outDir / ("keyed-" + std::to_string(rows)));
    }
    if (!db->createTable("u", unkeyed).isOk()) return 1;
    {
        auto t = *db->openTable("u", OpenMode::Shared);
        for (int i = 0; i < 30; ++i) {
            Record r = {Value::fromText("x" + std::to_string(i)), Value::fromInt(i)};
            if (!t->insert(r).isOk()) return 1;
        }
    }
    made += pack(work, "u", outDir / "unkeyed");
    // Changes still in the journal (the table is open), then statements.
    if (!db->createTable("j", keyed).isOk()) return 1;
    {
        auto t = *db->openTable("j", OpenMode::Shared);
        for (int i = 0; i < 12; ++i) {
            Record r = {Value(), Value::fromText("n" + std::to_string(i)), Value(), Value::fromText(std::string(size_t(i * 90), 'm')),
                        Value::fromFloat(i), Value(), Value::fromInt(i), Value()};
            if (!t->insert(r).isOk()) return 1;
        }
        made += pack(work, "j", outDir / "journal-sql",
                     "SELECT kod, UPPER(nev), leiras FROM t WHERE (kod > 2 OR NOT jelzo) AND nev LIKE 'n%' ORDER BY nev DESC;"
                     "UPDATE t SET kod=kod+1, szam=szam*2;INSERT INTO t (nev, egesz) SELECT nev, COUNT(*) FROM t GROUP BY nev;"
                     "DELETE FROM t WHERE egesz < 3;SELECT COUNT(*), MAX(datum) FROM t;");
    }
    fs::remove_all(work);
    std::printf("%d seeds in %s\n", made, outDir.c_str());
    return 0;
}
