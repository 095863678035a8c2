// Damaged, truncated, foreign and stale files: an error naming the file, or
// the right answer, never a crash or a wrong order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>

#include "TempFolder.h"
#include "engine/Database.h"

using namespace engine;
using enginetest::TempFolder;

namespace {

TableDef def()
{
    TableDef d;
    d.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 40}, {"leiras", FieldType::Memo, 10}};
    d.keyFieldCount = 1;
    d.indexes = {{"idx_nev", {"nev"}, true, false}};
    return d;
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spill(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A table of `n` rows with names in reverse order of the keys, closed.
void makeTable(const TempFolder& f, int n)
{
    auto db = *Database::open(f.path());
    ASSERT_TRUE(db->createTable("t", def()).isOk());
    auto t = *db->openTable("t", OpenMode::Shared);
    for (int k = 1; k <= n; ++k) {
        Record r = {Value::fromInt(k), Value::fromText("nev" + std::to_string(100000 - k)),
                    Value::fromText(std::string(size_t(k % 7 == 0 ? 500 : 5), 'm'))};
        ASSERT_TRUE(t->insert(r).isOk());
    }
}

Result<std::shared_ptr<Table>> reopen(const TempFolder& f)
{
    return (*Database::open(f.path()))->openTable("t", OpenMode::Shared);
}

std::vector<int64_t> keysBy(Table& t, const OrderSpec& o)
{
    std::vector<int64_t> out;
    const std::vector<RowId> rows = *t.rows(o);
    for (RowId r : rows) out.push_back(t.readField(r, 0)->asInt());
    return out;
}

}  // namespace

TEST(DamagedFiles, DataFileErrorsNameTheFile)
{
    TempFolder f;
    makeTable(f, 300);
    const std::string good = slurp(f.file("t.DB"));
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string badType = good;
    badType[4] = 1;  // an index file renamed
    std::string badRecord = good;
    badRecord[0] = char(badRecord[0] + 1);
    std::string cycle = good;
    // The first block's link points back at itself.
    cycle[size_t(uint8_t(good[2]) | (uint8_t(good[3]) << 8))] = 1;
    cycle[size_t(uint8_t(good[2]) | (uint8_t(good[3]) << 8)) + 1] = 0;
    // A record count no file could hold: refused, with no room made for it.
    std::string hugeCount = good;
    for (size_t i = 6; i < 10; ++i) hugeCount[i] = char(0xFF);
    hugeCount[9] = char(0x7F);
    const Case cases[] = {
        {"empty", ""},
        {"text", "Ez nem egy Paradox tábla, csak szöveg.\n"},
        {"truncated header", good.substr(0, 100)},
        {"truncated blocks", good.substr(0, good.size() / 2 + 17)},
        {"index file", badType},
        {"record size", badRecord},
        {"block cycle", cycle},
        {"record count", hugeCount},
    };
    for (const Case& c : cases) {
        spill(f.file("t.DB"), c.bytes);
        Result<std::shared_ptr<Table>> t = reopen(f);
        ASSERT_FALSE(t.isOk()) << c.what;
        EXPECT_EQ(t.status().code(), ErrorCode::Corrupt) << c.what;
        EXPECT_EQ(t.status().message().rfind("A(z) t.DB fájl sérült: ", 0), 0u) << c.what << ": " << t.status().message();
    }
    // Random damage anywhere: an answer or an error, nothing worse.
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        std::string bytes = good;
        for (int k = 0; k < 1 + int(rng() % 8); ++k) bytes[rng() % (i % 2 ? 2048 : bytes.size())] = char(rng());
        spill(f.file("t.DB"), bytes);
        std::filesystem::remove(f.file("t.WAL"));
        Result<std::shared_ptr<Table>> t = reopen(f);
        if (!t.isOk()) continue;
        Result<std::vector<RowId>> rows = (*t)->rows(OrderSpec::primary());
        if (!rows.isOk()) continue;
        for (RowId r : *rows) {
            Record rec;
            (void)(*t)->read(r, rec);
        }
    }
}

