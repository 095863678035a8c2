// The table store through its public interface: real table files in a
// temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "TempFolder.h"
#include "engine/Codepage.h"
#include "engine/Database.h"
#include "engine/WriteAheadLog.h"

using namespace engine;
using enginetest::TempFolder;

namespace {

std::string cp(std::string_view utf8) { return *utf8ToCp1250(utf8); }

TableDef customerDef()
{
    TableDef d;
    d.fields = {
        {"Ugyfel", FieldType::AutoInc, 0}, {"Ugyfel_nev", FieldType::Alpha, 100}, {"Datum", FieldType::Date, 0},
        {"Megjegyzes", FieldType::Memo, 0}, {"honap", FieldType::Long, 0},    {"lezarva", FieldType::Alpha, 1},
        {"szoveg", FieldType::FmtMemo, 0},   {"kuldve", FieldType::Logical, 0}, {"osszeg", FieldType::Number, 0},
    };
    d.keyFieldCount = 1;
    d.indexes = {{"idx_ugyfel_nev", {"Ugyfel_nev"}, true, false}, {"idx_datum_desc", {"Datum"}, false, true}};
    return d;
}

Record customer(std::string name, int day = 1)
{
    return {Value(), Value::fromText(cp(name)), Value::fromDate(Date::fromYmd(2024, 1, day)), Value(),
            Value::fromInt(day), Value::fromText("N"), Value(), Value::fromBool(day % 2 == 0),
            Value::fromFloat(day * 1.5)};
}

std::shared_ptr<Database> openDb(const TempFolder& f)
{
    Result<std::shared_ptr<Database>> db = Database::open(f.path());
    EXPECT_TRUE(db.isOk()) << db.status().message();
    return *db;
}

std::shared_ptr<Table> openTable(Database& db, std::string_view name, OpenMode mode = OpenMode::Shared)
{
    Result<std::shared_ptr<Table>> t = db.openTable(name, mode);
    EXPECT_TRUE(t.isOk()) << t.status().message();
    return t.isOk() ? *t : nullptr;
}

std::vector<std::string> namesInOrder(Table& t, const OrderSpec& order)
{
    std::vector<std::string> out;
    Result<std::vector<RowId>> rows = t.rows(order);
    EXPECT_TRUE(rows.isOk()) << rows.status().message();
    for (RowId r : *rows) {
        Result<Value> v = t.readField(r, 1);
        out.push_back(v->isNull() ? "" : cp1250ToUtf8(v->asText()));
    }
    return out;
}

}  // namespace

TEST(Table, CreateOpenAndNamesWithoutRegardToCase)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("Ugyf_Ertesit", customerDef()).isOk());
    EXPECT_TRUE(f.exists("Ugyf_Ertesit.DB"));
    EXPECT_TRUE(f.exists("Ugyf_Ertesit.PX"));
    EXPECT_TRUE(f.exists("Ugyf_Ertesit.MB"));
    EXPECT_TRUE(f.exists("Ugyf_Ertesit.XG0"));
    EXPECT_TRUE(f.exists("Ugyf_Ertesit.YG1"));

    Status again = db->createTable("UGYF_ERTESIT.db", customerDef());
    EXPECT_EQ(again.code(), ErrorCode::AlreadyExists);
    EXPECT_EQ(again.message(), "A(z) UGYF_ERTESIT tábla már létezik.");

    auto names = *db->tableNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "Ugyf_Ertesit");

    for (const char* n : {"ugyf_ertesit", "UGYF_ERTESIT.DB", "Ugyf_Ertesit.db"}) {
        auto t = openTable(*db, n);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->name(), "Ugyf_Ertesit");
        EXPECT_EQ(t->def().fieldIndex("ugyfel_NEV"), 1);
    }
    Result<std::shared_ptr<Table>> missing = db->openTable("nincs", OpenMode::Shared);
    EXPECT_EQ(missing.status().code(), ErrorCode::NotFound);

    EXPECT_EQ(Database::open(f.file("nincs")).status().code(), ErrorCode::NotFound);
}

TEST(Table, InsertAssignsAutoIncAndKeepsEveryFieldType)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
    const std::string longMemo = cp("Hosszú megjegyzés, ") + std::string(5000, 'x');
    const std::string rtf = "{\\rtf1\\ansi " + std::string(300, 'r') + "}";
    {
        auto t = openTable(*db, "ugyfel");
        Record a = customer("Kovács Ágnes", 3);
        a[3] = Value::fromText(longMemo);
        a[6] = Value::fromText(rtf);
        Result<RowId> ra = t->insert(a);
        ASSERT_TRUE(ra.isOk()) << ra.status().message();
        EXPECT_EQ(a[0], Value::fromInt(1));
        Record b = customer("Nagy Béla", 4);
        b[3] = Value::fromText(cp("rövid"));
        b[4] = Value::fromInt(0);
        b[8] = Value::fromFloat(0);
        b[7] = Value::fromBool(false);
        ASSERT_TRUE(t->insert(b).isOk());
        EXPECT_EQ(b[0], Value::fromInt(2));
        Record c = {Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value()};
        ASSERT_TRUE(t->insert(c).isOk());
        EXPECT_EQ(c[0], Value::fromInt(3));

        Record back;
        ASSERT_TRUE(t->read(*ra, back).isOk());
        EXPECT_EQ(back[1], Value::fromText(cp("Kovács Ágnes")));
        EXPECT_EQ(back[2], Value::fromDate(Date::fromYmd(2024, 1, 3)));
        EXPECT_EQ(back[3], Value::fromText(longMemo));
        EXPECT_EQ(back[6], Value::fromText(rtf));
        EXPECT_EQ(back[8], Value::fromFloat(4.5));
    }
    // Everything again after closing and opening the folder anew.
    auto db2 = openDb(f);
    auto t = openTable(*db2, "UGYFEL");
    EXPECT_EQ(*t->recordCount(), 3u);
    auto rows = *t->rows(OrderSpec::primary());
    Record a, b, c;
    ASSERT_TRUE(t->read(rows[0], a).isOk());
    ASSERT_TRUE(t->read(rows[1], b).isOk());
    ASSERT_TRUE(t->read(rows[2], c).isOk());
    EXPECT_EQ(a[3], Value::fromText(longMemo));
    EXPECT_EQ(a[6], Value::fromText(rtf));
    EXPECT_EQ(b[3], Value::fromText(cp("rövid")));
    // Zero and false are values; blank is blank.
    EXPECT_EQ(b[4], Value::fromInt(0));
    EXPECT_EQ(b[8], Value::fromFloat(0));
    EXPECT_EQ(b[7], Value::fromBool(false));
    for (size_t i = 1; i < c.size(); ++i) EXPECT_TRUE(c[i].isNull()) << i;
    // Numbers continue after the highest, never repeat.
    Record d = customer("Új");
    ASSERT_TRUE(t->insert(d).isOk());
    EXPECT_EQ(d[0], Value::fromInt(4));
}

