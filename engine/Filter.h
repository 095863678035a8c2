// Filter: the filter expression language that data sets accept.
//
//   expression  := conjunct { " and " conjunct }
//   conjunct    := comparison | "(" expression ")"
//   comparison  := field op literal       op: = <= <>   (also < > >=)
//   literal     := integer | 'text' | 'yyyy.mm.dd' (against a date field) | NULL
//
// "mezo=NULL" matches blank values, "mezo<>NULL" the others; a blank value
// satisfies no other comparison. An empty (or all-blank) text keeps every
// row. Words ("and", "NULL") may be written in any letter case. Text compares in
// the store's order (Collation.h), exactly for "=" and "<>". Anything else is
// a Syntax error naming the place, never a filter that silently matches
// nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Schema.h"
#include "Status.h"
#include "Value.h"

namespace engine {

// Gives a compiled filter the values of one row. The filter uses a value
// before it asks for the next one.
class RowValues {
public:
    virtual ~RowValues() = default;
    virtual const Value& value(int column) const = 0;
};

class Filter {
public:
    struct Column {
        std::string name;  // Windows-1250
        FieldType type;
    };

    // Parses the text (Windows-1250) and binds its field names to columns
    // (without regard to case). Unknown fields and literals of the wrong kind
    // are errors.
    static Result<Filter> compile(std::string_view text, const std::vector<Column>& columns);

    bool matches(const RowValues& row) const;

    // The columns the filter reads, so callers can fetch only those.
    const std::vector<int>& columnsUsed() const;

    struct Node;  // opaque expression tree
private:
    std::shared_ptr<const Node> root_;
    std::vector<int> used_;
};

}  // namespace engine
