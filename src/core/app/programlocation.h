#pragma once

#include <QString>

/// Where the program's data files are. A build or a portable copy keeps them beside its
/// executable. An installed program (the executable in <prefix>/bin, the data in
/// <prefix>/share/qhsy) keeps the teacher's own copy in a folder of the user's, so that
/// normal.pyn, pyk.vxd and printsetup.vxd can be changed without root.
namespace ProgramLocation {

/// The installed data folder <prefix>/share/qhsy/ of an executable folder <prefix>/bin that
/// holds none of the required data files; "" for any other executable folder.
QString installedDataFolder(const QString &executableFolder);

/// The program folder, ending with "/". For an installed program: `userFolder`, made from the
/// installed data at the first start there (when it holds none of the required files and the
/// installed data holds all of them; nothing in it is ever replaced), or the installed data
/// folder when there is no user folder. For every other program: `executableFolder`, whatever
/// it holds; the start-up check tells the teacher of a missing file.
QString resolve(const QString &executableFolder, const QString &userFolder);

/// The same for the running program; the user folder is <XDG_DATA_HOME>/qhsy/.
QString resolve();

} // namespace ProgramLocation
