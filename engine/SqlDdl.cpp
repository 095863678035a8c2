// CREATE TABLE and ALTER TABLE ... ADD. Both check the whole statement
// before they touch the folder.

#include <set>

#include "Codepage.h"
#include "SqlExec.h"
#include "SqlLexer.h"

namespace engine::sql {

namespace {

constexpr size_t kMaxNameLength = 25;

Status checkFieldName(const ColumnSpec& c, std::string_view sql)
{
    if (c.field.name.size() > kMaxNameLength)
        return Status::error(ErrorCode::InvalidValue, "A mezőnév legfeljebb " + std::to_string(kMaxNameLength) +
                                                          " karakter lehet: " + quote(c.field.name) + " (" +
                                                          describePlace(sql, c.pos) + ").");
    return Status::ok();
}

}  // namespace

Status runCreateTable(const CreateTableStmt& s, std::string_view sql, TableCache& tables)
{
    TableDef def;
    std::set<std::string> names;
    int autoIncs = 0;
    for (const auto& c : s.columns) {
        if (auto st = checkFieldName(c, sql); !st.isOk()) return st;
        if (!names.insert(lowerCp1250(c.field.name)).second)
            return Status::error(ErrorCode::AlreadyExists, "A(z) " + quote(c.field.name) +
                                                               " mező kétszer szerepel (" + describePlace(sql, c.pos) +
                                                               ").");
        if (c.field.type == FieldType::AutoInc && ++autoIncs > 1)
            return Status::error(ErrorCode::InvalidValue, "Egy táblában csak egy AUTOINC mező lehet (" +
                                                              describePlace(sql, c.pos) + ").");
        def.fields.push_back(c.field);
    }
    // The store keeps the key in the leading fields, in key order.
    for (size_t k = 0; k < s.primaryKey.size(); ++k) {
        const auto& [name, pos] = s.primaryKey[k];
        const int f = def.fieldIndex(name);
        if (f < 0)
            return Status::error(ErrorCode::NotFound, "Ismeretlen mező az elsődleges kulcsban: " + quote(name) +
                                                          " (" + describePlace(sql, pos) + ").");
        if (f != int(k))
            return Status::error(ErrorCode::InvalidValue,
                                 "Az elsődleges kulcs mezőinek a tábla első mezőinek kell lenniük, ugyanabban a "
                                 "sorrendben: " + quote(name) + " (" + describePlace(sql, pos) + ").");
        if (isBlobType(def.fields[f].type))
            return Status::error(ErrorCode::InvalidValue, "Memo vagy BLOB mező nem lehet kulcs: " + quote(name) +
                                                              " (" + describePlace(sql, pos) + ").");
    }
    def.keyFieldCount = int(s.primaryKey.size());
    tables.forget(s.table.name);
    return tables.database().createTable(s.table.name, def);
}

Status runAlterTable(const AlterTableStmt& s, std::string_view sql, TableCache& tables)
{
    auto shared = tables.open(s.table, sql);
    if (!shared.isOk()) return shared.status();
    const std::string tableName = (*shared)->name();
    std::set<std::string> names;
    for (const auto& f : (*shared)->def().fields) names.insert(lowerCp1250(f.name));
    for (const auto& c : s.add) {
        if (auto st = checkFieldName(c, sql); !st.isOk()) return st;
        if (!names.insert(lowerCp1250(c.field.name)).second)
            return Status::error(ErrorCode::AlreadyExists, "A(z) " + quote(c.field.name) + " mező már létezik a(z) " +
                                                               quote(tableName) + " táblában (" +
                                                               describePlace(sql, c.pos) + ").");
        if (c.field.type == FieldType::AutoInc)
            return Status::error(ErrorCode::InvalidValue, "AUTOINC mező utólag nem adható a táblához (" +
                                                              describePlace(sql, c.pos) + ").");
    }
    // Restructuring needs the table to itself: the session lets go of it first.
    shared->reset();
    tables.forget(tableName);
    auto opened = tables.database().openTable(tableName, OpenMode::Exclusive);
    if (!opened.isOk()) return opened.status();
    for (const auto& c : s.add)
        if (auto st = (*opened)->addField(c.field); !st.isOk()) return st;
    return Status::ok();
}

}  // namespace engine::sql
