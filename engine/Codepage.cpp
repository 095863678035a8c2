#include "Codepage.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace engine {

namespace {

// Unicode code points of the bytes 0x80..0xFF; 0 marks the five unassigned bytes.
constexpr std::array<uint16_t, 128> kHigh = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const std::unordered_map<uint32_t, char>& reverseTable()
{
    static const std::unordered_map<uint32_t, char> table = [] {
        std::unordered_map<uint32_t, char> t;
        for (int i = 0; i < 128; ++i)
            if (kHigh[i] != 0)
                t.emplace(kHigh[i], char(0x80 + i));
        return t;
    }();
    return table;
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Case partners among the high bytes: the pairs differ by 0x10 (0x8A..0x8F),
// by 0x20 (0xC0..0xDE) or are listed one by one.
unsigned char upperByte(unsigned char b)
{
    if (b >= 'a' && b <= 'z') return b - 0x20;
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return b - 0x20;
    switch (b) {
    case 0x9A: case 0x9C: case 0x9D: case 0x9E: case 0x9F: return b - 0x10;
    case 0xB3: return 0xA3;
    case 0xB9: return 0xA5;
    case 0xBA: return 0xAA;
    case 0xBE: return 0xBC;
    case 0xBF: return 0xAF;
    default: return b;
    }
}

unsigned char lowerByte(unsigned char b)
{
    if (b >= 'A' && b <= 'Z') return b + 0x20;
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return b + 0x20;
    switch (b) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F: return b + 0x10;
    case 0xA3: return 0xB3;
    case 0xA5: return 0xB9;
    case 0xAA: return 0xBA;
    case 0xBC: return 0xBE;
    case 0xAF: return 0xBF;
    default: return b;
    }
}

std::string describeCodePoint(uint32_t cp)
{
    std::string shown;
    appendUtf8(shown, cp);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", unsigned(cp));
    return "„" + shown + "” (" + hex + ")";
}

}  // namespace

Result<std::string> utf8ToCp1250(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    const auto& rev = reverseTable();
    size_t i = 0;
    while (i < utf8.size()) {
        // Plain ASCII goes over as it is, a run at a time.
        size_t run = i;
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8.data() + i, run - i);
        i = run;
        if (i == utf8.size()) break;
        unsigned char c = utf8[i];
        uint32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else return Status::error(ErrorCode::InvalidValue, "Érvénytelen UTF-8 szöveg.");
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
                return Status::error(ErrorCode::InvalidValue, "Érvénytelen UTF-8 szöveg.");
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += extra + 1;
        static constexpr uint32_t kMinForLength[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Status::error(ErrorCode::InvalidValue, "Érvénytelen UTF-8 szöveg.");
        if (cp < 0x80) {
            out += char(cp);
            continue;
        }
        auto it = rev.find(cp);
        if (it == rev.end())
            return Status::error(ErrorCode::InvalidValue,
                                 "A(z) " + describeCodePoint(cp) +
                                     " karakter nem tárolható: a Windows-1250 kódlapon nincs ilyen karakter.");
        out += it->second;
    }
    return out;
}

std::string cp1250ToShown(std::string_view cp1250)
{
    std::string out;
    size_t from = 0;
    for (size_t i = 0; i < cp1250.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(cp1250[i]);
        if (b >= 0x20 && b != 0x7F) continue;
        out += cp1250ToUtf8(cp1250.substr(from, i - from));
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(b));
        out += hex;
        from = i + 1;
    }
    return out + cp1250ToUtf8(cp1250.substr(from));
}

std::string cp1250ToUtf8(std::string_view cp1250)
{
    std::string out;
    out.reserve(cp1250.size() + cp1250.size() / 4);
    for (char ch : cp1250) {
        unsigned char b = ch;
        if (b < 0x80)
            out += ch;
        else
            // An unassigned byte (read from a foreign file) shows as U+FFFD.
            appendUtf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD);
    }
    return out;
}

std::string upperCp1250(std::string_view cp1250)
{
    std::string out(cp1250);
    for (char& c : out) c = char(upperByte(static_cast<unsigned char>(c)));
    return out;
}

std::string lowerCp1250(std::string_view cp1250)
{
    std::string out(cp1250);
    for (char& c : out) c = char(lowerByte(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace engine
