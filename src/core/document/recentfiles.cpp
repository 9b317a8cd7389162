#include "core/document/recentfiles.h"

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

QString menuText(int index, const QString &path)
{
    // An ampersand in the name would be taken for an access key.
    QString name = QFileInfo(path).fileName();
    name.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

} // namespace RecentFiles
