// Display texts as fields and grids show them: number pictures, the decimal
// comma, Hungarian short dates, blanks.
#include <gtest/gtest.h>

#include <QDate>

#include "DbFixture.h"

using engine::FieldType;

namespace {

QString fmt(const QVariant& v, FieldType t, const char* format) { return formatDisplay(v, t, QString::fromUtf8(format)); }

}  // namespace

TEST(DisplayFormat, FiveDigitKeyWithLeadingZeros)
{
    EXPECT_EQ(fmt(42, FieldType::AutoInc, "00000"), "00042");
    EXPECT_EQ(fmt(0, FieldType::AutoInc, "00000"), "00000");
    EXPECT_EQ(fmt(99999, FieldType::Long, "00000"), "99999");
    EXPECT_EQ(fmt(123456, FieldType::Long, "00000"), "123456");  // more digits than places: all show
    EXPECT_EQ(fmt(-7, FieldType::Long, "00000"), "-00007");
}

TEST(DisplayFormat, GroupedNumberWithTwoDecimals)
{
    const char* f = "### ### ##0.00";
    EXPECT_EQ(fmt(1234567.891, FieldType::Number, f), "1 234 567,89");
    EXPECT_EQ(fmt(5.0, FieldType::Number, f), "5,00");
    EXPECT_EQ(fmt(0.0, FieldType::Number, f), "0,00");
    EXPECT_EQ(fmt(0.5, FieldType::Number, f), "0,50");
    EXPECT_EQ(fmt(123.0, FieldType::Number, f), "123,00");
    EXPECT_EQ(fmt(1234.0, FieldType::Number, f), "1 234,00");
    EXPECT_EQ(fmt(-1234.5, FieldType::Number, f), "-1 234,50");
    EXPECT_EQ(fmt(12.345, FieldType::Number, f), "12,35");        // rounded, not cut
    EXPECT_EQ(fmt(-0.001, FieldType::Number, f), "0,00");         // no "-0,00"
    EXPECT_EQ(fmt(123456789012.0, FieldType::Number, f), "123456 789 012,00");
}

TEST(DisplayFormat, OptionalDecimalsThousandsAndSections)
{
    EXPECT_EQ(fmt(2.5, FieldType::Number, "0.##"), "2,5");
    EXPECT_EQ(fmt(2.0, FieldType::Number, "0.##"), "2");
    EXPECT_EQ(fmt(1234567.0, FieldType::Number, "#,##0"), "1 234 567");
    EXPECT_EQ(fmt(12.0, FieldType::Number, "0.00 'Ft'"), "12,00 Ft");
    EXPECT_EQ(fmt(-3.0, FieldType::Number, "0;(0)"), "(3)");
    EXPECT_EQ(fmt(0.0, FieldType::Number, "0;(0);'nulla'"), "nulla");
    EXPECT_EQ(fmt(7, FieldType::Long, "#"), "7");
    EXPECT_EQ(fmt(0, FieldType::Long, "#"), "0");
}

TEST(DisplayFormat, PlainTextsWithoutFormat)
{
    EXPECT_EQ(fmt(42, FieldType::Long, ""), "42");
    EXPECT_EQ(fmt(2.5, FieldType::Number, ""), "2,5");
    EXPECT_EQ(fmt(0.1 + 0.2, FieldType::Number, ""), "0,3");
    EXPECT_EQ(fmt(true, FieldType::Logical, ""), "Igen");
    EXPECT_EQ(fmt(QStringLiteral("Árvíztűrő"), FieldType::Alpha, "00000"), "Árvíztűrő");  // texts have no picture
}

TEST(DisplayFormat, DatesInHungarianShortForm)
{
    EXPECT_EQ(fmt(QDate(2024, 3, 7), FieldType::Date, ""), "2024. 03. 07.");
    EXPECT_EQ(fmt(QDate(1999, 12, 31), FieldType::Date, ""), "1999. 12. 31.");
    EXPECT_EQ(fmt(QDate(2024, 3, 7), FieldType::Date, "yyyy.mm.dd"), "2024.03.07");
    EXPECT_EQ(fmt(QDate(2024, 3, 7), FieldType::Date, "yyyy. mmmm d."), "2024. március 7.");
    EXPECT_EQ(fmt(QDateTime(QDate(2024, 3, 7), QTime(9, 5)), FieldType::Timestamp, "yyyy.mm.dd hh:nn"),
              "2024.03.07 09:05");
}

TEST(DisplayFormat, BlankIsEmptyNotZero)
{
    EXPECT_EQ(fmt(QVariant(), FieldType::Long, "00000"), "");
    EXPECT_EQ(fmt(QVariant(), FieldType::Number, "### ### ##0.00"), "");
    EXPECT_EQ(fmt(QVariant(), FieldType::Date, ""), "");
    EXPECT_EQ(fmt(0, FieldType::Long, ""), "0");
}
