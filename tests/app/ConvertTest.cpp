#include <gtest/gtest.h>

#include "common/Convert.h"

TEST(Convert, BlankValuesGiveTheDefault)
{
    EXPECT_EQ(VarToText(QVariant(), "x"), "x");
    EXPECT_EQ(VarToText(QVariant(QMetaType(QMetaType::QString)), "x"), "x");
    EXPECT_EQ(VarToText(QVariant(""), "x"), "");
    EXPECT_EQ(VarToText(QVariant(42), ""), "42");
    EXPECT_EQ(VarToText(QVariant(QDate(2024, 3, 7)), ""), "2024.03.07.");
    EXPECT_EQ(VarToInt(QVariant(), -1), -1);
    EXPECT_EQ(VarToInt(QVariant(0), -1), 0);
    EXPECT_EQ(VarToInt(QVariant("17"), -1), 17);
    EXPECT_EQ(VarToInt(QVariant("abc"), -1), -1);
    EXPECT_DOUBLE_EQ(VarToFloat(QVariant(), 2.5), 2.5);
    EXPECT_DOUBLE_EQ(VarToFloat(QVariant(1.25), 0), 1.25);
}

TEST(Convert, WordAtCountsEmptyFieldsBetweenSeparators)
{
    const QString t = "első  második";
    EXPECT_EQ(WordAt(' ', t, 1), "első");
    EXPECT_EQ(WordAt(' ', t, 2), "");
    EXPECT_EQ(WordAt(' ', t, 3), "második");
    EXPECT_EQ(WordAt(' ', t, 4), "");
    EXPECT_EQ(WordAt(' ', t, 0), "");
    EXPECT_EQ(WordAt(';', "", 1), "");
    EXPECT_EQ(WordAt(';', ";a;", 1), "");
    EXPECT_EQ(WordAt(';', ";a;", 2), "a");
    EXPECT_EQ(WordAt(';', ";a;", 3), "");
    EXPECT_EQ(WordAt(';', "abc", 1), "abc");
}

TEST(Convert, CountAndRemoveCharacters)
{
    EXPECT_EQ(CountChar('|', "a|b||c"), 3);
    EXPECT_EQ(CountChar('|', ""), 0);
    EXPECT_EQ(RemoveAll('&', "&&Nyom&tat"), "Nyomtat");
    EXPECT_EQ(RemoveAll('x', "árvíztűrő"), "árvíztűrő");
}

TEST(Convert, FileNameFormWorksOnWindows1250Bytes)
{
    EXPECT_EQ(FileNameForm("Ügyfelek: 2024/05"), "_gyfelek--2024-05");
    EXPECT_EQ(FileNameForm(" !\"#%&'*+/:?@\\"), "--------------");
    // The dollar sign and the euro sign (0x80) stay; other high bytes go.
    EXPECT_EQ(FileNameForm("$€őŰ"), "$€__");
    EXPECT_EQ(FileNameForm("ABC-def_1.txt"), "abc-def_1.txt");
    // A character without a Windows-1250 form counts as a high byte.
    EXPECT_EQ(FileNameForm("a☃b"), "a_b");
    EXPECT_EQ(FileNameForm(""), "");
}

TEST(Convert, JoinLinesEndsEveryLineWithABar)
{
    EXPECT_EQ(JoinLines("a\nb"), "a|b|");
    EXPECT_EQ(JoinLines("a\r\nb\r\n"), "a|b|");
    EXPECT_EQ(JoinLines(""), "");
    EXPECT_EQ(JoinLines("\n"), "|");
    EXPECT_EQ(JoinLines("a\n\nb"), "a||b|");
    EXPECT_EQ(JoinLines("egy"), "egy|");
}

TEST(Convert, DatePartsAndColourValues)
{
    EXPECT_EQ(MonthOf(QDate(2024, 12, 31)), 12);
    EXPECT_EQ(DayOf(QDate(2024, 12, 31)), 31);
    const QColor peach = ColorFromBGR(0xB5DAFF);
    EXPECT_EQ(peach, QColor(255, 218, 181));
    EXPECT_EQ(ColorToBGR(QColor(166, 202, 240)), 0xF0CAA6u);
}
