#include "app/programlocation.h"

#include "app/startupsequence.h"
#include "platform/fileexists.h"
#include "platform/textfile.h"

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

bool holdsRequiredFiles(const QString &folder)
{
    for (const QString &file : StartupSequence::RequiredFiles) {
        if (!FileExists(folder + file))
            return false;
    }
    return true;
}

bool sameFolder(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return canonicalA.isEmpty() ? QDir::cleanPath(a) == QDir::cleanPath(b)
                                : canonicalA == QFileInfo(b).canonicalFilePath();
}

void copyMissingFiles(const QString &source, const QString &target)
{
    const QDir sourceDir(source);
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + sourceDir.relativeFilePath(from);
        if (QFileInfo::exists(to))
            continue;
        const TextFile::ReadResult bytes = TextFile::readAll(from);
        if (bytes.ok && QDir().mkpath(QFileInfo(to).absolutePath()))
            TextFile::saveAtomically(to, bytes.bytes);
    }
}

} // namespace

QString resolve(const QString &executableFolder, const QString &userFolder,
                const QStringList &installedFolders)
{
    const QString executable = asFolder(executableFolder);
    if (holdsRequiredFiles(executable) || userFolder.isEmpty())
        return executable;
    const QString user = asFolder(userFolder);
    for (const QString &installed : installedFolders) {
        const QString source = asFolder(installed);
        if (sameFolder(source, user) || !holdsRequiredFiles(source))
            continue;
        copyMissingFiles(source, user);
        break;
    }
    return holdsRequiredFiles(user) ? user : executable;
}

QString resolve()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QStringList installed{executableFolder + QStringLiteral("/../share/qhsy")};
    installed += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                           QStringLiteral("qhsy"), QStandardPaths::LocateDirectory);
    return resolve(executableFolder,
                   dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/qhsy"), installed);
}

} // namespace ProgramLocation