TEST(Table, RefusedChangesLeaveNothingBehind)
{
    TempFolder f;
    auto db = openDb(f);
    TableDef def;
    def.fields = {{"Ugyfel", FieldType::Long, 0}, {"doknev", FieldType::Alpha, 10}, {"tipus", FieldType::Long, 0}};
    def.keyFieldCount = 2;
    ASSERT_TRUE(db->createTable("megj", def).isOk());
    auto t = openTable(*db, "megj");
    Record a = {Value::fromInt(5), Value::fromText("c:\\a.doc"), Value::fromInt(0)};
    ASSERT_TRUE(t->insert(a).isOk());
    const uint64_t v = *t->version();

    Record dup = {Value::fromInt(5), Value::fromText("c:\\a.doc"), Value::fromInt(3)};
    Result<RowId> r = t->insert(dup);
    EXPECT_EQ(r.status().code(), ErrorCode::DuplicateKey);
    EXPECT_EQ(r.status().message().rfind("Kulcsmegsértés: ", 0), 0u) << r.status().message();

    Record tooLong = {Value::fromInt(6), Value::fromText("c:\\hosszu-nev.doc"), Value()};
    EXPECT_EQ(t->insert(tooLong).status().code(), ErrorCode::InvalidValue);
    Record blankKey = {Value(), Value::fromText("x"), Value()};
    EXPECT_EQ(t->insert(blankKey).status().code(), ErrorCode::InvalidValue);
    Record wrongKind = {Value::fromText("5"), Value::fromText("x"), Value()};
    EXPECT_EQ(t->insert(wrongKind).status().code(), ErrorCode::InvalidValue);
    Record shortRec = {Value::fromInt(7)};
    EXPECT_EQ(t->insert(shortRec).status().code(), ErrorCode::InvalidValue);

    Record b = {Value::fromInt(6), Value::fromText("x"), Value()};
    RowId rb = *t->insert(b);
    Record clash = {Value::fromInt(5), Value::fromText("c:\\a.doc"), Value()};
    EXPECT_EQ(t->update(rb, clash).code(), ErrorCode::DuplicateKey);

    EXPECT_EQ(*t->recordCount(), 2u);
    EXPECT_GT(*t->version(), v);
    Record back;
    ASSERT_TRUE(t->read(rb, back).isOk());
    EXPECT_EQ(back[0], Value::fromInt(6));
}

TEST(Table, OrdersByKeyAndBySecondaryIndexes)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
    auto t = openTable(*db, "ugyfel");
    const char* names[] = {"Csaba", "adam", "Cukor", "Ábel", "Zoltán", "Ödön", "Oszkár", "ábel"};
    int day = 1;
    for (const char* n : names) {
        Record r = customer(n, day++);
        ASSERT_TRUE(t->insert(r).isOk());
    }
    EXPECT_EQ(namesInOrder(*t, OrderSpec::primary()),
              (std::vector<std::string>{"Csaba", "adam", "Cukor", "Ábel", "Zoltán", "Ödön", "Oszkár", "ábel"}));
    const auto byName = namesInOrder(*t, OrderSpec::index("IDX_UGYFEL_NEV"));
    // Letter case aside, equal names follow the key.
    EXPECT_EQ(byName, (std::vector<std::string>{"Ábel", "ábel", "adam", "Cukor", "Csaba", "Oszkár", "Ödön", "Zoltán"}));
    EXPECT_EQ(namesInOrder(*t, OrderSpec::byFields({"ugyfel_nev"})), byName);
    EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_datum_desc")),
              (std::vector<std::string>{"ábel", "Oszkár", "Ödön", "Zoltán", "Ábel", "Cukor", "adam", "Csaba"}));
    EXPECT_EQ(t->rows(OrderSpec::index("nincs")).status().code(), ErrorCode::NotFound);
    EXPECT_EQ(t->rows(OrderSpec::byFields({"honap"})).status().code(), ErrorCode::NotFound);

    // Changes keep the orders; the definitions and orders survive reopening.
    auto rows = *t->rows(OrderSpec::index("idx_ugyfel_nev"));
    Record r;
    ASSERT_TRUE(t->read(rows[0], r).isOk());
    r[1] = Value::fromText("Zsuzsa");
    ASSERT_TRUE(t->update(rows[0], r).isOk());
    ASSERT_TRUE(t->remove(rows[3]).isOk());
    const std::vector<std::string> expect = {"ábel", "adam", "Csaba", "Oszkár", "Ödön", "Zoltán", "Zsuzsa"};
    EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")), expect);
    t.reset();
    auto db2 = openDb(f);
    auto t2 = openTable(*db2, "ugyfel");
    ASSERT_EQ(t2->def().indexes.size(), 2u);
    EXPECT_EQ(t2->def().indexes[0].name, "idx_ugyfel_nev");
    EXPECT_TRUE(t2->def().indexes[0].caseInsensitive);
    EXPECT_TRUE(t2->def().indexes[1].descending);
    EXPECT_EQ(namesInOrder(*t2, OrderSpec::index("idx_ugyfel_nev")), expect);
}

