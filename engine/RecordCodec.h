// RecordCodec: the byte layout of one Paradox record and the conversion of
// field values to and from it.
//
// Numbers, dates and times are stored big-endian with the sign bit flipped,
// so that a field of zero bytes is blank (distinct from 0) and the stored
// bytes of numeric fields sort like the values. Alpha fields are text padded
// with zero bytes. Blob fields (memo, formatted memo, binary, OLE, graphic)
// keep a leader with the first bytes of the value, then the place of the
// whole value in the memo file (.MB), its length and a modification number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Schema.h"
#include "Status.h"
#include "Value.h"

namespace engine {

// Memo leader kept in the record when a definition leaves the size at 0
// (see withDefaults). Inside the engine a blob field's size is its leader as
// stored, which a table written elsewhere may have at 0.
inline constexpr int kDefaultBlobLeader = 50;

struct FieldSlot {
    FieldType type = FieldType::Alpha;
    int offset = 0;  // within the record
    int width = 0;   // bytes in the record
    int size = 0;    // FieldDef::size as defined (Alpha length, leader, BCD decimals)
};

// Where a blob field's value is, as read from the record.
struct BlobRef {
    uint32_t offset = 0;  // file offset of its block in the .MB (low byte cleared)
    uint8_t index = 0;    // 0xFF: single-blob block; else entry of a sub-allocated block
    uint32_t length = 0;  // 0: blank
    uint16_t modNr = 0;
};

// A field definition from a caller with the engine's defaults filled in.
FieldDef withDefaults(FieldDef f);

class RecordLayout {
public:
    RecordLayout() = default;
    explicit RecordLayout(const std::vector<FieldDef>& fields);

    // Bytes of a field in the record and the size byte stored in a header for it.
    static int widthOf(FieldType type, int size);
    static int headerSizeByte(FieldType type, int size);
    // FieldDef::size from a header's type and size byte; -1 when impossible.
    static int sizeFromHeader(FieldType type, int sizeByte);

    int recordSize() const { return recordSize_; }
    const std::vector<FieldSlot>& slots() const { return slots_; }
    const FieldSlot& slot(int i) const { return slots_[size_t(i)]; }

private:
    std::vector<FieldSlot> slots_;
    int recordSize_ = 0;
};

// Encoding of the scalar types. `out` has slot.width bytes; a null Value
// writes a blank. Blob slots are not handled here (see BlobFile).
void encodeScalar(const FieldSlot& slot, const Value& v, uint8_t* out);
Value decodeScalar(const FieldSlot& slot, const uint8_t* in);

bool isBlank(const uint8_t* p, int n);

// The blob pointer that follows a blob field's leader.
BlobRef readBlobRef(const FieldSlot& slot, const uint8_t* field);
void writeBlobRef(const FieldSlot& slot, const BlobRef& ref, uint8_t* field);

// Checks a value against a field definition before it is stored: kind, text
// length, integer range. Ints are accepted for float fields. The value is
// turned into the form it is stored in (ints widened to floats, empty text
// blank and so on).
Status checkValue(const FieldDef& def, Value& v);

// Stored big-endian sign-flipped 16-bit value (the "short" of index records).
void putIndexShort(uint8_t* p, uint16_t v);
uint16_t getIndexShort(const uint8_t* p);

// Little-endian helpers for headers and block links.
inline uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void putLe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// A key field as it takes part in an order: the slot, whether text compares
// without regard to case, and whether the order is reversed.
struct KeyPart {
    FieldSlot slot;
    bool caseless = false;
    bool descending = false;
};

// Compares the key parts of two records (each at its own offsets).
int compareKeys(const std::vector<KeyPart>& partsA, const uint8_t* a, const std::vector<KeyPart>& partsB,
                const uint8_t* b);

// Text of an Alpha field (up to the first zero byte).
std::string_view alphaText(const FieldSlot& slot, const uint8_t* rec);

// A short human-readable rendering of key values, for messages (Windows-1250).
std::string describeKey(const std::vector<Value>& values);

}  // namespace engine
