// NewDatabase: builds a new Nyilvex database folder: every table of the
// layout, empty, plus the rows a new database must hold (name days, postal
// codes, the administrator, the settings row, statuses, priorities, the
// owner details). With `sample`, also a few dozen made-up Hungarian
// companies, customers, tasks, products and notes dated around today, so
// that every list shows something.
//
// Plain C++ over the engine: the build uses it through the nyilvex-newdb
// command, tests call it directly for a fresh folder per test.
#pragma once

#include <string>

#include "engine/Status.h"

namespace newdb {

// The administrator of a new database and its password.
inline constexpr const char* AdminUser = "rendszergazda";
inline constexpr const char* AdminPassword = "nyilvex";

// `folder` must not exist or be empty. `dataFolder` holds nevnap.csv and
// irsz.csv (UTF-8, ";"-separated, a heading line).
engine::Status createDatabase(const std::string& folder, const std::string& dataFolder,
                              bool sample);

}  // namespace newdb
