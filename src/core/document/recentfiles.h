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

/// The menu item of the file at `index` (0-based) of `list`: "&1 三年级二班.py". When another
/// file of the list has the same name, its folder follows, so that the two can be told apart:
/// "&1 三年级二班.py（2024秋）", the whole folder where the folders' names are the same too.
QString menuText(int index, const QStringList &list);

} // namespace RecentFiles
