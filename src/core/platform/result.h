#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

/// Which step failed, for a caller that tells the teacher something different for each (a
/// damaged library file is not a full disk). Most callers only show the error text.
enum class FailureKind {
    Other,
    Unreadable,  ///< the file could not be read or was refused; nothing was written
    WriteFailed, ///< the new file could not be written; the old one is untouched
    NotFound,    ///< what the call names is not there; nothing was changed
    Empty,       ///< there was nothing to act on; nothing was changed
    Stopped,     ///< a program it waited for ran out of time or was cancelled; nothing was changed
};

/// Why something failed, in the teacher's language. Converts to a Result of any type, so a
/// function returns `Failure{reason}` as it would return a value.
struct Failure
{
    QString error;
    FailureKind kind = FailureKind::Other;
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
        : m_failure(std::move(failure))
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
    /// The value, or fallback when there is none.
    T valueOr(T fallback) const & { return ok() ? *m_value : std::move(fallback); }
    /// Why there is no value; empty when ok().
    const QString &error() const { return m_failure.error; }
    /// Which step failed; Other when ok().
    FailureKind kind() const { return m_failure.kind; }
    /// The failure as it is, to pass on; only when !ok().
    const Failure &failure() const { return m_failure; }

private:
    std::optional<T> m_value;
    Failure m_failure;
};

/// The result of an action with no value: done, or why not.
template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failure(std::move(failure))
        , m_failed(true)
    {}

    /// Whether the action succeeded.
    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    /// Why it failed; empty when ok().
    const QString &error() const { return m_failure.error; }
    /// Which step failed; Other when ok().
    FailureKind kind() const { return m_failure.kind; }
    /// The failure as it is, to pass on; only when !ok().
    const Failure &failure() const { return m_failure; }

private:
    Failure m_failure;
    bool m_failed = false;
};

/// Success of an action with no value.
inline Result<void> done()
{
    return {};
}
