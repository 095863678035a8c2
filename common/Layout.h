// Layout: every table of a Nyilvex database with its fields, key and
// secondary indexes, as a new database is created.
//
// Used by the new-database builder, by tests that need a database of the
// real shape, and by anything that must know the current layout. Plain C++
// (no Qt) so that engine-level tools can link it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/Database.h"
#include "engine/Schema.h"

namespace layout {

struct TableLayout {
    std::string name;  // as the file is named: name + ".DB"
    engine::TableDef def;
};

// The 25 tables, in a fixed order.
const std::vector<TableLayout>& tables();

// The layout of one table, found without regard to letter case; nullptr if
// the name is not one of ours.
const TableLayout* find(std::string_view name);

// Creates every table of the layout, empty, in `db`. Stops at the first
// failure (an existing table included) and returns it.
engine::Status createAll(engine::Database& db);

}  // namespace layout
