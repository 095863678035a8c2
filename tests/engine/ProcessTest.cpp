// Two processes on one folder: a forked child and this process share a table.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "TempFolder.h"
#include "engine/Database.h"
#include "engine/WriteAheadLog.h"

using namespace engine;
using enginetest::TempFolder;

namespace {

TableDef def()
{
    TableDef d;
    d.fields = {{"kod", FieldType::Long, 0}, {"nev", FieldType::Alpha, 30}, {"leiras", FieldType::Memo, 0}};
    d.keyFieldCount = 1;
    d.indexes = {{"idx_nev", {"nev"}, true, false}};
    return d;
}

Record row(int k) { return {Value::fromInt(k), Value::fromText("sor " + std::to_string(k)), Value::fromText(std::string(size_t(k % 300), 'x'))}; }

// A child process running `body`; the two talk through a pair of pipes, one
// byte at a time.
class Child {
public:
    explicit Child(const std::function<void(Child&)>& body)
    {
        if (pipe(toChild_) != 0 || pipe(toParent_) != 0) std::abort();
        pid_ = fork();
        if (pid_ == 0) {
            close(toChild_[1]);
            close(toParent_[0]);
            body(*this);
            _exit(0);
        }
        close(toChild_[0]);
        close(toParent_[1]);
    }
    ~Child()
    {
        finish();
        close(toChild_[1]);
        close(toParent_[0]);
    }
    void tellChild(char c) { (void)!write(toChild_[1], &c, 1); }
    void tellParent(char c) { (void)!write(toParent_[1], &c, 1); }
    char waitChild()
    {
        char c = 0;
        return read(toParent_[0], &c, 1) == 1 ? c : 0;
    }
    char waitParent()
    {
        char c = 0;
        return read(toChild_[0], &c, 1) == 1 ? c : 0;
    }
    int finish()
    {
        if (pid_ <= 0) return status_;
        int st = 0;
        waitpid(pid_, &st, 0);
        pid_ = 0;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 100;
        return status_;
    }

private:
    int toChild_[2];
    int toParent_[2];
    pid_t pid_ = 0;
    int status_ = 0;
};

void createTable(const TempFolder& f)
{
    auto db = *Database::open(f.path());
    ASSERT_TRUE(db->createTable("tabla", def()).isOk());
}

}  // namespace

TEST(TwoProcesses, ReaderSeesTheOtherProcessCommits)
{
    TempFolder f;
    createTable(f);
    auto db = *Database::open(f.path());
    auto t = *db->openTable("tabla", OpenMode::ReadOnly);
    const uint64_t v0 = *t->version();
    Child child([&](Child& c) {
        auto cdb = *Database::open(f.path());
        auto ct = *cdb->openTable("TABLA", OpenMode::Shared);
        for (int k = 1; k <= 200; ++k) {
            Record r = row(k);
            if (!ct->insert(r).isOk()) _exit(1);
        }
        c.tellParent('1');
        c.waitParent();
        if (!ct->flush().isOk()) _exit(2);
        for (int k = 201; k <= 250; ++k) {
            Record r = row(k);
            if (!ct->insert(r).isOk()) _exit(3);
        }
        c.tellParent('2');
        c.waitParent();
    });
    ASSERT_EQ(child.waitChild(), '1');
    EXPECT_GT(*t->version(), v0);
    EXPECT_EQ(*t->recordCount(), 200u);
    EXPECT_EQ(t->rows(OrderSpec::index("idx_nev"))->size(), 200u);
    child.tellChild('g');
    ASSERT_EQ(child.waitChild(), '2');
    EXPECT_EQ(*t->recordCount(), 250u);
    Record r;
    const std::optional<RowId> id = *t->findKey({Value::fromInt(240)});
    ASSERT_TRUE(id);
    ASSERT_TRUE(t->read(*id, r).isOk());
    EXPECT_EQ(r[2], Value::fromText(std::string(240, 'x')));
    child.tellChild('g');
    EXPECT_EQ(child.finish(), 0);
    EXPECT_EQ(*t->recordCount(), 250u);
}

