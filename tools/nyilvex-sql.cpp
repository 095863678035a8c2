// nyilvex-sql: runs statements of the local SQL dialect on a database folder.
//
//   nyilvex-sql FOLDER -c "SQL"     runs the text
//   nyilvex-sql FOLDER              reads the text from standard input
//
// Statements are separated by semicolons outside string literals. A SELECT
// prints its rows as CSV (UTF-8, a heading line, RFC 4180 quoting, blank as
// an empty field); other statements print nothing. The first error is printed
// on standard error and ends the run with status 1; the statements before it
// stay done. Everything changed is flushed to disk before the program ends.
// Each SELECT prints one committed state of its tables, whatever other
// programs write meanwhile.

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Codepage.h"
#include "engine/Database.h"
#include "engine/Sql.h"

using namespace engine;

namespace {

// Standard output through one buffer that values are written into in place.
class Output {
public:
    Output() : buf_(size_t(1) << 16) {}
    ~Output() { flush(); }
    // Room for `n` more bytes at the returned place; advance() says how many
    // were written.
    char* room(size_t n)
    {
        if (used_ + n > buf_.size()) {
            flush();
            if (n > buf_.size()) buf_.resize(n);
        }
        return buf_.data() + used_;
    }
    void advance(const char* end) { used_ = size_t(end - buf_.data()); }
    void put(std::string_view s)
    {
        char* p = room(s.size());
        std::memcpy(p, s.data(), s.size());
        advance(p + s.size());
    }
    void put(char c)
    {
        *room(1) = c;
        ++used_;
    }
    void flush()
    {
        std::fwrite(buf_.data(), 1, used_, stdout);
        std::fflush(stdout);
        used_ = 0;
    }

private:
    std::vector<char> buf_;
    size_t used_ = 0;
};

void putField(Output& out, const std::string& utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        out.put(utf8);
        return;
    }
    out.put('"');
    for (char c : utf8) {
        if (c == '"') out.put('"');
        out.put(c);
    }
    out.put('"');
}

std::string twoDigits(int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); }

std::string dateText(Date d)
{
    int y, m, day;
    d.toYmd(y, m, day);
    if (y < 0 || y > 9999) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, day);
        return buf;
    }
    const char text[10] = {char('0' + y / 1000),     char('0' + y / 100 % 10), char('0' + y / 10 % 10),
                           char('0' + y % 10),       '-',
                           char('0' + m / 10),       char('0' + m % 10),       '-',
                           char('0' + day / 10),     char('0' + day % 10)};
    return std::string(text, sizeof text);
}

std::string clockText(int64_t ms)
{
    std::string s = twoDigits(int(ms / 3600000)) + ":" + twoDigits(int(ms / 60000 % 60)) + ":" +
                    twoDigits(int(ms / 1000 % 60));
    if (ms % 1000 != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%03d", int(ms % 1000));
        s += buf;
    }
    return s;
}

std::string text(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Null: return {};
    case Value::Kind::Int: return std::to_string(v.asInt());
    case Value::Kind::Float: {
        char buf[400];
        auto r = std::to_chars(buf, buf + sizeof buf, v.asFloat(), std::chars_format::fixed);
        return std::string(buf, r.ptr);
    }
    case Value::Kind::Bool: return v.asBool() ? "true" : "false";
    case Value::Kind::Text: return cp1250ToUtf8(v.asText());
    case Value::Kind::Bytes: {
        static const char* const kHex = "0123456789abcdef";
        std::string s;
        for (unsigned char c : v.asText()) {
            s += kHex[c >> 4];
            s += kHex[c & 15];
        }
        return s;
    }
    case Value::Kind::Date: return dateText(v.asDate());
    case Value::Kind::Time: return clockText(v.asTime());
    case Value::Kind::Timestamp: {
        const int64_t ms = v.asTimestamp();
        return dateText(dateOfTimestamp(ms)) + " " + clockText(timeOfTimestamp(ms));
    }
    }
    return {};
}

// Text fields straight from Windows-1250 into the output: each byte's UTF-8
// form from a table, quoted only when the text needs it.
class TextWriter {
public:
    TextWriter()
    {
        for (int b = 0; b < 256; ++b) {
            const std::string u = cp1250ToUtf8(std::string(1, char(b)));
            length_[b] = uint8_t(std::min<size_t>(u.size(), 4));
            std::memcpy(utf8_[b], u.data(), length_[b]);
            special_[b] = b == ',' || b == '"' || b == '\r' || b == '\n';
        }
    }
    void put(Output& out, std::string_view cp1250) const
    {
        bool quote = false;
        for (char c : cp1250)
            if (special_[static_cast<unsigned char>(c)]) {
                quote = true;
                break;
            }
        char* p = out.room(cp1250.size() * 4 + 2);
        if (quote) *p++ = '"';
        for (char ch : cp1250) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x80 && c != '"') {
                *p++ = ch;
            } else if (c == '"') {
                *p++ = '"';
                *p++ = '"';
            } else {
                std::memcpy(p, utf8_[c], 4);
                p += length_[c];
            }
        }
        if (quote) *p++ = '"';
        out.advance(p);
    }