TEST(Table, FindKeyUpdateRemoveEmpty)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
    auto t = openTable(*db, "ugyfel");
    std::vector<RowId> ids;
    for (int i = 0; i < 50; ++i) {
        Record r = customer("Név " + std::to_string(i), i % 28 + 1);
        ids.push_back(*t->insert(r));
    }
    auto found = *t->findKey({Value::fromInt(17)});
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, ids[16]);
    EXPECT_FALSE(*t->findKey({Value::fromInt(99)}));

    // A key change moves the row; its id stays.
    Record r;
    ASSERT_TRUE(t->read(ids[16], r).isOk());
    r[0] = Value::fromInt(1000);
    ASSERT_TRUE(t->update(ids[16], r).isOk());
    EXPECT_FALSE(*t->findKey({Value::fromInt(17)}));
    EXPECT_EQ(**t->findKey({Value::fromInt(1000)}), ids[16]);
    EXPECT_EQ(t->rows(OrderSpec::primary())->back(), ids[16]);
    Record next = customer("utolsó");
    ASSERT_TRUE(t->insert(next).isOk());
    EXPECT_EQ(next[0], Value::fromInt(1001));

    ASSERT_TRUE(t->remove(ids[3]).isOk());
    Record gone;
    EXPECT_EQ(t->read(ids[3], gone).code(), ErrorCode::NotFound);
    EXPECT_EQ(t->remove(ids[3]).code(), ErrorCode::NotFound);
    EXPECT_EQ(*t->recordCount(), 50u);

    ASSERT_TRUE(t->emptyTable().isOk());
    EXPECT_EQ(*t->recordCount(), 0u);
    EXPECT_TRUE(t->rows(OrderSpec::index("idx_ugyfel_nev"))->empty());
    Record after = customer("új");
    ASSERT_TRUE(t->insert(after).isOk());
    EXPECT_EQ(after[0], Value::fromInt(1002));
    ASSERT_TRUE(t->flush().isOk());
    t.reset();
    auto t2 = openTable(*openDb(f), "ugyfel");
    EXPECT_EQ(*t2->recordCount(), 1u);
}

// A field of many rows at once, in any order (a sorted list's column), is
// what reading it row by row gives; a row that is gone is an error.
TEST(Table, FieldsOfManyRowsAsOneByOne)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
    auto t = openTable(*db, "ugyfel");
    std::vector<RowId> ids;
    for (int i = 0; i < 300; ++i) {
        Record r = customer(i % 7 ? "Név " + std::to_string(i) : "", i % 28 + 1);
        if (i % 5 == 0) r[3] = Value::fromText("megjegyzés " + std::to_string(i));
        if (i % 9 == 0) r[2] = Value();
        ids.push_back(*t->insert(r));
    }
    std::mt19937 rng(11);
    std::shuffle(ids.begin(), ids.end(), rng);
    ids.push_back(ids.front());  // a row twice
    for (int field = 0; field < int(customerDef().fields.size()); ++field) {
        std::vector<Value> many;
        ASSERT_TRUE(t->readFields(ids, field, many).isOk()) << field;
        ASSERT_EQ(many.size(), ids.size());
        for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(many[i], *t->readField(ids[i], field)) << field << " " << i;
    }
    std::vector<Value> none{Value::fromInt(1)};
    EXPECT_TRUE(t->readFields({}, 1, none).isOk());
    EXPECT_TRUE(none.empty());

    ASSERT_TRUE(t->remove(ids[100]).isOk());
    std::vector<Value> some;
    for (int field : {1, 3}) {
        const Status s = t->readFields(ids, field, some);
        EXPECT_EQ(s.code(), ErrorCode::NotFound) << field;
        EXPECT_TRUE(some.empty());
    }
    EXPECT_FALSE(t->readFields({ids[0]}, 99, some).isOk());
}

