// Schema: the structure of a table (fields, key, secondary indexes) as the
// engine creates, stores and reports it.
//
// Field types carry the codes of the Paradox table format, so a definition
// read from any Paradox file maps onto them one to one. Names are compared
// without regard to letter case everywhere (Windows-1250 text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Value.h"

namespace engine {

enum class FieldType : uint8_t {
    Alpha = 0x01,      // text of `size` characters
    Date = 0x02,
    Short = 0x03,      // 16-bit integer
    Long = 0x04,       // 32-bit integer
    Currency = 0x05,   // double, shown as money
    Number = 0x06,     // double
    Logical = 0x09,
    Memo = 0x0C,       // text of any length; `size` bytes of it kept in the row
    Blob = 0x0D,       // binary of any length
    FmtMemo = 0x0E,    // formatted memo (RTF text)
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,    // 32-bit integer assigned by the store on insert
    Bcd = 0x17,        // `size` = digits after the decimal point; values as double
    Bytes = 0x18,      // fixed binary of `size` bytes
};

// The kind of Value a field of this type holds when not null.
Value::Kind valueKindOf(FieldType type);

// True for the types whose contents live in the memo file (.MB).
bool isBlobType(FieldType type);

struct FieldDef {
    std::string name;  // Windows-1250, at most 25 characters
    FieldType type = FieldType::Alpha;
    // Alpha: 1..255 characters. Memo, Blob, FmtMemo, Ole, Graphic: bytes of the
    // contents kept inline in the row (0 means the engine's default). Bcd:
    // digits after the decimal point. Bytes: 1..255. Other types: 0.
    int size = 0;
};

struct IndexDef {
    std::string name;                 // empty for the primary index
    std::vector<std::string> fields;  // one field for a named secondary index
    bool caseInsensitive = false;
    bool descending = false;
};

struct TableDef {
    std::vector<FieldDef> fields;
    int keyFieldCount = 0;           // the primary key is the leading fields; 0 = no key
    std::vector<IndexDef> indexes;   // named secondary indexes, in creation order

    // Position of a field, matched without regard to letter case; -1 if absent.
    int fieldIndex(std::string_view name) const;
    // Position of a secondary index by name, without regard to case; -1 if absent.
    int indexIndex(std::string_view name) const;
};

// One row: a value per field, in field order.
using Record = std::vector<Value>;

// Case-insensitive equality of two Windows-1250 names (accented letters included).
bool sameName(std::string_view a, std::string_view b);

}  // namespace engine
