#include "Filter.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "Codepage.h"
#include "Collation.h"
#include "SqlLexer.h"

namespace engine {

enum class FilterOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Filter::Node {
    // A leaf compares one column with a literal; an inner node is the
    // conjunction of its children.
    std::vector<std::shared_ptr<const Node>> children;
    int column = -1;
    FilterOp op = FilterOp::Eq;
    Value literal;  // null for "= NULL" and "<> NULL"
};

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isWordChar(char c) { return sql::isIdentifierChar(static_cast<unsigned char>(c)); }

bool isIntegerType(FieldType t)
{
    return t == FieldType::Short || t == FieldType::Long || t == FieldType::AutoInc;
}

bool isNumericType(FieldType t)
{
    return isIntegerType(t) || t == FieldType::Number || t == FieldType::Currency || t == FieldType::Bcd;
}

bool isTextType(FieldType t)
{
    return t == FieldType::Alpha || t == FieldType::Memo || t == FieldType::FmtMemo;
}

std::string quoted(std::string_view cp1250) { return "„" + cp1250ToShown(cp1250) + "”"; }

// Recursive descent over the filter text; positions in messages count
// characters from 1, as the user sees them.
class Parser {
public:
    Parser(std::string_view text, const std::vector<Filter::Column>& columns)
        : text_(text), columns_(columns)
    {
    }

    Result<std::shared_ptr<const Filter::Node>> parseAll(std::vector<int>& used)
    {
        auto root = parseExpression();
        if (!root.isOk()) return root;
        skipBlanks();
        if (pos_ < text_.size()) return syntaxError("„and” vagy a feltétel vége várható");
        used = std::move(used_);
        return root;
    }

private:
    using NodePtr = std::shared_ptr<const Filter::Node>;

    Result<NodePtr> parseExpression()
    {
        auto first = parseConjunct();
        if (!first.isOk()) return first;
        if (!atAnd()) return first;
        auto node = std::make_shared<Filter::Node>();
        node->children.push_back(std::move(*first));
        while (atAnd()) {
            skipBlanks();
            pos_ += 3;
            auto next = parseConjunct();
            if (!next.isOk()) return next;
            node->children.push_back(std::move(*next));
        }
        return NodePtr(std::move(node));
    }

    Result<NodePtr> parseConjunct()
    {
        skipBlanks();
        if (peek() == '(') {
            ++pos_;
            auto inner = parseExpression();
            if (!inner.isOk()) return inner;
            skipBlanks();
            if (peek() != ')') return syntaxError("„)” várható");
            ++pos_;
            return inner;
        }
        return parseComparison();
    }

