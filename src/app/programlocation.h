#pragma once

#include <QString>
#include <QStringList>

/// Where the program's data files are: beside the executable when they stand there (the build
/// and a portable copy), otherwise in a folder of the user's own, filled from the installed
/// copy, so that the teacher's normal.pyn and pyk.vxd can be changed without root.
namespace ProgramLocation {

/// The program folder, ending with "/": `executableFolder` when it holds the required data
/// files; otherwise `userFolder`, after every file of the first complete folder among
/// `installedFolders` that the user folder lacks has been copied into it (files already there
/// are kept); `executableFolder` when no folder holds the files.
QString resolve(const QString &executableFolder, const QString &userFolder,
                const QStringList &installedFolders);

/// The same for the running program: the installed data is looked for in <bindir>/../share/qhsy/
/// and in the XDG data folders, the user folder is <XDG_DATA_HOME>/qhsy/.
QString resolve();

} // namespace ProgramLocation