// A data file large enough to be read in parts at once comes back whole:
// every row in its place on both sides of where the parts meet, and the
// next auto-increment value after the highest key.
TEST(Table, ALargeTableReadsBackWhole)
{
    TempFolder f;
    TableDef d;
    d.fields = {{"id", FieldType::AutoInc, 0},  {"eleje", FieldType::Alpha, 255}, {"kitolto", FieldType::Alpha, 255},
                {"kozepe", FieldType::Alpha, 255}, {"vege", FieldType::Alpha, 255}};
    d.keyFieldCount = 1;
    constexpr int kRows = 40000;  // a little over 40 MB of records
    {
        auto db = openDb(f);
        ASSERT_TRUE(db->createTable("nagy", d).isOk());
        auto t = openTable(*db, "nagy");
        for (int i = 1; i <= kRows; ++i) {
            const std::string n = std::to_string(i);
            Record r{Value(), Value::fromText("e" + n), Value::fromText(std::string(250, 'x')),
                     Value::fromText("k" + n), Value::fromText(n + "v")};
            ASSERT_TRUE(t->insert(r).isOk());
        }
        ASSERT_TRUE(t->flush().isOk());
    }
    ASSERT_GT(std::filesystem::file_size(f.file("nagy.DB")), 32u << 20);
    auto db = openDb(f);
    auto t = openTable(*db, "nagy");
    const std::vector<RowId> rows = *t->rows(OrderSpec::primary());
    ASSERT_EQ(rows.size(), size_t(kRows));
    std::vector<Value> ids, first, middle, last;
    ASSERT_TRUE(t->readFields(rows, 0, ids).isOk());
    ASSERT_TRUE(t->readFields(rows, 1, first).isOk());
    ASSERT_TRUE(t->readFields(rows, 3, middle).isOk());
    ASSERT_TRUE(t->readFields(rows, 4, last).isOk());
    for (int i = 0; i < kRows; ++i) {
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(ids[size_t(i)], Value::fromInt(i + 1));
        ASSERT_EQ(first[size_t(i)], Value::fromText("e" + n));
        ASSERT_EQ(middle[size_t(i)], Value::fromText("k" + n));
        ASSERT_EQ(last[size_t(i)], Value::fromText(n + "v"));
    }
    Record next{Value(), Value::fromText("uj"), Value(), Value(), Value()};
    const RowId added = *t->insert(next);
    EXPECT_EQ(*t->readField(added, 0), Value::fromInt(kRows + 1));
}

// Many inserts, key changes and deletes in random order against a plain map:
// blocks split, empty and are reused, and every order stays right, also
// after reopening.
TEST(Table, RandomChangesMatchAModel)
{
    TempFolder f;
    std::map<int64_t, std::string> model;
    std::map<int64_t, RowId> ids;
    std::mt19937 rng(7);
    {
        auto db = openDb(f);
        TableDef def = customerDef();
        def.fields[0].type = FieldType::Long;
        ASSERT_TRUE(db->createTable("t", def).isOk());
        auto t = openTable(*db, "t");
        for (int step = 0; step < 6000; ++step) {
            const int op = int(rng() % 10);
            const int64_t key = int64_t(rng() % 3000);
            if (op < 6) {
                Record r = customer(std::string("n").append(std::to_string(rng() % 500)));
                r[0] = Value::fromInt(key);
                Result<RowId> id = t->insert(r);
                if (model.count(key)) {
                    EXPECT_EQ(id.status().code(), ErrorCode::DuplicateKey);
                } else {
                    ASSERT_TRUE(id.isOk());
                    model[key] = cp1250ToUtf8(r[1].asText());
                    ids[key] = *id;
                }
            } else if (!model.empty()) {
                auto it = model.lower_bound(key);
                if (it == model.end()) it = model.begin();
                const int64_t k = it->first;
                if (op < 8) {
                    ASSERT_TRUE(t->remove(ids[k]).isOk());
                    model.erase(k);
                    ids.erase(k);
                } else {
                    const int64_t nk = int64_t(rng() % 3000);
                    if (model.count(nk)) continue;
                    Record r;
                    ASSERT_TRUE(t->read(ids[k], r).isOk());
                    r[0] = Value::fromInt(nk);
                    ASSERT_TRUE(t->update(ids[k], r).isOk());
                    model[nk] = model[k];
                    ids[nk] = ids[k];
                    model.erase(k);
                    ids.erase(k);
                }
            }
            if (step % 2000 == 1999) {
                ASSERT_TRUE(t->flush().isOk());
            }
        }
        auto rows = *t->rows(OrderSpec::primary());
        ASSERT_EQ(rows.size(), model.size());
        auto it = model.begin();
        for (RowId r : rows) EXPECT_EQ(t->readField(r, 0)->asInt(), (it++)->first);
    }
    auto t = openTable(*openDb(f), "t");
    auto rows = *t->rows(OrderSpec::primary());
    ASSERT_EQ(rows.size(), model.size());
    auto it = model.begin();
    for (RowId r : rows) {
        EXPECT_EQ(t->readField(r, 0)->asInt(), it->first);
        EXPECT_EQ(cp1250ToUtf8(t->readField(r, 1)->asText()), it->second);
        ++it;
    }
    std::vector<std::string> names;
    for (auto& [k, n] : model) names.push_back(n);
    const auto byName = namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev"));
    std::vector<std::string> sorted = byName;
    EXPECT_EQ(byName.size(), names.size());
    std::sort(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, names);
}

TEST(Table, HandlesShareCommittedChanges)
{
    TempFolder f;
    auto db = openDb(f);
    ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
    auto grid = openTable(*db, "ugyfel");
    auto sql = openTable(*db, "UGYFEL", OpenMode::ReadOnly);
    const uint64_t v0 = *sql->version();
    Record r = customer("Kiss Éva");
    RowId id = *grid->insert(r);
    EXPECT_GT(*sql->version(), v0);
    EXPECT_EQ(*sql->recordCount(), 1u);
    EXPECT_EQ(sql->readField(id, 1)->asText(), cp("Kiss Éva"));
    EXPECT_EQ(sql->insert(r).status().code(), ErrorCode::ReadOnly);
    EXPECT_EQ(grid->addField({"uj", FieldType::Long, 0}).code(), ErrorCode::Locked);
    EXPECT_EQ(db->openTable("ugyfel", OpenMode::Exclusive).status().code(), ErrorCode::Locked);
    // An index file of an open table cannot be deleted from under it.
    Status del = db->deleteTableFile("UGYFEL.px");
    EXPECT_EQ(del.code(), ErrorCode::Locked);
    EXPECT_NE(del.message().find("ugyfel.PX"), std::string::npos) << del.message();
    EXPECT_TRUE(f.exists("ugyfel.PX"));
}

