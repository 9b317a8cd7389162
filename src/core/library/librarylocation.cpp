#include "core/library/librarylocation.h"

#include "core/platform/platform.h"

#include <QFileInfo>

namespace {

/// Where the choice is kept among the program's settings.
const QString LibraryKey = QStringLiteral("library/path");

} // namespace

LibraryLocation::LibraryLocation(Platform &platform, QString ownPath)
    : m_platform(platform)
    , m_ownPath(std::move(ownPath))
{}

QString LibraryLocation::path() const
{
    const QString chosen = m_platform.setting(LibraryKey).toString();
    return chosen.isEmpty() ? m_ownPath : chosen;
}

bool LibraryLocation::isOwn() const
{
    return QFileInfo(path()) == QFileInfo(m_ownPath);
}

void LibraryLocation::choose(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path) == QFileInfo(m_ownPath))
        m_platform.setSetting(LibraryKey, QString());
    else
        m_platform.setSetting(LibraryKey, QFileInfo(path).absoluteFilePath());
}

QString LibraryLocation::name() const
{
    return isOwn() ? QStringLiteral("我的评语库") : QFileInfo(path()).completeBaseName();
}

QString LibraryLocation::unreachableReason() const
{
    const QFileInfo info(path());
    if (!info.exists())
        return QStringLiteral(
                   "找不到评语库“%1”。如果它在学校网络的共享文件夹里，请检查网络连接和共享文件夹是否已连上。")
            .arg(info.filePath());
    if (!info.isFile())
        return QStringLiteral("“%1”不是评语库文件。").arg(info.filePath());
    if (!info.isReadable())
        return QStringLiteral("没有读取评语库“%1”的权限，请向管理共享文件夹的老师询问。")
            .arg(info.filePath());
    return QString();
}
