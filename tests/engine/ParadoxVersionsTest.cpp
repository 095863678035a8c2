// Tables of every Paradox version from 3.0 to 7.x with every field type:
// files built byte by byte here after the published layout, and files that
// pxlib writes. The engine must read each value.
#include <gtest/gtest.h>

extern "C" {
#include <paradox.h>
}

#include <bit>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "engine/Database.h"

using namespace engine;
using enginetest::TempFolder;

namespace {

// --- A Paradox file by hand -------------------------------------------------

struct RawField {
    uint8_t type;
    uint8_t sizeByte;
    std::string name;
    int width;  // bytes in the record
};

void le16(std::string& s, size_t at, uint16_t v)
{
    s[at] = char(v & 0xFF);
    s[at + 1] = char(v >> 8);
}
void le32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
std::string be(uint64_t v, int bytes)
{
    std::string out(size_t(bytes), '\0');
    for (int i = bytes - 1; i >= 0; --i, v >>= 8) out[size_t(i)] = char(v & 0xFF);
    return out;
}
// Numbers as the format keeps them: big-endian with the sign bit flipped.
std::string flipped(int64_t v, int bytes)
{
    std::string out = be(uint64_t(v), bytes);
    out[0] = char(out[0] ^ 0x80);
    return out;
}
std::string dbl(double d)
{
    std::string out = be(std::bit_cast<uint64_t>(d), 8);
    if (d >= 0)
        out[0] = char(out[0] | 0x80);
    else
        for (char& c : out) c = char(~c);
    return out;
}
std::string padded(const std::string& s, size_t n)
{
    std::string out = s;
    out.resize(n, '\0');
    return out;
}
// A blob field: the leader, then offset|index, length and modification number.
std::string blobField(const std::string& leader, size_t leaderLen, uint32_t offset, uint8_t index, uint32_t length)
{
    std::string out = padded(leader.substr(0, leaderLen), leaderLen) + std::string(10, '\0');
    le32(out, leaderLen, offset | index);
    le32(out, leaderLen + 4, length);
    le16(out, leaderLen + 8, 1);
    return out;
}

std::string paradoxFile(uint8_t versionId, const std::vector<RawField>& fields, int keyFields,
                        const std::vector<std::string>& records)
{
    const bool dataHeader = versionId >= 5;
    int recordSize = 0;
    for (const RawField& f : fields) recordSize += f.width;
    std::string h(2048, '\0');
    le16(h, 0x00, uint16_t(recordSize));
    le16(h, 0x02, 2048);
    h[0x04] = char(keyFields ? 0 : 2);
    h[0x05] = 1;  // 1 KiB blocks
    le32(h, 0x06, uint32_t(records.size()));
    le16(h, 0x0A, 1);
    le16(h, 0x0C, 1);
    le16(h, 0x0E, 1);
    le16(h, 0x10, 1);
    le16(h, 0x21, uint16_t(fields.size()));
    le16(h, 0x23, uint16_t(keyFields));
    le32(h, 0x25, dataHeader ? 0xFF00FF00u : 0);
    h[0x39] = char(versionId);
    size_t p = dataHeader ? 0x78 : 0x58;
    if (dataHeader) {
        le16(h, 0x58, uint16_t(0x100 | versionId));
        le16(h, 0x5A, uint16_t(0x100 | versionId));
        le16(h, 0x6A, 1250);
    }
    for (const RawField& f : fields) {
        h[p++] = char(f.type);
        h[p++] = char(f.sizeByte);
    }
    p += 4 + 4 * fields.size();
    const std::string name = "tabla.db";
    std::memcpy(&h[p], name.data(), name.size());
    p += versionId >= 12 ? 261 : 79;
    for (const RawField& f : fields) {
        std::memcpy(&h[p], f.name.data(), f.name.size());
        p += f.name.size() + 1;
    }
    for (size_t i = 0; i < fields.size(); ++i, p += 2) le16(h, p, uint16_t(i + 1));
    std::memcpy(&h[p], "ascii", 5);

    std::string block(1024, '\0');
    le16(block, 4, uint16_t(int16_t((int(records.size()) - 1) * recordSize)));
    size_t at = 6;
    for (const std::string& r : records) {
        EXPECT_EQ(r.size(), size_t(recordSize));
        std::memcpy(&block[at], r.data(), r.size());
        at += r.size();
    }
    return h + block;
}

void spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

Record readOnlyRow(const TempFolder& f, size_t row)
{
    auto db = *Database::open(f.path());
    Result<std::shared_ptr<Table>> t = db->openTable("tabla", OpenMode::ReadOnly);
    EXPECT_TRUE(t.isOk()) << t.status().message();
    if (!t.isOk()) return {};
    const std::vector<RowId> rows = *(*t)->rows(OrderSpec::primary());
    Record r;
    EXPECT_TRUE((*t)->read(rows.at(row), r).isOk());
    return r;
}

const Date kDate = Date::fromYmd(2001, 2, 3);

}  // namespace

