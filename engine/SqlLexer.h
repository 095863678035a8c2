// SqlLexer: splits a statement of the local SQL dialect into tokens.
//
// Identifiers are letters (accented ones of Windows-1250 included), digits
// and "_", or any text in double quotes; keywords are identifiers the parser
// recognises without regard to case. String literals use single quotes, a
// doubled quote standing for one. ":name" is a named parameter. "--" starts a
// comment to the end of the line, "/*" one up to "*/". Every token keeps its
// byte offset so that errors can name the place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace engine::sql {

enum class TokenKind {
    Identifier,        // text as written
    QuotedIdentifier,  // text between the double quotes
    Integer,           // digits
    Decimal,           // digits with a decimal point
    String,            // contents, quotes undone
    Parameter,         // name without the colon
    Symbol,            // ( ) , . ; * + - / = < > <= >= <> != ||
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    size_t pos = 0;  // byte offset in the statement
};

Result<std::vector<Token>> tokenize(std::string_view sql);

// "a(z) „...” közelében (2. sor, 5. oszlop)": where an error was found, for
// messages. `pos` at the end of the text names the end of the statement.
std::string describePlace(std::string_view sql, size_t pos);

// Letters of Windows-1250 (accented ones included) and "_".
bool isIdentifierStart(unsigned char c);
bool isIdentifierChar(unsigned char c);

}  // namespace engine::sql
