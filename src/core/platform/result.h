#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

/// Why something failed, in the teacher's language. Converts to a Result of any type, so a
/// function returns `Failure{reason}` as it would return a value.
struct Failure
{
    QString error;
};

/// What every reader and writer returns: its value, or why there is none (the error text, in
/// the teacher's language, ready for a message). Like std::expected<T, QString>, which the
/// compiler of Debian 12 does not have yet.
template<typename T> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {}
    Result(Failure failure)
        : m_error(std::move(failure.error))
    {}

    /// Whether there is a value.
    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    /// The value; only when ok().
    const T &value() const &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    T &value() &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    T &&value() &&
    {
        Q_ASSERT(ok());
        return std::move(*m_value);
    }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }
    /// Why there is no value; empty when ok().
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

/// The result of an action with no value: done, or why not.
template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_error(std::move(failure.error))
        , m_failed(true)
    {}

    /// Whether the action succeeded.
    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    /// Why it failed; empty when ok().
    const QString &error() const { return m_error; }

private:
    QString m_error;
    bool m_failed = false;
};

/// Success of an action with no value.
inline Result<void> done()
{
    return {};
}