// The types of version 3.0 and 3.5 tables, in files of both.
TEST(ParadoxVersions, Version3TablesRead)
{
    for (uint8_t version : {uint8_t(3), uint8_t(4)}) {
        TempFolder f;
        const std::vector<RawField> fields = {{0x03, 2, "Szam", 2},   {0x01, 12, "Nev", 12}, {0x02, 4, "Datum", 4},
                                              {0x06, 8, "Ertek", 8}, {0x05, 8, "Penz", 8}};
        const std::vector<std::string> records = {
            flipped(-5, 2) + padded("Árvíz", 12) + flipped(kDate.serial, 4) + dbl(2.5) + dbl(-1234.56),
            flipped(7, 2) + padded("", 12) + std::string(4, '\0') + std::string(8, '\0') + dbl(0),
        };
        spill(f.file("TABLA.DB"), paradoxFile(version, fields, 1, records));
        Record a = readOnlyRow(f, 0);
        ASSERT_EQ(a.size(), 5u);
        EXPECT_EQ(a[0], Value::fromInt(-5));
        EXPECT_EQ(a[1], Value::fromText("Árvíz"));
        EXPECT_EQ(a[2], Value::fromDate(kDate));
        EXPECT_EQ(a[3], Value::fromFloat(2.5));
        EXPECT_EQ(a[4], Value::fromFloat(-1234.56));
        Record b = readOnlyRow(f, 1);
        EXPECT_EQ(b[0], Value::fromInt(7));
        EXPECT_TRUE(b[1].isNull() && b[2].isNull() && b[3].isNull());
        EXPECT_EQ(b[4], Value::fromFloat(0));
    }
}

