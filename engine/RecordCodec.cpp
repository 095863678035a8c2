#include "RecordCodec.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Collation.h"
#include "Messages.h"

namespace engine {

namespace {

// Paradox keeps timestamps as milliseconds from the day before 1 January 1
// (day 0); Value counts from 1 January 1.
constexpr double kTimestampDayMs = 86400000.0;

void putBigEndianFlipped(uint8_t* out, uint64_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = uint8_t(v);
        v >>= 8;
    }
    out[0] ^= 0x80;
}

uint64_t getBigEndianFlipped(const uint8_t* in, int bytes)
{
    uint64_t v = uint64_t(in[0] ^ 0x80);
    for (int i = 1; i < bytes; ++i) v = (v << 8) | in[i];
    return v;
}

int64_t signExtend(uint64_t v, int bytes)
{
    const int shift = 64 - 8 * bytes;
    return int64_t(v << shift) >> shift;
}

void putDouble(uint8_t* out, double d)
{
    uint64_t bits = std::bit_cast<uint64_t>(d);
    for (int i = 7; i >= 0; --i) {
        out[i] = uint8_t(bits);
        bits >>= 8;
    }
    if (out[0] & 0x80) {
        for (int i = 0; i < 8; ++i) out[i] = uint8_t(~out[i]);
    } else {
        out[0] |= 0x80;
    }
}

double getDouble(const uint8_t* in)
{
    uint8_t b[8];
    std::memcpy(b, in, 8);
    if (b[0] & 0x80) {
        b[0] &= 0x7F;
    } else {
        for (int i = 0; i < 8; ++i) b[i] = uint8_t(~b[i]);
    }
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | b[i];
    return std::bit_cast<double>(bits);
}

// BCD: a first byte with the sign (0x80 set for positive) and the number of
// decimals, then 32 nibbles of digits, the last `decimals` of them after the
// point; negative values have every digit nibble complemented.
double getBcd(const uint8_t* in, int decimals)
{
    const bool negative = !(in[0] & 0x80);
    const uint8_t flip = negative ? 0x0F : 0x00;
    double v = 0;
    for (int i = 2; i < 34; ++i) {
        const uint8_t byte = in[i / 2];
        const uint8_t nibble = uint8_t(((i % 2) ? byte : byte >> 4) & 0x0F) ^ flip;
        v = v * 10 + (nibble > 9 ? 9 : nibble);
    }
    v /= std::pow(10.0, decimals);
    return negative ? -v : v;
}

void putBcd(uint8_t* out, double value, int decimals)
{
    std::memset(out, 0, 17);
    const bool negative = value < 0;
    double scaled = std::round(std::fabs(value) * std::pow(10.0, decimals));
    out[0] = uint8_t((negative ? 0x40 : 0xC0) | (decimals & 0x3F));
    const uint8_t flip = negative ? 0x0F : 0x00;
    for (int i = 33; i >= 2; --i) {
        const double digit = std::fmod(scaled, 10.0);
        scaled = std::floor(scaled / 10.0);
        const uint8_t nibble = uint8_t(uint8_t(digit) ^ flip);
        uint8_t& byte = out[i / 2];
        if (i % 2)
            byte = uint8_t((byte & 0xF0) | nibble);
        else
            byte = uint8_t((byte & 0x0F) | (nibble << 4));
    }
}

}  // namespace

FieldDef withDefaults(FieldDef f)
{
    if (isBlobType(f.type) && f.size == 0) f.size = kDefaultBlobLeader;
    return f;
}

RecordLayout::RecordLayout(const std::vector<FieldDef>& fields)
{
    int offset = 0;
    for (const FieldDef& f : fields) {
        FieldSlot s;
        s.type = f.type;
        s.size = f.size;
        s.offset = offset;
        s.width = widthOf(f.type, f.size);
        offset += s.width;
        slots_.push_back(s);
    }
    recordSize_ = offset;
}

int RecordLayout::widthOf(FieldType type, int size)
{
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
        return size;
    case FieldType::Short:
        return 2;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Time:
        return 4;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
        return 8;
    case FieldType::Logical:
        return 1;
    case FieldType::Bcd:
        return 17;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return size + 10;
    }
    return 0;
}

int RecordLayout::headerSizeByte(FieldType type, int size)
{
    if (type == FieldType::Bcd) return size;
    return widthOf(type, size);
}

