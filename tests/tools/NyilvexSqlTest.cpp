// The SQL shell as a user runs it: the real program on a real folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "engine/Database.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "nyilvex-shell-XXXXXX").string();
        work_ = mkdtemp(pattern.data());
        folder_ = work_ + "/db";
        std::filesystem::create_directory(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(work_); }

    // Runs the program with `args`, feeding `input` on standard input.
    Outcome shell(const std::vector<std::string>& args, const std::string& input = "")
    {
        const std::string in = work_ + "/in", out = work_ + "/out", err = work_ + "/err";
        std::ofstream(in, std::ios::binary) << input;
        const pid_t pid = fork();
        if (pid == 0) {
            freopen(in.c_str(), "rb", stdin);
            freopen(out.c_str(), "wb", stdout);
            freopen(err.c_str(), "wb", stderr);
            std::vector<char*> argv{const_cast<char*>(NYILVEX_SQL)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(NYILVEX_SQL, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }

    Outcome sql(const std::string& text) { return shell({folder_, "-c", text}); }

    // Runs `script` from standard input and kills the program after `ms`
    // milliseconds, whatever it is doing.
    void killedAfter(const std::string& script, int ms)
    {
        const std::string in = work_ + "/script";
        std::ofstream(in, std::ios::binary) << script;
        const pid_t pid = fork();
        if (pid == 0) {
            freopen(in.c_str(), "rb", stdin);
            freopen("/dev/null", "wb", stdout);
            freopen("/dev/null", "wb", stderr);
            execl(NYILVEX_SQL, NYILVEX_SQL, folder_.c_str(), nullptr);
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
    }

    std::string work_, folder_;
};

}  // namespace

TEST_F(Shell, PrintsSelectsAsCsv)
{
    auto created = sql("CREATE TABLE t (id AUTOINC, nev CHAR(40), datum DATE, ar NUMERIC, ok BOOLEAN, "
                       "megj BLOB(0,1), db INT, PRIMARY KEY (id));"
                       "INSERT INTO t (nev, datum, ar, ok, megj, db) VALUES "
                       "('Kovács, Béla', '2024-03-07', 1.5, TRUE, 'első sor\nmásodik \"idézett\" sor', -3),"
                       "('Őz Ödön', NULL, 1000000, FALSE, NULL, NULL)");
    EXPECT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "");
    auto r = sql("SELECT * FROM t ORDER BY id");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "id,nev,datum,ar,ok,megj,db\n"
                     "1,\"Kovács, Béla\",2024-03-07,1.5,true,\"első sor\nmásodik \"\"idézett\"\" sor\",-3\n"
                     "2,Őz Ödön,,1000000,false,,\n");
    EXPECT_EQ(r.err, "");
    auto empty = sql("SELECT nev AS \"név\" FROM t WHERE id > 5");
    EXPECT_EQ(empty.out, "név\n");
}

// Values of every kind and length come out whole: a memo longer than the
// program's output buffer with quotes and line breaks in it, the accented
// letters of Windows-1250, times and timestamps, and enough rows that the
// output is written in many pieces.
TEST_F(Shell, PrintsEveryValueWholeWhateverItsLength)
{
    std::string memo;
    for (int i = 0; i < 20000; ++i) memo += i % 7 == 0 ? "\"őű\"\n" : "árvíz ";
    std::string memoSql, memoCsv = "\"";
    for (char c : memo) {
        memoSql += c == '\'' ? std::string("''") : std::string(1, c);
        memoCsv += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    memoCsv += "\"";
    const std::string letters = "ÁÉÍÓÖŐÚÜŰ áéíóöőúüű €„…†‰ŠŚŤŽŹ";
    std::string script = "CREATE TABLE t (id INT, szoveg BLOB(0,1), ido TIME, pont TIMESTAMP, nev CHAR(80), "
                         "PRIMARY KEY (id));\n"
                         "INSERT INTO t VALUES (1, '" + memoSql + "', '13:45:07', '2026-12-09 08:05:03', '" +
                         letters + "');\n";
    std::string rows = "id,nev\n";
    for (int i = 2; i <= 3000; ++i) {
        script += "INSERT INTO t (id, nev) VALUES (" + std::to_string(i) + ", 'sor, " + std::to_string(i) + "');\n";
        rows += std::to_string(i) + ",\"sor, " + std::to_string(i) + "\"\n";
    }
    auto created = shell({folder_}, script);
    ASSERT_EQ(created.status, 0) << created.err;
    auto first = sql("SELECT * FROM t WHERE id = 1");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "id,szoveg,ido,pont,nev\n1," + memoCsv + ",13:45:07,2026-12-09 08:05:03," + letters + "\n");
    auto many = sql("SELECT id, nev FROM t WHERE id > 1 ORDER BY id");
    EXPECT_EQ(many.status, 0) << many.err;
    EXPECT_EQ(many.out, rows);
}

TEST_F(Shell, ReadsScriptsFromStandardInput)
{
    auto r = shell({folder_}, "CREATE TABLE t (a CHAR(20));\n"
                              "-- a comment; with a semicolon\n"
                              "INSERT INTO t VALUES ('x;y');\n"
                              "INSERT INTO t VALUES ('árvíztűrő');;\n"
                              "SELECT a FROM t ORDER BY a;\n"
                              "SELECT COUNT(*) AS n FROM t");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "a\nárvíztűrő\nx;y\nn\n2\n");
}

