// libFuzzer target over the table file readers: the input becomes a table's
// data file and memo file (and a secondary index file, and its journal),
// which the engine opens and reads through completely, and then SQL text
// that runs on the folder. Whatever the bytes, the engine must answer with
// rows or with an error, never crash or hang.
//
// Input: three little-endian 32-bit lengths, then the .DB, .MB and .XG0
// bytes one after the other (missing parts make missing files); then, when
// anything is left, a fourth length and the .WAL bytes, and the rest is the
// SQL text.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Database.h"
#include "engine/Sql.h"

using namespace engine;

namespace {

const std::string& folder()
{
    static const std::string path = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "nyx-fuzz-XXXXXX").string();
        return std::string(mkdtemp(templ.data()));
    }();
    return path;
}

void writeFile(const std::string& name, const uint8_t* data, size_t size)
{
    std::ofstream out(folder() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

uint32_t take32(const uint8_t*& data, size_t& size)
{
    uint32_t v = 0;
    for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) v |= uint32_t(*data) << (8 * i);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder(), ec)) std::filesystem::remove(e.path(), ec);
    size_t lens[3];
    for (size_t& l : lens) l = take32(data, size);
    const char* names[3] = {"t.DB", "t.MB", "t.XG0"};
    for (int i = 0; i < 3; ++i) {
        const size_t n = std::min(lens[i], size);
        if (i == 0 || n > 0) writeFile(names[i], data, n);
        data += n;
        size -= n;
    }
    std::string sql;
    if (size > 0) {
        const size_t n = std::min(size_t(take32(data, size)), size);
        writeFile("t.WAL", data, n);
        sql.assign(reinterpret_cast<const char*>(data + n), size - n);
    }

    Result<std::shared_ptr<Database>> db = Database::open(folder());
    if (!db.isOk()) return 0;
    // A journal found damaged is reported by the first open only.
    Result<std::shared_ptr<Table>> t = (*db)->openTable("t", OpenMode::ReadOnly);
    if (!t.isOk()) t = (*db)->openTable("t", OpenMode::ReadOnly);
    if (!t.isOk()) return 0;
    const TableDef& def = (*t)->def();
    std::vector<OrderSpec> orders = {OrderSpec::primary()};
    for (const IndexDef& i : def.indexes) orders.push_back(OrderSpec::index(i.name));
    for (const OrderSpec& o : orders) {
        Result<std::vector<RowId>> rows = (*t)->rows(o);
        if (!rows.isOk()) continue;
        for (RowId r : *rows) {
            Record rec;
            (void)(*t)->read(r, rec);
            for (size_t f = 0; f < def.fields.size(); ++f) (void)(*t)->readField(r, int(f));
        }
    }
    if (def.keyFieldCount == 1) (void)(*t)->findKey({Value::fromInt(1)});
    t->reset();
    if (!sql.empty()) {
        SqlSession session(**db);
        for (const std::string& statement : splitStatements(sql)) {
            Result<SqlOutcome> o = session.run(statement);
            if (!o.isOk() || !o->rows) continue;
            for (size_t r = 0; r < o->rows->rowCount(); ++r)
                for (size_t c = 0; c < o->rows->columns().size(); ++c) (void)o->rows->value(r, c);
        }
    }
    return 0;
}
