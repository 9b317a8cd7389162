#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>

#include <cstdlib>

// What the fuzz targets share: a broken property stops the run where libFuzzer sees it.

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

/// The lines as strings of their own.
inline QStringList toList(const QList<QStringView> &views)
{
    QStringList lines;
    lines.reserve(views.size());
    for (QStringView line : views)
        lines.append(line.toString());
    return lines;
}
