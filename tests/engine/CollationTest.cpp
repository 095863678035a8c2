#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/Codepage.h"
#include "engine/Collation.h"

using namespace engine;

namespace {

std::string cp(const std::string& utf8)
{
    auto r = utf8ToCp1250(utf8);
    EXPECT_TRUE(r.isOk()) << utf8;
    return r.isOk() ? *r : std::string();
}

int keyCompare(const std::string& a, const std::string& b)
{
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Each list is in Hungarian alphabetical order, strictly.
const std::vector<std::vector<std::string>> kOrdered = {
    {"Ábel", "Adam"},
    {"Cukor", "Csaba", "Dávid"},
    {"oldal", "olló", "ötös", "őz", "pad"},
    {"ujj", "úr", "ül", "űr", "vár"},
    {"dal", "dzadzíki", "dzsem", "e"},
    {"gumi", "gyár", "h"},
    {"lusta", "lyuk", "m"},
    {"nulla", "nyúl", "o"},
    {"sün", "szám", "t"},
    {"tüll", "tyúk", "u"},
    {"zongora", "zsák"},
    {"a", "A", "á", "Á"},            // an accent outweighs case
    {"ab", "Ab", "abc"},
    {"", " ", "a"},
};

}  // namespace

TEST(Collation, HungarianAlphabet)
{
    for (const auto& list : kOrdered) {
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            const std::string a = cp(list[i]), b = cp(list[i + 1]);
            EXPECT_LT(compareText(a, b), 0) << list[i] << " < " << list[i + 1];
            EXPECT_GT(compareText(b, a), 0) << list[i + 1] << " > " << list[i];
            EXPECT_LT(keyCompare(sortKey(a), sortKey(b)), 0) << list[i] << " key < " << list[i + 1];
        }
    }
}

TEST(Collation, OnlyIdenticalTextsCompareEqual)
{
    const std::string a = cp("Kovács"), b = cp("Kovács");
    EXPECT_EQ(compareText(a, b), 0);
    EXPECT_EQ(sortKey(a), sortKey(b));
    // Texts ICU treats as equal at every level still differ: control bytes
    // are ignorable to ICU, the bytes decide.
    const std::string x = "ab", y = std::string("a\x01" "b");
    EXPECT_NE(compareText(x, y), 0);
    EXPECT_EQ(sign(compareText(x, y)), -sign(compareText(y, x)));
    EXPECT_NE(sortKey(x), sortKey(y));
    EXPECT_EQ(sign(compareText(x, y)), keyCompare(sortKey(x), sortKey(y)));
}

TEST(Collation, KeysAgreeWithCompareOnRandomTexts)
{
    // A mix that exercises contractions, accents, case and ignorables.
    const std::vector<std::string> pieces = {cp("a"), cp("á"), cp("A"), cp("c"), cp("s"), cp("z"),
                                             cp("Cs"), cp("ö"), cp("ő"), cp("Ő"), cp("g"), cp("y"),
                                             " ", "-", "1", "\x01", cp("ű"), cp("U")};
    std::mt19937 rng(1234);
    std::vector<std::string> texts;
    for (int i = 0; i < 400; ++i) {
        std::string t;
        const int n = int(rng() % 6);
        for (int k = 0; k < n; ++k) t += pieces[rng() % pieces.size()];
        texts.push_back(t);
    }
    std::vector<std::string> keys;
    for (const auto& t : texts) keys.push_back(sortKey(t));
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = 0; j < texts.size(); j += 7) {
            const int c = sign(compareText(texts[i], texts[j]));
            ASSERT_EQ(c, keyCompare(keys[i], keys[j])) << i << "," << j;
            ASSERT_EQ(c == 0, texts[i] == texts[j]);
            ASSERT_EQ(c, -sign(compareText(texts[j], texts[i])));
        }
    }
    // Sorting by key and by compare give one and the same order.
    std::vector<size_t> byKey(texts.size()), byCompare(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) byKey[i] = byCompare[i] = i;
    std::sort(byKey.begin(), byKey.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::sort(byCompare.begin(), byCompare.end(),
              [&](size_t a, size_t b) { return compareText(texts[a], texts[b]) < 0; });
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[byKey[i]], texts[byCompare[i]]);
}

TEST(Collation, CaselessOrderIgnoresCaseOnly)
{
    EXPECT_EQ(compareTextCaseless(cp("ÁRVÍZTŰRŐ"), cp("árvíztűrő")), 0);
    EXPECT_EQ(caselessSortKey(cp("Csaba")), caselessSortKey(cp("CSABA")));
    EXPECT_NE(compareTextCaseless(cp("öt"), cp("őt")), 0);  // accents still count
    EXPECT_LT(compareTextCaseless(cp("cukor"), cp("CSABA")), 0);
    EXPECT_LT(keyCompare(caselessSortKey(cp("cukor")), caselessSortKey(cp("CSABA"))), 0);
    EXPECT_LT(compareTextCaseless(cp("Ábel"), cp("adam")), 0);
}

TEST(Collation, LongTextsAndIdentity)
{
    const std::string longA(2000, 'a'), longB = std::string(1999, 'a') + "b";
    EXPECT_LT(compareText(longA, longB), 0);
    EXPECT_LT(keyCompare(sortKey(longA), sortKey(longB)), 0);
    const std::string& id = collationId();
    EXPECT_NE(id.find("icu-"), std::string::npos);
    EXPECT_NE(id.find("hu"), std::string::npos);
}

TEST(Collation, RanksAgreeWithCompare)
{
    // Digits, blanks and punctuation alone; the same with letters; long
    // common beginnings and texts that are beginnings of others.
    const std::vector<std::string> plainPieces = {"0", "1", "9", " ", "-", "+", "/", "(", ")", ".", ",", "@",
                                                  "_", "#", "*", "'", "\"", ":", "%", "~", "<", "=", "\\", "4"};
    std::vector<std::string> letterPieces(plainPieces);
    for (const char* l : {"a", "á", "Cs", "cs", "c", "s", "zs", "ö", "ő", "A", "dzs", "ny"})
        letterPieces.push_back(cp(l));
    std::mt19937 rng(99);
    const std::vector<std::string>* const kinds[] = {&plainPieces, &letterPieces};
    for (const std::vector<std::string>* pieces : kinds) {
        std::vector<std::string> texts = {"", "+36 30 123 4567", "+36 30 123 4567 8", "+36 30 123 4567 "};
        while (texts.size() < 600) {
            std::string t = rng() % 3 == 0 ? "+36 30 123 " : "";
            for (unsigned k = rng() % 7; k > 0; --k) t += (*pieces)[rng() % pieces->size()];
            if (std::find(texts.begin(), texts.end(), t) == texts.end()) texts.push_back(t);
        }
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        for (int round = 0; round < 2; ++round) {  // the second time from remembered keys
            const std::vector<uint32_t> ranks = rankTexts(views);
            ASSERT_EQ(ranks.size(), texts.size());
            for (size_t i = 0; i < texts.size(); ++i)
                for (size_t j = 0; j < texts.size(); j += 3)
                    ASSERT_EQ(sign(compareText(texts[i], texts[j])), sign(int(ranks[i]) - int(ranks[j])))
                        << "\"" << cp1250ToUtf8(texts[i]) << "\" \"" << cp1250ToUtf8(texts[j]) << "\"";
        }
    }
    EXPECT_TRUE(rankTexts({}).empty());
}
