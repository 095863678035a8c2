#include "Sql.h"

#include <algorithm>
#include <array>
#include <optional>

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

bool isLiteral(sql::TokenKind k)
{
    return k == sql::TokenKind::Integer || k == sql::TokenKind::Decimal || k == sql::TokenKind::String;
}

// The last INSERT ... VALUES of a session, kept parsed. A script of many
// inserts repeats one statement with other values; a statement whose tokens
// differ from the kept one's only in the text of their literals parses to
// the same tree, with those literals' values and every token's new place.
class RepeatedInsert {
public:
    // Keeps `stmt`, parsed from `tokens`, and returns it.
    const sql::InsertStmt& keep(const std::vector<sql::Token>& tokens, sql::InsertStmt stmt)
    {
        stmt_ = std::move(stmt);
        shape_ = tokens;
        literals_.clear();
        places_.clear();
        reusable_ = !stmt_.select && mapTree();
        return stmt_;
    }

    // The kept tree made over for `tokens`, or null when they are not of its
    // shape (or a literal is one the parser would refuse).
    const sql::InsertStmt* reuse(const std::vector<sql::Token>& tokens)
    {
        if (!reusable_ || tokens.size() != shape_.size()) return nullptr;
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind != shape_[i].kind) return nullptr;
            if (!isLiteral(tokens[i].kind) && tokens[i].text != shape_[i].text) return nullptr;
        }
        values_.clear();
        for (const auto& [token, node] : literals_) {
            std::optional<Value> v = sql::literalValue(tokens[token]);
            if (!v) return nullptr;
            values_.push_back(std::move(*v));
        }
        for (size_t k = 0; k < literals_.size(); ++k) literals_[k].second->value = std::move(values_[k]);
        for (const auto& [place, token] : places_) *place = tokens[token].pos;
        return &stmt_;
    }

private:
    // Finds the token of every place in the tree and the node of every
    // literal token; false when any is missing.
    bool mapTree()
    {
        bool ok = addPlace(stmt_.table.pos);
        for (auto& column : stmt_.columns) ok = ok && addPlace(column.second);
        for (auto& row : stmt_.rows)
            for (auto& e : row) ok = ok && addExpr(*e);
        // Each literal token has exactly one node.
        std::vector<bool> covered(shape_.size());
        for (const auto& [token, node] : literals_) {
            if (covered[token]) return false;
            covered[token] = true;
        }
        for (size_t i = 0; i < shape_.size(); ++i)
            if (isLiteral(shape_[i].kind) && !covered[i]) return false;
        return ok;
    }

    bool addExpr(sql::Expr& e)
    {
        const std::optional<size_t> token = tokenAt(e.pos);
        if (!token) return false;
        places_.emplace_back(&e.pos, *token);
        if (e.kind == sql::Expr::Kind::Literal && isLiteral(shape_[*token].kind)) literals_.emplace_back(*token, &e);
        for (auto& arg : e.args)
            if (!addExpr(*arg)) return false;
        return true;
    }

    bool addPlace(size_t& pos)
    {
        const std::optional<size_t> token = tokenAt(pos);
        if (token) places_.emplace_back(&pos, *token);
        return token.has_value();
    }

    // Tokens are in the order of their places.
    std::optional<size_t> tokenAt(size_t pos) const
    {
        auto it = std::lower_bound(shape_.begin(), shape_.end(), pos,
                                   [](const sql::Token& t, size_t p) { return t.pos < p; });
        if (it == shape_.end() || it->pos != pos) return std::nullopt;
        return size_t(it - shape_.begin());
    }

    sql::InsertStmt stmt_;
    std::vector<sql::Token> shape_;
    std::vector<std::pair<size_t, sql::Expr*>> literals_;  // token, its Literal node
    std::vector<std::pair<size_t*, size_t>> places_;       // a place in the tree, its token
    std::vector<Value> values_;
    bool reusable_ = false;
};

}  // namespace

struct SqlSession::Impl {
    explicit Impl(Database& db) : tables(db) {}
    sql::TableCache tables;
    RepeatedInsert lastInsert;
};

SqlSession::SqlSession(Database& db) : impl_(std::make_unique<Impl>(db)) {}
SqlSession::~SqlSession() = default;

Result<SqlOutcome> SqlSession::run(std::string_view text, const std::vector<SqlParam>& params)
{
    auto tokens = sql::tokenize(text);
    if (!tokens.isOk()) return tokens.status();
    sql::TableCache& tables = impl_->tables;
    SqlOutcome outcome;
    if (const sql::InsertStmt* repeated = impl_->lastInsert.reuse(*tokens)) {
        auto n = sql::runInsert(*repeated, text, tables, params);
        if (!n.isOk()) return n.status();
        outcome.rowsAffected = *n;
        return outcome;
    }
    auto parsed = sql::parseTokens(text, *tokens);
    if (!parsed.isOk()) return parsed.status();
    Status status = std::visit(
        [&](auto& st) -> Status {
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
            } else if constexpr (std::is_same_v<T, sql::InsertStmt>) {
                auto n = sql::runInsert(impl_->lastInsert.keep(*tokens, std::move(st)), text, tables, params);
                if (!n.isOk()) return n.status();
                outcome.rowsAffected = *n;
                return Status::ok();
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

void SqlSession::holdResults(bool hold) { impl_->tables.setHoldResults(hold); }

Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params)
{
    SqlSession session(db);
    return session.run(sql, params);
}

Result<SqlOutcome> runSql(Database& db, std::string_view sql, const std::vector<SqlParam>& params,
                          const QueryResult& earlier, std::vector<uint32_t>& earlierRows)
{
    earlierRows.clear();
    auto parsed = sql::parseStatement(sql);
    if (!parsed.isOk()) return parsed.status();
    const auto* select = std::get_if<sql::SelectStmt>(&*parsed);
    if (!select) return runSql(db, sql, params);
    sql::TableCache tables(db);
    auto r = sql::runSelect(*select, sql, tables, params, &earlier, &earlierRows);
    if (!r.isOk()) return r.status();
    SqlOutcome outcome;
    outcome.rows = std::move(*r);
    return outcome;
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
    // Once a statement has begun, only these characters can end it or hide a ";".
    static constexpr std::array<bool, 256> kStops = [] {
        std::array<bool, 256> t{};
        for (char c : std::string_view("'\"-/;")) t[static_cast<unsigned char>(c)] = true;
        return t;
    }();
    const size_t n = script.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = script[i];
        if (meaningful && !kStops[static_cast<unsigned char>(c)]) continue;
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
