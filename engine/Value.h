// Value: one field value as the engine stores and returns it, and Date, the
// calendar date the tables keep.
//
// Text is single-byte Windows-1250 throughout the engine; Codepage.h converts
// at the border. A Value is null (blank) or holds exactly one kind; blank is
// distinct from 0 and from the empty text.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace engine {

// A calendar date as a day number: 1 is 1 January of year 1 in the proleptic
// Gregorian calendar (the serial that Paradox date fields store).
struct Date {
    int32_t serial = 0;

    static Date fromYmd(int year, int month, int day);  // no validation; see isValidYmd
    static bool isValidYmd(int year, int month, int day);
    static Date today();                                 // local calendar date
    void toYmd(int& year, int& month, int& day) const;
    Date addDays(int32_t days) const { return Date{serial + days}; }

    friend auto operator<=>(const Date&, const Date&) = default;
};

// The one mapping between a timestamp and its date and time of day, shared by
// the engine, the data sets and the tools so that all read the same moment.
constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t timestampOf(Date d, int64_t msOfDay) { return int64_t(d.serial - 1) * kMsPerDay + msOfDay; }
constexpr Date dateOfTimestamp(int64_t ms)
{
    return Date{int32_t((ms >= 0 ? ms / kMsPerDay : (ms - kMsPerDay + 1) / kMsPerDay) + 1)};
}
constexpr int32_t timeOfTimestamp(int64_t ms) { return int32_t(ms - timestampOf(dateOfTimestamp(ms), 0)); }

class Value {
public:
    enum class Kind : uint8_t { Null, Int, Float, Bool, Text, Bytes, Date, Time, Timestamp };

    Value() = default;  // null
    static Value fromInt(int64_t v) { return Value(Kind::Int, v); }
    static Value fromFloat(double v) { return Value(Kind::Float, v); }
    static Value fromBool(bool v) { return Value(Kind::Bool, v); }
    static Value fromText(std::string cp1250) { return Value(Kind::Text, std::move(cp1250)); }
    static Value fromBytes(std::string bytes) { return Value(Kind::Bytes, std::move(bytes)); }
    static Value fromDate(Date d) { return Value(Kind::Date, d); }
    // Milliseconds since midnight.
    static Value fromTime(int32_t ms) { return Value(Kind::Time, int64_t(ms)); }
    // Milliseconds since 1 January of year 1, 00:00 (Date serial 1).
    static Value fromTimestamp(int64_t ms) { return Value(Kind::Timestamp, ms); }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    int64_t asInt() const { return std::get<int64_t>(v_); }         // Int, Time, Timestamp
    double asFloat() const { return std::get<double>(v_); }         // Float
    bool asBool() const { return std::get<bool>(v_); }              // Bool
    const std::string& asText() const { return std::get<std::string>(v_); }  // Text, Bytes
    Date asDate() const { return std::get<Date>(v_); }              // Date
    int32_t asTime() const { return int32_t(std::get<int64_t>(v_)); }
    int64_t asTimestamp() const { return std::get<int64_t>(v_); }

    // Same kind and same contents (text compared byte by byte).
    friend bool operator==(const Value& a, const Value& b) { return a.kind_ == b.kind_ && a.v_ == b.v_; }

private:
    using Storage = std::variant<std::monostate, int64_t, double, bool, std::string, Date>;
    template <class T>
    Value(Kind k, T&& v) : kind_(k), v_(std::forward<T>(v)) {}

    Kind kind_ = Kind::Null;
    Storage v_;
};

}  // namespace engine
