#include "core/document/recentfiles.h"

#include <QDir>
#include <QFileInfo>

namespace RecentFiles {

QStringList withOpened(const QStringList &list, const QString &path)
{
    QStringList result{path};
    for (const QString &other : list) {
        if (other != path && !other.isEmpty() && result.size() < Max)
            result.append(other);
    }
    return result;
}

QStringList existing(const QStringList &list)
{
    QStringList result;
    for (const QString &path : list) {
        if (QFileInfo(path).isFile() && result.size() < Max)
            result.append(path);
    }
    return result;
}

QString menuText(int index, const QStringList &list)
{
    const QFileInfo file(list.at(index));
    const QString folderName = file.dir().dirName();
    bool sameName = false;
    bool sameFolderName = false;
    for (int other = 0; other < list.size(); ++other) {
        const QFileInfo otherFile(list.at(other));
        if (other == index || otherFile.fileName() != file.fileName())
            continue;
        sameName = true;
        sameFolderName = sameFolderName || otherFile.dir().dirName() == folderName;
    }
    QString shown = file.fileName();
    if (sameName)
        shown += QStringLiteral("（%1）").arg(sameFolderName ? QDir::toNativeSeparators(file.absolutePath())
                                                             : folderName);
    // An ampersand in a name would be taken for an access key.
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace RecentFiles
