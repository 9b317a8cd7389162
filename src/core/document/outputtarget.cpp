#include "core/document/outputtarget.h"

#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/platform/textfile.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace OutputTarget {

namespace {

// Enough bytes for either header in GB18030.
constexpr qint64 HeaderBytes = 64;

} // namespace

bool sameFile(const QString &first, const QString &second)
{
    struct stat a {};
    struct stat b {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString inputNamed(const QString &out, const QStringList &inputs)
{
    for (const QString &in : inputs) {
        if (sameFile(out, in))
            return in;
    }
    return QString();
}

bool readsAsCommentFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"py" || suffix == u"pyn")
        return true;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString start = TextFile::decode(file.read(HeaderBytes));
    return start.startsWith(CommentFile::Header) || start.startsWith(CommentFile::OldHeader);
}

QString saveProblem(const QString &path, const QString &classPath)
{
    if (!classPath.isEmpty() && sameFile(path, classPath))
        return DocumentMessages::SaveOverOwnClassMessage.arg(path);
    if (readsAsCommentFile(path))
        return DocumentMessages::SaveOverCommentFileMessage.arg(path);
    return QString();
}

} // namespace OutputTarget
