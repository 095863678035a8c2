// Several programs on one folder at once: shells running scripts of
// statements, forked writers, and copies of a folder taken while it was in
// use. Every acknowledged change must be in the table, no statement may fail
// because another program wrote, and no lock may outlive its holder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ShellRun.h"
#include "TempFolder.h"
#include "engine/Database.h"
#include "engine/WriteAheadLog.h"

using namespace engine;
using enginetest::runShell;
using enginetest::ShellProcess;
using enginetest::TempFolder;

namespace {

std::string repeat(const std::string& statement, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i) s += statement + ";\n";
    return s;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

// Runs the scripts in as many shells at once; each must succeed.
void runTogether(const TempFolder& db, const TempFolder& work, const std::vector<std::string>& scripts)
{
    std::vector<std::unique_ptr<ShellProcess>> shells;
    for (size_t i = 0; i < scripts.size(); ++i)
        shells.push_back(std::make_unique<ShellProcess>(db.path(), scripts[i], work.file(std::string("s").append(std::to_string(i)))));
    for (auto& s : shells) {
        const enginetest::ShellOutcome& o = s->finish();
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
    }
}

}  // namespace

TEST(Writers, EveryAcknowledgedChangeOfSeveralShellsIsInTheTable)
{
    TempFolder db, work;
    ASSERT_EQ(runShell(db.path(),
                       "CREATE TABLE beallit (beallit AUTOINC, alaphatarido INT, PRIMARY KEY (beallit));"
                       "INSERT INTO beallit (alaphatarido) VALUES (0);"
                       "CREATE TABLE ugyfel (ugyfel INT, nev CHAR(20), szamlalo INT, PRIMARY KEY (ugyfel));"
                       "CREATE TABLE naplo (sor INT, PRIMARY KEY (sor));"
                       "INSERT INTO naplo VALUES (0);",
                       work.file("setup"))
                  .status,
              0);
    std::string customers;
    for (int i = 1; i <= 300; ++i) customers += "INSERT INTO ugyfel VALUES (" + std::to_string(i) + ", 'Ügyfél', 0);\n";
    ASSERT_EQ(runShell(db.path(), customers, work.file("fill")).status, 0);

    // A counter, the whole customer table, and rows numbered from what the
    // table holds: a change computed from a state another writer has moved
    // on from is lost, or collides.
    runTogether(db, work, std::vector<std::string>(3, repeat("UPDATE beallit SET alaphatarido=alaphatarido+1", 200)));
    runTogether(db, work, std::vector<std::string>(2, repeat("UPDATE ugyfel SET szamlalo=szamlalo+1", 25)));
    runTogether(db, work, std::vector<std::string>(2, repeat("INSERT INTO naplo SELECT MAX(sor)+1 FROM naplo", 100)));

    const auto counts = runShell(db.path(),
                                 "SELECT alaphatarido FROM beallit;"
                                 "SELECT COUNT(*), MIN(szamlalo), MAX(szamlalo) FROM ugyfel;"
                                 "SELECT COUNT(*), MAX(sor) FROM naplo;",
                                 work.file("check"));
    ASSERT_EQ(counts.status, 0) << counts.err;
    EXPECT_EQ(lines(counts.out), (std::vector<std::string>{"alaphatarido", "600", "COUNT,MIN,MAX", "300,50,50",
                                                           "COUNT,MAX", "201,200"}));
}

TEST(Writers, OfTwoCreatingOneTableOneSucceedsAndEveryRowStays)
{
    TempFolder db;
    TableDef def;
    def.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 20}};
    def.keyFieldCount = 1;
    def.indexes = {{"idx_nev", {"nev"}, true, false}};
    constexpr int kWriters = 4;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        if (pid == 0) {
            auto d = *Database::open(db.path());
            const Status created = d->createTable("uj", def);
            if (!created.isOk() && created.code() != ErrorCode::AlreadyExists) _exit(1);
            auto t = d->openTable("uj", OpenMode::Shared);
            if (!t.isOk()) _exit(2);
            Record r{Value::fromInt(w), Value::fromText("író " + std::to_string(w))};
            if (!(*t)->insert(r).isOk() || !(*t)->flush().isOk()) _exit(3);
            _exit(created.isOk() ? 10 : 11);
        }
        children.push_back(pid);
    }
    int creators = 0;
    for (pid_t pid : children) {
        int st = 0;
        waitpid(pid, &st, 0);
        ASSERT_TRUE(WIFEXITED(st));
        ASSERT_GE(WEXITSTATUS(st), 10) << WEXITSTATUS(st);
        creators += WEXITSTATUS(st) == 10;
    }
    EXPECT_EQ(creators, 1);
    auto t = *(*Database::open(db.path()))->openTable("uj", OpenMode::ReadOnly);
    EXPECT_EQ(*t->recordCount(), uint64_t(kWriters));
    EXPECT_EQ(t->rows(OrderSpec::index("idx_nev"))->size(), size_t(kWriters));
    for (const auto& e : std::filesystem::directory_iterator(db.path()))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
}

