// Codepage: the one conversion between the engine's Windows-1250 text and the
// UTF-8 text of the layers above, plus Hungarian-aware case mapping.
//
// A character without a Windows-1250 form is refused with an error naming it,
// never replaced.
#pragma once

#include <string>
#include <string_view>

#include "Status.h"

namespace engine {

Result<std::string> utf8ToCp1250(std::string_view utf8);
std::string cp1250ToUtf8(std::string_view cp1250);
// The same for quoting in a message: control characters (a NUL among them,
// which would cut the message short) are shown as \xNN.
std::string cp1250ToShown(std::string_view cp1250);

// Upper and lower case of Windows-1250 text, accented letters included
// ("árvíztűrő" <-> "ÁRVÍZTŰRŐ"); bytes without a case stay as they are.
std::string upperCp1250(std::string_view cp1250);
std::string lowerCp1250(std::string_view cp1250);

}  // namespace engine
