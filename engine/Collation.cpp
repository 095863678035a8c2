#include "Collation.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "Codepage.h"

namespace engine {

namespace {

[[noreturn]] void abortWith(const char* what, UErrorCode err)
{
    // Without the collator no index can be trusted; nothing sensible is left to do.
    std::fprintf(stderr, "ICU: %s: %s\n", what, u_errorName(err));
    std::abort();
}

// Hungarian is a fixed choice of the data, not of the machine: the collator is
// opened for "hu" whatever the process locale says.
class Collator {
public:
    Collator()
    {
        UErrorCode err = U_ZERO_ERROR;
        tertiary_ = ucol_open("hu", &err);
        if (U_FAILURE(err)) abortWith("ucol_open(hu)", err);
        err = U_ZERO_ERROR;
        secondary_ = ucol_open("hu", &err);
        if (U_FAILURE(err)) abortWith("ucol_open(hu)", err);
        err = U_ZERO_ERROR;
        ucol_setStrength(secondary_, UCOL_SECONDARY);

        // Every byte's UTF-16 form, taken from the one Windows-1250 table
        // the engine has.
        for (int b = 0; b < 256; ++b) {
            const std::string utf8 = cp1250ToUtf8(std::string(1, char(b)));
            utf16_[b] = decodeOne(utf8);
        }
        findPlainCharacters();
    }

    ~Collator()
    {
        ucol_close(secondary_);
        ucol_close(tertiary_);
    }

    const UCollator* tertiary() const { return tertiary_; }
    const UCollator* secondary() const { return secondary_; }

    // The weight of a plain character (1 and up, in the collation's order),
    // 0 for every other byte.
    uint8_t plainWeight(unsigned char b) const { return plain_[b]; }

