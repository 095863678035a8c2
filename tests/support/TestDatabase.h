// A fresh database folder made by the new-database builder, for tests that
// run the real engine.
#pragma once

#include <QString>

// Builds a new database in `folder` (made when missing; must be empty);
// fails the running test when the builder fails.
void BuildTestDatabase(const QString& folder, bool sample = false);