TEST(DamagedFiles, MemoFileErrorsNameTheFile)
{
    TempFolder f;
    makeTable(f, 50);
    std::string mb = slurp(f.file("t.MB"));
    // Every value in the memo file gone: the rows still read, their long memos
    // are reported.
    spill(f.file("t.MB"), mb.substr(0, 4096));
    auto t = *reopen(f);
    const std::optional<RowId> longMemo = *t->findKey({Value::fromInt(7)});
    const std::optional<RowId> shortMemo = *t->findKey({Value::fromInt(8)});
    Result<Value> bad = t->readField(*longMemo, 2);
    EXPECT_EQ(bad.status().code(), ErrorCode::Corrupt);
    EXPECT_EQ(bad.status().message().rfind("A(z) t.MB fájl sérült: ", 0), 0u) << bad.status().message();
    EXPECT_EQ(*t->readField(*shortMemo, 2), Value::fromText("mmmmm"));
    EXPECT_EQ(*t->readField(*longMemo, 1), Value::fromText("nev99993"));
    Record rec;
    EXPECT_EQ(t->read(*longMemo, rec).code(), ErrorCode::Corrupt);
}

// A memo file cut inside a long value: the bytes that are gone are not read
// as blanks; the value is reported, the rows before it still read.
TEST(DamagedFiles, MemoCutShortIsReportedNotPadded)
{
    TempFolder f;
    {
        auto db = *Database::open(f.path());
        ASSERT_TRUE(db->createTable("t", def()).isOk());
        auto t = *db->openTable("t", OpenMode::Shared);
        Record small = {Value::fromInt(1), Value::fromText("a"), Value::fromText(std::string(300, 's'))};
        Record large = {Value::fromInt(2), Value::fromText("b"), Value::fromText(std::string(6000, 'L'))};
        ASSERT_TRUE(t->insert(small).isOk());
        ASSERT_TRUE(t->insert(large).isOk());
    }
    const std::string mb = slurp(f.file("t.MB"));
    ASSERT_EQ(mb.size(), 4u * 4096);  // header, shared page, two pages of the long value
    spill(f.file("t.MB"), mb.substr(0, 3 * 4096 + 1000));
    auto t = *reopen(f);
    Result<Value> cut = t->readField(*(*t->findKey({Value::fromInt(2)})), 2);
    EXPECT_EQ(cut.status().code(), ErrorCode::Corrupt);
    EXPECT_EQ(*t->readField(*(*t->findKey({Value::fromInt(1)})), 2), Value::fromText(std::string(300, 's')));
}

