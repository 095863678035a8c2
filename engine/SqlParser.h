// SqlParser: turns the text of one statement into its syntax tree
// (SqlAst.h). A trailing ";" is allowed; anything after it, or any second
// statement, is a syntax error naming the place.
#pragma once

#include <string_view>

#include <optional>
#include <vector>

#include "SqlAst.h"
#include "SqlLexer.h"
#include "Status.h"

namespace engine::sql {

Result<Statement> parseStatement(std::string_view sql);

// The same, for the tokens of `sql` (tokenize(sql)).
Result<Statement> parseTokens(std::string_view sql, const std::vector<Token>& tokens);

// The value the parser gives the Literal of an Integer, Decimal or String
// token; none for an integer out of range (a syntax error) or another kind.
std::optional<Value> literalValue(const Token& token);

}  // namespace engine::sql