// Every field type, in files of versions 4.x, 5.x and 7, with a memo file
// holding a value in a block of its own and two in a shared page.
TEST(ParadoxVersions, EveryFieldTypeInVersions4To7)
{
    for (uint8_t version : {uint8_t(9), uint8_t(11), uint8_t(12)}) {
        SCOPED_TRACE(int(version));
        TempFolder f;
        const std::vector<RawField> fields = {
            {0x16, 4, "Kod", 4},        {0x01, 10, "Nev", 10},      {0x02, 4, "Datum", 4},     {0x03, 2, "Rovid", 2},
            {0x04, 4, "Hosszu", 4},     {0x05, 8, "Penz", 8},       {0x06, 8, "Szam", 8},      {0x09, 1, "Jelzo", 1},
            {0x0C, 15, "Memo", 15},     {0x0D, 10, "Binaris", 10},  {0x0E, 15, "Formazott", 15}, {0x0F, 10, "Ole", 10},
            {0x10, 10, "Kep", 10},      {0x14, 4, "Ido", 4},        {0x15, 8, "Idopont", 8},   {0x17, 2, "Bcd", 17},
            {0x18, 6, "Bajtok", 6},
        };
        // The memo file: a header page, one value in a block of its own
        // (page 1), two small ones sharing page 2, a picture (page 3).
        const std::string longMemo(5000, 'L');
        const std::string picture = "GIF89a-not-really";
        std::string mb(4 * 4096, '\0');
        le16(mb, 1, 1);
        mb[4096] = 2;
        le16(mb, 4097, 2);
        mb.resize(5 * 4096, '\0');
        le32(mb, 4096 + 3, uint32_t(longMemo.size()));
        std::memcpy(&mb[4096 + 9], longMemo.data(), longMemo.size());
        const size_t shared = 3 * 4096;
        mb[shared] = 3;
        le16(mb, shared + 1, 1);
        const std::string small1 = "rovid memo ertek", small2 = "{\\rtf1 formazott}";
        // Entry 63: chunk 0x15 on; entry 62 after it.
        auto entry = [&](int index, size_t chunk, const std::string& v) {
            const size_t e = shared + 12 + size_t(index) * 5;
            mb[e] = char(chunk);
            mb[e + 1] = char((v.size() + 15) / 16);
            le16(mb, e + 2, 1);
            mb[e + 4] = char(v.size() % 16 ? v.size() % 16 : 16);
            std::memcpy(&mb[shared + chunk * 16], v.data(), v.size());
        };
        entry(63, 0x15, small1);
        entry(62, 0x17, small2);
        const size_t pic = 4 * 4096;
        mb[pic] = 2;
        le16(mb, pic + 1, 1);
        le32(mb, pic + 3, uint32_t(picture.size() + 8));
        std::memcpy(&mb[pic + 17], picture.data(), picture.size());

        const int64_t timeMs = ((13 * 60 + 45) * 60 + 30) * 1000 + 250;
        const int64_t stampMs = (int64_t(kDate.serial) - 1) * 86400000 + ((4 * 60 + 5) * 60 + 6) * 1000;
        // BCD 123.45 and -7.50, two decimals: sign and decimals, then 32 digit nibbles.
        auto bcd = [](const std::string& digits, bool negative) {
            std::string out(17, '\0');
            out[0] = char((negative ? 0x40 : 0xC0) | 2);
            for (size_t i = 0; i < 32; ++i) {
                const size_t from = digits.size() >= 32 - i ? digits.size() - (32 - i) : std::string::npos;
                uint8_t nibble = from < digits.size() ? uint8_t(digits[from] - '0') : 0;
                if (negative) nibble ^= 0x0F;
                const size_t at = (i + 2) / 2;
                if ((i + 2) % 2)
                    out[at] = char(uint8_t(out[at]) | nibble);
                else
                    out[at] = char(uint8_t(out[at]) | (nibble << 4));
            }
            return out;
        };
        const std::string rec = flipped(42, 4) + padded("Tűrő", 10) + flipped(kDate.serial, 4) + flipped(-300, 2) +
                                flipped(1234567, 4) + dbl(-0.5) + dbl(3.25) + std::string(1, char(0x81)) +
                                blobField(small1, 5, uint32_t(shared), 63, uint32_t(small1.size())) +
                                blobField("", 0, 4096, 0xFF, uint32_t(longMemo.size())) +
                                blobField(small2, 5, uint32_t(shared), 62, uint32_t(small2.size())) +
                                blobField("", 0, 0, 0, 0) +
                                blobField("", 0, uint32_t(pic), 0xFF, uint32_t(picture.size() + 8)) +
                                flipped(timeMs, 4) + dbl(double(stampMs) + 86400000.0) + bcd("12345", false) +
                                std::string("\x01\x02\x00\x04\x05\x06", 6);
        const std::string rec2 = flipped(43, 4) + std::string(size_t(10 + 4 + 2 + 4 + 8 + 8 + 1), '\0') +
                                 blobField("kurta", 5, 0, 0, 5) + std::string(10 + 15 + 10 + 10 + 4 + 8, '\0') +
                                 bcd("750", true) + std::string(6, '\0');
        spill(f.file("tabla.DB"), paradoxFile(version, fields, 1, {rec, rec2}));
        spill(f.file("tabla.MB"), mb);

        Record r = readOnlyRow(f, 0);
        ASSERT_EQ(r.size(), fields.size());
        EXPECT_EQ(r[0], Value::fromInt(42));
        EXPECT_EQ(r[1], Value::fromText("Tűrő"));
        EXPECT_EQ(r[2], Value::fromDate(kDate));
        EXPECT_EQ(r[3], Value::fromInt(-300));
        EXPECT_EQ(r[4], Value::fromInt(1234567));
        EXPECT_EQ(r[5], Value::fromFloat(-0.5));
        EXPECT_EQ(r[6], Value::fromFloat(3.25));
        EXPECT_EQ(r[7], Value::fromBool(true));
        EXPECT_EQ(r[8], Value::fromText(small1));
        EXPECT_EQ(r[9], Value::fromBytes(longMemo));
        EXPECT_EQ(r[10], Value::fromText(small2));
        EXPECT_TRUE(r[11].isNull());
        EXPECT_EQ(r[12], Value::fromBytes(picture));
        EXPECT_EQ(r[13], Value::fromTime(int32_t(timeMs)));
        EXPECT_EQ(r[14], Value::fromTimestamp(stampMs));
        EXPECT_EQ(r[15], Value::fromFloat(123.45));
        EXPECT_EQ(r[16], Value::fromBytes(std::string("\x01\x02\x00\x04\x05\x06", 6)));
        Record b = readOnlyRow(f, 1);
        EXPECT_EQ(b[0], Value::fromInt(43));
        for (int i : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 16}) EXPECT_TRUE(b[size_t(i)].isNull()) << i;
        EXPECT_EQ(b[8], Value::fromText("kurta"));
        EXPECT_EQ(b[15], Value::fromFloat(-7.5));
    }
}

