#include <gtest/gtest.h>

#include "engine/Codepage.h"

using namespace engine;

TEST(Codepage, HungarianLettersRoundTrip)
{
    const std::string utf8 = "Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP";
    auto cp = utf8ToCp1250(utf8);
    ASSERT_TRUE(cp.isOk()) << cp.status().message();
    EXPECT_EQ(cp->size(), 45u);  // one byte per character
    EXPECT_EQ(static_cast<unsigned char>((*cp)[0]), 0xC1);  // Á
    EXPECT_EQ(cp1250ToUtf8(*cp), utf8);
}

TEST(Codepage, EveryAssignedByteRoundTrips)
{
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) continue;
        const std::string one(1, char(b));
        auto back = utf8ToCp1250(cp1250ToUtf8(one));
        ASSERT_TRUE(back.isOk()) << b;
        EXPECT_EQ(*back, one) << b;
    }
}

TEST(Codepage, RefusesCharactersOutsideTheCodePage)
{
    auto r = utf8ToCp1250("Jó napot 😀");
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().code(), ErrorCode::InvalidValue);
    EXPECT_NE(r.status().message().find("U+1F600"), std::string::npos);
    EXPECT_FALSE(utf8ToCp1250("Ω").isOk());  // Greek is not Central European
}

TEST(Codepage, RefusesMalformedUtf8)
{
    EXPECT_FALSE(utf8ToCp1250("\xC3").isOk());         // truncated sequence
    EXPECT_FALSE(utf8ToCp1250("\xC0\xAF").isOk());     // overlong slash
    EXPECT_FALSE(utf8ToCp1250("\xED\xA0\x80").isOk()); // surrogate
}

TEST(Codepage, CaseMappingCoversAccentedLetters)
{
    auto lower = utf8ToCp1250("árvíztűrő šťžľ").value();
    auto upper = utf8ToCp1250("ÁRVÍZTŰRŐ ŠŤŽĽ").value();
    EXPECT_EQ(upperCp1250(lower), upper);
    EXPECT_EQ(lowerCp1250(upper), lower);
    const std::string sharpS = utf8ToCp1250("ß÷×").value();  // no case partner
    EXPECT_EQ(upperCp1250(sharpS), sharpS);
    EXPECT_EQ(lowerCp1250(sharpS), sharpS);
}
