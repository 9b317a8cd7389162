#pragma once

#include "core/platform/result.h"

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <memory>

class Platform;
class QLockFile;
class QThreadPool;
class QTimer;
class Session;

/// Recovery copies of unsaved work, in the per-user state folder: for each run of the program a
/// copy of the document in the comment-file format (<id>.py), the original path and the time
/// beside it (<id>.info), the class's ratings when it has any (<id>.ratings), and a lock (<id>.lock) that the run holds while it lives. A copy whose
/// lock is free was left by a run that did not end cleanly.
///
/// The folder is trusted only when it is a real folder (no link) owned by the user and not
/// writable by group or others, as ssh treats ~/.ssh; and only regular files owned by the user
/// are read from it, each up to a bound. Nothing else there is ever opened.
class RecoveryStore
{
public:
    /// A copy left by another run.
    struct Copy
    {
        QString copyPath;
        QString originalPath; ///< "" for a document that had no file yet
        QDateTime saved;      ///< the earlier of the info file's time and the copy's own
        QString id;
        QString infoPath;     ///< where its info file is now (renamed while claimed)
        bool lockable = true; ///< set by claim(): false when its lock could not be taken (a full disk)
    };

    /// The largest info file that is read (a path and a time).
    static constexpr qint64 MaxInfoSize = 16 * 1024;
    /// The largest ratings file that is read (a class's 评价表 as CSV).
    static constexpr qint64 MaxRatingsSize = 1024 * 1024;
    /// The largest lock file that is looked at (QLockFile writes a few short lines).
    static constexpr qint64 MaxLockSize = 4 * 1024;

    /// $XDG_STATE_HOME/qhsy/recovery, by default ~/.local/state/qhsy/recovery.
    static QString defaultFolder();

    explicit RecoveryStore(QString folder = defaultFolder());
    ~RecoveryStore();

    /// The user whose folder and files are trusted: the effective user unless set.
    void setUser(uint uid) { m_uid = uid; }
    uint user() const { return m_uid; }

    /// Makes the folder (private to the user) and takes this run's lock. A folder that is not
    /// the user's own and private is refused, and never written.
    Result<void> open();
    /// Whether the folder is the user's own and private (the reason why not).
    Result<void> checkFolder() const;
    /// What the last open() gave (a failure before any).
    const Result<void> &opened() const { return m_opened; }

    /// Replaces this run's copy atomically, with the ratings as CSV (none: no ratings file).
    /// Safe from a worker thread.
    Result<void> save(const QByteArray &commentFile, const QString &originalPath, const QDateTime &when,
                      const QByteArray &ratings = {});
    /// The ratings kept with a copy; empty when it has none (or none that is the user's own).
    QByteArray ratings(const Copy &copy) const;
    /// Removes this run's copy (a clean save, close or exit).
    void discard();

    /// The copies of runs that ended without removing theirs, oldest first. Copies of runs that
    /// still live, copies claimed by a live run, and anything in a folder that is not trusted
    /// are never among them.
    QList<Copy> leftOver() const;
    /// Claims a copy for this run (renames its info file atomically), so that no other run
    /// offers it too, and tries its lock. False when another run was first.
    bool claim(Copy &copy) const;
    /// Gives a claimed copy back, for a later start.
    void release(Copy &copy) const;
    /// Removes a copy left by another run.
    void remove(const Copy &copy) const;

    /// Whether path is one of the user's own files: resolved through links, a regular file
    /// owned by the user in a folder that the user (or root) owns and group and others cannot
    /// write; or, not there yet, a name in such a folder of the user's.
    bool isUsersOwn(const QString &path) const;

    const QString &folder() const { return m_folder; }

private:
    QString path(const QString &id, const QString &suffix) const;
    QString claimPath(const QString &id, const QString &claimant) const;
    void releaseAbandonedClaims() const;

    QString m_folder;
    uint m_uid;
    QString m_id;
    Result<void> m_opened = Failure{};
    std::unique_ptr<QLockFile> m_lock;
    QMutex m_writing;
};

/// Writes a recovery copy while the document is modified: within 30 seconds of a change (not
/// more often while typing goes on) and at once when asked (leaving a comment box). The
/// document is composed on the window's thread, the file written on a worker thread. A saved
/// document has no copy. When no copy can be written the teacher is told once, and editing goes
/// on without them.
class Recovery : public QObject
{
    Q_OBJECT

public:
    static constexpr int Delay = 30000; // ms

    /// The store may have failed to open: the first copy due then tells why. A document that is
    /// modified already (a copy just recovered) gets its copy at once.
    Recovery(Session &session, RecoveryStore &store, Platform &platform, QObject *parent = nullptr);
    ~Recovery() override;

    /// Writes the copy now, if the document changed since the last copy.
    void writeNow();
    /// Waits for a copy being written (tests, the end of the run).
    void waitForWrites();

private:
    void changed();
    void tellOnce(const QString &reason);

    Session &m_session;
    RecoveryStore &m_store;
    Platform &m_platform;
    QTimer *m_timer = nullptr;
    /// One writer at a time, so that copies land in the order they were taken.
    std::unique_ptr<QThreadPool> m_writer;
    bool m_changedSinceCopy = false;
    bool m_told = false;
};
