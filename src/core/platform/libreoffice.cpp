#include "core/platform/libreoffice.h"

#include "core/platform/fileerrorreason.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <iterator>

#include <signal.h>
#include <unistd.h>

namespace LibreOffice {

namespace {

/// How often a running conversion asks whether to keep waiting.
constexpr int PollMs = 100;

/// The KeepWaiting of the innermost WaitingScope on this thread.
thread_local KeepWaiting t_keepWaiting;

const QString CancelledMessage = QStringLiteral("已取消转换。");
const QString InterruptedMessage = QStringLiteral("程序被中断，已停止转换。");

/// What the signal handler may touch: the running converter's process group (0: none) and the
/// signal that came.
volatile sig_atomic_t g_group = 0;
volatile sig_atomic_t g_signal = 0;
/// How many InterruptScopes are open, and the handlers they replaced (only on the main thread).
int g_scopes = 0;
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(Signals)];

void onSignal(int signal)
{
    g_signal = signal;
    if (const pid_t group = pid_t(g_group); group > 0)
        ::kill(-group, SIGKILL);
}

} // namespace

QString timeoutMessage(int seconds)
{
    return QStringLiteral("LibreOffice 没有在 %1 秒内完成转换").arg(seconds);
}

Result<QString> convert(const QString &source, const QString &format, const QString &folder, const Run &run)
{
    const QString name = run.program.isEmpty() ? Program : run.program;
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return Failure{QStringLiteral("找不到程序 %1。").arg(name), FailureKind::NotFound};
    const InterruptScope interrupts;
    if (InterruptScope::interrupted())
        return Failure{InterruptedMessage, FailureKind::Stopped};
    QProcess process;
    process.setProgram(program);
    process.setArguments(
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"),
         folder, source});
    process.setStandardOutputFile(QProcess::nullDevice());
    // A process group of its own: soffice is a launcher that starts the real program as its
    // child, which ending the launcher alone would leave running.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted())
        return Failure{QStringLiteral("无法启动程序 %1：%2").arg(name, FileErrorReason::fromText(process.errorString())),
                       FailureKind::NotFound};
    const pid_t group = pid_t(process.processId());
    g_group = sig_atomic_t(group);

    const KeepWaiting keepWaiting = run.keepWaiting ? run.keepWaiting : t_keepWaiting;
    const QDeadlineTimer deadline(std::chrono::seconds(run.timeoutSeconds));
    QString stopped;
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(PollMs)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (InterruptScope::interrupted()) {
            stopped = InterruptedMessage;
            break;
        }
        if (deadline.hasExpired()) {
            stopped = timeoutMessage(run.timeoutSeconds);
            break;
        }
        if (keepWaiting && !keepWaiting()) {
            stopped = CancelledMessage;
            break;
        }
    }
    // Whatever is left of the group goes, a stopped process too; the launcher is reaped below,
    // so its process id cannot have been given to another process yet.
    ::kill(-group, SIGKILL);
    g_group = 0; // before the launcher is reaped, after which its id may be another's
    process.waitForFinished(-1);
    if (stopped.isEmpty() && InterruptScope::interrupted())
        stopped = InterruptedMessage; // the handler killed it: no result to trust
    if (!stopped.isEmpty())
        return Failure{stopped, FailureKind::Stopped};

    const QString converted = QDir(folder).filePath(QFileInfo(source).completeBaseName() + u'.' + format);
    // No output: the file is none LibreOffice can load (or the component for it is missing).
    if (process.exitStatus() != QProcess::NormalExit || !QFileInfo(converted).isFile())
        return Failure{QString::fromLocal8Bit(process.readAllStandardError()).trimmed()};
    return converted;
}

Result<void> copySource(const QString &path, const QString &target)
{
    const QString unreadable = QStringLiteral("无法读取文件“%1”。").arg(path);
    const QString tooLarge = QStringLiteral("文件“%1”大于 %2 MB，不能转换。").arg(path).arg(MaxSourceSize >> 20);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return Failure{unreadable, FailureKind::Unreadable};
    if (in.size() > MaxSourceSize)
        return Failure{tooLarge, FailureKind::Unreadable};
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return Failure{unreadable, FailureKind::Unreadable};
    // Copied a piece at a time up to the limit: the file may grow while it is read.
    qint64 copied = 0;
    QByteArray piece;
    while (!(piece = in.read(1 << 20)).isEmpty()) {
        copied += piece.size();
        if (copied > MaxSourceSize)
            return Failure{tooLarge, FailureKind::Unreadable};
        if (out.write(piece) != piece.size())
            return Failure{unreadable, FailureKind::Unreadable};
    }
    if (in.error() != QFileDevice::NoError || !out.commit())
        return Failure{unreadable, FailureKind::Unreadable};
    return done();
}

InterruptScope::InterruptScope()
{
    if (g_scopes++ > 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &action, &g_previous[i]);
}

InterruptScope::~InterruptScope()
{
    if (--g_scopes > 0)
        return;
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
    // Everything this scope covered is undone: the signal now does what it would have done.
    if (const int signal = g_signal; signal != 0) {
        g_signal = 0;
        ::raise(signal);
    }
}

bool InterruptScope::interrupted()
{
    return g_signal != 0;
}

WaitingScope::WaitingScope(KeepWaiting keepWaiting)
    : m_previous(std::exchange(t_keepWaiting, std::move(keepWaiting)))
{}

WaitingScope::~WaitingScope()
{
    t_keepWaiting = std::move(m_previous);
}

} // namespace LibreOffice
