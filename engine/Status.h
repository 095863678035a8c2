// Status and Result: how every engine operation reports success or failure.
//
// The engine throws nothing. An operation that can fail returns a Status (or a
// Result<T> carrying a value on success); the caller must look at it. The
// message is Hungarian, UTF-8, and complete enough to show to the user after
// the program's own prefix ("SQL hiba:", "Hiba: ", ...).
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace engine {

// Coarse kind of a failure, for callers that branch on it.
enum class ErrorCode {
    Ok = 0,
    NotFound,       // no such table, field, index, file or row
    AlreadyExists,  // the table, field or index exists already
    DuplicateKey,   // a row with the same primary key exists
    InvalidValue,   // too long, not Windows-1250, wrong type, impossible date
    Syntax,         // SQL or filter text that cannot be parsed
    Corrupt,        // damaged, truncated or foreign file
    Locked,         // held by another process or handle ("table in use")
    ReadOnly,       // change through a read-only handle
    IoError,        // the operating system refused a read, write or sync
    Unsupported,    // valid but outside what this engine does
};

class [[nodiscard]] Status {
public:
    Status() = default;
    static Status ok() { return Status(); }
    static Status error(ErrorCode code, std::string message)
    {
        assert(code != ErrorCode::Ok);
        Status s;
        s.code_ = code;
        s.message_ = std::move(message);
        return s;
    }

    bool isOk() const { return code_ == ErrorCode::Ok; }
    ErrorCode code() const { return code_; }
    const std::string& message() const { return message_; }

private:
    ErrorCode code_ = ErrorCode::Ok;
    std::string message_;
};

// A value or the Status that explains why there is none.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status error) : status_(std::move(error)) { assert(!status_.isOk()); }

    bool isOk() const { return status_.isOk(); }
    const Status& status() const { return status_; }

    T& value() { assert(isOk()); return *value_; }
    const T& value() const { assert(isOk()); return *value_; }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

private:
    Status status_;
    std::optional<T> value_;
};

}  // namespace engine
