#pragma once
// The outcome of work at a file or device boundary (serial line, receiver
// library, settings text, file replacement): a value, or an error whose text
// names the file (and line) or the device and gives the system's reason,
// ready for the event log. Exceptions are kept for start-up and for the
// engine's refusal of an element set, which are caught in one place each.
#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace aostrack {

// Why something failed, as one line for the operator.
struct Failure {
    QString Text;
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_outcome(std::in_place_index<0>, std::move(value))
    {
    }
    Result(Failure failure)
        : m_outcome(std::in_place_index<1>, std::move(failure))
    {
    }

    bool Ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return Ok(); }
    // Only on success.
    const T& Value() const { return std::get<0>(m_outcome); }
    T& Value() { return std::get<0>(m_outcome); }
    const T& operator*() const { return Value(); }
    const T* operator->() const { return &Value(); }
    // Empty on success.
    QString Error() const { return Ok() ? QString() : std::get<1>(m_outcome).Text; }

    // A success holding value.
    friend bool operator==(const Result& result, const T& value)
    {
        return result.Ok() && result.Value() == value;
    }

private:
    std::variant<T, Failure> m_outcome;
};

// Success without a value, or the failure.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure)
        : m_failure(std::move(failure))
    {
    }

    bool Ok() const { return !m_failure; }
    explicit operator bool() const { return Ok(); }
    QString Error() const { return m_failure ? m_failure->Text : QString(); }

private:
    std::optional<Failure> m_failure;
};

} // namespace aostrack