TEST(Table, AddFieldKeepsRowsAndIndexesAreRebuiltByName)
{
    TempFolder f;
    auto db = openDb(f);
    TableDef def = customerDef();
    def.indexes.push_back({"idx_x", {"lezarva"}, true, false});
    ASSERT_TRUE(db->createTable("ceg", def).isOk());
    {
        auto t = openTable(*db, "ceg");
        for (int i = 0; i < 300; ++i) {
            Record r = customer("Cég " + std::to_string(i), i % 28 + 1);
            r[3] = Value::fromText(std::string(size_t(i * 7), 'm'));
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    {
        auto t = openTable(*db, "ceg", OpenMode::Exclusive);
        const auto before = namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev"));
        ASSERT_TRUE(t->addField({"ffino", FieldType::Long, 0}).isOk());
        EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")), before);
        EXPECT_EQ(t->def().fields.size(), 10u);
        EXPECT_EQ(*t->recordCount(), 300u);
        auto rows = *t->rows(OrderSpec::primary());
        EXPECT_TRUE(t->readField(rows[5], 9)->isNull());
        EXPECT_EQ(t->readField(rows[5], 3)->asText(), std::string(35, 'm'));
        Record r = customer("Új cég");
        r.push_back(Value::fromInt(0));
        ASSERT_TRUE(t->insert(r).isOk());
        EXPECT_EQ(r[0], Value::fromInt(301));
        EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")).back(), "Új cég");
    }
    {
        // The index written after the restructure holds up when read back.
        auto t = openTable(*db, "ceg", OpenMode::ReadOnly);
        const auto byName = namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev"));
        EXPECT_EQ(byName.size(), 301u);
        EXPECT_TRUE(std::is_sorted(byName.begin(), byName.end() - 1));
    }
    // What the maintenance tool does: delete the index files by name, then
    // clear and add the indexes again.
    for (const char* file : {"ceg.PX", "ceg.XG0", "ceg.YG0", "ceg.XG1", "ceg.YG1", "ceg.XG2", "ceg.YG2"})
        ASSERT_TRUE(db->deleteTableFile(file).isOk()) << file;
    EXPECT_TRUE(db->deleteTableFile("ceg.XG9").isOk());
    {
        auto t = openTable(*db, "CEG", OpenMode::Exclusive);
        EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")).size(), 301u);
        ASSERT_TRUE(t->clearIndexes().isOk());
        EXPECT_FALSE(f.exists("ceg.PX"));
        EXPECT_EQ(t->def().keyFieldCount, 0);
        ASSERT_TRUE(t->addPrimaryIndex({"ceg_nincs"}).code() == ErrorCode::NotFound);
        ASSERT_TRUE(t->addPrimaryIndex({"ugyfel"}).isOk());
        ASSERT_TRUE(t->addIndex({"idx_datum_desc", {"datum"}, false, true}).isOk());
        ASSERT_TRUE(t->addIndex({"idx_ugyfel_nev", {"ugyfel_nev"}, true, false}).isOk());
        EXPECT_EQ(t->addIndex({"idx_ugyfel_nev", {"ugyfel_nev"}, true, false}).code(), ErrorCode::AlreadyExists);
    }
    for (const char* file : {"ceg.DB", "ceg.MB", "ceg.PX", "ceg.XG0", "ceg.YG0", "ceg.XG1", "ceg.YG1"})
        EXPECT_TRUE(f.exists(file)) << file;
    EXPECT_FALSE(f.exists("ceg.XG2"));
    EXPECT_FALSE(f.exists("ceg.WAL"));
    auto t = openTable(*openDb(f), "ceg");
    ASSERT_EQ(t->def().indexes.size(), 2u);
    EXPECT_EQ(t->def().indexes[0].name, "idx_datum_desc");
    auto byName = namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev"));
    ASSERT_EQ(byName.size(), 301u);
    EXPECT_EQ(byName.front(), "Cég 0");
    EXPECT_EQ(byName.back(), "Új cég");
}

TEST(Table, PrimaryIndexRefusesDuplicatesAndChangesNothing)
{
    TempFolder f;
    auto db = openDb(f);
    TableDef def;
    def.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 20}};
    ASSERT_TRUE(db->createTable("emil", def).isOk());
    auto t = openTable(*db, "emil", OpenMode::Exclusive);
    for (int k : {3, 1, 3}) {
        Record r = {Value::fromInt(k), Value::fromText("x")};
        ASSERT_TRUE(t->insert(r).isOk());
    }
    EXPECT_EQ(t->addPrimaryIndex({"kod"}).code(), ErrorCode::DuplicateKey);
    EXPECT_EQ(t->def().keyFieldCount, 0);
    EXPECT_FALSE(f.exists("emil.PX"));
    EXPECT_EQ(t->addIndex({"idx", {"nev"}, true, false}).code(), ErrorCode::Unsupported);
    // Unkeyed: rows in the order they came.
    std::vector<int64_t> keys;
    const std::vector<RowId> rows = *t->rows(OrderSpec::primary());
    for (RowId r : rows) keys.push_back(t->readField(r, 0)->asInt());
    EXPECT_EQ(keys, (std::vector<int64_t>{3, 1, 3}));
}

