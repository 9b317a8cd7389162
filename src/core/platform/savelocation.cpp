#include "core/platform/savelocation.h"

#include <QDir>
#include <QFileInfo>

namespace SaveLocation {

QString proposedPath(const QString &classPath, const QString &suffix)
{
    if (classPath.isEmpty())
        return QString();
    const QFileInfo file(classPath);
    return QDir(startFolder(file.absolutePath())).filePath(file.completeBaseName() + u'.' + suffix);
}

QString startFolder(const QString &folder)
{
    // Nothing the teacher saves belongs in the kernel's views of processes and devices.
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    for (const QString &root : {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")}) {
        if (clean == root || clean.startsWith(root + u'/'))
            return QDir::homePath();
    }
    return clean;
}

} // namespace SaveLocation
