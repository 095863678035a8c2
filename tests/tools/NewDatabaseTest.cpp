#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "common/Layout.h"
#include "engine/Codepage.h"
#include "engine/Database.h"
#include "tools/NewDatabase.h"

namespace {

namespace fs = std::filesystem;

class NewDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("nyx-newdb-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::shared_ptr<engine::Database> open()
    {
        auto db = engine::Database::open(folder.string());
        EXPECT_TRUE(db.isOk()) << db.status().message();
        return *db;
    }

    // Every row of a table, its named fields as UTF-8 text ("" for blank).
    std::vector<std::string> rows(engine::Database& db, const char* table,
                                  std::vector<const char*> fields)
    {
        auto t = db.openTable(table, engine::OpenMode::ReadOnly);
        EXPECT_TRUE(t.isOk()) << table;
        std::vector<std::string> out;
        auto ids = (*t)->rows(engine::OrderSpec::primary());
        for (engine::RowId id : *ids) {
            engine::Record rec;
            EXPECT_TRUE((*t)->read(id, rec).isOk());
            std::string line;
            for (const char* f : fields) {
                const engine::Value& v = rec[size_t((*t)->def().fieldIndex(f))];
                if (!line.empty()) line += '|';
                if (v.kind() == engine::Value::Kind::Text) line += engine::cp1250ToUtf8(v.asText());
                else if (v.kind() == engine::Value::Kind::Int) line += std::to_string(v.asInt());
            }
            out.push_back(line);
        }
        return out;
    }

    uint64_t count(engine::Database& db, const char* table)
    {
        auto t = db.openTable(table, engine::OpenMode::ReadOnly);
        EXPECT_TRUE(t.isOk()) << table;
        return *(*t)->recordCount();
    }

    fs::path folder;
};

}  // namespace

TEST_F(NewDatabaseTest, ReadyDatabaseHoldsEveryTableAndThePrefilledRows)
{
    ASSERT_TRUE(newdb::createDatabase(folder.string(), NYILVEX_DATA_DIR, false).isOk());
    auto db = open();
    for (const auto& t : layout::tables()) {
        auto table = db->openTable(t.name, engine::OpenMode::ReadOnly);
        ASSERT_TRUE(table.isOk()) << t.name;
        EXPECT_EQ((*table)->def().fields.size(), t.def.fields.size()) << t.name;
        EXPECT_EQ((*table)->def().indexes.size(), t.def.indexes.size()) << t.name;
    }
    EXPECT_EQ(count(*db, "nevnap"), 487u);
    EXPECT_EQ(count(*db, "irsz"), 3574u);
    EXPECT_EQ(rows(*db, "felhasznalo", {"felhasznalo", "jelszo", "rendszergazda", "torzsszerkeszt"}),
              std::vector<std::string>{"rendszergazda|nyilvex|I|I"});
    EXPECT_EQ(rows(*db, "beallit", {"vanbelep", "alapprioritas", "alaphatarido"}),
              std::vector<std::string>{"I|2|7"});
    const auto statuses = rows(*db, "allapot", {"allapot", "keszenvan"});
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses[0], "1|N");
    const auto priorities = rows(*db, "prioritas", {"prioritas", "hatid"});
    EXPECT_NE(std::find(priorities.begin(), priorities.end(), "2|7"), priorities.end());
    EXPECT_EQ(count(*db, "tulajdonos"), 1u);
    EXPECT_EQ(count(*db, "ugyfel"), 0u);
    EXPECT_EQ(count(*db, "naplo"), 0u);
    // Accented text arrives in Windows-1250 and back.
    const auto days = rows(*db, "nevnap", {"Honap", "Nap", "Nev"});
    EXPECT_NE(std::find(days.begin(), days.end(), "1|2|Ábel"), days.end());
}

TEST_F(NewDatabaseTest, SampleFillsEveryListAroundToday)
{
    ASSERT_TRUE(newdb::createDatabase(folder.string(), NYILVEX_DATA_DIR, true).isOk());
    auto db = open();
    EXPECT_GE(count(*db, "ceg"), 10u);
    EXPECT_GE(count(*db, "ugyfel"), 25u);
    EXPECT_GE(count(*db, "feladat"), 20u);
    EXPECT_GE(count(*db, "termek"), 10u);
    int ty, tm, td;
    engine::Date::today().toYmd(ty, tm, td);
    const std::string today = std::to_string(tm) + "|" + std::to_string(td);
    const auto customers = rows(*db, "ugyfel", {"honap", "nap"});
    EXPECT_GE(std::count(customers.begin(), customers.end(), today), 2);
    const auto tasks = rows(*db, "feladat", {"lezarva"});
    EXPECT_GT(std::count(tasks.begin(), tasks.end(), "I"), 0);
    EXPECT_GT(std::count(tasks.begin(), tasks.end(), "N"), 0);
}

TEST_F(NewDatabaseTest, RefusesAFolderThatIsNotEmptyAndMissingReferenceData)
{
    fs::create_directories(folder);
    std::ofstream(folder / "valami.txt") << "x";
    EXPECT_EQ(newdb::createDatabase(folder.string(), NYILVEX_DATA_DIR, false).code(),
              engine::ErrorCode::AlreadyExists);
    fs::remove_all(folder);
    const engine::Status s = newdb::createDatabase(folder.string(), "/nincs/ilyen", false);
    EXPECT_EQ(s.code(), engine::ErrorCode::NotFound);
    EXPECT_NE(s.message().find("nevnap.csv"), std::string::npos);
}