TEST(DamagedFiles, RowsOutOfKeyOrderAreReadInOrder)
{
    TempFolder f;
    makeTable(f, 5);
    std::string db = slurp(f.file("t.DB"));
    // Swap the first two records of the first block (keys 1 and 2).
    const size_t headerSize = size_t(uint8_t(db[2]) | (uint8_t(db[3]) << 8));
    const size_t recordSize = size_t(uint8_t(db[0]) | (uint8_t(db[1]) << 8));
    const size_t first = headerSize + 6;
    const std::string a = db.substr(first, recordSize);
    db.replace(first, recordSize, db.substr(first + recordSize, recordSize));
    db.replace(first + recordSize, recordSize, a);
    spill(f.file("t.DB"), db);
    auto t = *reopen(f);
    EXPECT_EQ(keysBy(*t, OrderSpec::primary()), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(**t->findKey({Value::fromInt(1)}), t->rows(OrderSpec::primary())->front());
    EXPECT_EQ(keysBy(*t, OrderSpec::index("idx_nev")), (std::vector<int64_t>{5, 4, 3, 2, 1}));
}

// A data file large enough to be read in two halves at once, each half's
// blocks looked over for key order as they come in: rows out of order within
// a block, across two blocks and in the block where the halves meet are put
// in order; a key repeated across two blocks is refused; the highest
// auto-increment value counts wherever it stands.
TEST(DamagedFiles, RowsOutOfOrderAnywhereInALargeFileAreFound)
{
    TempFolder f;
    TableDef d;
    d.fields = {{"id", FieldType::AutoInc, 0},
                {"nev", FieldType::Alpha, 255},
                {"kitolto", FieldType::Alpha, 255},
                {"meg", FieldType::Alpha, 255},
                {"vege", FieldType::Alpha, 255}};
    d.keyFieldCount = 1;
    constexpr int kRows = 34000;  // a little over 32 MB of records
    {
        auto db = *Database::open(f.path());
        ASSERT_TRUE(db->createTable("t", d).isOk());
        auto t = *db->openTable("t", OpenMode::Shared);
        for (int i = 1; i <= kRows; ++i) {
            Record r{Value(), Value::fromText("n" + std::to_string(i)), Value::fromText(std::string(250, 'x')),
                     Value(), Value()};
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(f.path()))
        files[e.path().filename().string()] = slurp(e.path().string());
    const std::string good = files.at("t.DB");
    ASSERT_GT(good.size(), size_t(32) << 20);
    auto u16 = [](const std::string& b, size_t at) { return size_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); };
    const size_t recordSize = u16(good, 0), headerSize = u16(good, 2), blockSize = size_t(uint8_t(good[5])) * 1024;
    const size_t blocks = (good.size() - headerSize) / blockSize;
    auto count = [&](size_t block) {
        return size_t((int16_t(u16(good, headerSize + block * blockSize + 4)) + int(recordSize)) / int(recordSize));
    };
    auto at = [&](size_t block, size_t i) { return headerSize + block * blockSize + 6 + i * recordSize; };
    auto last = [&](size_t block) { return at(block, count(block) - 1); };
    auto keyAt = [&](const std::string& b, size_t pos) {
        const uint32_t raw = uint32_t(uint8_t(b[pos])) << 24 | uint32_t(uint8_t(b[pos + 1])) << 16 |
                             uint32_t(uint8_t(b[pos + 2])) << 8 | uint32_t(uint8_t(b[pos + 3]));
        return int64_t(raw ^ 0x80000000u);
    };
    auto setKey = [](std::string& b, size_t pos, uint32_t key) {
        const uint32_t raw = key ^ 0x80000000u;
        for (int i = 0; i < 4; ++i) b[pos + size_t(i)] = char(raw >> (24 - 8 * i));
    };
    auto swap = [&](std::string& b, size_t p, size_t q) {
        const std::string a = b.substr(p, recordSize);
        b.replace(p, recordSize, b.substr(q, recordSize));
        b.replace(q, recordSize, a);
    };
    // The blocks stand in the file in key order, so that a block's place in
    // the file says which half reads it; the halves meet on a 2 MB boundary.
    for (size_t b = 1; b < blocks; ++b) ASSERT_EQ(keyAt(good, at(b, 0)), keyAt(good, last(b - 1)) + 1);
    const size_t meetBlock = (good.size() / 2 / (size_t(2) << 20) * (size_t(2) << 20) - headerSize) / blockSize;
    const size_t quarter = blocks / 4, threeQuarters = blocks * 3 / 4;

    struct Case {
        const char* what;
        std::string bytes;
        int64_t nextId;  // 0: refused as damaged
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, const std::function<void(std::string&)>& edit, int64_t nextId) {
        std::string b = good;
        edit(b);
        cases.push_back({what, b, nextId});
    };
    add("within a block", [&](std::string& b) { swap(b, at(quarter, 0), at(quarter, 1)); }, kRows + 1);
    add("across two blocks", [&](std::string& b) { swap(b, last(threeQuarters), at(threeQuarters + 1, 0)); },
        kRows + 1);
    add("within the block where the halves meet",
        [&](std::string& b) { swap(b, at(meetBlock, 0), last(meetBlock)); }, kRows + 1);
    add("into the block where the halves meet",
        [&](std::string& b) { swap(b, last(meetBlock - 1), at(meetBlock, 0)); }, kRows + 1);
    add("out of the block where the halves meet",
        [&](std::string& b) { swap(b, last(meetBlock), at(meetBlock + 1, 0)); }, kRows + 1);
    add("a key repeated across two blocks",
        [&](std::string& b) { setKey(b, at(quarter + 1, 0), uint32_t(keyAt(b, last(quarter)))); }, 0);
    add("a key repeated where the halves meet",
        [&](std::string& b) { setKey(b, at(meetBlock, 0), uint32_t(keyAt(b, last(meetBlock - 1)))); }, 0);
    add("the highest id last", [&](std::string& b) { setKey(b, last(blocks - 1), 1000000); }, 1000001);
    add("the highest id where the halves meet", [&](std::string& b) { setKey(b, at(meetBlock, 0), 2000000); },
        2000001);

    for (const Case& c : cases) {
        for (const auto& e : std::filesystem::directory_iterator(f.path()))
            if (!files.count(e.path().filename().string())) std::filesystem::remove(e.path());
        for (const auto& [name, bytes] : files) spill(f.file(name), name == "t.DB" ? c.bytes : bytes);
        Result<std::shared_ptr<Table>> opened = reopen(f);
        if (c.nextId == 0) {
            ASSERT_FALSE(opened.isOk()) << c.what;
            EXPECT_EQ(opened.status().code(), ErrorCode::Corrupt) << c.what;
            EXPECT_NE(opened.status().message().find("t.DB"), std::string::npos) << c.what;
            continue;
        }
        ASSERT_TRUE(opened.isOk()) << c.what << ": " << opened.status().message();
        Table& t = **opened;
        const std::vector<RowId> rows = *t.rows(OrderSpec::primary());
        ASSERT_EQ(rows.size(), size_t(kRows)) << c.what;
        std::vector<Value> ids, names;
        ASSERT_TRUE(t.readFields(rows, 0, ids).isOk());
        ASSERT_TRUE(t.readFields(rows, 1, names).isOk());
        for (size_t i = 1; i < rows.size(); ++i) ASSERT_LT(ids[i - 1].asInt(), ids[i].asInt()) << c.what;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (ids[i].asInt() > kRows) continue;  // the id set above, on another row
            ASSERT_EQ(names[i], Value::fromText("n" + std::to_string(ids[i].asInt()))) << c.what;
        }
        Record next{Value(), Value::fromText("uj"), Value(), Value(), Value()};
        const RowId added = *t.insert(next);
        EXPECT_EQ(*t.readField(added, 0), Value::fromInt(c.nextId)) << c.what;
    }
}

