#pragma once

#include <QString>

#include <optional>
#include <utility>

// Why an operation failed, in words for the operator or the log. Converts to
// any Result, so a function can `return Failure(text);`.
struct Failure {
    explicit Failure(QString text) : reason(std::move(text)) {}
    QString reason;
};

// A value, or the reason there is none. C++20 has no std::expected; this is
// the one failure convention of the engine, press, shop and creation APIs.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_error(std::move(failure.reason)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }

    // Empty when ok().
    const QString& error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// Success without a value, or the reason.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failed(true), m_error(std::move(failure.reason)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};
