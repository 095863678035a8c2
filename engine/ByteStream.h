// ByteStream: little-endian writing and bounds-checked reading of the
// journal's record payloads.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "Value.h"

namespace engine {

class ByteWriter {
public:
    void u8(uint8_t v) { out_.push_back(char(v)); }
    void u16(uint16_t v) { raw(&v, 2); }
    void u32(uint32_t v) { raw(&v, 4); }
    void u64(uint64_t v) { raw(&v, 8); }
    void bytes(std::string_view s)
    {
        u32(uint32_t(s.size()));
        out_.append(s);
    }
    void value(const Value& v)
    {
        u8(uint8_t(v.kind()));
        switch (v.kind()) {
        case Value::Kind::Null: break;
        case Value::Kind::Int:
        case Value::Kind::Time:
        case Value::Kind::Timestamp: u64(uint64_t(v.asInt())); break;
        case Value::Kind::Float: {
            double d = v.asFloat();
            raw(&d, 8);
            break;
        }
        case Value::Kind::Bool: u8(v.asBool() ? 1 : 0); break;
        case Value::Kind::Text:
        case Value::Kind::Bytes: bytes(v.asText()); break;
        case Value::Kind::Date: u32(uint32_t(v.asDate().serial)); break;
        }
    }
    std::string& str() { return out_; }

private:
    void raw(const void* p, size_t n) { out_.append(static_cast<const char*>(p), n); }
    std::string out_;
};

class ByteReader {
public:
    explicit ByteReader(std::string_view in) : in_(in) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == in_.size(); }
    uint8_t u8() { uint8_t v = 0; raw(&v, 1); return v; }
    uint16_t u16() { uint16_t v = 0; raw(&v, 2); return v; }
    uint32_t u32() { uint32_t v = 0; raw(&v, 4); return v; }
    uint64_t u64() { uint64_t v = 0; raw(&v, 8); return v; }
    std::string_view bytes()
    {
        const uint32_t n = u32();
        if (!ok_ || n > in_.size() - pos_) {
            ok_ = false;
            return {};
        }
        std::string_view s = in_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    Value value()
    {
        switch (Value::Kind(u8())) {
        case Value::Kind::Null: return {};
        case Value::Kind::Int: return Value::fromInt(int64_t(u64()));
        case Value::Kind::Time: return Value::fromTime(int32_t(int64_t(u64())));
        case Value::Kind::Timestamp: return Value::fromTimestamp(int64_t(u64()));
        case Value::Kind::Float: {
            double d = 0;
            raw(&d, 8);
            return Value::fromFloat(d);
        }
        case Value::Kind::Bool: return Value::fromBool(u8() != 0);
        case Value::Kind::Text: return Value::fromText(std::string(bytes()));
        case Value::Kind::Bytes: return Value::fromBytes(std::string(bytes()));
        case Value::Kind::Date: return Value::fromDate(Date{int32_t(u32())});
        }
        ok_ = false;
        return {};
    }

private:
    void raw(void* p, size_t n)
    {
        if (!ok_ || n > in_.size() - pos_) {
            ok_ = false;
            std::memset(p, 0, n);
            return;
        }
        std::memcpy(p, in_.data() + pos_, n);
        pos_ += n;
    }
    std::string_view in_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace engine
