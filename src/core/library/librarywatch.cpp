#include "core/library/librarywatch.h"

#include <QFileInfo>

LibraryWatch::LibraryWatch(const QString &path)
{
    setPath(path);
}

void LibraryWatch::setPath(const QString &path)
{
    m_path = path;
    m_seen = stampNow();
}

bool LibraryWatch::changed()
{
    const Stamp now = stampNow();
    if (now == m_seen)
        return false;
    m_seen = now;
    return true;
}

LibraryWatch::Stamp LibraryWatch::stampNow() const
{
    if (m_path.isEmpty())
        return {};
    const QFileInfo info(m_path); // a fresh QFileInfo: no cached answer
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified()};
}
