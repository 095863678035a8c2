// Round trips with pxlib, an independent reader and writer of Paradox files:
// it must read what the engine writes, and the engine what it writes.
#include <gtest/gtest.h>

extern "C" {
#include <paradox.h>
}

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "TempFolder.h"
#include "engine/Codepage.h"
#include "engine/Database.h"

using namespace engine;
using enginetest::TempFolder;

namespace {

std::string cp(std::string_view utf8) { return *utf8ToCp1250(utf8); }

// pxlib reports errors through a callback; a test fails on any.
void onPxError(pxdoc_t*, int type, const char* message, void*)
{
    if (type != PX_Warning) ADD_FAILURE() << "pxlib: " << message;
}

struct PxDoc {
    pxdoc_t* doc = nullptr;
    PxDoc() { doc = PX_new2(onPxError, nullptr, nullptr, nullptr); }
    ~PxDoc()
    {
        if (doc) {
            PX_close(doc);
            PX_delete(doc);
        }
    }
    std::string take(char* p, int ok)
    {
        std::string s = ok > 0 && p ? std::string(p) : std::string();
        if (p) doc->free(doc, p);
        return s;
    }
};

// The packaged pxlib (0.6.8) aborts inside PX_set_blob_file, on its own memo
// files too, while it scans the file's blocks. Reading a memo needs none of
// that scan: the memo file is given to pxlib as a plain stream, and pxlib's
// own PX_get_data_blob reads the values.
size_t blobRead(pxblob_t*, pxstream_t* s, size_t n, void* b) { return std::fread(b, 1, n, s->s.fp); }
int blobSeek(pxblob_t*, pxstream_t* s, long o, int w) { return std::fseek(s->s.fp, o, w); }
long blobTell(pxblob_t*, pxstream_t* s) { return std::ftell(s->s.fp); }
size_t docRead(pxdoc_t*, pxstream_t* s, size_t n, void* b) { return std::fread(b, 1, n, s->s.fp); }
int docSeek(pxdoc_t*, pxstream_t* s, long o, int w) { return std::fseek(s->s.fp, o, w); }
long docTell(pxdoc_t*, pxstream_t* s) { return std::ftell(s->s.fp); }

bool attachMemoFile(pxdoc_t* doc, const std::string& path)
{
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return false;
    pxblob_t* blob = PX_new_blob(doc);
    auto* s = static_cast<pxstream_t*>(doc->malloc(doc, sizeof(pxstream_t), "stream"));
    std::memset(s, 0, sizeof *s);
    s->type = pxfIOFile;
    s->mode = pxfFileRead;
    s->close = 1;
    s->s.fp = fp;
    s->read = docRead;
    s->seek = docSeek;
    s->tell = docTell;
    blob->mb_stream = s;
    blob->read = blobRead;
    blob->seek = blobSeek;
    blob->tell = blobTell;
    blob->mb_head = static_cast<mbhead_t*>(doc->malloc(doc, sizeof(mbhead_t), "head"));
    blob->mb_head->modcount = 0;
    doc->px_blob = blob;
    return true;
}

class PxlibRuntime : public ::testing::Environment {
public:
    void SetUp() override { PX_boot(); }
    void TearDown() override { PX_shutdown(); }
};
const auto* const kRuntime = ::testing::AddGlobalTestEnvironment(new PxlibRuntime);

}  // namespace

