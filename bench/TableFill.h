// Filling the program's tables with generated rows for the benchmarks.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "engine/Codepage.h"
#include "engine/Database.h"

namespace benchfill {

// Appends `rows` rows to `table`, each set by `row` over an empty record,
// and flushes; any refusal stops the benchmark with the engine's message.
inline void fill(engine::Database& db, const char* table, int rows,
                 const std::function<void(engine::Record&, int)>& row)
{
    auto t = db.openTable(table, engine::OpenMode::Exclusive);
    if (!t.isOk()) throw std::runtime_error(t.status().message());
    engine::Record rec((*t)->def().fields.size());
    for (int i = 0; i < rows; ++i) {
        rec.assign(rec.size(), engine::Value());
        row(rec, i);
        auto r = (*t)->insert(rec);
        if (!r.isOk()) throw std::runtime_error(r.status().message());
    }
    if (auto s = (*t)->flush(); !s.isOk()) throw std::runtime_error(s.message());
}

inline engine::Value text(const std::string& utf8) { return engine::Value::fromText(*engine::utf8ToCp1250(utf8)); }

}  // namespace benchfill
