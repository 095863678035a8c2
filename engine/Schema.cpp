#include "Schema.h"

#include "Codepage.h"

namespace engine {

Value::Kind valueKindOf(FieldType type)
{
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return Value::Kind::Text;
    case FieldType::Date:
        return Value::Kind::Date;
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
        return Value::Kind::Int;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Bcd:
        return Value::Kind::Float;
    case FieldType::Logical:
        return Value::Kind::Bool;
    case FieldType::Blob:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Bytes:
        return Value::Kind::Bytes;
    case FieldType::Time:
        return Value::Kind::Time;
    case FieldType::Timestamp:
        return Value::Kind::Timestamp;
    }
    return Value::Kind::Null;
}

bool isBlobType(FieldType type)
{
    switch (type) {
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return true;
    default:
        return false;
    }
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    // Names are nearly always ASCII: compare without building lower-case copies.
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if ((x | y) >= 0x80) return lowerCp1250(a.substr(i)) == lowerCp1250(b.substr(i));
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

int TableDef::fieldIndex(std::string_view name) const
{
    // Names are nearly always written as the table has them.
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return int(i);
    for (size_t i = 0; i < fields.size(); ++i)
        if (sameName(fields[i].name, name)) return int(i);
    return -1;
}

int TableDef::indexIndex(std::string_view name) const
{
    for (size_t i = 0; i < indexes.size(); ++i)
        if (sameName(indexes[i].name, name)) return int(i);
    return -1;
}

}  // namespace engine