private:
    char utf8_[256][4] = {};
    uint8_t length_[256] = {};
    bool special_[256] = {};
};

void putValue(Output& out, const TextWriter& texts, const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Null: return;
    case Value::Kind::Text: texts.put(out, v.asText()); return;
    case Value::Kind::Int: {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v.asInt());
        out.put(std::string_view(buf, size_t(r.ptr - buf)));
        return;
    }
    default: putField(out, text(v)); return;
    }
}

// A row goes out only whole: a block's values are all read before any of its
// rows is printed, so a read that fails ends the output at a line's end. When
// a block fails, its rows are read again one by one so that every row before
// the failing one is still printed.
Status printRows(const QueryResult& rows, Output& out)
{
    const auto& columns = rows.columns();
    for (size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out.put(',');
        putField(out, cp1250ToUtf8(columns[c].name));
    }
    out.put('\n');
    // A block of rows a column at a time: joined rows are found in bulk. The
    // block's values stay few enough to be kept in the processor's caches,
    // in memory that is used again for the next block rather than fresh
    // pages, which cost the most.
    static const TextWriter texts;
    constexpr size_t kBlock = 256;
    // A table's text fields are read as views of the stored text, the rest
    // as values.
    std::vector<std::vector<Value>> block(columns.size());
    std::vector<std::vector<std::string_view>> textBlock(columns.size());
    std::vector<char> isText(columns.size(), 0);
    auto readBlock = [&](size_t first, size_t count) {
        for (size_t c = 0; c < columns.size(); ++c) {
            Result<bool> viewed = rows.texts(c, first, count, textBlock[c]);
            if (!viewed.isOk()) return viewed.status();
            isText[c] = *viewed;
            if (!*viewed)
                if (Status s = rows.values(c, first, count, block[c]); !s.isOk()) return s;
        }
        return Status::ok();
    };
    auto printBlock = [&](size_t count) {
        for (size_t r = 0; r < count; ++r) {
            for (size_t c = 0; c < columns.size(); ++c) {
                if (c > 0) out.put(',');
                if (isText[c])
                    texts.put(out, textBlock[c][r]);
                else
                    putValue(out, texts, block[c][r]);
            }
            out.put('\n');
        }
    };
    for (size_t first = 0; first < rows.rowCount(); first += kBlock) {
        const size_t count = std::min(kBlock, rows.rowCount() - first);
        if (readBlock(first, count).isOk()) {
            printBlock(count);
            continue;
        }
        for (size_t r = first; r < first + count; ++r) {
            if (Status s = readBlock(r, 1); !s.isOk()) return s;
            printBlock(1);
        }
    }
    return Status::ok();
}

// Most of a run over a large table is the system handing out fresh memory,
// and a page at a time that costs the most: the heap is reserved in one piece
// at the start (untouched, it takes no memory) and asked for in huge pages.
void reserveHeap()
{
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    mallopt(M_TOP_PAD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    // The block that makes the heap grow by the padding stays taken, so that
    // what is asked for later lies past it, in the huge-page part.
    constexpr size_t kStart = size_t(1) << 20;
    static void* const start = std::malloc(kStart);
    // Past the page the heap's own bookkeeping has touched behind it: a huge
    // page can only be given where no small one is yet.
    const uintptr_t from = (uintptr_t(start) + kStart + 4096 + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = uintptr_t(sbrk(0)) & ~(kHuge - 1);
    if (start && to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

void report(const std::string& message)
{
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
}

int fail(const Status& s)
{
    report(s.message());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    reserveHeap();
    std::string utf8;
    if (argc == 4 && std::string_view(argv[2]) == "-c") {
        utf8 = argv[3];
    } else if (argc == 2) {
        char chunk[1 << 16];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) utf8.append(chunk, n);
    } else {
        std::fprintf(stderr, "Használat: nyilvex-sql MAPPA [-c \"SQL\"]\n"
                             "Az SQL szöveget a -c után, vagy a szabványos bemeneten várja; az utasításokat "
                             "pontosvessző választja el.\n");
        return 2;
    }
    auto script = utf8ToCp1250(utf8);
    if (!script.isOk()) return fail(script.status());
    auto db = Database::open(argv[1]);
    if (!db.isOk()) return fail(db.status());

    SqlSession session(**db);
    // A result is printed whole: what others commit while it is read waits.
    session.holdResults(true);
    Output out;
    for (const std::string& statement : splitStatements(*script)) {
        auto outcome = session.run(statement);
        Status st = outcome.isOk() ? Status::ok() : outcome.status();
        if (st.isOk() && outcome->rows) st = printRows(*outcome->rows, out);
        if (!st.isOk()) {
            out.flush();
            // What ran before the error stays, and reaches the disk.
            if (auto f = session.flush(); !f.isOk()) report(f.message());
            return fail(st);
        }
    }
    out.flush();
    if (auto st = session.flush(); !st.isOk()) return fail(st);
    return 0;
}
