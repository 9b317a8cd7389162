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
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

namespace {

const QString CopySuffix = QStringLiteral(".py");
const QString InfoSuffix = QStringLiteral(".info");
const QString LockSuffix = QStringLiteral(".lock");

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
    // Only the user may look into it: the copies hold every comment.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_id = QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
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
                                 const QDateTime &when)
{
    const QMutexLocker locker(&m_writing);
    if (!m_lock || !m_lock->isLocked())
        return Failure{QStringLiteral("恢复文件夹“%1”无法使用。").arg(m_folder)};
    const QFile::Permissions privateFile = QFile::ReadOwner | QFile::WriteOwner;
    if (const Result<void> copy = FileSave::save(path(m_id, CopySuffix), commentFile); !copy)
        return copy;
    QFile::setPermissions(path(m_id, CopySuffix), privateFile);
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
    if (m_id.isEmpty())
        return;
    QFile::remove(path(m_id, CopySuffix));
    QFile::remove(path(m_id, InfoSuffix));
}

QList<RecoveryStore::Copy> RecoveryStore::leftOver() const
{
    QList<Copy> copies;
    const QStringList infos = QDir(m_folder).entryList({u'*' + InfoSuffix}, QDir::Files);
    for (const QString &name : infos) {
        const QString id = name.chopped(InfoSuffix.size());
        if (id == m_id || !QFileInfo(path(id, CopySuffix)).isFile())
            continue;
        // A run that still lives holds its lock.
        QLockFile lock(path(id, LockSuffix));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        QFile file(path(id, InfoSuffix));
        const QJsonObject info =
            file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
        copies.append({path(id, CopySuffix), info.value(QStringLiteral("original")).toString(),
                       QDateTime::fromString(info.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs),
                       id});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) { return a.saved < b.saved; });
    return copies;
}

void RecoveryStore::remove(const Copy &copy) const
{
    for (const QString &suffix : {CopySuffix, InfoSuffix, LockSuffix})
        QFile::remove(path(copy.id, suffix));
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
    RecoveryStore *store = &m_store;
    const QDateTime now = QDateTime::currentDateTime();
    m_writer->start([this, store, bytes, original, now] {
        const Result<void> saved = store->save(bytes, original, now);
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
