#include "core/app/programlocation.h"

#include "core/app/startupsequence.h"
#include "core/platform/fileexists.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramLocation {

namespace {

QString asFolder(const QString &path)
{
    QString folder = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

/// How many of the required data files the folder holds.
int requiredFilesIn(const QString &folder)
{
    int count = 0;
    for (const QString &file : ProgramFiles::Required)
        count += FileExists(folder + file);
    return count;
}

/// Whether any of the required data files stands in the folder, readable or not.
bool holdsAnyRequiredFile(const QString &folder)
{
    for (const QString &file : ProgramFiles::Required) {
        if (QFileInfo::exists(folder + file))
            return true;
    }
    return false;
}

bool copyFile(const QString &from, const QString &to)
{
    const Result<QByteArray> bytes = TextFile::readAll(from);
    return bytes && QDir().mkpath(QFileInfo(to).absolutePath()) && TextFile::saveAtomically(to, *bytes);
}

/// Copies every file of the installed data that the user folder lacks. The required files
/// come last and go in together: when one of them cannot be copied, those copied with it are
/// taken away again, so that the next start is a first start once more.
void makeUserCopy(const QString &installed, const QString &user)
{
    const QDir source(installed);
    QDirIterator it(installed, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = source.relativeFilePath(it.next());
        if (!ProgramFiles::Required.contains(relative) && !QFileInfo::exists(user + relative))
            copyFile(installed + relative, user + relative);
    }
    QStringList copied;
    for (const QString &file : ProgramFiles::Required) {
        if (!copyFile(installed + file, user + file)) {
            for (const QString &done : std::as_const(copied))
                QFile::remove(user + done);
            return;
        }
        copied << file;
    }
}

} // namespace

QString installedDataFolder(const QString &executableFolder)
{
    const QString executable = asFolder(executableFolder);
    const QString data = asFolder(executable + QStringLiteral("../share/qhsy"));
    // A folder that holds data files of its own is a portable copy, whatever its name.
    if (QDir(executable).dirName() != u"bin" || !QFileInfo(data).isDir() || holdsAnyRequiredFile(executable))
        return {};
    return data;
}

QString resolve(const QString &executableFolder, const QString &userFolder)
{
    const QString installed = installedDataFolder(executableFolder);
    if (installed.isEmpty())
        return asFolder(executableFolder);
    if (userFolder.isEmpty())
        return installed;
    const QString user = asFolder(userFolder);
    // Made once: afterwards the folder is the teacher's, and a file missing from it is
    // reported at start-up like a file missing from any program folder.
    if (!holdsAnyRequiredFile(user) && requiredFilesIn(installed) == ProgramFiles::Required.size())
        makeUserCopy(installed, user);
    return user;
}

QString resolve()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return resolve(QCoreApplication::applicationDirPath(),
                   dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/qhsy"));
}

} // namespace ProgramLocation