// What pxlib writes as version 5 and 7 tables, with the types it can write.
TEST(ParadoxVersions, PxlibTablesOfVersions5And7)
{
    for (int version : {50, 70}) {
        SCOPED_TRACE(version);
        TempFolder f;
        {
            pxdoc_t* doc = PX_new();
            auto* fields = static_cast<pxfield_t*>(doc->malloc(doc, 6 * sizeof(pxfield_t), "fields"));
            const struct {
                const char* name;
                char type;
                int len;
                int dc;
            } columns[] = {{"kod", pxfLong, 4, 0},  {"ido", pxfTime, 4, 0},   {"idopont", pxfTimestamp, 8, 0},
                           {"bcd", pxfBCD, 17, 2}, {"bajt", pxfBytes, 4, 0}, {"penz", pxfCurrency, 8, 0}};
            for (int i = 0; i < 6; ++i) {
                fields[i].px_fname = PX_strdup(doc, columns[i].name);
                fields[i].px_ftype = columns[i].type;
                fields[i].px_flen = columns[i].len;
                fields[i].px_fdc = columns[i].dc;
            }
            ASSERT_EQ(PX_create_file(doc, fields, 6, f.file("tabla.db").c_str(), pxfFileTypNonIndexDB), 0);
            PX_set_value(doc, "fileversion", float(version));
            PX_set_parameter(doc, "tablename", "tabla");
            std::vector<char> rec(size_t(PX_get_recordsize(doc)), 0);
            for (int i = 0; i < 20; ++i) {
                std::fill(rec.begin(), rec.end(), 0);
                char* p = rec.data();
                PX_put_data_long(doc, p, 4, i);
                PX_put_data_long(doc, p + 4, 4, i * 1000);
                // Milliseconds from the day before 1 January of year 1.
                PX_put_data_double(doc, p + 8, 8, double(kDate.serial) * 86400000.0 + ((4 * 60 + 5) * 60 + i) * 1000.0);
                std::string v = std::to_string(i) + ".25";
                PX_put_data_bcd(doc, p + 16, 2, v.data());
                PX_put_data_bytes(doc, p + 33, 4, const_cast<char*>("\x09\x08\x07\x06"));
                PX_put_data_double(doc, p + 37, 8, -i * 0.01);
                ASSERT_GE(PX_put_record(doc, rec.data()), 0);
            }
            PX_close(doc);
            PX_delete(doc);
        }
        auto db = *Database::open(f.path());
        Result<std::shared_ptr<Table>> t = db->openTable("tabla", OpenMode::ReadOnly);
        ASSERT_TRUE(t.isOk()) << t.status().message();
        const std::vector<RowId> rows = *(*t)->rows(OrderSpec::primary());
        ASSERT_EQ(rows.size(), 20u);
        for (int i = 0; i < 20; ++i) {
            Record r;
            ASSERT_TRUE((*t)->read(rows[size_t(i)], r).isOk());
            EXPECT_EQ(r[0], Value::fromInt(i));
            EXPECT_EQ(r[1], Value::fromTime(i * 1000));
            EXPECT_EQ(r[2], Value::fromTimestamp((int64_t(kDate.serial) - 1) * 86400000 + ((4 * 60 + 5) * 60 + i) * 1000));
            EXPECT_EQ(r[3], Value::fromFloat(i + 0.25));
            EXPECT_EQ(r[4], Value::fromBytes("\x09\x08\x07\x06"));
            EXPECT_EQ(r[5], Value::fromFloat(-i * 0.01));
        }
    }
}
