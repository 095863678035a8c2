// Faults from the outside world, met through the SQL shell as a user meets
// them: a full disk, damaged journals and data files, statements nested too
// deep. Each ends in a result or a Hungarian message with status 1, never a
// signal, and nothing is lost or written into damage.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ShellRun.h"
#include "TempFolder.h"
#include "engine/Database.h"

using namespace engine;
using enginetest::runShell;
using enginetest::ShellOutcome;
using enginetest::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAt(const std::string& path, size_t offset, const std::string& bytes)
{
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(std::streamoff(offset));
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string le(uint64_t v, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += char((v >> (8 * i)) & 0xFF);
    return s;
}

// The shell's run, which must end normally whatever it met.
ShellOutcome run(const TempFolder& db, const TempFolder& work, const std::string& sql)
{
    ShellOutcome o = runShell(db.path(), sql, work.file("run"));
    EXPECT_EQ(o.signal, 0) << sql.substr(0, 80);
    return o;
}

TableDef memoTable()
{
    TableDef d;
    d.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 30}, {"leiras", FieldType::Memo, 10}};
    d.keyFieldCount = 1;
    d.indexes = {{"idx_nev", {"nev"}, true, false}};
    return d;
}

std::string memoText(int k) { return std::string(size_t(200 + k * 37 % 3000), char('a' + k % 26)); }

// A folder whose table holds `rows` rows in its journal only: the writer
// ended without closing it.
void tableInJournal(const TempFolder& db, int rows)
{
    ASSERT_TRUE((*Database::open(db.path()))->createTable("tabla", memoTable()).isOk());
    const pid_t pid = fork();
    if (pid == 0) {
        auto d = *Database::open(db.path());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        for (int k = 1; k <= rows; ++k) {
            Record r{Value::fromInt(k), Value::fromText("sor " + std::to_string(k)), Value::fromText(memoText(k))};
            if (!t->insert(r).isOk()) _exit(1);
        }
        _exit(0);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
}

// A small file system of its own, filled up by hand; unmounted at the end.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& at) : at_(at)
    {
        mounted_ = mount("tmpfs", at.c_str(), "tmpfs", 0, "size=4m") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_) umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Fills the disk until fewer than `leave` bytes are free.
    void fill(size_t leave)
    {
        std::ofstream f(at_ + "/toltelek", std::ios::binary | std::ios::app);
        const std::string block(4096, 'x');
        while (fs::space(at_).available > leave && f.write(block.data(), std::streamsize(block.size())))
            f.flush();
    }
    void emptyFiller() { fs::remove(at_ + "/toltelek"); }

private:
    std::string at_;
    bool mounted_ = false;
};

}  // namespace

TEST(FullDisk, StatementsEndWithAMessageAndEveryAcknowledgedRowIsWhole)
{
    TempFolder work, mountPoint;
    SmallDisk disk(mountPoint.path());
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (needs root): full disk not tried";
    const std::string folder = mountPoint.path() + "/db";
    fs::create_directory(folder);
    {
        auto d = *Database::open(folder);
        ASSERT_TRUE(d->createTable("tabla", memoTable()).isOk());
        ASSERT_TRUE(d->createTable("masik", memoTable()).isOk());
    }
    // Room for the journal's first growth, not for its second.
    disk.fill(1536 * 1024);
    std::string script;
    for (int k = 1; k <= 1200; ++k)
        script += "INSERT INTO tabla VALUES (" + std::to_string(k) + ", 'sor', '" + memoText(k) + "');\n";
    const ShellOutcome inserts = runShell(folder, script, work.file("ins"));
    EXPECT_EQ(inserts.signal, 0);
    EXPECT_EQ(inserts.status, 1);
    EXPECT_NE(inserts.err.find("nincs elég hely a lemezen"), std::string::npos) << inserts.err;
    EXPECT_NE(inserts.err.find("tabla."), std::string::npos) << inserts.err;

    // Even reading needs a journal, and there is no room left for one.
    disk.fill(0);
    const ShellOutcome select = runShell(folder, "SELECT COUNT(*) FROM masik;", work.file("sel"));
    EXPECT_EQ(select.signal, 0);
    EXPECT_EQ(select.status, 1);
    EXPECT_NE(select.err.find("masik.WAL"), std::string::npos) << select.err;
    EXPECT_NE(select.err.find("nincs elég hely a lemezen"), std::string::npos) << select.err;

    // With room again, every row the shell got to is there, whole.
    disk.emptyFiller();
    auto d = *Database::open(folder);
    auto t = *d->openTable("tabla", OpenMode::Shared);
    const std::vector<RowId> rows = *t->rows(OrderSpec::primary());
    EXPECT_GT(rows.size(), 0u);
    EXPECT_LT(rows.size(), 1200u);
    for (size_t i = 0; i < rows.size(); ++i) {
        Record r;
        ASSERT_TRUE(t->read(rows[i], r).isOk());
        EXPECT_EQ(r[0].asInt(), int64_t(i + 1));
        EXPECT_EQ(r[2].asText(), memoText(int(i + 1)));
    }
    EXPECT_TRUE(t->flush().isOk());
}