int RecordLayout::sizeFromHeader(FieldType type, int sizeByte)
{
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
        return sizeByte >= 1 ? sizeByte : -1;
    case FieldType::Bcd:
        return sizeByte <= 32 ? sizeByte : -1;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        // A memo always keeps at least one byte inline; binary types may keep none.
        return sizeByte >= 10 ? sizeByte - 10 : -1;
    default:
        return sizeByte == widthOf(type, 0) ? 0 : -1;
    }
}

bool isBlank(const uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

void encodeScalar(const FieldSlot& slot, const Value& v, uint8_t* out)
{
    std::memset(out, 0, size_t(slot.width));
    if (v.isNull()) return;
    switch (slot.type) {
    case FieldType::Alpha:
    case FieldType::Bytes: {
        const std::string& s = v.asText();
        std::memcpy(out, s.data(), std::min<size_t>(s.size(), size_t(slot.width)));
        break;
    }
    case FieldType::Date:
        putBigEndianFlipped(out, uint64_t(int64_t(v.asDate().serial)), 4);
        break;
    case FieldType::Short:
        putBigEndianFlipped(out, uint64_t(v.asInt()), 2);
        break;
    case FieldType::Long:
    case FieldType::AutoInc:
        putBigEndianFlipped(out, uint64_t(v.asInt()), 4);
        break;
    case FieldType::Time:
        putBigEndianFlipped(out, uint64_t(int64_t(v.asTime())), 4);
        break;
    case FieldType::Currency:
    case FieldType::Number:
        putDouble(out, v.asFloat());
        break;
    case FieldType::Timestamp:
        putDouble(out, double(v.asTimestamp()) + kTimestampDayMs);
        break;
    case FieldType::Logical:
        out[0] = v.asBool() ? 0x81 : 0x80;
        break;
    case FieldType::Bcd:
        putBcd(out, v.asFloat(), slot.size);
        break;
    default:
        break;
    }
}

Value decodeScalar(const FieldSlot& slot, const uint8_t* in)
{
    switch (slot.type) {
    case FieldType::Alpha: {
        const void* end = std::memchr(in, 0, size_t(slot.width));
        const size_t n = end ? size_t(static_cast<const uint8_t*>(end) - in) : size_t(slot.width);
        if (n == 0) return {};
        return Value::fromText(std::string(reinterpret_cast<const char*>(in), n));
    }
    case FieldType::Bytes:
        if (isBlank(in, slot.width)) return {};
        return Value::fromBytes(std::string(reinterpret_cast<const char*>(in), size_t(slot.width)));
    default:
        break;
    }
    if (isBlank(in, slot.width)) return {};
    switch (slot.type) {
    case FieldType::Date:
        return Value::fromDate(Date{int32_t(signExtend(getBigEndianFlipped(in, 4), 4))});
    case FieldType::Short:
        return Value::fromInt(signExtend(getBigEndianFlipped(in, 2), 2));
    case FieldType::Long:
    case FieldType::AutoInc:
        return Value::fromInt(signExtend(getBigEndianFlipped(in, 4), 4));
    case FieldType::Time:
        return Value::fromTime(int32_t(signExtend(getBigEndianFlipped(in, 4), 4)));
    case FieldType::Currency:
    case FieldType::Number:
        return Value::fromFloat(getDouble(in));
    case FieldType::Timestamp:
        return Value::fromTimestamp(int64_t(std::llround(getDouble(in) - kTimestampDayMs)));
    case FieldType::Logical:
        return Value::fromBool(in[0] != 0x80);
    case FieldType::Bcd:
        return Value::fromFloat(getBcd(in, slot.size));
    default:
        return {};
    }
}

BlobRef readBlobRef(const FieldSlot& slot, const uint8_t* field)
{
    const uint8_t* p = field + slot.width - 10;
    BlobRef r;
    const uint32_t raw = le32(p);
    r.offset = raw & 0xFFFFFF00u;
    r.index = uint8_t(raw & 0xFF);
    r.length = le32(p + 4);
    r.modNr = le16(p + 8);
    return r;
}

void writeBlobRef(const FieldSlot& slot, const BlobRef& ref, uint8_t* field)
{
    uint8_t* p = field + slot.width - 10;
    putLe32(p, ref.offset | ref.index);
    putLe32(p + 4, ref.length);
    putLe16(p + 8, ref.modNr);
}

Status checkValue(const FieldDef& def, Value& v)
{
    if (v.isNull()) return Status::ok();
    const Value::Kind want = valueKindOf(def.type);
    if (v.kind() == want) {
        switch (def.type) {
        case FieldType::Alpha:
            if (v.asText().size() > size_t(def.size)) return msg::textTooLong(def.name, def.size);
            if (v.asText().find('\0') != std::string::npos) return msg::wrongKind(def.name);
            if (v.asText().empty()) v = Value();
            break;
        case FieldType::Bytes:
            if (v.asText().size() > size_t(def.size)) return msg::textTooLong(def.name, def.size);
            break;
        case FieldType::Short:
            if (v.asInt() < -32767 || v.asInt() > 32767) return msg::outOfRange(def.name);
            break;
        case FieldType::Long:
        case FieldType::AutoInc:
            if (v.asInt() < -2147483647LL || v.asInt() > 2147483647LL) return msg::outOfRange(def.name);
            break;
        case FieldType::Currency:
        case FieldType::Number:
        case FieldType::Bcd:
            if (!std::isfinite(v.asFloat())) return msg::outOfRange(def.name);
            break;
        case FieldType::Date:
            if (v.asDate().serial < 1 || v.asDate().serial > Date::fromYmd(9999, 12, 31).serial)
                return msg::outOfRange(def.name);
            break;
        case FieldType::Time:
            if (v.asTime() < 0 || v.asTime() >= 86400000) return msg::outOfRange(def.name);
            break;
        case FieldType::Memo:
        case FieldType::FmtMemo:
        case FieldType::Blob:
        case FieldType::Ole:
        case FieldType::Graphic:
            if (v.asText().empty()) v = Value();
            break;
        default:
            break;
        }
        return Status::ok();
    }
    if (want == Value::Kind::Float && v.kind() == Value::Kind::Int) {
        v = Value::fromFloat(double(v.asInt()));
        return Status::ok();
    }
    // Binary blobs and text blobs hold the same bytes.
    if (isBlobType(def.type) && (v.kind() == Value::Kind::Text || v.kind() == Value::Kind::Bytes)) {
        if (v.asText().empty())
            v = Value();
        else
            v = want == Value::Kind::Text ? Value::fromText(v.asText()) : Value::fromBytes(v.asText());
        return Status::ok();
    }
    return msg::wrongKind(def.name);
}

void putIndexShort(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t((v >> 8) ^ 0x80);
    p[1] = uint8_t(v);
}

uint16_t getIndexShort(const uint8_t* p) { return uint16_t(((p[0] ^ 0x80) << 8) | p[1]); }

std::string_view alphaText(const FieldSlot& slot, const uint8_t* rec)
{
    const uint8_t* in = rec + slot.offset;
    const void* end = std::memchr(in, 0, size_t(slot.width));
    const size_t n = end ? size_t(static_cast<const uint8_t*>(end) - in) : size_t(slot.width);
    return {reinterpret_cast<const char*>(in), n};
}

int compareKeys(const std::vector<KeyPart>& partsA, const uint8_t* a, const std::vector<KeyPart>& partsB,
                const uint8_t* b)
{
    for (size_t i = 0; i < partsA.size(); ++i) {
        const KeyPart& pa = partsA[i];
        const KeyPart& pb = partsB[i];
        int c;
        if (pa.slot.type == FieldType::Alpha) {
            const std::string_view ta = alphaText(pa.slot, a);
            const std::string_view tb = alphaText(pb.slot, b);
            if (ta.empty() || tb.empty())
                c = ta.empty() == tb.empty() ? 0 : (ta.empty() ? -1 : 1);
            else
                c = pa.caseless ? compareTextCaseless(ta, tb) : compareText(ta, tb);
        } else {
            c = std::memcmp(a + pa.slot.offset, b + pb.slot.offset, size_t(pa.slot.width));
        }
        if (c != 0) return pa.descending ? (c < 0 ? 1 : -1) : (c < 0 ? -1 : 1);
    }
    return 0;
}

std::string describeKey(const std::vector<Value>& values)
{
    std::string out;
    for (const Value& v : values) {
        if (!out.empty()) out += ", ";
        switch (v.kind()) {
        case Value::Kind::Null: out += "(\xFCres)"; break;
        case Value::Kind::Int: out += std::to_string(v.asInt()); break;
        case Value::Kind::Float: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%g", v.asFloat());
            out += buf;
            break;
        }
        case Value::Kind::Bool: out += v.asBool() ? "igen" : "nem"; break;
        case Value::Kind::Text: out += "\"" + v.asText() + "\""; break;
        case Value::Kind::Date: {
            int y, m, d;
            v.asDate().toYmd(y, m, d);
            char buf[32];
            std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", y, m, d);
            out += buf;
            break;
        }
        default: out += "?"; break;
        }
    }
    return out;
}

}  // namespace engine