TEST(Pxlib, ReadsWhatTheEngineWrites)
{
    TempFolder f;
    TableDef def;
    def.fields = {{"feladat", FieldType::AutoInc, 0}, {"rovid", FieldType::Alpha, 75},  {"dat_hatid", FieldType::Date, 0},
                  {"leiras", FieldType::Memo, 0},     {"prioritas", FieldType::Long, 0}, {"szoveg", FieldType::FmtMemo, 0},
                  {"kuldve", FieldType::Logical, 0},  {"osszeg", FieldType::Number, 0}};
    def.keyFieldCount = 1;
    def.indexes = {{"idx_rovid", {"rovid"}, true, false}};
    const std::string longMemo = cp("Árvíztűrő tükörfúrógép ") + std::string(3000, 'z');
    const int rows = 700;  // several blocks
    {
        auto db = *Database::open(f.path());
        ASSERT_TRUE(db->createTable("feladat", def).isOk());
        auto t = *db->openTable("feladat", OpenMode::Shared);
        for (int i = 0; i < rows; ++i) {
            Record r = {Value(),
                        Value::fromText(cp("Feladat ") + std::to_string(i)),
                        i % 5 == 0 ? Value() : Value::fromDate(Date::fromYmd(2023, 12, 1 + i % 28)),
                        i % 3 == 0 ? Value::fromText(longMemo + std::to_string(i)) : Value::fromText(cp("rövid ") + std::to_string(i)),
                        Value::fromInt(i - 100),
                        i % 7 == 0 ? Value::fromText("{\\rtf1 " + std::string(size_t(i), 'q') + "}") : Value(),
                        Value::fromBool(i % 2 == 1),
                        Value::fromFloat(i * -0.25)};
            ASSERT_TRUE(t->insert(r).isOk());
        }
        // Some rows go, some change: the file is not simply appended.
        auto order = *t->rows(OrderSpec::primary());
        ASSERT_TRUE(t->remove(order[10]).isOk());
        Record r;
        ASSERT_TRUE(t->read(order[20], r).isOk());
        r[1] = Value::fromText(cp("Módosított"));
        ASSERT_TRUE(t->update(order[20], r).isOk());
    }

    PxDoc px;
    ASSERT_EQ(PX_open_file(px.doc, f.file("feladat.DB").c_str()), 0);
    ASSERT_TRUE(attachMemoFile(px.doc, f.file("feladat.MB")));
    ASSERT_EQ(PX_get_num_fields(px.doc), 8);
    ASSERT_EQ(PX_get_num_records(px.doc), rows - 1);
    pxfield_t* fields = PX_get_fields(px.doc);
    EXPECT_STREQ(fields[1].px_fname, "rovid");
    EXPECT_EQ(fields[1].px_ftype, pxfAlpha);
    EXPECT_EQ(fields[1].px_flen, 75);
    EXPECT_EQ(fields[0].px_ftype, pxfAutoInc);
    EXPECT_EQ(fields[3].px_ftype, pxfMemoBLOb);
    EXPECT_EQ(fields[5].px_ftype, pxfFmtMemoBLOb);

    std::vector<char> buf(size_t(PX_get_recordsize(px.doc)));
    int expectKey = 1;
    for (int n = 0; n < rows - 1; ++n, ++expectKey) {
        if (expectKey == 11) ++expectKey;  // the removed row
        ASSERT_TRUE(PX_get_record(px.doc, n, buf.data())) << n;
        const int i = expectKey - 1;
        char* p = buf.data();
        long key = 0;
        ASSERT_EQ(PX_get_data_long(px.doc, p, 4, &key), 1);
        EXPECT_EQ(key, expectKey);
        p += 4;
        char* text = nullptr;
        const std::string rovid = px.take(text, PX_get_data_alpha(px.doc, p, 75, &text));
        EXPECT_EQ(rovid, i == 20 ? cp("Módosított") : cp("Feladat ") + std::to_string(i));
        p += 75;
        long date = 0;
        const int hasDate = PX_get_data_long(px.doc, p, 4, &date);
        if (i % 5 == 0) {
            // Blank is four zero bytes. (pxlib's own blank test reads eight
            // bytes on 64-bit machines, so its answer is not asked here.)
            EXPECT_EQ(std::memcmp(p, "\0\0\0\0", 4), 0);
        } else {
            EXPECT_EQ(hasDate, 1);
            EXPECT_EQ(date, Date::fromYmd(2023, 12, 1 + i % 28).serial);
        }
        p += 4;
        int mod = 0, size = 0;
        char* blob = nullptr;
        const int flen = fields[3].px_flen;
        const int got = PX_get_data_blob(px.doc, p, flen, &mod, &size, &blob);
        const std::string memo = got > 0 ? std::string(blob, size_t(size)) : std::string();
        if (blob) px.doc->free(px.doc, blob);
        EXPECT_EQ(memo, i % 3 == 0 ? longMemo + std::to_string(i) : cp("rövid ") + std::to_string(i)) << i;
        p += flen;
        long prio = 0;
        EXPECT_EQ(PX_get_data_long(px.doc, p, 4, &prio), 1);
        EXPECT_EQ(prio, i - 100);
        p += 4;
        blob = nullptr;
        const int got2 = PX_get_data_blob(px.doc, p, fields[5].px_flen, &mod, &size, &blob);
        const std::string rtf = got2 > 0 ? std::string(blob, size_t(size)) : std::string();
        if (blob) px.doc->free(px.doc, blob);
        EXPECT_EQ(rtf, i % 7 == 0 ? "{\\rtf1 " + std::string(size_t(i), 'q') + "}" : std::string()) << i;
        p += fields[5].px_flen;
        char logical = 0;
        EXPECT_EQ(PX_get_data_byte(px.doc, p, 1, &logical), 1);
        EXPECT_EQ(logical != 0, i % 2 == 1);
        p += 1;
        double number = 0;
        EXPECT_EQ(PX_get_data_double(px.doc, p, 8, &number), 1);
        EXPECT_EQ(number, i * -0.25);
    }

    // The primary index file is one pxlib accepts for this table.
    PxDoc pindex;
    ASSERT_EQ(PX_open_file(pindex.doc, f.file("feladat.PX").c_str()), 0);
    EXPECT_EQ(PX_read_primary_index(pindex.doc), 0);
    EXPECT_EQ(PX_add_primary_index(px.doc, pindex.doc), 0);
    pindex.doc = nullptr;  // now owned by the table's document
}