TEST(DamagedFiles, MissingOrStaleIndexFilesAreRebuilt)
{
    TempFolder f;
    makeTable(f, 400);
    std::vector<int64_t> byName;
    for (int k = 400; k >= 1; --k) byName.push_back(k);
    const std::string staleXg = slurp(f.file("t.XG0"));
    {
        // Changes after that copy of the index file.
        auto t = *reopen(f);
        Record r = {Value::fromInt(401), Value::fromText("a legelso"), Value()};
        ASSERT_TRUE(t->insert(r).isOk());
        ASSERT_TRUE(t->remove(**t->findKey({Value::fromInt(200)})).isOk());
    }
    byName.erase(std::find(byName.begin(), byName.end(), 200));
    byName.insert(byName.begin(), 401);

    // A stale index file, an index file of another order, a missing one, a
    // damaged one: the order is right every time, and the file is written
    // anew when the table closes.
    std::string otherOrder = slurp(f.file("t.XG0"));
    const size_t at = otherOrder.find("icu-");
    ASSERT_NE(at, std::string::npos);
    otherOrder[at] = 'x';
    std::string damaged = slurp(f.file("t.XG0"));
    for (size_t i = 4096; i < damaged.size(); i += 97) damaged[i] = char(damaged[i] ^ 0x5A);
    const std::pair<const char*, std::string> cases[] = {
        {"stale", staleXg}, {"other order", otherOrder}, {"missing", ""}, {"damaged", damaged}};
    for (const auto& [what, bytes] : cases) {
        if (bytes.empty())
            std::filesystem::remove(f.file("t.XG0"));
        else
            spill(f.file("t.XG0"), bytes);
        std::filesystem::remove(f.file("t.PX"));
        {
            auto t = *reopen(f);
            EXPECT_EQ(keysBy(*t, OrderSpec::index("idx_nev")), byName) << what;
            EXPECT_EQ(keysBy(*t, OrderSpec::primary()).size(), 400u) << what;
            ASSERT_TRUE(t->flush().isOk());
        }
        EXPECT_TRUE(f.exists("t.XG0")) << what;
        EXPECT_TRUE(f.exists("t.PX")) << what;
        auto t = *reopen(f);
        EXPECT_EQ(keysBy(*t, OrderSpec::index("idx_nev")), byName) << what;
    }
}