TEST_F(Shell, StopsAtTheFirstErrorKeepingWhatRan)
{
    auto r = sql("CREATE TABLE t (a INT); INSERT INTO t VALUES (1); INSERT INTO nincs VALUES (2); "
                 "INSERT INTO t VALUES (3)");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Ismeretlen tábla: „nincs”"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    auto after = sql("SELECT a FROM t");
    EXPECT_EQ(after.out, "a\n1\n");

    auto syntax = sql("SELECT * FROM t WHERE");
    EXPECT_EQ(syntax.status, 1);
    EXPECT_NE(syntax.err.find("Szintaktikai hiba"), std::string::npos);
    auto outside = sql("INSERT INTO t VALUES (1); SELECT 'Ω' AS x FROM t");
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("U+03A9"), std::string::npos) << outside.err;
    EXPECT_EQ(shell({}).status, 2);
    EXPECT_NE(shell({}).err.find("Használat"), std::string::npos);
    EXPECT_EQ(shell({work_ + "/nincs", "-c", "SELECT 1 FROM t"}).status, 1);
}

// Killed in the middle of a script, the table holds the rows of some first
// statements, each whole.
TEST_F(Shell, KilledMidScriptLeavesWholeStatements)
{
    ASSERT_EQ(sql("CREATE TABLE t (id INT, szoveg CHAR(60), PRIMARY KEY (id))").status, 0);
    std::mt19937 rng(3);
    int stored = 0;
    for (int round = 0; round < 4; ++round) {
        // Each round goes on from the rows the last one left.
        std::string script;
        for (int i = stored + 1; i <= stored + 20000; ++i)
            script += "INSERT INTO t VALUES (" + std::to_string(i) + ", 'sor " + std::to_string(i) +
                      " árvíztűrő tükörfúrógép');\n";
        killedAfter(script, 20 + int(rng() % 150));
        auto db = engine::Database::open(folder_);
        ASSERT_TRUE(db.isOk());
        auto t = (*db)->openTable("t", engine::OpenMode::ReadOnly);
        ASSERT_TRUE(t.isOk()) << t.status().message();
        auto rows = (*t)->rows(engine::OrderSpec::primary());
        ASSERT_TRUE(rows.isOk());
        ASSERT_GE(int(rows->size()), stored);
        for (size_t k = 0; k < rows->size(); ++k) {
            engine::Record rec;
            ASSERT_TRUE((*t)->read((*rows)[k], rec).isOk());
            ASSERT_EQ(rec[0].asInt(), int64_t(k + 1));
            ASSERT_EQ(rec[1].asText().substr(0, 4 + std::to_string(k + 1).size()), "sor " + std::to_string(k + 1));
        }
        stored = int(rows->size());
    }
}

// Killed in the middle of statements that change many rows each, the table
// holds every statement whole or not at all: all rows of one generation,
// the copied rows all there or none.
TEST_F(Shell, KilledMidStatementLeavesItWholeOrAbsent)
{
    std::string setup = "CREATE TABLE t (id INT, gen INT, szoveg CHAR(60), PRIMARY KEY (id));\nINSERT INTO t VALUES ";
    for (int i = 1; i <= 2000; ++i)
        setup += (i > 1 ? ", (" : "(") + std::to_string(i) + ", 0, 'sor " + std::to_string(i) + " árvíztűrő')";
    ASSERT_EQ(shell({folder_}, setup).status, 0);
    std::mt19937 rng(5);
    int gen = 0;
    for (int round = 0; round < 6; ++round) {
        std::string script;
        for (int g = gen + 1; g <= gen + 300; ++g) {
            script += "UPDATE t SET gen = " + std::to_string(g) + ", szoveg = 'sor ' || '" + std::to_string(g) + "';\n";
            if (g % 2 == 0)
                script += "INSERT INTO t SELECT id + 2000, gen, szoveg FROM t WHERE id <= 1000;\n";
            else
                script += "DELETE FROM t WHERE id > 2000;\n";
        }
        killedAfter(script, 30 + int(rng() % 300));
        auto db = engine::Database::open(folder_);
        ASSERT_TRUE(db.isOk());
        auto t = (*db)->openTable("t", engine::OpenMode::ReadOnly);
        ASSERT_TRUE(t.isOk()) << t.status().message();
        auto rows = (*t)->rows(engine::OrderSpec::primary());
        ASSERT_TRUE(rows.isOk());
        ASSERT_TRUE(rows->size() == 2000 || rows->size() == 3000) << rows->size();
        int rowGen = -1;
        for (size_t k = 0; k < rows->size(); ++k) {
            engine::Record rec;
            ASSERT_TRUE((*t)->read((*rows)[k], rec).isOk());
            ASSERT_EQ(rec[0].asInt(), int64_t(k + 1));
            if (rowGen < 0) rowGen = int(rec[1].asInt());
            ASSERT_EQ(rec[1].asInt(), rowGen) << "row " << k + 1;
        }
        ASSERT_GE(rowGen, gen);
        gen = rowGen;
    }
}
