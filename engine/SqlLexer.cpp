#include "SqlLexer.h"

#include <array>
#include <cstdint>

#include "Codepage.h"

namespace engine::sql {

namespace {

constexpr uint8_t kStarts = 1, kContinues = 2;

// For every byte whether it may start or continue an identifier.
const std::array<uint8_t, 256>& identifierClasses()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const std::string one(1, char(b));
            // Letters: ASCII ones, "_", and the high bytes that have a case
            // partner or lie among the letters 0xC0..0xFF (the two signs excepted).
            const bool letter = b == '_' || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                                (b >= 0xC0 && b != 0xD7 && b != 0xF7) ||
                                (b >= 0x80 && upperCp1250(one) != lowerCp1250(one));
            t[b] = uint8_t((letter ? kStarts | kContinues : 0) | (b >= '0' && b <= '9' ? kContinues : 0));
        }
        return t;
    }();
    return table;
}

}  // namespace

bool isIdentifierStart(unsigned char c) { return identifierClasses()[c] & kStarts; }

bool isIdentifierChar(unsigned char c) { return identifierClasses()[c] & kContinues; }

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

Status lexError(std::string_view sql, size_t pos, const std::string& what)
{
    return Status::error(ErrorCode::Syntax, "Szintaktikai hiba " + describePlace(sql, pos) + ": " + what + ".");
}

}  // namespace

std::string describePlace(std::string_view sql, size_t pos)
{
    size_t line = 1, column = 1;
    for (size_t i = 0; i < pos && i < sql.size(); ++i) {
        if (sql[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    const std::string where = " (" + std::to_string(line) + ". sor, " + std::to_string(column) + ". oszlop)";
    if (pos >= sql.size()) return "az utasítás végén" + where;
    // Show the rest of the line from the place, shortened.
    size_t end = pos;
    while (end < sql.size() && sql[end] != '\n' && sql[end] != '\r' && end - pos < 30) ++end;
    return "a(z) „" + cp1250ToShown(sql.substr(pos, end - pos)) + "” közelében" + where;
}

Result<std::vector<Token>> tokenize(std::string_view sql)
{
    const std::array<uint8_t, 256>& classes = identifierClasses();
    auto starts = [&](char c) { return (classes[static_cast<unsigned char>(c)] & kStarts) != 0; };
    auto continues = [&](char c) { return (classes[static_cast<unsigned char>(c)] & kContinues) != 0; };
    std::vector<Token> out;
    out.reserve(sql.size() / 4 + 2);
    size_t i = 0;
    const size_t n = sql.size();
    while (true) {
        while (i < n && isSpace(sql[i])) ++i;
        if (i + 1 < n && sql[i] == '-' && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n') ++i;
            continue;
        }
        if (i + 1 < n && sql[i] == '/' && sql[i + 1] == '*') {
            const size_t close = sql.find("*/", i + 2);
            if (close == std::string_view::npos) return lexError(sql, i, "lezáratlan megjegyzés");
            i = close + 2;
            continue;
        }
        if (i >= n) break;
        const size_t start = i;
        const char c = sql[i];
        Token t;
        t.pos = start;
        if (starts(c)) {
            while (i < n && continues(sql[i])) ++i;
            t.kind = TokenKind::Identifier;
            t.text = std::string(sql.substr(start, i - start));
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(sql[i + 1]))) {
            while (i < n && isDigit(sql[i])) ++i;
            t.kind = TokenKind::Integer;
            if (i < n && sql[i] == '.' && !(i + 1 < n && starts(sql[i + 1]))) {
                ++i;
                while (i < n && isDigit(sql[i])) ++i;
                t.kind = TokenKind::Decimal;
            }
            if (i < n && continues(sql[i]))
                return lexError(sql, start, "hibás szám");
            t.text = std::string(sql.substr(start, i - start));
        } else if (c == '\'') {
            ++i;
            for (;;) {
                const size_t quote = sql.find('\'', i);
                if (quote == std::string_view::npos)
                    return lexError(sql, start, "lezáratlan szöveg: hiányzik a záró aposztróf");
                t.text.append(sql.substr(i, quote - i));
                i = quote + 1;
                if (i < n && sql[i] == '\'') {  // a doubled quote stands for one
                    t.text += '\'';
                    ++i;
                    continue;
                }
                break;
            }
            t.kind = TokenKind::String;
        } else if (c == '"') {
            const size_t close = sql.find('"', i + 1);
            if (close == std::string_view::npos) return lexError(sql, start, "lezáratlan idézőjel");
            t.kind = TokenKind::QuotedIdentifier;
            t.text = std::string(sql.substr(i + 1, close - i - 1));
            if (t.text.empty()) return lexError(sql, start, "üres név");
            i = close + 1;
        } else if (c == ':' && i + 1 < n && starts(sql[i + 1])) {
            ++i;
            while (i < n && continues(sql[i])) ++i;
            t.kind = TokenKind::Parameter;
            t.text = std::string(sql.substr(start + 1, i - start - 1));
        } else {
            t.kind = TokenKind::Symbol;
            const char next = i + 1 < n ? sql[i + 1] : '\0';
            const bool two = (c == '<' && (next == '=' || next == '>')) || (c == '>' && next == '=') ||
                             (c == '!' && next == '=') || (c == '|' && next == '|');
            if (!two && std::string_view("(),.;*+-/=<>").find(c) == std::string_view::npos)
                return lexError(sql, start, "nem várt karakter");
            t.text = two ? std::string{c, next} : std::string(1, c);
            i += t.text.size();
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.kind = TokenKind::End;
    end.pos = n;
    out.push_back(end);
    return out;
}

}  // namespace engine::sql
