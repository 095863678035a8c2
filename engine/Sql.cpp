#include "Sql.h"

#include <algorithm>

#include "SqlExec.h"
#include "SqlLexer.h"
#include "SqlParser.h"

namespace engine {

namespace sql {

Result<std::shared_ptr<Table>> TableCache::open(const TableRef& ref, std::string_view sql)
{
    for (const auto& t : open_)
        if (t->name() == ref.name || sameName(t->name(), ref.name)) return t;
    auto t = db_.openTable(ref.name, OpenMode::Shared);
    if (!t.isOk()) {
        if (t.status().code() == ErrorCode::NotFound)
            return Status::error(ErrorCode::NotFound, "Ismeretlen tábla: " + quote(ref.name) + " (" +
                                                          describePlace(sql, ref.pos) + ").");
        return t.status();
    }
    open_.push_back(*t);
    return t;
}

void TableCache::forget(std::string_view name)
{
    auto named = [&](const std::shared_ptr<Table>& t) { return sameName(t->name(), name); };
    open_.erase(std::remove_if(open_.begin(), open_.end(), named), open_.end());
    changed_.erase(std::remove_if(changed_.begin(), changed_.end(), named), changed_.end());
}

void TableCache::markChanged(const std::shared_ptr<Table>& table)
{
    if (std::find(changed_.begin(), changed_.end(), table) == changed_.end()) changed_.push_back(table);
}

Status TableCache::flushChanged()
{
    for (const auto& t : changed_)
        if (auto st = t->flush(); !st.isOk()) return st;
    changed_.clear();
    return Status::ok();
}

}  // namespace sql

namespace {

Result<int64_t> runModification(const sql::InsertStmt& s, std::string_view text, sql::TableCache& tables,
                                const std::vector<SqlParam>& params)
{
    return sql::runInsert(s, text, tables, params);
}
Result<int64_t> runModification(const sql::UpdateStmt& s, std::string_view text, sql::TableCache& tables,
                                const std::vector<SqlParam>& params)
{
    return sql::runUpdate(s, text, tables, params);
}
Result<int64_t> runModification(const sql::DeleteStmt& s, std::string_view text, sql::TableCache& tables,
                                const std::vector<SqlParam>& params)
{
    return sql::runDelete(s, text, tables, params);
}

}  // namespace

struct SqlSession::Impl {
    explicit Impl(Database& db) : tables(db) {}
    sql::TableCache tables;
};

SqlSession::SqlSession(Database& db) : impl_(std::make_unique<Impl>(db)) {}
SqlSession::~SqlSession() = default;

Result<SqlOutcome> SqlSession::run(std::string_view text, const std::vector<SqlParam>& params)
{
    auto parsed = sql::parseStatement(text);
    if (!parsed.isOk()) return parsed.status();
    sql::TableCache& tables = impl_->tables;
    SqlOutcome outcome;
    Status status = std::visit(
        [&](const auto& st) -> Status {
            using T = std::decay_t<decltype(st)>;
            if constexpr (std::is_same_v<T, sql::SelectStmt>) {
                auto r = sql::runSelect(st, text, tables, params);
                if (!r.isOk()) return r.status();
                outcome.rows = std::move(*r);
                return Status::ok();
            } else if constexpr (std::is_same_v<T, sql::CreateTableStmt>) {
                return sql::runCreateTable(st, text, tables);
            } else if constexpr (std::is_same_v<T, sql::AlterTableStmt>) {
                return sql::runAlterTable(st, text, tables);
            } else {
                auto n = runModification(st, text, tables, params);
                if (!n.isOk()) return n.status();
                outcome.rowsAffected = *n;
                return Status::ok();
            }
        },
        *parsed);
    if (!status.isOk()) return status;
    return outcome;
}

Status SqlSession::flush()
{
    return impl_->tables.flushChanged();
}

Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params)
{
    SqlSession session(db);
    return session.run(sql, params);
}

std::vector<std::string> splitStatements(std::string_view script)
{
    std::vector<std::string> out;
    size_t start = 0;
    bool meaningful = false;  // something besides blanks and comments
    auto finish = [&](size_t end) {
        if (meaningful) out.emplace_back(script.substr(start, end - start));
        start = end + 1;
        meaningful = false;
    };
    const size_t n = script.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = script[i];
        if (c == '\'' || c == '"') {
            meaningful = true;
            const size_t close = script.find(c, i + 1);
            if (close == std::string_view::npos) break;
            i = close;  // a doubled quote is two literals back to back: the same split
        } else if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            const size_t eol = script.find('\n', i);
            if (eol == std::string_view::npos) break;
            i = eol;
        } else if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            const size_t close = script.find("*/", i + 2);
            if (close == std::string_view::npos) break;
            i = close + 1;
        } else if (c == ';') {
            finish(i);
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != '\v') {
            meaningful = true;
        }
    }
    if (start < n) finish(n);
    return out;
}

}  // namespace engine
