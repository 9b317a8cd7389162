#pragma once

#include "core/platform/result.h"

#include <QLockFile>
#include <QString>

#include <chrono>
#include <functional>

/// Who holds a library's lock, as far as the lock file tells.
struct LockHolder
{
    QString host;
    QString user;
    qint64 pid = 0;

    /// "张老师（电脑 office-3）" style text for a message; what is unknown is left out.
    QString describe() const;
};

/// How a change waits for a lock another teacher holds.
struct LockWait
{
    /// Give up after this long.
    std::chrono::milliseconds limit{30000};
    /// Tell the teacher once the wait has lasted this long.
    std::chrono::milliseconds noticeAfter{3000};
    /// Called once, after noticeAfter, with who holds the lock; may be empty. Core code never
    /// shows anything itself: a window or the command line says it in its own way.
    std::function<void(const LockHolder &)> notice{};
    /// Called once when a wait that was noticed ends, whether the lock was had or not, so that
    /// whatever the notice showed can go before the change goes on or its failure is told.
    std::function<void()> ended{};
    /// Asked between tries once the wait was noticed: true when the teacher stopped waiting.
    std::function<bool()> stopped{};
};

/// The lock beside a library file (its name with ".lock") that every change of the library
/// holds while it reads, changes and writes the file, so that teachers changing one shared
/// library at once never lose each other's changes. A lock whose owner is gone is taken over: on
/// the same computer at once, from another computer after StaleAfter. Released when destroyed.
class LibraryLock
{
public:
    /// Longer than any change takes, so a live owner is never robbed.
    static constexpr std::chrono::milliseconds StaleAfter{15000};

    explicit LibraryLock(const QString &libraryPath);
    LibraryLock(const LibraryLock &) = delete;
    LibraryLock &operator=(const LibraryLock &) = delete;

    static QString lockPathFor(const QString &libraryPath);

    /// Takes the lock, waiting as `wait` says. Fails as FailureKind::Stopped when another still
    /// holds it at the limit (the text names who), as FailureKind::WriteFailed when no lock file
    /// can be made beside the library (a read-only folder).
    Result<void> acquire(const LockWait &wait);

    /// Who holds the lock now; empty fields when nobody does or the file says nothing.
    LockHolder holder() const;

private:
    QString m_libraryPath;
    QString m_lockPath;
    QLockFile m_file;
};