    Result<NodePtr> parseComparison()
    {
        skipBlanks();
        const size_t nameStart = pos_;
        if (!sql::isIdentifierStart(static_cast<unsigned char>(peek()))) return syntaxError("mezőnév várható");
        while (pos_ < text_.size() && isWordChar(text_[pos_])) ++pos_;
        const std::string_view name = text_.substr(nameStart, pos_ - nameStart);
        skipBlanks();
        const size_t opPos = pos_;
        FilterOp op;
        if (match("<>")) op = FilterOp::Ne;
        else if (match("<=")) op = FilterOp::Le;
        else if (match(">=")) op = FilterOp::Ge;
        else if (match("=")) op = FilterOp::Eq;
        else if (match("<")) op = FilterOp::Lt;
        else if (match(">")) op = FilterOp::Gt;
        else return syntaxError("összehasonlító jel (=, <>, <=, <, >, >=) várható");

        int column = -1;
        for (size_t i = 0; i < columns_.size(); ++i)
            if (sameName(columns_[i].name, name)) {
                column = int(i);
                break;
            }
        if (column < 0)
            return Status::error(ErrorCode::NotFound,
                                 "Ismeretlen mező a szűrőfeltételben: " + quoted(name) + ".");

        skipBlanks();
        const size_t valueStart = pos_;
        auto node = std::make_shared<Filter::Node>();
        node->column = column;
        node->op = op;
        const FieldType type = columns_[column].type;
        const std::string& fieldName = columns_[column].name;

        if (peek() == '\'') {
            std::string text;
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) {
                    pos_ = valueStart;
                    return syntaxError("lezáratlan szöveg: hiányzik a záró aposztróf");
                }
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        text += '\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                text += text_[pos_++];
            }
            if (isTextType(type)) {
                node->literal = Value::fromText(std::move(text));
            } else if (type == FieldType::Date) {
                auto date = parseDate(text);
                if (!date.isOk()) return date.status();
                node->literal = Value::fromDate(*date);
            } else {
                return typeError(fieldName, text_.substr(valueStart, pos_ - valueStart));
            }
        } else if (isDigit(peek()) || (peek() == '-' && isDigit(peekAt(1)))) {
            if (peek() == '-') ++pos_;
            while (isDigit(peek())) ++pos_;
            const std::string digits(text_.substr(valueStart, pos_ - valueStart));
            if (isWordChar(peek()) || peek() == '.') {
                pos_ = valueStart;
                return syntaxError("érték (egész szám, szöveg aposztrófok között vagy NULL) várható");
            }
            if (!isNumericType(type)) return typeError(fieldName, digits);
            errno = 0;
            const long long v = std::strtoll(digits.c_str(), nullptr, 10);
            if (errno == ERANGE || v > INT32_MAX || v < INT32_MIN) {
                pos_ = valueStart;
                return syntaxError("az egész szám túl nagy");
            }
            node->literal = Value::fromInt(v);
        } else if (matchWord("null")) {
            if (op != FilterOp::Eq && op != FilterOp::Ne) {
                pos_ = opPos;
                return syntaxError("a NULL csak „=” vagy „<>” jellel hasonlítható össze");
            }
        } else {
            return syntaxError("érték (egész szám, szöveg aposztrófok között vagy NULL) várható");
        }
        if (std::find(used_.begin(), used_.end(), column) == used_.end()) used_.push_back(column);
        return NodePtr(std::move(node));
    }

    // 'yyyy.mm.dd': four-digit year, two-digit month and day.
    Result<Date> parseDate(const std::string& s) const
    {
        const bool shape = s.size() == 10 && s[4] == '.' && s[7] == '.';
        bool digits = shape;
        for (size_t i = 0; digits && i < s.size(); ++i)
            if (i != 4 && i != 7 && !isDigit(s[i])) digits = false;
        if (digits) {
            const int y = std::atoi(s.substr(0, 4).c_str());
            const int m = std::atoi(s.substr(5, 2).c_str());
            const int d = std::atoi(s.substr(8, 2).c_str());
            if (Date::isValidYmd(y, m, d)) return Date::fromYmd(y, m, d);
        }
        return Status::error(ErrorCode::Syntax, "Érvénytelen dátum a szűrőfeltételben: " + quoted(s) +
                                                    " (a dátum alakja éééé.hh.nn, például 2024.03.07).");
    }

    Status typeError(const std::string& field, std::string_view literal) const
    {
        return Status::error(ErrorCode::InvalidValue, "Típushiba a szűrőfeltételben: a(z) " + quoted(field) +
                                                          " mező nem hasonlítható össze a(z) " +
                                                          quoted(literal) + " értékkel.");
    }

    Status syntaxError(const std::string& expected) const
    {
        return Status::error(ErrorCode::Syntax, "Szintaktikai hiba a szűrőfeltételben a(z) " +
                                                    std::to_string(pos_ + 1) + ". karakternél (" + expected +
                                                    "): " + quoted(text_) + ".");
    }

    bool atAnd() const
    {
        size_t p = pos_;
        while (p < text_.size() && (text_[p] == ' ' || text_[p] == '\t')) ++p;
        if (p + 3 > text_.size() || !sameName(text_.substr(p, 3), "and")) return false;
        return p + 3 == text_.size() || !isWordChar(text_[p + 3]);
    }

    bool match(std::string_view s)
    {
        if (text_.substr(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }

    bool matchWord(std::string_view word)
    {
        if (pos_ + word.size() > text_.size() || !sameName(text_.substr(pos_, word.size()), word)) return false;
        const size_t end = pos_ + word.size();
        if (end < text_.size() && isWordChar(text_[end])) return false;
        pos_ = end;
        return true;
    }

    void skipBlanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char peekAt(size_t k) const { return pos_ + k < text_.size() ? text_[pos_ + k] : '\0'; }

    std::string_view text_;
    const std::vector<Filter::Column>& columns_;
    size_t pos_ = 0;
    std::vector<int> used_;
};

template <class T>
bool holds(FilterOp op, T cmp)
{
    switch (op) {
    case FilterOp::Eq: return cmp == 0;
    case FilterOp::Ne: return cmp != 0;
    case FilterOp::Lt: return cmp < 0;
    case FilterOp::Le: return cmp <= 0;
    case FilterOp::Gt: return cmp > 0;
    case FilterOp::Ge: return cmp >= 0;
    }
    return false;
}

int compareNumbers(const Value& v, const Value& literal)
{
    const int64_t lit = literal.asInt();
    if (v.kind() == Value::Kind::Float) {
        const double d = v.asFloat();
        return d < double(lit) ? -1 : d > double(lit) ? 1 : 0;
    }
    const int64_t x = v.asInt();
    return x < lit ? -1 : x > lit ? 1 : 0;
}

bool evaluate(const Filter::Node& node, const RowValues& row)
{
    if (node.column < 0) {
        for (const auto& child : node.children)
            if (!evaluate(*child, row)) return false;
        return true;
    }
    const Value& v = row.value(node.column);
    if (node.literal.isNull()) return node.op == FilterOp::Eq ? v.isNull() : !v.isNull();
    // A blank value satisfies no comparison with a value.
    if (v.isNull()) return false;
    switch (node.literal.kind()) {
    case Value::Kind::Int:
        return holds(node.op, compareNumbers(v, node.literal));
    case Value::Kind::Date:
        return holds(node.op, v.asDate().serial - node.literal.asDate().serial);
    case Value::Kind::Text:
        // Equality is exact, so it needs no collation.
        if (node.op == FilterOp::Eq) return v.asText() == node.literal.asText();
        if (node.op == FilterOp::Ne) return v.asText() != node.literal.asText();
        return holds(node.op, compareText(v.asText(), node.literal.asText()));
    default:
        return false;
    }
}

}  // namespace

Result<Filter> Filter::compile(std::string_view text, const std::vector<Column>& columns)
{
    Filter f;
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    if (start == text.size()) return f;  // an empty filter keeps every row
    Parser parser(text, columns);
    auto root = parser.parseAll(f.used_);
    if (!root.isOk()) return root.status();
    f.root_ = std::move(*root);
    return f;
}

bool Filter::matches(const RowValues& row) const
{
    return !root_ || evaluate(*root_, row);
}

const std::vector<int>& Filter::columnsUsed() const
{
    return used_;
}

}  // namespace engine
