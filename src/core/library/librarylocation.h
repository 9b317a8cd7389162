#pragma once

#include <QString>

class Platform;

/// Which comment library the teacher uses: the teacher's own in the program folder (as always),
/// or any file, typically one a grade shares in a folder on the school network. The choice is
/// kept with the program's settings (Platform::setting, under "library/path").
class LibraryLocation
{
public:
    LibraryLocation(Platform &platform, QString ownPath);

    /// The library in use: the chosen file, or the teacher's own.
    QString path() const;
    const QString &ownPath() const { return m_ownPath; }
    bool isOwn() const;

    /// Uses another library from now on; an empty path (or the own one) goes back to the own.
    void choose(const QString &path);

    /// What the window calls the library in use: the file's base name ("年级组评语库"), or
    /// "我的评语库" for the teacher's own.
    QString name() const;

    /// Why the library in use cannot be reached, in the teacher's words; empty when it can.
    QString unreachableReason() const;

private:
    Platform &m_platform;
    QString m_ownPath;
};
