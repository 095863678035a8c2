// SqlParser: turns the text of one statement into its syntax tree
// (SqlAst.h). A trailing ";" is allowed; anything after it, or any second
// statement, is a syntax error naming the place.
#pragma once

#include <string_view>

#include "SqlAst.h"
#include "Status.h"

namespace engine::sql {

Result<Statement> parseStatement(std::string_view sql);

}  // namespace engine::sql
