#include "SqlLexer.h"

#include <array>

#include "Codepage.h"

namespace engine::sql {

bool isIdentifierStart(unsigned char c)
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const std::string one(1, char(b));
            // Letters: ASCII ones, "_", and the high bytes that have a case
            // partner or lie among the letters 0xC0..0xFF (the two signs excepted).
            t[b] = b == '_' || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                   (b >= 0xC0 && b != 0xD7 && b != 0xF7) ||
                   (b >= 0x80 && upperCp1250(one) != lowerCp1250(one));
        }
        return t;
    }();
    return table[c];
}

bool isIdentifierChar(unsigned char c)
{
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

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
    return "a(z) „" + cp1250ToUtf8(sql.substr(pos, end - pos)) + "” közelében" + where;
}

Result<std::vector<Token>> tokenize(std::string_view sql)
{
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
        if (isIdentifierStart(static_cast<unsigned char>(c))) {
            while (i < n && isIdentifierChar(static_cast<unsigned char>(sql[i]))) ++i;
            t.kind = TokenKind::Identifier;
            t.text = std::string(sql.substr(start, i - start));
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(sql[i + 1]))) {
            while (i < n && isDigit(sql[i])) ++i;
            t.kind = TokenKind::Integer;
            if (i < n && sql[i] == '.' && !(i + 1 < n && isIdentifierStart(static_cast<unsigned char>(sql[i + 1])))) {
                ++i;
                while (i < n && isDigit(sql[i])) ++i;
                t.kind = TokenKind::Decimal;
            }
            if (i < n && isIdentifierChar(static_cast<unsigned char>(sql[i])))
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
        } else if (c == ':' && i + 1 < n && isIdentifierStart(static_cast<unsigned char>(sql[i + 1]))) {
            ++i;
            while (i < n && isIdentifierChar(static_cast<unsigned char>(sql[i]))) ++i;
            t.kind = TokenKind::Parameter;
            t.text = std::string(sql.substr(start + 1, i - start - 1));
        } else {
            static const char* const kTwo[] = {"<=", ">=", "<>", "!=", "||"};
            t.kind = TokenKind::Symbol;
            for (const char* two : kTwo)
                if (sql.substr(i, 2) == two) t.text = two;
            if (t.text.empty()) {
                if (std::string_view("(),.;*+-/=<>").find(c) == std::string_view::npos)
                    return lexError(sql, start, "nem várt karakter");
                t.text = std::string(1, c);
            }
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
