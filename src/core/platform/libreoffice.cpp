#include "core/platform/libreoffice.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace LibreOffice {

namespace {

/// LibreOffice may take a while to start the first time; a conversion that runs longer than
/// this has hung.
constexpr int ConversionTimeout = 120000; // ms

} // namespace

Result<QString> convert(const QString &source, const QString &format, const QString &folder)
{
    const QString program = QStandardPaths::findExecutable(Program);
    if (program.isEmpty())
        return Failure{QStringLiteral("找不到程序 %1。").arg(Program), FailureKind::NotFound};
    QProcess process;
    process.setProgram(program);
    process.setArguments(
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"),
         folder, source});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(ConversionTimeout))
        process.kill();
    const QString converted = QDir(folder).filePath(QFileInfo(source).completeBaseName() + u'.' + format);
    // No output: the file is none LibreOffice can load (or the component for it is missing).
    if (process.exitStatus() != QProcess::NormalExit || !QFileInfo(converted).isFile())
        return Failure{QString::fromLocal8Bit(process.readAllStandardError()).trimmed()};
    return converted;
}

} // namespace LibreOffice
