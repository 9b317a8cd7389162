#include "core/platform/desktopviewer.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// The program registered for the type, as the desktop's own lookup tool answers.
QString registeredProgram(const QString &mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return {};
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

} // namespace

bool DesktopViewer::canOpen(const QString &mimeType)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    if (!registeredProgram(mimeType).isEmpty())
        return true;
    // Without a registered program xdg-open falls back to the system's web browser for pages.
    if (mimeType == u"text/html" || mimeType == u"application/xhtml+xml") {
        return !qEnvironmentVariableIsEmpty("BROWSER") ||
               !QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty();
    }
    return false;
}