TEST(TwoProcesses, ExclusiveOpenAndFileDeletionWaitForTheOtherProcess)
{
    TempFolder f;
    createTable(f);
    Child child([&](Child& c) {
        auto cdb = *Database::open(f.path());
        auto ct = *cdb->openTable("tabla", OpenMode::Shared);
        c.tellParent('o');
        c.waitParent();
    });
    ASSERT_EQ(child.waitChild(), 'o');
    auto db = *Database::open(f.path());
    Result<std::shared_ptr<Table>> x = db->openTable("tabla", OpenMode::Exclusive);
    EXPECT_EQ(x.status().code(), ErrorCode::Locked);
    EXPECT_EQ(x.status().message(), "A tábla használatban van: tabla");
    const Status del = db->deleteTableFile("TABLA.PX");
    EXPECT_EQ(del.code(), ErrorCode::Locked);
    EXPECT_NE(del.message().find("tabla.PX"), std::string::npos) << del.message();
    EXPECT_TRUE(f.exists("tabla.PX"));
    child.tellChild('x');
    EXPECT_EQ(child.finish(), 0);
    EXPECT_TRUE(db->openTable("tabla", OpenMode::Exclusive).isOk());
    EXPECT_TRUE(db->deleteTableFile("TABLA.PX").isOk());
    EXPECT_FALSE(f.exists("tabla.PX"));

    // And the other way round: an Exclusive holder keeps everyone out.
    auto held = *db->openTable("tabla", OpenMode::Exclusive);
    Child other([&](Child& c) {
        auto cdb = *Database::open(f.path());
        Result<std::shared_ptr<Table>> t = cdb->openTable("tabla", OpenMode::ReadOnly);
        c.tellParent(t.isOk() ? 'y' : t.status().code() == ErrorCode::Locked ? 'l' : 'n');
    });
    EXPECT_EQ(other.waitChild(), 'l');
}

TEST(TwoProcesses, SecondWriterWaitsBrieflyThenReportsInUse)
{
    TempFolder f;
    createTable(f);
    auto db = *Database::open(f.path());
    auto t = *db->openTable("tabla", OpenMode::Shared);
    // A writer in the middle of a change holds the write lock: briefly, and
    // then for longer than anyone waits.
    for (int holdMs : {300, 3000}) {
        Child child([&](Child& c) {
            WriteAheadLog wal;
            if (!wal.open(f.file("tabla.WAL"), false).isOk()) _exit(1);
            if (!wal.lockWriter(0)) _exit(2);
            c.tellParent('h');
            usleep(useconds_t(holdMs) * 1000);
            _exit(0);  // holding the lock, as a writer that dies does
        });
        ASSERT_EQ(child.waitChild(), 'h');
        const auto start = std::chrono::steady_clock::now();
        Record r = row(holdMs);
        Result<RowId> id = t->insert(r);
        const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (holdMs < 1000) {
            EXPECT_TRUE(id.isOk()) << id.status().message();
        } else {
            EXPECT_EQ(id.status().code(), ErrorCode::Locked);
            EXPECT_EQ(id.status().message(), "A tábla használatban van: tabla");
            EXPECT_GT(waited, 1.0);
        }
        EXPECT_EQ(child.finish(), 0);
    }
    EXPECT_EQ(*t->recordCount(), 1u);
}

TEST(TwoProcesses, WritersTakeTurnsWithoutLosingRows)
{
    TempFolder f;
    createTable(f);
    Child child([&](Child& c) {
        auto cdb = *Database::open(f.path());
        auto ct = *cdb->openTable("tabla", OpenMode::Shared);
        c.tellParent('r');
        c.waitParent();
        for (int k = 1; k <= 400; k += 2) {
            Record r = row(k);
            if (!ct->insert(r).isOk()) _exit(1);
            if (k % 50 == 1 && !ct->flush().isOk()) _exit(2);
        }
    });
    auto db = *Database::open(f.path());
    auto t = *db->openTable("tabla", OpenMode::Shared);
    ASSERT_EQ(child.waitChild(), 'r');
    child.tellChild('g');
    for (int k = 2; k <= 400; k += 2) {
        Record r = row(k);
        ASSERT_TRUE(t->insert(r).isOk()) << k;
        if (k % 64 == 0) {
            ASSERT_TRUE(t->flush().isOk());
        }
    }
    EXPECT_EQ(child.finish(), 0);
    EXPECT_EQ(*t->recordCount(), 400u);
    t.reset();
    auto again = *(*Database::open(f.path()))->openTable("tabla", OpenMode::ReadOnly);
    const std::vector<RowId> rows = *again->rows(OrderSpec::primary());
    ASSERT_EQ(rows.size(), 400u);
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(again->readField(rows[i], 0)->asInt(), int64_t(i + 1));
    EXPECT_EQ(again->rows(OrderSpec::index("idx_nev"))->size(), 400u);
}
