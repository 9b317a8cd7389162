#include "core/platform/filesave.h"

#include "core/platform/fileerrorreason.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace FileSave {

namespace {

const QString FolderMessage = QStringLiteral("同名的文件夹已存在。");
const QString ForeignLinkMessage =
    QStringLiteral("“%1”是别的用户在公用文件夹里放的链接，跟着它写入可能改掉不该改的文件，所以没有写入。"
                   "请换一个文件名或文件夹。");
const QString ForeignStreamMessage =
    QStringLiteral("“%1”是别的用户在公用文件夹里放的管道或设备，写进去的内容可能被别人读走，所以没有写入。"
                   "请换一个文件名或文件夹。");
const QString ForeignFileMessage =
    QStringLiteral("“%1”属于别的用户，而它所在的文件夹别人也能写入，替换它可能毁掉别人的文件，所以没有写入。"
                   "请换一个文件名或文件夹。");
const QString MissingFolderMessage = QStringLiteral("文件夹“%1”不存在。");
const QString NotFolderMessage = QStringLiteral("“%1”是一个文件，不是文件夹。");
const QString NotRegularMessage =
    QStringLiteral("“%1”不是普通文件，也不是可以直接写入的设备或管道，没有写入。");
const QString TooManyLinksMessage = QStringLiteral("“%1”经过的链接太多（也许链接绕成了圈），没有写入。");
const QString ChangedMessage = QStringLiteral("“%1”在保存过程中被换掉了，没有写入。");
const QString NoReaderMessage = QStringLiteral("没有程序在读取管道“%1”，没有写入。");
// Why a write stopped part-way.
const QString DiskFullText = QStringLiteral("磁盘已满，内容没有写完");
const QString ReaderGoneText = QStringLiteral("读取的一方已经关闭，内容没有写完");
const QString WriteFailedText = QStringLiteral("写入时出错（%1），内容没有写完");
const QString OriginalKeptText = QStringLiteral("；原来的文件没有改动。");
const QString NothingCreatedText = QStringLiteral("；没有生成文件。");
const QString FullStop = QStringLiteral("。");

// As many links as the kernel follows in one path.
constexpr int MaxLinks = 40;

QByteArray nativeName(const QString &path)
{
    return QFile::encodeName(path);
}

bool isStream(mode_t mode)
{
    return S_ISCHR(mode) || S_ISFIFO(mode);
}

QString writeFailure(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return DiskFullText;
    case EPIPE:
        return ReaderGoneText;
    default:
        return WriteFailedText.arg(FileErrorReason::fromErrno(error));
    }
}

