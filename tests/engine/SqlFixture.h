// A database of the real layout in a fresh temporary folder, with helpers
// to fill tables and run statements (text given as UTF-8).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/Layout.h"
#include "engine/Codepage.h"
#include "engine/Database.h"
#include "engine/Sql.h"

namespace sqltest {

inline std::string cp(const std::string& utf8)
{
    auto r = engine::utf8ToCp1250(utf8);
    EXPECT_TRUE(r.isOk()) << utf8;
    return r.isOk() ? *r : std::string();
}

inline engine::Value T(const std::string& utf8) { return engine::Value::fromText(cp(utf8)); }
inline engine::Value I(int64_t v) { return engine::Value::fromInt(v); }
inline engine::Value D(int y, int m, int d) { return engine::Value::fromDate(engine::Date::fromYmd(y, m, d)); }

// Joins lines as a list of SQL lines is sent.
inline std::string lines(std::initializer_list<const char*> ls)
{
    std::string s;
    for (const char* l : ls) s += std::string(l) + "\r\n";
    return s;
}

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "nyilvex-sql-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class SqlDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto db = engine::Database::open(folder_.path());
        ASSERT_TRUE(db.isOk()) << db.status().message();
        db_ = *db;
        session_ = std::make_unique<engine::SqlSession>(*db_);
        if (withLayout_) {
            auto st = layout::createAll(*db_);
            ASSERT_TRUE(st.isOk()) << st.message();
        }
    }
    void TearDown() override
    {
        handles_.clear();
        session_.reset();
        db_.reset();
    }

    // Inserts one row; returns the key the store assigned (the first field).
    int64_t add(const char* table, std::initializer_list<std::pair<const char*, engine::Value>> fields)
    {
        // Kept open for the test: closing the last handle writes the table out.
        auto& t = handles_[table];
        if (!t) {
            auto opened = db_->openTable(table, engine::OpenMode::Shared);
            EXPECT_TRUE(opened.isOk()) << table << ": " << opened.status().message();
            if (!opened.isOk()) return -1;
            t = *opened;
        }
        engine::Record rec(t->def().fields.size());
        for (const auto& [name, value] : fields) {
            const int f = t->def().fieldIndex(name);
            EXPECT_GE(f, 0) << table << "." << name;
            if (f >= 0) rec[f] = value;
        }
        auto row = t->insert(rec);
        EXPECT_TRUE(row.isOk()) << table << ": " << row.status().message();
        return rec[0].kind() == engine::Value::Kind::Int ? rec[0].asInt() : -1;
    }

    engine::Result<engine::SqlOutcome> run(const std::string& utf8, const std::vector<engine::SqlParam>& params = {})
    {
        return session_->run(cp(utf8), params);
    }

    std::unique_ptr<engine::QueryResult> query(const std::string& utf8,
                                               const std::vector<engine::SqlParam>& params = {})
    {
        auto r = run(utf8, params);
        EXPECT_TRUE(r.isOk()) << utf8 << "\n" << r.status().message();
        if (!r.isOk()) return nullptr;
        EXPECT_TRUE(r->rows) << utf8;
        return std::move(r->rows);
    }

    int64_t exec(const std::string& utf8, const std::vector<engine::SqlParam>& params = {})
    {
        auto r = run(utf8, params);
        EXPECT_TRUE(r.isOk()) << utf8 << "\n" << r.status().message();
        return r.isOk() ? r->rowsAffected : -1;
    }

    std::string error(const std::string& utf8, const std::vector<engine::SqlParam>& params = {})
    {
        auto r = run(utf8, params);
        EXPECT_FALSE(r.isOk()) << utf8;
        return r.isOk() ? std::string() : r.status().message();
    }

    static int column(const engine::QueryResult& r, const std::string& name)
    {
        for (size_t c = 0; c < r.columns().size(); ++c)
            if (engine::sameName(r.columns()[c].name, cp(name))) return int(c);
        ADD_FAILURE() << "no column " << name;
        return 0;
    }

    static engine::Value at(const engine::QueryResult& r, size_t row, const std::string& name)
    {
        auto v = r.value(row, column(r, name));
        EXPECT_TRUE(v.isOk()) << v.status().message();
        return v.isOk() ? *v : engine::Value();
    }

    // The text in `name` of every row, UTF-8, "-" for blank.
    static std::vector<std::string> texts(const engine::QueryResult& r, const std::string& name)
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < r.rowCount(); ++i) {
            const engine::Value v = at(r, i, name);
            out.push_back(v.isNull() ? "-" : engine::cp1250ToUtf8(v.asText()));
        }
        return out;
    }

    static std::vector<int64_t> ints(const engine::QueryResult& r, const std::string& name)
    {
        std::vector<int64_t> out;
        for (size_t i = 0; i < r.rowCount(); ++i) {
            const engine::Value v = at(r, i, name);
            out.push_back(v.isNull() ? -999 : v.asInt());
        }
        return out;
    }

    bool withLayout_ = true;
    TempFolder folder_;
    std::shared_ptr<engine::Database> db_;
    // One session for the test, as the shell keeps one for a script.
    std::unique_ptr<engine::SqlSession> session_;
    std::map<std::string, std::shared_ptr<engine::Table>> handles_;
};

}  // namespace sqltest
