// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vantrel {

// A value or a readable description of why there is none. Failures that the user
// caused travel as values; no exception leaves the core.
template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}   // NOLINT: implicit on purpose
    static Result failure(std::string description) {
        Result r;
        r.error_ = std::move(description);
        return r;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

// For operations that return nothing on success.
struct Done {};
using Status = Result<Done>;
inline Status success() { return Done{}; }

}  // namespace vantrel
