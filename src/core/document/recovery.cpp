#include "core/document/recovery.h"

#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/document/session.h"
#include "core/platform/filesave.h"
#include "core/platform/platform.h"
#include "core/platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString CopySuffix = QStringLiteral(".py");
const QString InfoSuffix = QStringLiteral(".info");
const QString LockSuffix = QStringLiteral(".lock");
const QString RatingsSuffix = QStringLiteral(".ratings");
/// <id>.<claimant>.claimed: the info file of copy <id> while run <claimant> offers it.
const QString ClaimSuffix = QStringLiteral(".claimed");

/// The status of path itself (a link is not followed); false when it is not there.
bool status(const QString &path, struct stat *info)
{
    return ::lstat(QFile::encodeName(path).constData(), info) == 0;
}

bool isOwnRegularFile(const struct stat &info, uint uid, qint64 maxSize)
{
    return S_ISREG(info.st_mode) && info.st_uid == uid && info.st_size <= maxSize;
}

/// Reads a regular file of the user's of at most maxSize bytes, without following a link or
/// waiting on a pipe. Nothing for anything else.
std::optional<QByteArray> readOwnFile(const QString &path, uint uid, qint64 maxSize)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> bytes;
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && isOwnRegularFile(info, uid, maxSize)) {
        QByteArray read(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < read.size()) {
            const ssize_t n = ::read(fd, read.data() + done, size_t(read.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        read.truncate(done);
        bytes = read;
    }
    ::close(fd);
    return bytes;
}

bool renameFile(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

enum class RunState {
    Gone,
    Lives,
    Unknown, ///< the lock is no lock file of the user's: never opened
};

/// Whether the run that holds (or held) the lock at lockPath still lives. Only read: taking
/// a lock writes and syncs a file, too slow for thousands of copies and impossible on a full disk.
RunState runState(const QString &lockPath, uint uid)
{
    struct stat info = {};
    if (!status(lockPath, &info))
        return RunState::Gone; // a live run always has its lock
    // A pipe here would make QLockFile wait for ever, and a huge file would be read whole.
    if (!isOwnRegularFile(info, uid, RecoveryStore::MaxLockSize))
        return RunState::Unknown;
    qint64 pid = 0;
    QString host;
    QString application;
    if (!QLockFile(lockPath).getLockInfo(&pid, &host, &application))
        return RunState::Gone; // half written by a run that died
    // Another machine's run (a shared home folder) cannot be asked: it is taken to live.
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return RunState::Lives;
    if (pid == QCoreApplication::applicationPid())
        return RunState::Lives;
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM) ? RunState::Lives : RunState::Gone;
}

/// Whether the process a run's id names (<pid>-<random>) lives: a run that could not write its
/// lock (a full disk) still claims copies.
bool processLives(const QString &id)
{
    const qint64 pid = id.section(u'-', 0, 0).toLongLong();
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

/// Whether the lock of a run that is gone can be taken (not on a full disk); it is let go at once.
bool lockCanBeTaken(const QString &lockPath)
{
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0); // a lock is stale only when its process is gone
    if (!lock.tryLock(0))
        return false;
    lock.unlock();
    return true;
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/qhsy/recovery");
}

RecoveryStore::RecoveryStore(QString folder)
    : m_folder(std::move(folder))
    , m_uid(uint(::geteuid()))
    , m_id(QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))
{}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::path(const QString &id, const QString &suffix) const
{
    return m_folder + u'/' + id + suffix;
}

Result<void> RecoveryStore::open()
{
    m_opened = Failure{QStringLiteral("无法建立文件夹“%1”。").arg(m_folder), FailureKind::WriteFailed};
    if (!QDir().mkpath(m_folder))
        return m_opened;
    if (const Result<void> trusted = checkFolder(); !trusted)
        return m_opened = trusted;
    // Only the user may look into it: the copies hold every comment.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_lock = std::make_unique<QLockFile>(path(m_id, LockSuffix));
    m_lock->setStaleLockTime(0); // a lock is stale only when its process is gone
    if (!m_lock->tryLock(0))
        m_opened =
            Failure{QStringLiteral("无法在文件夹“%1”中写入文件。").arg(m_folder), FailureKind::WriteFailed};
    else
        m_opened = done();
    return m_opened;
}

Result<void> RecoveryStore::save(const QByteArray &commentFile, const QString &originalPath,
                                 const QDateTime &when, const QByteArray &ratings)
{
    const QMutexLocker locker(&m_writing);
    if (!m_lock || !m_lock->isLocked())
        return Failure{QStringLiteral("恢复文件夹“%1”无法使用。").arg(m_folder)};
    const QFile::Permissions privateFile = QFile::ReadOwner | QFile::WriteOwner;
    if (const Result<void> copy = FileSave::save(path(m_id, CopySuffix), commentFile); !copy)
        return copy;
    QFile::setPermissions(path(m_id, CopySuffix), privateFile);
    if (ratings.isEmpty()) {
        QFile::remove(path(m_id, RatingsSuffix));
    } else {
        if (const Result<void> kept = FileSave::save(path(m_id, RatingsSuffix), ratings); !kept)
            return kept;
        QFile::setPermissions(path(m_id, RatingsSuffix), privateFile);
    }
    const QJsonObject info{{QStringLiteral("original"), originalPath},
                           {QStringLiteral("saved"), when.toString(Qt::ISODateWithMs)}};
    if (const Result<void> written = FileSave::save(path(m_id, InfoSuffix), QJsonDocument(info).toJson()); !written)
        return written;
    QFile::setPermissions(path(m_id, InfoSuffix), privateFile);
    return done();
}

void RecoveryStore::discard()
{
    const QMutexLocker locker(&m_writing);
    if (!m_lock || !m_lock->isLocked())
        return; // nothing was written, and the folder may not be ours
    QFile::remove(path(m_id, CopySuffix));
    QFile::remove(path(m_id, InfoSuffix));
    QFile::remove(path(m_id, RatingsSuffix));
}

QByteArray RecoveryStore::ratings(const Copy &copy) const
{
    return readOwnFile(path(copy.id, RatingsSuffix), m_uid, MaxRatingsSize).value_or(QByteArray());
}

Result<void> RecoveryStore::checkFolder() const
{
    struct stat info = {};
    if (!status(m_folder, &info))
        return Failure{QStringLiteral("无法建立文件夹“%1”。").arg(m_folder), FailureKind::WriteFailed};
    // As ssh and systemd do with their private folders: another user who could put files here
    // could have a copy of theirs recovered over the teacher's files.
    if (!S_ISDIR(info.st_mode) || info.st_uid != m_uid || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return Failure{QStringLiteral("恢复文件夹“%1”不是您私有的文件夹"
                                      "（它是一个链接、属于其他用户，或其他用户可以写入），为安全起见不使用它。")
                           .arg(m_folder),
                       FailureKind::WriteFailed};
    return done();
}

QString RecoveryStore::claimPath(const QString &id, const QString &claimant) const
{
    return m_folder + u'/' + id + u'.' + claimant + ClaimSuffix;
}

void RecoveryStore::releaseAbandonedClaims() const
{
    const QStringList claims = QDir(m_folder).entryList({u'*' + ClaimSuffix}, QDir::Files);
    for (const QString &name : claims) {
        const QStringList ids = name.chopped(ClaimSuffix.size()).split(u'.');
        if (ids.size() != 2 || ids[1] == m_id)
            continue;
        const RunState claimant = runState(path(ids[1], LockSuffix), m_uid);
        if (claimant == RunState::Gone && !processLives(ids[1]))
            renameFile(m_folder + u'/' + name, path(ids[0], InfoSuffix)); // another start may be first
    }
}

QList<RecoveryStore::Copy> RecoveryStore::leftOver() const
{
    if (!checkFolder())
        return {};
    releaseAbandonedClaims();
    QList<Copy> copies;
    const QStringList infos = QDir(m_folder).entryList({u'*' + InfoSuffix}, QDir::Files);
    for (const QString &name : infos) {
        const QString id = name.chopped(InfoSuffix.size());
        struct stat copyInfo = {};
        if (id == m_id || !status(path(id, CopySuffix), &copyInfo)
            || !isOwnRegularFile(copyInfo, m_uid, TextFile::MaxFileSize))
            continue;
        // A run that still lives holds its lock.
        const RunState run = runState(path(id, LockSuffix), m_uid);
        if (run == RunState::Lives || run == RunState::Unknown)
            continue;
        const std::optional<QByteArray> bytes = readOwnFile(path(id, InfoSuffix), m_uid, MaxInfoSize);
        if (!bytes)
            continue;
        const QJsonObject info = QJsonDocument::fromJson(*bytes).object();
        QDateTime saved =
            QDateTime::fromString(info.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs);
        if (!saved.isValid())
            saved = QDateTime::fromSecsSinceEpoch(copyInfo.st_mtim.tv_sec);
        copies.append({path(id, CopySuffix), info.value(QStringLiteral("original")).toString(), saved, id,
                       path(id, InfoSuffix)});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) { return a.saved < b.saved; });
    return copies;
}

bool RecoveryStore::claim(Copy &copy) const
{
    // rename() is atomic: of two starts that found the same copy only one moves its info file.
    const QString claimed = claimPath(copy.id, m_id);
    if (!renameFile(copy.infoPath, claimed))
        return false;
    copy.infoPath = claimed;
    copy.lockable = lockCanBeTaken(path(copy.id, LockSuffix));
    return true;
}

void RecoveryStore::release(Copy &copy) const
{
    if (renameFile(copy.infoPath, path(copy.id, InfoSuffix)))
        copy.infoPath = path(copy.id, InfoSuffix);
}

void RecoveryStore::remove(const Copy &copy) const
{
    for (const QString &suffix : {CopySuffix, InfoSuffix, LockSuffix, RatingsSuffix})
        QFile::remove(path(copy.id, suffix));
    if (!copy.infoPath.isEmpty())
        QFile::remove(copy.infoPath);
}

bool RecoveryStore::isUsersOwn(const QString &path) const
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    const QFileInfo file(path);
    const QString resolved = file.canonicalFilePath(); // "" when it is not there
    struct stat info = {};
    struct stat folder = {};
    // Nobody else may put another file in the file's place.
    const auto privateFolder = [&](const QString &name, bool rootToo) {
        return status(name, &folder) && S_ISDIR(folder.st_mode)
               && (folder.st_uid == m_uid || (rootToo && folder.st_uid == 0))
               && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    };
    if (!resolved.isEmpty()) {
        return status(resolved, &info) && S_ISREG(info.st_mode) && info.st_uid == m_uid
               && privateFolder(QFileInfo(resolved).path(), true);
    }
    // A new file only in a folder of the user's own; a link that leads nowhere is no new file.
    const QString parent = QFileInfo(file.path()).canonicalFilePath();
    return !file.isSymLink() && !parent.isEmpty() && privateFolder(parent, false);
}