// Two Database objects on one folder behave as two processes: each keeps its
// own copy of the table and follows the other's changes through the journal.
TEST(Table, TwoConnectionsFollowEachOther)
{
    TempFolder f;
    auto a = openDb(f);
    auto b = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    auto ta = openTable(*a, "ugyfel");
    auto tb = openTable(*b, "ugyfel", OpenMode::ReadOnly);
    for (int i = 0; i < 100; ++i) {
        Record r = customer(std::string("A").append(std::to_string(i)), i % 28 + 1);
        if (i % 3 == 0) r[3] = Value::fromText(std::string(size_t(100 + i), 'm'));
        ASSERT_TRUE(ta->insert(r).isOk());
    }
    EXPECT_EQ(*tb->recordCount(), 100u);
    ASSERT_TRUE(ta->flush().isOk());
    for (int i = 100; i < 150; ++i) {
        Record r = customer(std::string("A").append(std::to_string(i)), i % 28 + 1);
        ASSERT_TRUE(ta->insert(r).isOk());
    }
    EXPECT_EQ(*tb->recordCount(), 150u);
    EXPECT_EQ(namesInOrder(*tb, OrderSpec::index("idx_ugyfel_nev")).size(), 150u);
    // The reader leaves first; the writer goes on, and writes everything out
    // when it leaves.
    tb.reset();
    b.reset();
    for (int i = 150; i < 200; ++i) {
        Record r = customer(std::string("A").append(std::to_string(i)), i % 28 + 1);
        ASSERT_TRUE(ta->insert(r).isOk());
    }
    ta.reset();
    a.reset();
    auto t = openTable(*openDb(f), "ugyfel");
    EXPECT_EQ(*t->recordCount(), 200u);
    EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")).size(), 200u);
    t.reset();
    EXPECT_FALSE(f.exists("ugyfel.WAL"));
}

// A connection that opens the table while another holds the write lock
// leaves setting up the journal to that one. What the other then starts is
// no change: the first connection's rows, their ids and its version stay.
TEST(Table, AnotherConnectionSettingUpTheJournalChangesNothing)
{
    TempFolder f;
    auto a = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    {
        auto t = openTable(*a, "ugyfel");
        for (int i = 1; i <= 3; ++i) {
            Record r = customer("Ügyfél " + std::to_string(i), i);
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    ASSERT_FALSE(f.exists("ugyfel.WAL"));
    WriteAheadLog holder;
    ASSERT_TRUE(holder.open(f.file("ugyfel.WAL"), true).isOk());
    ASSERT_TRUE(holder.lockWriter(0));
    auto ta = openTable(*a, "ugyfel");
    holder.close();
    const RowId second = **ta->findKey({Value::fromInt(2)});
    const uint64_t v = *ta->version();

    auto b = openDb(f);
    auto tb = openTable(*b, "ugyfel", OpenMode::ReadOnly);
    EXPECT_EQ(*ta->version(), v);
    Record r = customer("Ügyfél 2, új néven", 2);
    r[0] = Value::fromInt(2);
    ASSERT_TRUE(ta->update(second, r).isOk());
    EXPECT_EQ(namesInOrder(*tb, OrderSpec::primary()),
              (std::vector<std::string>{"Ügyfél 1", "Ügyfél 2, új néven", "Ügyfél 3"}));
}

// A second connection that opens the table, reads it and closes it is no
// change for the first, also while the first has changes not yet written out.
TEST(Table, ASecondConnectionComingAndGoingChangesNothing)
{
    TempFolder f;
    auto a = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    auto ta = openTable(*a, "ugyfel");
    for (int i = 1; i <= 50; ++i) {
        Record r = customer("Ügyfél " + std::to_string(i), i % 28 + 1);
        ASSERT_TRUE(ta->insert(r).isOk());
        if (i == 20) {
            ASSERT_TRUE(ta->flush().isOk());
        }
    }
    const std::vector<RowId> byName = *ta->rows(OrderSpec::index("idx_ugyfel_nev"));
    const uint64_t v = *ta->version();
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::Shared}) {
        auto b = openDb(f);
        auto tb = openTable(*b, "UGYFEL", mode);
        EXPECT_EQ(*tb->recordCount(), 50u);
        EXPECT_EQ(tb->rows(OrderSpec::index("idx_ugyfel_nev"))->size(), 50u);
        EXPECT_EQ(*ta->version(), v);
        tb.reset();
        b.reset();
        EXPECT_EQ(*ta->version(), v);
    }
    EXPECT_EQ(*ta->rows(OrderSpec::index("idx_ugyfel_nev")), byName);
    EXPECT_EQ(ta->readField(byName.front(), 1)->asText(), cp("Ügyfél 1"));
    ta.reset();
    a.reset();
    EXPECT_FALSE(f.exists("ugyfel.WAL"));
    EXPECT_EQ(*openTable(*openDb(f), "ugyfel")->recordCount(), 50u);
}