// Writes every byte; returns 0 or the error that stopped the writing. A short write is followed
// by another, so that the error behind it (a full disk) is the one reported. A reader that went
// away gives EPIPE rather than the signal that would end the program.
int writeAll(int fd, const QByteArray &bytes)
{
    sigset_t pipeSignal;
    sigset_t previous;
    sigset_t pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE);

    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    int error = 0;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? errno : ENOSPC;
            break;
        }
        data += written;
        left -= written;
    }

    if (error == EPIPE && !alreadyPending) {
        const timespec noWait{};
        sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

QString readLink(const QString &path)
{
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(nativeName(path).constData(), buffer.data(), buffer.size());
    if (length <= 0)
        return {};
    return QFile::decodeName(QByteArray(buffer.data(), qsizetype(length)));
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

struct Resolved
{
    QString path;        ///< the name with every link resolved
    QString error;       ///< a link that must not be followed
    int descriptor = -1; ///< the name is one of this process's open files (/dev/stdout)
};

// The descriptor a name of /proc/self/fd stands for, or -1. The name is not resolved further:
// it is a file the process already has open, whatever its link text says.
int ownDescriptor(const QString &folder, const QString &name)
{
    const QString ownFolders[] = {QStringLiteral("/proc/%1/fd").arg(::getpid()),
                                  QStringLiteral("/proc/%1/task/%2/fd").arg(::getpid()).arg(::gettid())};
    if (std::find(std::begin(ownFolders), std::end(ownFolders), folder) == std::end(ownFolders))
        return -1;
    bool number = false;
    const int descriptor = name.toInt(&number);
    return number && descriptor >= 0 ? descriptor : -1;
}

// Resolves the links along the path one name at a time, as the kernel would, and checks each
// link against the rule of mayUseInSharedFolder. Names that do not exist are kept as they are: the
// write itself reports them.
Resolved resolveLinks(const QString &path)
{
    QString current = QDir::isAbsolutePath(path) ? QStringLiteral("/") : QDir::currentPath();
    QStringList rest = path.split(u'/', Qt::SkipEmptyParts);
    int links = 0;
    while (!rest.isEmpty()) {
        const QString name = rest.takeFirst();
        if (name == u".")
            continue;
        if (name == u"..") {
            current = parentOf(current);
            continue;
        }
        const QString next = current.endsWith(u'/') ? current + name : current + u'/' + name;
        struct stat link
        {
        };
        if (::lstat(nativeName(next).constData(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            current = next;
            continue;
        }
        if (++links > MaxLinks)
            return {{}, TooManyLinksMessage.arg(path)};
        struct stat folder
        {
        };
        if (::stat(nativeName(current).constData(), &folder) == 0 &&
            !mayUseInSharedFolder(folder.st_mode, link.st_uid, ::geteuid()))
            return {{}, ForeignLinkMessage.arg(next)};
        if (const int descriptor = ownDescriptor(current, name); descriptor >= 0 && rest.isEmpty())
            return {next, {}, descriptor};
        const QString target = readLink(next);
        if (target.startsWith(u'/'))
            current = QStringLiteral("/");
        rest = target.split(u'/', Qt::SkipEmptyParts) + rest;
    }
    return {current, {}};
}

// A terminal, a pipe or a device such as /dev/null takes the bytes as they come; it is never
// replaced by a file.
QString writeIntoDescriptor(int fd, const QByteArray &bytes)
{
    const int error = writeAll(fd, bytes);
    return error == 0 ? QString() : writeFailure(error) + FullStop;
}

// Whether a file, FIFO or device of this owner may be replaced or written into where it stands.
bool mayUseEntry(const QString &path, uid_t owner)
{
    struct stat folder
    {
    };
    const QString folderPath = path.contains(u'/') ? parentOf(path) : QDir::currentPath();
    return ::stat(nativeName(folderPath).constData(), &folder) != 0 ||
           mayUseInSharedFolder(folder.st_mode, owner, ::geteuid());
}

QString writeStraight(const QString &path, const QByteArray &bytes)
{
    // Another user's FIFO in a shared folder is not even opened: its reader would learn of it.
    struct stat found
    {
    };
    if (::lstat(nativeName(path).constData(), &found) == 0 && isStream(found.st_mode) &&
        !mayUseEntry(path, found.st_uid))
        return ForeignStreamMessage.arg(path);
    // A pipe nobody reads would hold the program up until someone does: it is refused at once.
    const int fd = ::open(nativeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENXIO ? NoReaderMessage.arg(path) : systemErrorText(errno);
    // Once open, the bytes go at the reader's pace.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) != 0 || !isStream(opened.st_mode)) {
        ::close(fd);
        return ChangedMessage.arg(path);
    }
    // What was opened is checked again: another user's FIFO may have taken the name meanwhile.
    if (!mayUseEntry(path, opened.st_uid)) {
        ::close(fd);
        return ForeignStreamMessage.arg(path);
    }
    QString error = writeIntoDescriptor(fd, bytes);
    if (::close(fd) != 0 && error.isEmpty() && errno != EINTR)
        error = writeFailure(errno) + FullStop;
    return error;
}

QString replaceAtomically(const QString &path, const QByteArray &bytes, bool existed, int mode)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // QSaveFile refuses a read-only file with a text of its own: the system says why.
        if (existed && ::access(nativeName(path).constData(), W_OK) != 0)
            return systemErrorText(errno);
        return FileErrorReason::of(file);
    }
    // The permissions are set before any byte is written, so that nobody can read along.
    if (mode >= 0 && ::fchmod(file.handle(), mode_t(mode)) != 0) {
        const int error = errno;
        file.cancelWriting();
        return systemErrorText(error) + (existed ? OriginalKeptText : NothingCreatedText);
    }
    // QSaveFile resolves a link on its own: one put in the file's place since it was looked at
    // is not followed.
    struct stat now
    {
    };
    if (::lstat(nativeName(path).constData(), &now) == 0 && S_ISLNK(now.st_mode)) {
        file.cancelWriting();
        return ChangedMessage.arg(path);
    }
    const QString unchanged = existed ? OriginalKeptText : NothingCreatedText;
    if (const int error = writeAll(file.handle(), bytes); error != 0) {
        file.cancelWriting();
        return writeFailure(error) + unchanged;
    }
    // The bytes go to the disk before the new file takes the old one's place, so that even a
    // power cut leaves either the old or the new file, never an empty one.
    if (::fsync(file.handle()) != 0) {
        const int error = errno;
        file.cancelWriting();
        return writeFailure(error) + unchanged;
    }
    if (!file.commit())
        return FileErrorReason::of(file) + unchanged;
    return {};
}

} // namespace

QString folderProblem(const QString &folder)
{
    // Looked at from the first name on, so that the teacher hears which folder is missing
    // ("文件夹“备份”不存在", not the name of a file that was to go into it).
    const QStringList names = folder.split(u'/');
    QString prefix;
    for (qsizetype i = 0; i < names.size(); ++i) {
        prefix += (i == 0 ? QString() : QStringLiteral("/")) + names[i];
        if (names[i].isEmpty() || names[i] == u"." || names[i] == u"..")
            continue;
        struct stat found
        {
        };
        if (::stat(nativeName(prefix).constData(), &found) != 0)
            return errno == ENOENT ? MissingFolderMessage.arg(prefix) : QString();
        if (!S_ISDIR(found.st_mode))
            return NotFolderMessage.arg(prefix);
    }
    return folder.isEmpty() ? MissingFolderMessage.arg(folder) : QString();
}

bool mayUseInSharedFolder(uint folderMode, uint entryOwner, uint user)
{
    const bool shared = folderMode & (S_IWGRP | S_IWOTH);
    return !shared || entryOwner == user;
}

QString systemErrorText(int error)
{
    return FileErrorReason::fromErrno(error);
}

namespace {

Result<void> fromReason(const QString &reason)
{
    return reason.isEmpty() ? done() : Result<void>(Failure{reason});
}

// The permission bits of a file, or -1 when there is none to copy.
int permissionsOf(const QString &model)
{
    struct stat found
    {
    };
    if (model.isEmpty() || ::stat(nativeName(model).constData(), &found) != 0)
        return -1;
    return int(found.st_mode & 0777);
}

QString saveFile(const QString &path, const QByteArray &bytes, int mode)
{
    const Resolved target = resolveLinks(path);
    if (!target.error.isEmpty())
        return target.error;
    struct stat found
    {
    };
    if (target.descriptor >= 0) {
        // Written where the descriptor stands (at its end for a file opened to append), as
        // OUT "-" is.
        if (::fstat(target.descriptor, &found) != 0)
            return systemErrorText(errno);
        if (S_ISREG(found.st_mode) || isStream(found.st_mode))
            return writeIntoDescriptor(target.descriptor, bytes);
        return NotRegularMessage.arg(path);
    }
    if (::lstat(nativeName(target.path).constData(), &found) != 0) {
        const int absent = errno;
        // A folder on the way that is missing or a file is named, rather than the new file.
        if ((absent == ENOENT || absent == ENOTDIR) && path.contains(u'/')) {
            if (const QString problem = folderProblem(parentOf(path)); !problem.isEmpty())
                return problem;
        }
        // A link of another process's /proc/N/fd names an open pipe or terminal in a way only
        // the kernel resolves: such a name is written straight into, through the kernel.
        struct stat followed
        {
        };
        if (absent == ENOENT && ::stat(nativeName(path).constData(), &followed) == 0 &&
            isStream(followed.st_mode))
            return writeStraight(path, bytes);
        return replaceAtomically(target.path, bytes, false, mode);
    }
    if (S_ISREG(found.st_mode)) {
        // Another user's file in a folder others write to may have been put there to be
        // replaced by ours; it is not ours to replace.
        if (!mayUseEntry(target.path, found.st_uid))
            return ForeignFileMessage.arg(path);
        return replaceAtomically(target.path, bytes, true, mode);
    }
    if (S_ISDIR(found.st_mode))
        return FolderMessage;
    if (isStream(found.st_mode))
        return writeStraight(target.path, bytes);
    return NotRegularMessage.arg(path);
}

} // namespace

Result<void> writeToDescriptor(int fd, const QByteArray &bytes)
{
    return fromReason(writeIntoDescriptor(fd, bytes));
}

Result<void> save(const QString &path, const QByteArray &bytes)
{
    return fromReason(saveFile(path, bytes, -1));
}

Result<void> saveLike(const QString &path, const QByteArray &bytes, const QString &model)
{
    return fromReason(saveFile(path, bytes, permissionsOf(model)));
}

} // namespace FileSave