Recovery::Recovery(Session &session, RecoveryStore &store, Platform &platform, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_store(store)
    , m_platform(platform)
    , m_writer(std::make_unique<QThreadPool>())
{
    m_writer->setMaxThreadCount(1);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(Delay);
    connect(m_timer, &QTimer::timeout, this, &Recovery::writeNow);
    connect(&session, &Session::commentChanged, this, &Recovery::changed);
    connect(&session, &Session::rosterChanged, this, &Recovery::changed);
    connect(&session, &Session::edited, this, &Recovery::changed);
    connect(&session, &Session::ratingsChanged, this, &Recovery::changed);
    // Leaving a comment box (any move of the keyboard focus) writes at once.
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::focusObjectChanged, this, &Recovery::writeNow);
    connect(&session, &Session::modifiedChanged, this, [this](bool modified) {
        if (modified)
            return;
        // Saved, or dropped: no copy is left behind.
        m_timer->stop();
        m_changedSinceCopy = false;
        waitForWrites();
        m_store.discard();
    });
    if (session.Modified()) {
        m_changedSinceCopy = true;
        writeNow();
    }
}

Recovery::~Recovery()
{
    waitForWrites();
}

void Recovery::changed()
{
    if (!m_session.Modified())
        return;
    m_changedSinceCopy = true;
    // The first change starts the clock; later ones wait for it, so typing writes at most
    // every 30 seconds.
    if (!m_timer->isActive())
        m_timer->start();
}