// A closed table's rows stay with its Database; the next open takes them
// only while the files are as the close left them. Another connection's
// changes in between (written out, left in the journal, or a whole new
// file) are seen, and a closed table is not open for anyone.
TEST(Table, ReopeningAClosedTableSeesWhatOthersDidMeanwhile)
{
    TempFolder f;
    auto a = openDb(f);
    auto b = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    auto names = [&](Database& db) {
        auto t = openTable(db, "ugyfel");
        return t ? namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")) : std::vector<std::string>{};
    };
    auto add = [&](Table& t, const std::string& name) {
        Record r = customer(name);
        ASSERT_TRUE(t.insert(r).isOk());
    };
    {
        auto t = openTable(*a, "ugyfel");
        add(*t, "Bíró Anna");
    }
    EXPECT_FALSE(f.exists("ugyfel.WAL"));
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Bíró Anna"}));

    // Written out by the other connection's close.
    {
        auto t = openTable(*b, "ugyfel", OpenMode::Exclusive);
        ASSERT_TRUE(t);
        add(*t, "Antal Béla");
    }
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antal Béla", "Bíró Anna"}));

    // Left in the journal by a connection that keeps the table open.
    auto held = openTable(*b, "ugyfel");
    add(*held, "Cseh Dóra");
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antal Béla", "Bíró Anna", "Cseh Dóra"}));
    // Written out by its flush while this one had the table closed.
    add(*held, "Dénes Edit");
    ASSERT_TRUE(held->flush().isOk());
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antal Béla", "Bíró Anna", "Cseh Dóra", "Dénes Edit"}));
    held.reset();

    // Files put back from a copy, as a restore does.
    const std::string copy = f.file("masolat");
    std::filesystem::create_directory(copy);
    for (const char* file : {"ugyfel.DB", "ugyfel.MB", "ugyfel.PX", "ugyfel.XG0", "ugyfel.YG0"})
        std::filesystem::copy_file(f.file(file), copy + "/" + file);
    EXPECT_EQ(names(*a).size(), 4u);
    {
        auto t = openTable(*b, "ugyfel");
        add(*t, "Erdős Ferenc");
    }
    EXPECT_EQ(names(*a).size(), 5u);
    for (const char* file : {"ugyfel.DB", "ugyfel.MB", "ugyfel.PX", "ugyfel.XG0", "ugyfel.YG0"}) {
        std::filesystem::copy_file(copy + "/" + file, f.file(std::string(file) + ".uj"));
        std::filesystem::rename(f.file(std::string(file) + ".uj"), f.file(file));
    }
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antal Béla", "Bíró Anna", "Cseh Dóra", "Dénes Edit"}));

    // A row changed in place by another program, which knows nothing of
    // stamps or journals.
    {
        std::fstream db(f.file("ugyfel.DB"), std::ios::in | std::ios::out | std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(db)), std::istreambuf_iterator<char>());
        const size_t at = bytes.find("Antal");
        ASSERT_NE(at, std::string::npos);
        db.seekp(std::streamoff(at + 3));
        db.put('o');
    }
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antol Béla", "Bíró Anna", "Cseh Dóra", "Dénes Edit"}));

    // The index files deleted by the maintenance tool and built again.
    for (const char* file : {"ugyfel.XG0", "ugyfel.YG0", "ugyfel.XG1", "ugyfel.YG1"})
        ASSERT_TRUE(a->deleteTableFile(file).isOk()) << file;
    {
        auto t = openTable(*b, "ugyfel", OpenMode::Exclusive);
        ASSERT_TRUE(t);
        ASSERT_TRUE(t->clearIndexes().isOk());
        ASSERT_TRUE(t->addPrimaryIndex({"Ugyfel"}).isOk());
        ASSERT_TRUE(t->addIndex({"idx_ugyfel_nev", {"Ugyfel_nev"}, true, false}).isOk());
    }
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Antol Béla", "Bíró Anna", "Cseh Dóra", "Dénes Edit"}));
    EXPECT_TRUE(openTable(*a, "ugyfel", OpenMode::Exclusive));
    a.reset();
    b.reset();
    EXPECT_FALSE(f.exists("ugyfel.WAL"));
}

// A transaction's changes reach others together at commit, or never: a
// rollback, or a handle closed before commit, leaves the table as it was.
TEST(Table, TransactionsCommitTogetherOrNotAtAll)
{
    TempFolder f;
    auto a = openDb(f);
    auto b = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    auto t = openTable(*a, "ugyfel");
    auto other = openTable(*b, "ugyfel", OpenMode::ReadOnly);
    for (int i = 1; i <= 5; ++i) {
        Record r = customer("Ügyfél " + std::to_string(i), i);
        ASSERT_TRUE(t->insert(r).isOk());
    }
    const std::vector<std::string> before = namesInOrder(*other, OrderSpec::primary());

    auto changeSome = [&](Table& table) {
        Record r = customer("Új ügyfél", 9);
        ASSERT_TRUE(table.insert(r).isOk());
        const RowId second = **table.findKey({Value::fromInt(2)});
        Record changed = customer("Ügyfél 2, új néven", 2);
        changed[0] = Value::fromInt(2);
        ASSERT_TRUE(table.update(second, changed).isOk());
        ASSERT_TRUE(table.remove(**table.findKey({Value::fromInt(4)})).isOk());
    };
    const std::vector<std::string> after{"Ügyfél 1", "Ügyfél 2, új néven", "Ügyfél 3", "Ügyfél 5", "Új ügyfél"};

    // Taken back: by rollback, and by closing the handle that began it.
    ASSERT_TRUE(t->begin().isOk());
    changeSome(*t);
    EXPECT_EQ(namesInOrder(*t, OrderSpec::primary()), after);
    EXPECT_EQ(namesInOrder(*other, OrderSpec::primary()), before);
    EXPECT_EQ(t->begin().code(), ErrorCode::Unsupported);
    EXPECT_EQ(t->flush().code(), ErrorCode::Unsupported);
    ASSERT_TRUE(t->rollback().isOk());
    EXPECT_EQ(t->rollback().code(), ErrorCode::Unsupported);
    EXPECT_EQ(namesInOrder(*t, OrderSpec::primary()), before);
    EXPECT_EQ(namesInOrder(*t, OrderSpec::index("idx_ugyfel_nev")), before);
    {
        auto second = openTable(*a, "ugyfel");
        ASSERT_TRUE(second->begin().isOk());
        changeSome(*second);
    }
    EXPECT_EQ(namesInOrder(*t, OrderSpec::primary()), before);
    EXPECT_EQ(namesInOrder(*other, OrderSpec::primary()), before);

    // Committed: all at once.
    ASSERT_TRUE(t->begin().isOk());
    changeSome(*t);
    EXPECT_EQ(namesInOrder(*other, OrderSpec::primary()), before);
    ASSERT_TRUE(t->commit().isOk());
    EXPECT_EQ(namesInOrder(*other, OrderSpec::primary()), after);
    EXPECT_EQ(namesInOrder(*other, OrderSpec::index("idx_ugyfel_nev")),
              (std::vector<std::string>{"Új ügyfél", "Ügyfél 1", "Ügyfél 2, új néven", "Ügyfél 3", "Ügyfél 5"}));
    // Numbering goes on after the committed rows (6 is the committed new one).
    Record r = customer("Utolsó");
    ASSERT_TRUE(t->insert(r).isOk());
    EXPECT_EQ(r[0], Value::fromInt(7));
    t.reset();
    other.reset();
    a.reset();
    b.reset();
    EXPECT_EQ(namesInOrder(*openTable(*openDb(f), "ugyfel"), OrderSpec::primary()).size(), 6u);
}

