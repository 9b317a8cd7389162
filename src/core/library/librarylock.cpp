#include "core/library/librarylock.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

QString LockHolder::describe() const
{
    const QString who = user.isEmpty() ? QStringLiteral("另一位老师") : user;
    return host.isEmpty() ? who : QStringLiteral("%1（电脑 %2）").arg(who, host);
}

LibraryLock::LibraryLock(const QString &libraryPath)
    : m_libraryPath(libraryPath)
    , m_lockPath(lockPathFor(libraryPath))
    , m_file(m_lockPath)
{
    m_file.setStaleLockTime(int(StaleAfter.count()));
}

QString LibraryLock::lockPathFor(const QString &libraryPath)
{
    return libraryPath + QStringLiteral(".lock");
}

Result<void> LibraryLock::acquire(const LockWait &wait)
{
    QElapsedTimer waited;
    waited.start();
    bool told = false;
    // Whatever way the wait ends, a noticed one is closed before acquire returns.
    const auto end = [&] {
        if (told && wait.ended)
            wait.ended();
    };
    // Short tries, so the notice comes on time and a lock made unreachable is noticed.
    for (;;) {
        const qint64 left = wait.limit.count() - waited.elapsed();
        const int slice = int(std::clamp<qint64>(left, 0, 200));
        if (m_file.tryLock(slice)) {
            end();
            return {};
        }
        if (m_file.error() != QLockFile::LockFailedError) {
            end();
            return Failure{QStringLiteral("无法写入评语库文件“%1”：无法在它旁边建立锁文件“%2”，"
                                          "请检查这个文件夹能否写入。")
                               .arg(m_libraryPath, QFileInfo(m_lockPath).fileName()),
                           FailureKind::WriteFailed};
        }
        if (!told && waited.elapsed() >= wait.noticeAfter.count()) {
            told = true;
            if (wait.notice)
                wait.notice(holder());
        }
        if (told && wait.stopped && wait.stopped()) {
            end();
            return Failure{QStringLiteral("已停止等待，这次没有改动评语库。"), FailureKind::Stopped};
        }
        if (waited.elapsed() >= wait.limit.count())
            break;
    }
    end();
    return Failure{
        QStringLiteral("评语库“%1”正由%2修改，等了 %3 秒仍未完成，这次没有改动评语库，请稍后再试。")
            .arg(m_libraryPath, holder().describe())
            .arg(qRound(waited.elapsed() / 1000.0)),
        FailureKind::Stopped};
}

LockHolder LibraryLock::holder() const
{
    LockHolder who;
    QString program;
    if (!m_file.getLockInfo(&who.pid, &who.host, &program))
        return who;
    // The lock file does not name the user; the file's owner is who made it.
    who.user = QFileInfo(m_lockPath).owner();
    return who;
}
