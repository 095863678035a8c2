#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Codepage.h"
#include "engine/Filter.h"

using namespace engine;

namespace {

std::string cp(const std::string& utf8) { return *utf8ToCp1250(utf8); }

class Row : public RowValues {
public:
    explicit Row(std::vector<Value> v) : v_(std::move(v)) {}
    const Value& value(int column) const override { return v_.at(column); }

private:
    std::vector<Value> v_;
};

// Columns of a task-like data set.
const std::vector<Filter::Column> kColumns = {
    {"feladat", FieldType::AutoInc}, {"ugyfel", FieldType::Long},  {"tipus", FieldType::Short},
    {"lezarva", FieldType::Alpha},   {"dat_figy", FieldType::Date}, {"honap", FieldType::Long},
    {"nap", FieldType::Long},        {"ceg_nev", FieldType::Alpha}, {"ar", FieldType::Number},
    {"leiras", FieldType::Memo},
};

Value d(int y, int m, int dd) { return Value::fromDate(Date::fromYmd(y, m, dd)); }

Row task(int64_t id, int64_t ugyfel, int64_t tipus, const char* lezarva, Value datFigy, int64_t honap = 0,
         int64_t nap = 0, const std::string& cegNev = "")
{
    return Row({Value::fromInt(id), Value::fromInt(ugyfel), Value::fromInt(tipus),
                lezarva ? Value::fromText(lezarva) : Value(), datFigy, Value::fromInt(honap), Value::fromInt(nap),
                cegNev.empty() ? Value() : Value::fromText(cp(cegNev)), Value::fromFloat(2.5),
                Value::fromText(cp("hosszú"))});
}

bool run(const std::string& text, const Row& row)
{
    auto f = Filter::compile(cp(text), kColumns);
    EXPECT_TRUE(f.isOk()) << text << ": " << f.status().message();
    return f.isOk() && f->matches(row);
}

Status error(const std::string& text)
{
    auto f = Filter::compile(cp(text), kColumns);
    return f.isOk() ? Status::ok() : f.status();
}

}  // namespace

TEST(Filter, ExpressionsTheProgramWrites)
{
    const Row open17 = task(1, 17, 0, "N", d(2024, 3, 1), 3, 7);
    const Row closed17 = task(2, 17, 0, "I", Value(), 3, 8);
    const Row open5 = task(3, 5, 3, "N", d(2024, 3, 8));

    EXPECT_TRUE(run("lezarva='N'", open17));
    EXPECT_FALSE(run("lezarva='N'", closed17));
    EXPECT_TRUE(run("lezarva = 'N'", open17));
    EXPECT_TRUE(run("(lezarva='N')", open17));
    EXPECT_TRUE(run("ugyfel=17", closed17));
    EXPECT_TRUE(run("(ugyfel=17) and (tipus=0)", closed17));
    EXPECT_FALSE(run("(ugyfel=17) and (tipus=0)", open5));
    EXPECT_TRUE(run("(tipus=0) and (ugyfel=17)", open17));
    EXPECT_TRUE(run("(ugyfel=17) and (lezarva = 'N')", open17));
    EXPECT_FALSE(run("(ugyfel=17) and (lezarva = 'N')", closed17));
    EXPECT_TRUE(run("(tipus=3)", open5));

    // The reminder clause: due on or before the day and set.
    const std::string due = "(ugyfel=17) and ((dat_figy<='2024.03.07') and (dat_figy<>NULL))";
    EXPECT_TRUE(run(due, open17));
    EXPECT_FALSE(run(due, closed17));  // no reminder date
    EXPECT_FALSE(run("((dat_figy<='2024.03.07') and (dat_figy<>NULL))", open5));  // a day later
    EXPECT_TRUE(run("dat_figy<='2024.03.08'", open5));
    EXPECT_TRUE(run("(ugyfel=17) and (honap=3) and (nap=7)", open17));
    EXPECT_FALSE(run("(ugyfel=17) and (honap=3) and (nap=7)", closed17));
    EXPECT_FALSE(run("ugyfel=-1", open17));
    EXPECT_TRUE(run("ugyfel<>-1", open17));
}

