// A fresh database folder made by the new-database builder, for tests that
// run the real engine, and rows put into its tables through the data sets.
#pragma once

#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

class Connection;

using RowValues = std::vector<std::pair<const char*, QVariant>>;

// Builds a new database in `folder` (made when missing; must be empty);
// fails the running test when the builder fails.
void BuildTestDatabase(const QString& folder, bool sample = false);

// Appends a row to `table` (its name without ".DB"), writes it through and
// returns its first field as a number: the key of the tables that count one.
int AddRow(Connection* db, const QString& table, const RowValues& values);

// Changes the first row of `table` and writes it through.
void SetFirstRow(Connection* db, const QString& table, const RowValues& values);
