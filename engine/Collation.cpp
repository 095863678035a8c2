#include "Collation.h"

#include <unicode/ucol.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Codepage.h"

namespace engine {

namespace {

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

        UVersionInfo coll, uca;
        ucol_getVersion(tertiary_, coll);
        ucol_getUCAVersion(tertiary_, uca);
        char collText[U_MAX_VERSION_STRING_LENGTH], ucaText[U_MAX_VERSION_STRING_LENGTH];
        u_versionToString(coll, collText);
        u_versionToString(uca, ucaText);
        id_ = std::string("icu-") + U_ICU_VERSION + "/hu-" + collText + "/uca-" + ucaText + "/bytes";
    }

    ~Collator()
    {
        ucol_close(secondary_);
        ucol_close(tertiary_);
    }

    const UCollator* tertiary() const { return tertiary_; }
    const UCollator* secondary() const { return secondary_; }
    const std::string& id() const { return id_; }

    // Converts into `buf`, which must hold text.size() units.
    void toUtf16(std::string_view text, UChar* buf) const
    {
        for (size_t i = 0; i < text.size(); ++i) buf[i] = utf16_[static_cast<unsigned char>(text[i])];
    }

private:
    [[noreturn]] static void abortWith(const char* what, UErrorCode err)
    {
        // Without the collator no index can be trusted; nothing sensible is left to do.
        std::fprintf(stderr, "ICU: %s: %s\n", what, u_errorName(err));
        std::abort();
    }

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

    UCollator* tertiary_ = nullptr;
    UCollator* secondary_ = nullptr;
    std::array<UChar, 256> utf16_{};
    std::string id_;
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
    return collator().id();
}

}  // namespace engine
