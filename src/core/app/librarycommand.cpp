#include "core/app/librarycommand.h"

#include "core/document/namelist.h"
#include "core/document/outputtarget.h"
#include "core/platform/textfile.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace LibraryCommand {

namespace {

/// The exit code of a library change that failed, its reason written.
int failed(const Failure &failure, QTextStream &err)
{
    err << failure.error << '\n';
    return failure.kind == FailureKind::Unreadable ? 2 : 1;
}

/// A wait for the lock is told on the console, once, so a run that seems to hang says why.
LockWait toldOn(LockWait wait, const QString &library, QTextStream &err)
{
    wait.notice = [&err, library](const LockHolder &who) {
        err << QStringLiteral("评语库“%1”正由%2修改，正在等待……").arg(library, who.describe()) << '\n';
        err.flush();
    };
    return wait;
}

/// The lines of FILE or of standard input ("-").
Result<QStringList> commentLines(const QString &file)
{
    QByteArray bytes;
    if (file == u"-") {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly))
            return Failure{QStringLiteral("无法读取标准输入。"), FailureKind::Unreadable};
        const Result<QByteArray> read = TextFile::readAll(&input);
        if (!read)
            return Failure{QStringLiteral("无法读取标准输入：%1").arg(read.error()), FailureKind::Unreadable};
        bytes = *read;
    } else {
        const Result<QByteArray> read = TextFile::readAll(file);
        if (!read)
            return Failure{QStringLiteral("无法读取评语文本“%1”：%2").arg(file, read.error()),
                           FailureKind::Unreadable};
        bytes = *read;
    }
    const Result<QString> text = NameList::decodeFile(file, bytes);
    if (!text)
        return Failure{QStringLiteral("无法读取评语文本“%1”：%2").arg(file, text.error()),
                       FailureKind::Unreadable};
    QStringList lines;
    for (const QStringView line : TextFile::splitLineViewsAnyBreak(*text))
        lines.append(line.toString());
    return lines;
}

/// A comment file is never taken for a library: adding to it would spoil the class's comments.
bool isLibrary(const QString &path, QTextStream &err)
{
    if (!OutputTarget::readsAsCommentFile(path))
        return true;
    err << QStringLiteral("“%1”是评语文件，不是评语库，没有改动。").arg(path) << '\n';
    return false;
}

} // namespace

std::optional<Rating> ratingNamed(const QString &name)
{
    if (name == u"优秀")
        return Rating::Excellent;
    if (name == u"良好")
        return Rating::Good;
    if (name == u"后进")
        return Rating::Lagging;
    return std::nullopt;
}

int addComments(const QString &library, const QString &category, Rating rating, const QString &file,
                QTextStream &out, QTextStream &err, LockWait wait)
{
    if (!isLibrary(library, err))
        return 2;
    const Result<QStringList> lines = commentLines(file);
    if (!lines)
        return failed(lines.failure(), err);
    const qsizetype count =
        std::count_if(lines->begin(), lines->end(), [](const QString &line) { return !line.isEmpty(); });
    CommentLibrary target(library);
    target.setLockWait(toldOn(std::move(wait), library, err));
    const Result<CommentLibrary::Written> written =
        target.addCommentsFirst(CommentLibrary::trimBlanks(category), rating, *lines);
    if (!written)
        return failed(written.failure(), err);
    out << QStringLiteral("已添加 %1 条评语。").arg(count) << '\n';
    return 0;
}

int mergeLibrary(const QString &library, const QString &other, QTextStream &out, QTextStream &err,
                 LockWait wait)
{
    if (!isLibrary(library, err) || !isLibrary(other, err))
        return 2;
    CommentLibrary target(library);
    target.setLockWait(toldOn(std::move(wait), library, err));
    const Result<qsizetype> added = target.merge(CommentLibrary(other));
    if (!added)
        return failed(added.failure(), err);
    out << QStringLiteral("已添加 %1 条评语。").arg(*added) << '\n';
    return 0;
}

} // namespace LibraryCommand