void Recovery::writeNow()
{
    m_timer->stop();
    if (!m_session.Modified() || !m_changedSinceCopy)
        return;
    m_changedSinceCopy = false;
    if (!m_store.opened()) {
        tellOnce(m_store.opened().error());
        return;
    }
    const QByteArray bytes =
        TextFile::encode(CommentFile::compose(m_session.Document(), m_session.Document().ItemFonts));
    const QString original = m_session.namedPath();
    const QByteArray ratings =
        RatingsFile::hasGrades(m_session.Ratings()) ? RatingsFile::csvBytes(m_session.Ratings()) : QByteArray();
    RecoveryStore *store = &m_store;
    const QDateTime now = QDateTime::currentDateTime();
    m_writer->start([this, store, bytes, original, now, ratings] {
        const Result<void> saved = store->save(bytes, original, now, ratings);
        if (!saved) // told on the window's thread; dropped when the run is ending
            QMetaObject::invokeMethod(
                this, [this, why = saved.error()] { tellOnce(why); }, Qt::QueuedConnection);
    });
}

void Recovery::tellOnce(const QString &reason)
{
    if (m_told)
        return;
    m_told = true;
    // Not from inside the focus change or timer that asked for the copy: the box takes the
    // focus itself.
    QTimer::singleShot(0, this, [this, reason] {
        m_platform.messageBox(DocumentMessages::RecoveryUnavailableMessage.arg(reason), Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
    });
}

void Recovery::waitForWrites()
{
    m_writer->waitForDone();
}