TEST(Filter, BlanksAndNull)
{
    const Row blank = task(1, 0, 0, nullptr, Value());
    EXPECT_TRUE(run("lezarva=NULL", blank));
    EXPECT_FALSE(run("lezarva<>NULL", blank));
    EXPECT_TRUE(run("dat_figy = null", blank));
    // A blank value is neither equal nor unequal to a value.
    EXPECT_FALSE(run("lezarva='N'", blank));
    EXPECT_FALSE(run("lezarva<>'N'", blank));
    EXPECT_FALSE(run("dat_figy<='2024.03.07'", blank));
    EXPECT_TRUE(run("", blank));
    EXPECT_TRUE(run("   ", blank));
    // Zero is a value, not a blank.
    EXPECT_TRUE(run("ugyfel=0", blank));
    EXPECT_FALSE(run("ugyfel=NULL", blank));
}

TEST(Filter, TextOrderIsHungarianAndEqualityExact)
{
    const Row csaba = task(1, 0, 0, "N", Value(), 0, 0, "Csaba Kft.");
    EXPECT_TRUE(run("ceg_nev='Csaba Kft.'", csaba));
    EXPECT_FALSE(run("ceg_nev='csaba kft.'", csaba));  // exact, case counts
    EXPECT_TRUE(run("ceg_nev>'Cukor'", csaba));       // cs after c
    EXPECT_TRUE(run("ceg_nev<'D'", csaba));
    EXPECT_TRUE(run("ceg_nev>='Csaba Kft.'", csaba));
    const Row quote = task(1, 0, 0, "N", Value(), 0, 0, "O'Brien és Társa");
    EXPECT_TRUE(run("ceg_nev='O''Brien és Társa'", quote));
    EXPECT_TRUE(run("ar<=3", csaba));  // an integer against a number field
    EXPECT_TRUE(run("leiras='hosszú'", csaba));
}

TEST(Filter, ColumnsUsedAndCase)
{
    auto f = Filter::compile("(UGYFEL=17) AND (Lezarva='N') and (ugyfel<>NULL)", kColumns);
    ASSERT_TRUE(f.isOk()) << f.status().message();
    EXPECT_EQ(f->columnsUsed(), (std::vector<int>{1, 3}));
}

TEST(Filter, RejectsEverythingElseWithItsPlace)
{
    struct Case {
        const char* text;
        ErrorCode code;
        const char* inMessage;
    };
    const std::vector<Case> cases = {
        {"(ugyfel=17) or (tipus=0)", ErrorCode::Syntax, "13. karakternél"},
        {"not (ugyfel=17)", ErrorCode::Syntax, "5. karakternél"},
        {"ugyfel==17", ErrorCode::Syntax, "8. karakternél"},
        {"ugyfel 17", ErrorCode::Syntax, "8. karakternél"},
        {"(ugyfel=17", ErrorCode::Syntax, "„)” várható"},
        {"ugyfel=17)", ErrorCode::Syntax, "10. karakternél"},
        {"lezarva='N", ErrorCode::Syntax, "záró aposztróf"},
        {"upper(lezarva)='N'", ErrorCode::Syntax, "6. karakternél"},
        {"ugyfel=1.5", ErrorCode::Syntax, "8. karakternél"},
        {"ugyfel=17 and", ErrorCode::Syntax, "mezőnév várható"},
        {"ugyfel<=NULL", ErrorCode::Syntax, "NULL"},
        {"ugyfel=99999999999", ErrorCode::Syntax, "túl nagy"},
        {"lezarva=N", ErrorCode::Syntax, "érték"},
        {"nincsilyen=1", ErrorCode::NotFound, "„nincsilyen”"},
        {"ugyfel='17'", ErrorCode::InvalidValue, "„ugyfel”"},
        {"lezarva=1", ErrorCode::InvalidValue, "„lezarva”"},
        {"dat_figy=20240307", ErrorCode::InvalidValue, "„dat_figy”"},
        {"dat_figy<='2024-03-07'", ErrorCode::Syntax, "éééé.hh.nn"},
        {"dat_figy<='2023.02.29'", ErrorCode::Syntax, "2023.02.29"},
        {"dat_figy<='2024.3.7'", ErrorCode::Syntax, "2024.3.7"},
    };
    for (const auto& c : cases) {
        const Status s = error(c.text);
        ASSERT_FALSE(s.isOk()) << c.text;
        EXPECT_EQ(s.code(), c.code) << c.text << ": " << s.message();
        EXPECT_NE(s.message().find(c.inMessage), std::string::npos) << c.text << ": " << s.message();
    }
}