TEST(Pxlib, EngineReadsWhatPxlibWrites)
{
    TempFolder f;
    {
        PxDoc px;
        auto* fields = static_cast<pxfield_t*>(px.doc->malloc(px.doc, 9 * sizeof(pxfield_t), "fields"));
        auto field = [&](int i, const char* name, char type, int len) {
            fields[i].px_fname = PX_strdup(px.doc, name);
            fields[i].px_ftype = type;
            fields[i].px_flen = len;
            fields[i].px_fdc = 0;
        };
        field(0, "kod", pxfLong, 4);
        field(1, "nev", pxfAlpha, 30);
        field(2, "rovid", pxfShort, 2);
        field(3, "ertek", pxfNumber, 8);
        field(4, "penz", pxfCurrency, 8);
        field(5, "datum", pxfDate, 4);
        field(6, "jelzo", pxfLogical, 1);
        field(7, "ido", pxfTime, 4);
        field(8, "sorszam", pxfAutoInc, 4);
        ASSERT_EQ(PX_create_file(px.doc, fields, 9, f.file("pxtabla.db").c_str(), pxfFileTypNonIndexDB), 0);
        std::vector<char> rec(size_t(PX_get_recordsize(px.doc)));
        for (int i = 0; i < 500; ++i) {
            std::memset(rec.data(), 0, rec.size());
            char* p = rec.data();
            PX_put_data_long(px.doc, p, 4, i * 3);
            p += 4;
            std::string name = cp("Tétel ") + std::to_string(i);
            PX_put_data_alpha(px.doc, p, 30, name.data());
            p += 30;
            PX_put_data_short(px.doc, p, i % 4 ? 2 : 0, short(i - 250));
            p += 2;
            PX_put_data_double(px.doc, p, 8, i / 8.0);
            p += 8;
            PX_put_data_double(px.doc, p, 8, -i * 1.25);
            p += 8;
            PX_put_data_long(px.doc, p, 4, Date::fromYmd(2000, 2, 1 + i % 29).serial);
            p += 4;
            PX_put_data_byte(px.doc, p, 1, char(i % 2));
            p += 1;
            PX_put_data_long(px.doc, p, 4, i * 1000);
            p += 4;
            PX_put_data_long(px.doc, p, 4, i + 1);
            ASSERT_GE(PX_put_record(px.doc, rec.data()), 0);
        }
    }
    auto db = *Database::open(f.path());
    Result<std::shared_ptr<Table>> t = db->openTable("PXTABLA", OpenMode::ReadOnly);
    ASSERT_TRUE(t.isOk()) << t.status().message();
    const TableDef& def = (*t)->def();
    ASSERT_EQ(def.fields.size(), 9u);
    EXPECT_EQ(def.fields[1].type, FieldType::Alpha);
    EXPECT_EQ(def.fields[1].size, 30);
    EXPECT_EQ(def.keyFieldCount, 0);
    const std::vector<RowId> rows = *(*t)->rows(OrderSpec::primary());
    ASSERT_EQ(rows.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        Record r;
        ASSERT_TRUE((*t)->read(rows[size_t(i)], r).isOk());
        EXPECT_EQ(r[0], Value::fromInt(i * 3));
        EXPECT_EQ(r[1], Value::fromText(cp("Tétel ") + std::to_string(i)));
        EXPECT_EQ(r[2], i % 4 ? Value::fromInt(i - 250) : Value());
        EXPECT_EQ(r[3], Value::fromFloat(i / 8.0));
        EXPECT_EQ(r[4], Value::fromFloat(-i * 1.25));
        EXPECT_EQ(r[5], Value::fromDate(Date::fromYmd(2000, 2, 1 + i % 29)));
        EXPECT_EQ(r[6], Value::fromBool(i % 2 == 1));
        EXPECT_EQ(r[7], Value::fromTime(i * 1000));
        EXPECT_EQ(r[8], Value::fromInt(i + 1));
    }
}

