#pragma once

#include <QByteArray>
#include <QString>

/// Makes the desktop know comment files: a MIME type recognised by the file's first bytes, a
/// desktop entry that opens it with this program, and this program as its default application.
/// Everything is written per user, under the XDG data and config homes.
namespace FileTypeRegistration {

inline const QString MimeType = QStringLiteral("application/x-qhsy-comment");
inline const QString DesktopFileName = QStringLiteral("qhsy.desktop");
/// The comment type's icon in the icon theme (the name the desktop gives a MIME type's icon
/// by default); the images are r.png and r.svg of the program folder.
inline const QString IconName = QStringLiteral("application-x-qhsy-comment");

/// The shared-MIME-info package: comment files by their header bytes (with a priority above
/// every *.py glob's weight, so the header decides). The package installed with the program
/// (`systemWide`) also has a *.py glob, weighted below the Python types' globs so that Python
/// scripts keep their type: it sits in the same MIME folder as those, and Qt needs a glob to
/// let the header decide. The per-user package has no glob: Qt looks up globs one MIME folder
/// at a time and stops at the first folder with a match, so a *.py glob in the user's folder
/// would hide the system's Python globs from Qt programs. GLib-based file managers recognise
/// comment files by the header alone.
QByteArray mimePackage(bool systemWide);

/// One argument for a desktop entry's Exec key: quoted when it holds blanks or reserved
/// characters, with the escapes of the quoted form, "%" doubled, and the escapes of a
/// string value on top.
QString execArgument(const QString &argument);

/// The per-user desktop entry that starts the executable with the file; the icon is a path.
QByteArray desktopEntry(const QString &executable, const QString &iconPath);

/// Whether the desktop may be told to start this executable for the user: it and every folder
/// above it belong to the user or to root and no one else may write to them. A program run from
/// a folder others can write (a build tree under /tmp, say) could be replaced by another user's
/// program once it is gone, and the desktop would start that for the teacher's files.
bool executableIsTrusted(const QString &executable, uint user);

/// The mimeapps.list content with this program as the comment type's default application:
/// the line is added to (or replaced in) [Default Applications], every other line stays.
QByteArray withDefaultApplication(const QByteArray &mimeappsList);

} // namespace FileTypeRegistration

/// Writes the MIME package, the icons, the desktop entry and the default-application line under
/// the given homes (only what differs from what is there), then refreshes the desktop's caches
/// with update-mime-database and update-desktop-database when they exist. The entry starts
/// `executable` and shows qhsy.png of the program folder; comment files show r.png / r.svg
/// (installed as the theme icon IconName). Failures are ignored: the program works the same
/// without the registration.
void RegisterCommentFileType(const QString &executable, const QString &programFolder, const QString &dataHome,
                             const QString &configHome);

/// The same under the user's XDG data and config homes, for a trusted executable only (see
/// executableIsTrusted); for any other nothing is written and nothing is said.
void RegisterCommentFileType(const QString &executable, const QString &programFolder);