TEST(Readers, ASelectBesideAWriterReadsOneWholeState)
{
    TempFolder db, work;
    {
        auto d = *Database::open(db.path());
        TableDef def;
        def.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 30}};
        def.keyFieldCount = 1;
        ASSERT_TRUE(d->createTable("tetel", def).isOk());
        auto t = *d->openTable("tetel", OpenMode::Shared);
        for (int k = 1; k <= 20000; ++k) {
            Record r{Value::fromInt(k), Value::fromText("tétel " + std::to_string(k))};
            ASSERT_TRUE(t->insert(r).isOk());
        }
    }
    // A writer adds rows (and checkpoints now and then) for as long as the
    // reader reads.
    int stop[2];
    ASSERT_EQ(pipe(stop), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        close(stop[1]);
        fcntl(stop[0], F_SETFL, O_NONBLOCK);
        auto d = *Database::open(db.path());
        auto t = *d->openTable("tetel", OpenMode::Shared);
        char c;
        for (int k = 20001; read(stop[0], &c, 1) < 0; ++k) {
            Record r{Value::fromInt(k), Value::fromText("új")};
            if (!t->insert(r).isOk()) _exit(1);
            if (k % 100 == 0 && !t->flush().isOk()) _exit(2);
        }
        _exit(0);
    }
    close(stop[0]);
    for (int run = 0; run < 5; ++run) {
        const auto o = runShell(db.path(), "SELECT kod FROM tetel; SELECT COUNT(*) FROM tetel;", work.file("r"));
        ASSERT_EQ(o.status, 0) << o.err;
        const std::vector<std::string> l = lines(o.out);
        ASSERT_GE(l.size(), 20003u);
        // Keys 1..n in order, whole lines, nothing from a later state.
        const size_t n = l.size() - 3;
        for (size_t i = 1; i <= n; ++i) ASSERT_EQ(l[i], std::to_string(i));
        EXPECT_EQ(l[n + 1], "COUNT");
        EXPECT_GE(std::stoul(l[n + 2]), n);
    }
    close(stop[1]);
    int st = 0;
    waitpid(writer, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
}

TEST(Locks, AFolderCopiedWhileAWriterHeldItsLockOpensWritable)
{
    TempFolder db, copy;
    {
        auto d = *Database::open(db.path());
        TableDef def;
        def.fields = {{"kod", FieldType::Long, 0}};
        def.keyFieldCount = 1;
        ASSERT_TRUE(d->createTable("tabla", def).isOk());
    }
    int told[2], done[2];
    ASSERT_EQ(pipe(told), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        // A writer in the middle of a change, with changes in the journal.
        auto d = *Database::open(db.path());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        for (int k = 1; k <= 10; ++k) {
            Record r{Value::fromInt(k)};
            if (!t->insert(r).isOk()) _exit(1);
        }
        WriteAheadLog wal;
        if (!wal.open(db.file("tabla.WAL"), false).isOk() || !wal.lockWriter(0)) _exit(2);
        (void)!write(told[1], "h", 1);
        char c;
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(told[0], &c, 1), 1);
    // What a backup of the folder in use, or a power loss, leaves on disk.
    std::filesystem::copy(db.path(), copy.path(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    const auto start = std::chrono::steady_clock::now();
    {
        auto d = *Database::open(copy.path());
        auto t = d->openTable("tabla", OpenMode::Shared);
        ASSERT_TRUE(t.isOk()) << t.status().message();
        Record r{Value::fromInt(11)};
        EXPECT_TRUE((*t)->insert(r).isOk());
        EXPECT_EQ(*(*t)->recordCount(), 11u);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    // The original stays locked while its holder lives, and not after.
    {
        auto d = *Database::open(db.path());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        Record r{Value::fromInt(12)};
        EXPECT_EQ(t->insert(r).status().code(), ErrorCode::Locked);
        (void)!write(done[1], "x", 1);
        int st = 0;
        waitpid(holder, &st, 0);
        EXPECT_TRUE(t->insert(r).isOk());
        EXPECT_EQ(*t->recordCount(), 11u);
    }
}

// Earlier builds locked writers with a kernel lock on one byte of the journal,
// taken for each change. Neither build may write beside the other: while
// this one has the journal open such a writer finds it taken, and while
// such a writer holds it this one reports the table in use, then writes once
// it is let go.
TEST(Locks, AWriterOfTheEarlierBuildAndThisOneExcludeEachOther)
{
    TempFolder db;
    TableDef def;
    def.fields = {{"kod", FieldType::Long, 0}};
    def.keyFieldCount = 1;
    ASSERT_TRUE((*Database::open(db.path()))->createTable("tabla", def).isOk());
    const auto earlierWriterLock = [](int fd, short type) {
        struct flock fl {};
        fl.l_type = type;
        fl.l_whence = SEEK_SET;
        fl.l_start = (off_t(1) << 40) + 1;
        fl.l_len = 1;
        return fcntl(fd, F_OFD_SETLK, &fl) == 0;
    };
    {
        auto d = *Database::open(db.path());
        auto t = *d->openTable("tabla", OpenMode::Shared);
        const int fd = ::open(db.file("tabla.WAL").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        EXPECT_FALSE(earlierWriterLock(fd, F_WRLCK));
        ::close(fd);
    }
    const int fd = ::open(db.file("tabla.WAL").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(earlierWriterLock(fd, F_WRLCK));
    auto d = *Database::open(db.path());
    auto t = *d->openTable("tabla", OpenMode::Shared);
    Record r{Value::fromInt(1)};
    EXPECT_EQ(t->insert(r).status().code(), ErrorCode::Locked);
    ASSERT_TRUE(earlierWriterLock(fd, F_UNLCK));
    EXPECT_TRUE(t->insert(r).isOk());
    EXPECT_EQ(*t->recordCount(), 1u);
    ::close(fd);
}
