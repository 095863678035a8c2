// DatabaseImpl: a folder of tables. Keeps one TableState per table, so that
// every handle on a table in this Database shares its rows, and keeps it
// after the last handle closed, so that opening the table again is cheap
// while its files stay as they were.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "Database.h"
#include "TableState.h"

namespace engine {

class DatabaseImpl final : public Database {
public:
    explicit DatabaseImpl(std::string folder) : folder_(std::move(folder)) {}

    const std::string& folder() const override { return folder_; }
    Result<std::vector<std::string>> tableNames() override;
    Result<std::shared_ptr<Table>> openTable(std::string_view name, OpenMode mode) override;
    Status createTable(std::string_view name, const TableDef& def) override;
    Status deleteTableFile(std::string_view fileName) override;

private:
    std::string folder_;
    // By the table's name in lower case; open, or closed with rows kept.
    std::map<std::string, std::shared_ptr<TableState>> tables_;
};

}  // namespace engine