// A long memo written by pxlib ends the memo file where its bytes end, short
// of a whole 4 KiB block; the memo is read all the same.
TEST(Pxlib, EngineReadsALongMemoInAShortLastBlock)
{
    TempFolder f;
    std::string longMemo;
    for (int i = 0; longMemo.size() < 10000; ++i) longMemo += cp("hosszú jegyzet ") + std::to_string(i) + "\r\n";
    {
        PxDoc px;
        auto* fields = static_cast<pxfield_t*>(px.doc->malloc(px.doc, 2 * sizeof(pxfield_t), "fields"));
        fields[0].px_fname = PX_strdup(px.doc, "kod");
        fields[0].px_ftype = pxfLong;
        fields[0].px_flen = 4;
        fields[0].px_fdc = 0;
        fields[1].px_fname = PX_strdup(px.doc, "jegyzet");
        fields[1].px_ftype = pxfMemoBLOb;
        fields[1].px_flen = 20;
        fields[1].px_fdc = 0;
        ASSERT_EQ(PX_create_file(px.doc, fields, 2, f.file("jegyzet.db").c_str(), pxfFileTypNonIndexDB), 0);
        pxblob_t* blob = PX_new_blob(px.doc);
        ASSERT_NE(blob, nullptr);
        ASSERT_EQ(PX_create_blob_file(blob, f.file("jegyzet.mb").c_str()), 0);
        px.doc->px_blob = blob;
        std::vector<char> rec(size_t(PX_get_recordsize(px.doc)));
        for (int i = 0; i < 2; ++i) {
            std::memset(rec.data(), 0, rec.size());
            PX_put_data_long(px.doc, rec.data(), 4, i + 1);
            std::string memo = i == 0 ? cp("rövid") : longMemo;
            PX_put_data_blob(px.doc, rec.data() + 4, 20, memo.data(), int(memo.size()));
            ASSERT_GE(PX_put_record(px.doc, rec.data()), 0);
        }
    }
    FILE* mb = std::fopen(f.file("jegyzet.mb").c_str(), "rb");
    ASSERT_NE(mb, nullptr);
    std::fseek(mb, 0, SEEK_END);
    const long size = std::ftell(mb);
    std::fclose(mb);
    EXPECT_NE(size % 4096, 0) << "the last block is whole: this file shows nothing";

    auto db = *Database::open(f.path());
    Result<std::shared_ptr<Table>> t = db->openTable("JEGYZET", OpenMode::ReadOnly);
    ASSERT_TRUE(t.isOk()) << t.status().message();
    const std::vector<RowId> rows = *(*t)->rows(OrderSpec::primary());
    ASSERT_EQ(rows.size(), 2u);
    Record r;
    ASSERT_TRUE((*t)->read(rows[0], r).isOk());
    EXPECT_EQ(r[1], Value::fromText(cp("rövid")));
    const Status s = (*t)->read(rows[1], r);
    ASSERT_TRUE(s.isOk()) << s.message();
    EXPECT_EQ(r[1], Value::fromText(longMemo));
}