    // Converts into `buf`, which must hold text.size() units.
    void toUtf16(std::string_view text, UChar* buf) const
    {
        for (size_t i = 0; i < text.size(); ++i) buf[i] = utf16_[static_cast<unsigned char>(text[i])];
    }

private:
    // Windows-1250 is single-byte and lies in the Basic Multilingual Plane, so
    // each byte is one UTF-16 unit (at most three UTF-8 bytes).
    static UChar decodeOne(const std::string& utf8)
    {
        const auto b0 = static_cast<unsigned char>(utf8[0]);
        if (utf8.size() == 1) return b0;
        const auto b1 = static_cast<unsigned char>(utf8[1]);
        if (utf8.size() == 2) return UChar(((b0 & 0x1F) << 6) | (b1 & 0x3F));
        const auto b2 = static_cast<unsigned char>(utf8[2]);
        return UChar(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
    }

    // Plain characters: digits, blanks and punctuation that ICU gives one
    // primary weight each, of their own, outside every contraction and
    // expansion. Texts of plain characters alone then order as the
    // sequences of those weights, so a byte per character keys them.
    // Whatever this collator does otherwise, only what it answers here
    // decides which characters are plain.
    void findPlainCharacters()
    {
        UErrorCode err = U_ZERO_ERROR;
        const bool simple = ucol_getAttribute(tertiary_, UCOL_ALTERNATE_HANDLING, &err) == UCOL_NON_IGNORABLE &&
                            ucol_getAttribute(tertiary_, UCOL_NUMERIC_COLLATION, &err) == UCOL_OFF;
        if (U_FAILURE(err) || !simple) return;

        std::array<bool, 256> candidate{};
        for (int b = 0x20; b < 0x7F; ++b)
            candidate[size_t(b)] = !((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'));
        USet* contractions = uset_openEmpty();
        USet* expansions = uset_openEmpty();
        ucol_getContractionsAndExpansions(tertiary_, contractions, expansions, true, &err);
        bool known = U_SUCCESS(err);
        for (const USet* set : {contractions, expansions}) {
            for (int32_t i = 0, n = uset_getItemCount(set); known && i < n; ++i) {
                UChar32 start = 0, end = 0;
                std::array<UChar, 64> str{};
                UErrorCode e = U_ZERO_ERROR;
                const int32_t len = uset_getItem(set, i, &start, &end, str.data(), int32_t(str.size()), &e);
                if (U_FAILURE(e)) {
                    known = false;  // a string longer than the buffer: nothing can be ruled out
                    break;
                }
                if (len == 0) {
                    for (int b = 0; b < 256; ++b)
                        if (utf16_[size_t(b)] >= start && utf16_[size_t(b)] <= end) candidate[size_t(b)] = false;
                    continue;
                }
                // A contraction can only fire in a text of plain characters
                // when each of its units may stand there.
                std::vector<int> bytes;
                for (int32_t k = 0; k < len; ++k) {
                    const auto* b = std::find(utf16_.begin(), utf16_.end(), str[size_t(k)]);
                    if (b == utf16_.end() || !candidate[size_t(b - utf16_.begin())]) {
                        bytes.clear();
                        break;
                    }
                    bytes.push_back(int(b - utf16_.begin()));
                }
                for (int b : bytes) candidate[size_t(b)] = false;
            }
        }
        uset_close(expansions);
        uset_close(contractions);
        if (!known) return;

        // The primary part of each candidate's key (up to the level separator 01).
        std::vector<std::pair<std::string, int>> primaries;
        for (int b = 0; b < 256; ++b) {
            if (!candidate[size_t(b)]) continue;
            const UChar u = utf16_[size_t(b)];
            std::array<uint8_t, 64> key{};
            const int32_t n = ucol_getSortKey(tertiary_, &u, 1, key.data(), int32_t(key.size()));
            if (n <= 0 || n > int32_t(key.size())) continue;
            const uint8_t* first = key.data();
            const uint8_t* sep = std::find(first, first + n, uint8_t(1));
            if (sep == first) continue;  // ignorable at the first level
            primaries.emplace_back(std::string(reinterpret_cast<const char*>(first), size_t(sep - first)), b);
        }
        std::sort(primaries.begin(), primaries.end());
        uint8_t weight = 0;
        for (size_t i = 0; i < primaries.size(); ++i) {
            const bool shared = (i > 0 && primaries[i - 1].first == primaries[i].first) ||
                                (i + 1 < primaries.size() && primaries[i + 1].first == primaries[i].first);
            if (!shared) plain_[size_t(primaries[i].second)] = ++weight;
        }
    }

    UCollator* tertiary_ = nullptr;
    UCollator* secondary_ = nullptr;
    std::array<UChar, 256> utf16_{};
    std::array<uint8_t, 256> plain_{};
};

const Collator& collator()
{
    static const Collator c;
    return c;
}

// A UTF-16 copy on the stack for the usual short field texts.
class Utf16Buffer {
public:
    explicit Utf16Buffer(std::string_view text)
    {
        if (text.size() > kInline) heap_.resize(text.size());
        data_ = text.size() > kInline ? heap_.data() : inline_;
        collator().toUtf16(text, data_);
        size_ = int32_t(text.size());
    }
    const UChar* data() const { return data_; }
    int32_t size() const { return size_; }

private:
    static constexpr size_t kInline = 512;
    UChar inline_[kInline];
    std::vector<UChar> heap_;
    UChar* data_;
    int32_t size_;
};

// ICU's key ends in a zero byte and holds none before it, so appending the
// tie-break bytes after it keeps memcmp order: ICU's order first, the
// tie-break only between texts ICU calls equal.
std::string makeKey(const UCollator* coll, std::string_view text, std::string_view tieBreak)
{
    const Utf16Buffer u(text);
    std::string key;
    key.resize(text.size() * 4 + 16);
    int32_t n = ucol_getSortKey(coll, u.data(), u.size(), reinterpret_cast<uint8_t*>(key.data()),
                                int32_t(key.size()));
    if (n > int32_t(key.size())) {
        key.resize(n);
        n = ucol_getSortKey(coll, u.data(), u.size(), reinterpret_cast<uint8_t*>(key.data()), n);
    }
    key.resize(n);
    key.append(tieBreak);
    return key;
}

int compareBytes(std::string_view a, std::string_view b)
{
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int compareWith(const UCollator* coll, std::string_view a, std::string_view b)
{
    const Utf16Buffer ua(a), ub(b);
    switch (ucol_strcoll(coll, ua.data(), ua.size(), ub.data(), ub.size())) {
    case UCOL_LESS: return -1;
    case UCOL_GREATER: return 1;
    case UCOL_EQUAL: break;
    }
    return 0;
}

}  // namespace

int compareText(std::string_view a, std::string_view b)
{
    if (a == b) return 0;
    const int c = compareWith(collator().tertiary(), a, b);
    return c != 0 ? c : compareBytes(a, b);
}

std::string sortKey(std::string_view cp1250)
{
    return makeKey(collator().tertiary(), cp1250, cp1250);
}

namespace {

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// The ICU keys of texts sorted lately. The same columns are sorted again
// and again (each click on a column title), and ICU's key of a Hungarian
// text costs far more than finding it here.
struct KeyMemo {
    static constexpr size_t kBytes = size_t(64) << 20;  // emptied when past this before a sort
    std::mutex mutex;
    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> keys;
    size_t bytes = 0;
};

KeyMemo& keyMemo()
{
    static KeyMemo memo;
    return memo;
}

// Eight bytes of a key from `at` on as a number with the same order
// (shorter keys padded with zero bytes, which sort first).
uint64_t keyChunk(const std::string& key, size_t at)
{
    uint64_t p = 0;
    for (size_t i = at; i < at + 8; ++i) p = (p << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
    return p;
}

struct KeyItem {
    uint64_t chunk;
    uint32_t index;
};

// Sorts items that agree in their keys' first `depth` bytes, eight bytes
// at a time: numbers compare faster than the long common beginnings that
// keys of similar texts have.
void sortByKeys(KeyItem* first, KeyItem* last, size_t depth, const std::vector<const std::string*>& keys)
{
    for (KeyItem* it = first; it != last; ++it) it->chunk = keyChunk(*keys[it->index], depth);
    std::sort(first, last, [](const KeyItem& a, const KeyItem& b) { return a.chunk < b.chunk; });
    for (KeyItem* run = first; run != last;) {
        KeyItem* end = run + 1;
        while (end != last && end->chunk == run->chunk) ++end;
        if (end - run > 1) {
            bool longer = false;
            for (KeyItem* it = run; it != end && !longer; ++it) longer = keys[it->index]->size() > depth + 8;
            if (longer)
                sortByKeys(run, end, depth + 8, keys);
            else  // the same bytes but for padding: the shorter key first
                std::sort(run, end, [&](const KeyItem& a, const KeyItem& b) {
                    return keys[a.index]->size() < keys[b.index]->size();
                });
        }
        run = end;
    }
}

}  // namespace

std::vector<uint32_t> rankTexts(const std::vector<std::string_view>& texts)
{
    const Collator& c = collator();
    const size_t n = texts.size();
    bool plain = true;
    for (size_t i = 0; i < n && plain; ++i)
        for (const char ch : texts[i])
            if (!c.plainWeight(static_cast<unsigned char>(ch))) {
                plain = false;
                break;
            }

    std::vector<std::string> plainKeys;
    std::vector<const std::string*> keys(n);
    std::unique_lock<std::mutex> lock;
    if (plain) {
        plainKeys.resize(n);
        for (size_t i = 0; i < n; ++i) {
            plainKeys[i].resize(texts[i].size());
            for (size_t k = 0; k < texts[i].size(); ++k)
                plainKeys[i][k] = char(c.plainWeight(static_cast<unsigned char>(texts[i][k])));
            keys[i] = &plainKeys[i];
        }
    } else {
        KeyMemo& memo = keyMemo();
        lock = std::unique_lock<std::mutex>(memo.mutex);
        if (memo.bytes > KeyMemo::kBytes) {
            memo.keys.clear();
            memo.bytes = 0;
        }
        for (size_t i = 0; i < n; ++i) {
            auto it = memo.keys.find(texts[i]);
            if (it == memo.keys.end()) {
                it = memo.keys.emplace(std::string(texts[i]), sortKey(texts[i])).first;
                memo.bytes += it->first.capacity() + it->second.capacity() + 64;  // and the node
            }
            keys[i] = &it->second;
        }
    }

    std::vector<KeyItem> items(n);
    for (size_t i = 0; i < n; ++i) items[i].index = uint32_t(i);
    sortByKeys(items.data(), items.data() + n, 0, keys);
    std::vector<uint32_t> ranks(n);
    for (size_t r = 0; r < n; ++r) ranks[items[r].index] = uint32_t(r);
    return ranks;
}

int compareTextCaseless(std::string_view a, std::string_view b)
{
    if (a == b) return 0;
    const int c = compareWith(collator().secondary(), a, b);
    return c != 0 ? c : compareBytes(lowerCp1250(a), lowerCp1250(b));
}

std::string caselessSortKey(std::string_view cp1250)
{
    return makeKey(collator().secondary(), cp1250, lowerCp1250(cp1250));
}

const std::string& collationId()
{
    // Only the versions count: every file header carries the id, and a
    // process that writes no text order should not pay for building one.
    static const std::string id = [] {
        UErrorCode err = U_ZERO_ERROR;
        UCollator* c = ucol_open("hu", &err);
        if (U_FAILURE(err)) abortWith("ucol_open(hu)", err);
        UVersionInfo coll, uca;
        ucol_getVersion(c, coll);
        ucol_getUCAVersion(c, uca);
        ucol_close(c);
        char collText[U_MAX_VERSION_STRING_LENGTH], ucaText[U_MAX_VERSION_STRING_LENGTH];
        u_versionToString(coll, collText);
        u_versionToString(uca, ucaText);
        return std::string("icu-") + U_ICU_VERSION + "/hu-" + collText + "/uca-" + ucaText + "/bytes";
    }();
    return id;
}

}  // namespace engine
