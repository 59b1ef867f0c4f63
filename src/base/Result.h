#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace hw {

/// A failure the user is told about: the text of the message, whole and ready to show.
struct Error {
    std::string text;
};

/// The one way the core reports a failure: a value, or an error text for the user. The core
/// never shows anything itself; the screen turns the text into a message box.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    /// The text for the user; empty when the result holds a value.
    const std::string& error() const {
        static const std::string none;
        return ok() ? none : std::get<1>(m_state).text;
    }

private:
    std::variant<T, Error> m_state;
};

/// A result that carries no value: success, or an error text.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error.text)) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const {
        static const std::string none;
        return m_error ? *m_error : none;
    }

private:
    std::optional<std::string> m_error;
};

using Status = Result<void>;

} // namespace hw
