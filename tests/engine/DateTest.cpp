#include <gtest/gtest.h>

#include "engine/Value.h"

using namespace engine;

TEST(Date, SerialOneIsFirstOfJanuaryYearOne)
{
    EXPECT_EQ(Date::fromYmd(1, 1, 1).serial, 1);
    EXPECT_EQ(Date::fromYmd(1, 1, 2).serial, 2);
    // 1 January 2000 is day 730120 of the proleptic Gregorian calendar.
    EXPECT_EQ(Date::fromYmd(2000, 1, 1).serial, 730120);
}

TEST(Date, RoundTripsAcrossLeapYearsAndCenturies)
{
    for (int32_t s = 1; s <= Date::fromYmd(9999, 12, 31).serial; s += 37) {
        int y, m, d;
        Date{s}.toYmd(y, m, d);
        ASSERT_TRUE(Date::isValidYmd(y, m, d)) << s;
        ASSERT_EQ(Date::fromYmd(y, m, d).serial, s);
    }
}

TEST(Date, ValidatesCalendarDays)
{
    EXPECT_TRUE(Date::isValidYmd(2024, 2, 29));
    EXPECT_FALSE(Date::isValidYmd(2023, 2, 29));
    EXPECT_FALSE(Date::isValidYmd(1900, 2, 29));
    EXPECT_TRUE(Date::isValidYmd(2000, 2, 29));
    EXPECT_FALSE(Date::isValidYmd(2024, 4, 31));
    EXPECT_FALSE(Date::isValidYmd(2024, 13, 1));
    EXPECT_FALSE(Date::isValidYmd(0, 1, 1));
}

TEST(Date, YearEndPlusOneDayIsNewYear)
{
    int y, m, d;
    Date::fromYmd(2024, 12, 31).addDays(1).toYmd(y, m, d);
    EXPECT_EQ(y, 2025);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 1);
}
