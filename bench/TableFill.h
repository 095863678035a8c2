// Filling the program's tables with generated rows for the benchmarks: the
// append loop, and the names, addresses and phones that the generated
// companies and customers are made of, alike in every benchmark.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/Database.h"

namespace benchfill {

// Opens the folder as a database with the program's tables in it, empty;
// a refusal stops the benchmark with the engine's message.
std::shared_ptr<engine::Database> newDatabase(const std::string& folder);

// Appends `rows` rows to `table`, each set by `row` over an empty record,
// and flushes; any refusal stops the benchmark with the engine's message.
void fill(engine::Database& db, const char* table, int rows, const std::function<void(engine::Record&, int)>& row);

// A text value of UTF-8 `utf8`.
engine::Value text(const std::string& utf8);

// One of sixteen given names, by `n` modulo 16.
const char* givenName(int n);
// "Szabó és Társa Kft. 17": the name of company row `i`.
std::string companyName(int i);
// "Horváth Dóra 17": the name of customer row `i`.
std::string customerName(int i);
// The mobile number of customer row `i`.
std::string mobileNumber(int i);

// Sets ceg_nev, the address and the phone of company row `i` (a ceg record).
void companyRow(engine::Record& r, int i);
// Sets the postal code, town and street of customer row `i` (an ugyfel record).
void customerAddress(engine::Record& r, int i);

}  // namespace benchfill
