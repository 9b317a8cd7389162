#pragma once

#include <QDateTime>
#include <QString>

/// Notices that a library file was changed, by another teacher or another window, from its size
/// and modification time. File-change notices do not arrive over network filesystems (SMB, NFS),
/// so the library window asks every few seconds and whenever it gets the focus.
class LibraryWatch
{
public:
    explicit LibraryWatch(const QString &path = QString());

    /// Watches another file, taking its present state as seen.
    void setPath(const QString &path);
    const QString &path() const { return m_path; }

    /// Whether the file's size or time differs from when it was last seen (a file that appears or
    /// goes counts as well); the present state is then taken as seen.
    bool changed();

private:
    struct Stamp
    {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;

        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    Stamp stampNow() const;

    QString m_path;
    Stamp m_seen;
};