TEST(DamagedJournals, AreReportedOnceSetAsideAndTheTableOpensWithWhatIsWhole)
{
    TempFolder pristine, work;
    tableInJournal(pristine, 60);
    const size_t walSize = fs::file_size(pristine.file("tabla.WAL"));
    ASSERT_GT(walSize, 8192u);
    struct Damage {
        const char* what;
        std::function<void(const std::string&)> apply;
    };
    const std::vector<Damage> damages = {
        {"cut to one byte", [](const std::string& w) { fs::resize_file(w, 1); }},
        {"cut inside its header", [](const std::string& w) { fs::resize_file(w, 100); }},
        {"cut inside its records", [](const std::string& w) { fs::resize_file(w, 4096 + 5000); }},
        {"header checksum broken", [](const std::string& w) { writeAt(w, 9, "\x7f"); }},
        {"huge commit point", [](const std::string& w) { writeAt(w, 64, le(uint64_t(1) << 62, 8)); }},
        {"huge size recorded", [](const std::string& w) { writeAt(w, 72, le(uint64_t(1) << 40, 8)); }},
        {"a record's bytes", [](const std::string& w) { writeAt(w, 4096 + 3000, "\x01\x02\x03"); }},
        {"a record's length", [](const std::string& w) { writeAt(w, 4096 + 12, le(0xFFFFFFF0u, 4)); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        TempFolder db;
        fs::copy(pristine.path(), db.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        damage.apply(db.file("tabla.WAL"));
        const ShellOutcome first = run(db, work, "SELECT COUNT(*) FROM tabla;");
        if (first.status != 0) {
            EXPECT_EQ(first.status, 1);
            EXPECT_NE(first.err.find("tabla.WAL fájl sérült"), std::string::npos) << first.err;
            EXPECT_TRUE(db.exists("tabla.WAL.serult")) << first.err;
        }
        const ShellOutcome again = run(db, work, "SELECT kod, leiras FROM tabla;");
        ASSERT_EQ(again.status, 0) << again.err;
        // Whole rows from the first on, as many as the journal kept whole.
        std::istringstream lines(again.out);
        std::string line;
        std::getline(lines, line);
        int k = 0;
        while (std::getline(lines, line)) {
            ++k;
            EXPECT_EQ(line, std::to_string(k) + "," + memoText(k));
        }
        EXPECT_LE(k, 60);
        const ShellOutcome write = run(db, work, "INSERT INTO tabla VALUES (1000, 'új', 'x'); SELECT COUNT(*) FROM tabla;");
        EXPECT_EQ(write.status, 0) << write.err;
        EXPECT_EQ(write.out, "COUNT\n" + std::to_string(k + 1) + "\n");
    }
}

TEST(DamagedDataFiles, ABrokenBlockChainIsRefusedAndNeverWrittenInto)
{
    TempFolder pristine, work;
    {
        auto d = *Database::open(pristine.path());
        TableDef def;
        def.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 30}};
        def.keyFieldCount = 1;
        ASSERT_TRUE(d->createTable("tabla", def).isOk());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        for (int k = 1; k <= 2000; ++k) {
            Record r{Value::fromInt(k), Value::fromText("sor")};
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    const std::string head = readFile(pristine.file("tabla.DB"));
    const size_t headerSize = uint8_t(head[2]) | size_t(uint8_t(head[3])) << 8;
    const size_t blockSize = size_t(uint8_t(head[5])) * 1024;
    const uint16_t first = uint16_t(uint8_t(head[0x0E]) | uint8_t(head[0x0F]) << 8);
    struct Damage {
        const char* what;
        size_t offset;
        std::string bytes;
    };
    const std::vector<Damage> damages = {
        {"no first block", 0x0E, le(0, 2)},
        {"first block elsewhere", 0x0E, le(first + 3u, 2)},
        {"a next pointer cut", headerSize + (first - 1) * blockSize, le(0, 2)},
        {"a next pointer astray", headerSize + (first - 1) * blockSize, le(first + 5u, 2)},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        TempFolder db;
        fs::copy(pristine.path(), db.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        writeAt(db.file("tabla.DB"), damage.offset, damage.bytes);
        const std::string before = readFile(db.file("tabla.DB"));
        for (const char* sql : {"SELECT COUNT(*) FROM tabla;", "INSERT INTO tabla VALUES (5000, 'új');"}) {
            const ShellOutcome o = run(db, work, sql);
            EXPECT_EQ(o.status, 1) << o.out;
            EXPECT_NE(o.err.find("tabla.DB fájl sérült"), std::string::npos) << o.err;
        }
        EXPECT_EQ(readFile(db.file("tabla.DB")), before);
        EXPECT_FALSE(db.exists("tabla.WAL"));
    }
}

// The block index (.PX) names the data blocks in chain order: damage that
// leaves the header's counts agreeing with the chain still shows against it.
TEST(DamagedDataFiles, AChainThatDisagreesWithItsBlockIndexIsRefused)
{
    TempFolder pristine, work;
    {
        // Wide keys, so that the index needs a level above its leaves.
        auto d = *Database::open(pristine.path());
        TableDef def;
        def.fields = {{"kod", FieldType::Alpha, 200}, {"nev", FieldType::Alpha, 30}};
        def.keyFieldCount = 1;
        ASSERT_TRUE(d->createTable("tabla", def).isOk());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        for (int k = 1; k <= 2000; ++k) {
            char key[16];
            std::snprintf(key, sizeof key, "k%05d", k);
            Record r{Value::fromText(key), Value::fromText("sor")};
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    const auto u16 = [](const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); };
    const std::string db = readFile(pristine.file("tabla.DB"));
    const std::string px = readFile(pristine.file("tabla.PX"));
    ASSERT_GE(uint8_t(px[0x20]), 2) << "index levels";
    const ShellOutcome whole = run(pristine, work, "SELECT COUNT(*) FROM tabla;");
    ASSERT_EQ(whole.out, "COUNT\n2000\n") << whole.err;

    // The chain's first three blocks, and where the index's first leaf entry
    // keeps its block number (big-endian, top bit flipped).
    const size_t recordSize = u16(db, 0), headerSize = u16(db, 2), blockSize = size_t(uint8_t(db[5])) * 1024;
    const auto blockAt = [&](uint16_t block) { return headerSize + (block - 1) * blockSize; };
    const uint16_t a = u16(db, 0x0E), b = u16(db, blockAt(a)), c = u16(db, blockAt(b));
    const size_t inB = (int16_t(u16(db, blockAt(b) + 4)) + recordSize) / recordSize;
    const size_t firstLeafEntry = u16(px, 2) + 6 + 200;
    const std::string indexedB{char(0x80 | (b >> 8)), char(b & 0xFF)};

    struct Damage {
        const char* what;
        const char* file;
        std::vector<std::pair<size_t, std::string>> writes;
        const char* refused;
    };
    const std::vector<Damage> damages = {
        {"a chain that skips a block, header counts mended to match",
         "tabla.DB",
         {{blockAt(a), le(c, 2)},
          {blockAt(c) + 2, le(a, 2)},
          {0x06, le(2000 - inB, 4)},
          {0x0A, le(u16(db, 0x0A) - 1u, 2)}},
         "tabla.DB fájl sérült"},
        {"an index leaf naming another block", "tabla.PX", {{firstLeafEntry, indexedB}}, "tabla.DB fájl sérült"},
        {"an index root astray", "tabla.PX", {{0x1E, le(0xFFFF, 2)}}, "tabla.PX fájl sérült"},
        {"an index of another key width", "tabla.PX", {{0x00, le(10, 2)}}, "tabla.PX fájl sérült"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        TempFolder folder;
        fs::copy(pristine.path(), folder.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const auto& [offset, bytes] : damage.writes) writeAt(folder.file(damage.file), offset, bytes);
        const std::string dbBefore = readFile(folder.file("tabla.DB")), pxBefore = readFile(folder.file("tabla.PX"));
        for (const char* sql : {"SELECT COUNT(*) FROM tabla;", "INSERT INTO tabla VALUES ('k09999', 'új');"}) {
            const ShellOutcome o = run(folder, work, sql);
            EXPECT_EQ(o.status, 1) << o.out;
            EXPECT_NE(o.err.find(damage.refused), std::string::npos) << o.err;
        }
        EXPECT_TRUE(readFile(folder.file("tabla.DB")) == dbBefore) << "tabla.DB written into";
        EXPECT_TRUE(readFile(folder.file("tabla.PX")) == pxBefore) << "tabla.PX written into";
        EXPECT_FALSE(folder.exists("tabla.WAL"));
    }

    // Without its index (as the index rebuild leaves it) the table opens.
    fs::remove(pristine.file("tabla.PX"));
    EXPECT_EQ(run(pristine, work, "SELECT COUNT(*) FROM tabla;").out, "COUNT\n2000\n");
}

TEST(DeepSql, NestingEndsInAResultOrAMessageNeverACrash)
{
    TempFolder db, work;
    ASSERT_EQ(run(db, work, "CREATE TABLE t (kod INT, PRIMARY KEY (kod)); INSERT INTO t VALUES (1), (2);").status, 0);
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    std::string ors = "kod=0";
    for (int i = 1; i < 20000; ++i) ors += " OR kod=" + std::to_string(i);
    const std::vector<std::string> deep = {
        "SELECT kod FROM t WHERE " + repeat("(", 5000) + "kod=1" + repeat(")", 5000),
        "SELECT kod FROM t WHERE " + ors,
        "SELECT kod FROM t WHERE " + repeat("NOT ", 100000) + "kod=1",
        "SELECT " + repeat("- ", 100000) + "kod FROM t",
        "SELECT kod FROM t WHERE kod=" + repeat("UPPER(", 5000) + "1" + repeat(")", 5000),
        "UPDATE t SET kod=" + repeat("(", 5000) + "kod" + repeat(")", 5000),
    };
    for (const std::string& sql : deep) {
        const ShellOutcome o = run(db, work, sql);
        EXPECT_EQ(o.status, 1) << sql.substr(0, 60);
        EXPECT_NE(o.err.find("túl mélyen ágyazott"), std::string::npos) << o.err.substr(0, 200);
    }
    // Nesting as deep as people write works.
    const ShellOutcome fine = run(db, work, "SELECT kod FROM t WHERE " + repeat("(", 100) + "kod=2" + repeat(")", 100) +
                                                " OR " + repeat("NOT ", 101) + "kod=1;");
    EXPECT_EQ(fine.status, 0) << fine.err;
    EXPECT_EQ(fine.out, "kod\n2\n");
}

TEST(SmallerFaults, KeysMessagesAndPartOutput)
{
    TempFolder db, work;
    std::string setup = "CREATE TABLE allapot (allapot INT, allapot_nev CHAR(25), PRIMARY KEY (allapot));";
    for (int k = 1; k <= 30; ++k) setup += "INSERT INTO allapot VALUES (" + std::to_string(k) + ", 'á" + std::to_string(k) + "');";
    ASSERT_EQ(run(db, work, setup).status, 0);

    // Keys are unique when the statement is done, whatever the row order.
    for (const char* sql : {"UPDATE allapot SET allapot=allapot+1;", "UPDATE allapot SET allapot=allapot-1;",
                            "UPDATE allapot SET allapot=31-allapot;"}) {
        const ShellOutcome o = run(db, work, sql);
        EXPECT_EQ(o.status, 0) << sql << o.err;
    }
    const ShellOutcome keys = run(db, work, "SELECT allapot, allapot_nev FROM allapot WHERE allapot=1 OR allapot=30;");
    EXPECT_EQ(keys.out, "allapot,allapot_nev\n1,á30\n30,á1\n");
    const ShellOutcome clash = run(db, work, "UPDATE allapot SET allapot=allapot+1 WHERE allapot < 5 OR allapot = 10;");
    EXPECT_EQ(clash.status, 1);
    EXPECT_NE(clash.err.find("5"), std::string::npos) << clash.err;
    EXPECT_EQ(run(db, work, "SELECT COUNT(*), MIN(allapot), MAX(allapot) FROM allapot;").out, "COUNT,MIN,MAX\n30,1,30\n");

    // Text beyond three UTF-8 bytes, and a NUL, quoted readably and whole.
    const ShellOutcome emoji = run(db, work, "SELECT * FROM allapot WHERE allapot_nev = 'kész 😀';");
    EXPECT_EQ(emoji.status, 1);
    EXPECT_NE(emoji.err.find("„😀” (U+1F600)"), std::string::npos) << emoji.err;
    const ShellOutcome nul = run(db, work, std::string("SELECT * FROM \"al\0lapot\";", 25));
    EXPECT_EQ(nul.status, 1);
    EXPECT_NE(nul.err.find("„al\\x00lapot”"), std::string::npos) << nul.err;
    EXPECT_EQ(nul.err.back(), '\n');
    EXPECT_NE(nul.err.find("oszlop))."), std::string::npos) << nul.err;

    // A SELECT that fails part-way has printed whole lines only.
    const ShellOutcome part = run(db, work, "SELECT allapot, 100/(allapot-5) FROM allapot;");
    EXPECT_EQ(part.status, 1);
    EXPECT_NE(part.err.find("Nullával való osztás"), std::string::npos) << part.err;
    EXPECT_EQ(part.out, "allapot,EXPR\n1,-25\n2,-33\n3,-50\n4,-100\n");
}