// An index kept up change by change and one built from the rows at once
// (its file deleted) put the rows in the same order: repeated names, names
// that differ only in case or accents, equal names in key order.
TEST(Table, AnIndexBuiltFromTheRowsMatchesOneKeptUpChangeByChange)
{
    TempFolder f;
    const std::vector<std::string> names{"Kovács Éva", "kovács éva", "KOVÁCS ÉVA", "Kovacs Eva", "Csaba",  "Cukor",
                                         "Ábel",       "Adam",       "",           "zsolt",      "Zsolt",  "Őz"};
    auto keysInOrder = [](Table& t) {
        std::vector<int64_t> keys;
        const std::vector<RowId> rows = *t.rows(OrderSpec::index("idx_ugyfel_nev"));
        for (RowId r : rows) keys.push_back(t.readField(r, 0)->asInt());
        return keys;
    };
    std::vector<int64_t> kept;
    {
        auto db = openDb(f);
        ASSERT_TRUE(db->createTable("ugyfel", customerDef()).isOk());
        auto t = openTable(*db, "ugyfel");
        ASSERT_TRUE(t->rows(OrderSpec::index("idx_ugyfel_nev")).isOk());
        std::mt19937 rng(11);
        for (int i = 0; i < 300; ++i) {
            Record r = customer(names[rng() % names.size()]);
            ASSERT_TRUE(t->insert(r).isOk());
        }
        kept = keysInOrder(*t);
    }
    auto db = openDb(f);
    ASSERT_TRUE(db->deleteTableFile("ugyfel.XG0").isOk());
    ASSERT_TRUE(db->deleteTableFile("ugyfel.YG0").isOk());
    EXPECT_EQ(keysInOrder(*openTable(*db, "ugyfel")), kept);
}

// A write-through after every post reuses the journal's space; a checkpoint
// after a large change gives it back. The records of earlier generations
// that stay in the file never count again, for this connection or another.
TEST(Table, JournalSpaceIsReusedAndLargeJournalsShrink)
{
    TempFolder f;
    auto a = openDb(f);
    auto b = openDb(f);
    ASSERT_TRUE(a->createTable("ugyfel", customerDef()).isOk());
    auto ta = openTable(*a, "ugyfel");
    auto tb = openTable(*b, "ugyfel", OpenMode::ReadOnly);
    for (int i = 0; i < 30; ++i) {
        Record r = customer(std::string("A").append(std::to_string(i)), i % 28 + 1);
        ASSERT_TRUE(ta->insert(r).isOk());
        ASSERT_TRUE(ta->flush().isOk());
        EXPECT_EQ(*tb->recordCount(), uint64_t(i + 1));
    }
    const uintmax_t kept = std::filesystem::file_size(f.file("ugyfel.WAL"));
    EXPECT_GT(kept, WriteAheadLog::kHeaderSize);
    // Posted, not flushed: the one new record follows the header, old ones after it.
    Record last = customer("B", 2);
    ASSERT_TRUE(ta->insert(last).isOk());
    EXPECT_EQ(std::filesystem::file_size(f.file("ugyfel.WAL")), kept);
    {
        auto c = openTable(*openDb(f), "ugyfel", OpenMode::ReadOnly);
        EXPECT_EQ(*c->recordCount(), 31u);
        EXPECT_EQ(namesInOrder(*c, OrderSpec::index("idx_ugyfel_nev")).size(), 31u);
    }
    EXPECT_EQ(*tb->recordCount(), 31u);

    ASSERT_TRUE(ta->begin().isOk());
    for (int i = 0; i < 400; ++i) {
        Record r = customer("C" + std::to_string(i), i % 28 + 1);
        r[3] = Value::fromText(std::string(4000, 'm'));
        ASSERT_TRUE(ta->insert(r).isOk());
    }
    ASSERT_TRUE(ta->commit().isOk());
    EXPECT_GT(std::filesystem::file_size(f.file("ugyfel.WAL")), kept);
    ASSERT_TRUE(ta->flush().isOk());
    EXPECT_EQ(std::filesystem::file_size(f.file("ugyfel.WAL")), WriteAheadLog::kHeaderSize);
    EXPECT_EQ(*tb->recordCount(), 431u);
    tb.reset();
    b.reset();
    ta.reset();
    a.reset();
    EXPECT_FALSE(f.exists("ugyfel.WAL"));
    EXPECT_EQ(*openTable(*openDb(f), "ugyfel")->recordCount(), 431u);
}
