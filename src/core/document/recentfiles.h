#pragma once

#include <QString>
#include <QStringList>

/// The comment files opened or saved last, newest first, as 文件 lists them.
namespace RecentFiles {

/// How many the menu lists.
inline constexpr int Max = 4;

/// The list with `path` put first (and not again further down), at most Max long.
QStringList withOpened(const QStringList &list, const QString &path);

/// The files of the list that still exist, at most Max.
QStringList existing(const QStringList &list);

/// The menu item of the file at `index` (0-based): "&1 三年级二班.py".
QString menuText(int index, const QString &path);

} // namespace RecentFiles
