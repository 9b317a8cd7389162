#include "core/platform/fileerrorreason.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace FileErrorReason {

namespace {

struct Reason
{
    int error;
    const char16_t *text;
};

// The errors a file can meet, each with what the teacher is told.
constexpr Reason Reasons[] = {
    {ENOENT, u"文件不存在"},
    {EACCES, u"没有权限"},
    {EPERM, u"没有权限"},
    {ENOSPC, u"磁盘已满"},
    {EDQUOT, u"磁盘配额已用完"},
    {EISDIR, u"是一个文件夹"},
    {ENOTDIR, u"路径中有一部分不是文件夹"},
    {EROFS, u"只读文件系统"},
    {ENAMETOOLONG, u"文件名太长"},
    {EEXIST, u"文件已存在"},
    {EMFILE, u"打开的文件太多"},
    {ENFILE, u"打开的文件太多"},
    {EFBIG, u"文件太大"},
    {EIO, u"磁盘读写出错"},
    {ELOOP, u"链接太多（也许绕成了圈）"},
    {EBUSY, u"文件正被占用"},
    {ETXTBSY, u"文件正被占用"},
    {ENOMEM, u"内存不足"},
    {ENXIO, u"设备不存在"},
    {ENODEV, u"设备不存在"},
    {EPIPE, u"读取的一方已经关闭"},
    {EXDEV, u"不能跨磁盘移动"},
    {ENOTEMPTY, u"文件夹不是空的"},
    {EINVAL, u"文件名或参数无效"},
    {EAGAIN, u"暂时无法访问，请稍后再试"},
    {ESTALE, u"网络文件已失效"},
    {ENOTCONN, u"网络磁盘没有连接"},
    {ETIMEDOUT, u"访问超时"},
};

// Texts Qt writes itself about a file, with its name in them: the error each stands for.
struct QtText
{
    const char *context;
    const char *source;
    int error;
};

constexpr QtText QtTexts[] = {
    {"QSaveFile", "Existing file %1 is not writable", EACCES},
    {"QSaveFile", "Filename refers to a directory", EISDIR},
    {"QIODevice", "file to open is a directory", EISDIR},
};

// Whether a text is one of Qt's own (as it is or as translated), whatever file it names.
bool isQtText(const QString &text, const QString &pattern)
{
    const qsizetype place = pattern.indexOf(QStringLiteral("%1"));
    if (place < 0)
        return text == pattern;
    const QString before = pattern.left(place);
    const QString after = pattern.mid(place + 2);
    return text.size() > before.size() + after.size() && text.startsWith(before) && text.endsWith(after);
}

// Error numbers looked for behind a text; Linux numbers them below this.
constexpr int LastErrno = 133;

const QString GeneralReason = QStringLiteral("系统错误（错误号 %1）");
const QString UnknownReason = QStringLiteral("原因不明");

bool hasChinese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x2E80; });
}

// Whether a text is in the teacher's language: Chinese words and no English ones. A file's name
// in an English text ("Cannot open 一班.py") makes it no Chinese text; names and paths (words
// with a dot or a slash) are passed over when looking for English words.
bool inTeachersLanguage(const QString &text)
{
    if (!hasChinese(text))
        return false;
    static const QRegularExpression EnglishWord(QStringLiteral("[A-Za-z]{2,}"));
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return std::none_of(words.cbegin(), words.cend(), [](const QString &word) {
        const bool name = word.contains(u'.') || word.contains(u'/');
        return !name && EnglishWord.match(word).hasMatch();
    });
}

} // namespace

QString fromErrno(int error)
{
    for (const Reason &reason : Reasons) {
        if (reason.error == error)
            return QString::fromUtf16(reason.text);
    }
    return GeneralReason.arg(error);
}

QString fromKind(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::NoError:
    case QFileDevice::UnspecifiedError:
    case QFileDevice::FatalError:
        break;
    case QFileDevice::ReadError:
        return QStringLiteral("读取时出错");
    case QFileDevice::WriteError:
        return QStringLiteral("写入时出错");
    case QFileDevice::ResourceError:
        return QStringLiteral("系统资源不足（磁盘空间、内存或可打开的文件数）");
    case QFileDevice::OpenError:
        return QStringLiteral("无法打开");
    case QFileDevice::AbortError:
        return QStringLiteral("操作已取消");
    case QFileDevice::TimeOutError:
        return QStringLiteral("访问超时");
    case QFileDevice::RemoveError:
        return QStringLiteral("无法删除");
    case QFileDevice::RenameError:
        return QStringLiteral("无法改名");
    case QFileDevice::PositionError:
        return QStringLiteral("无法定位到文件中的位置");
    case QFileDevice::ResizeError:
        return QStringLiteral("无法改变文件大小");
    case QFileDevice::PermissionsError:
        return QStringLiteral("没有权限");
    case QFileDevice::CopyError:
        return QStringLiteral("无法复制");
    }
    return UnknownReason;
}

QString fromText(const QString &qtText)
{
    const QString text = qtText.trimmed();
    if (text.isEmpty())
        return UnknownReason;
    for (const QtText &known : QtTexts) {
        if (isQtText(text, QString::fromLatin1(known.source)) ||
            isQtText(text, QCoreApplication::translate(known.context, known.source)))
            return fromErrno(known.error);
    }
    // Qt builds these texts with qt_error_string: the same call gives the number back.
    for (int error = 1; error <= LastErrno; ++error) {
        if (text == qt_error_string(error) || text.endsWith(QStringLiteral(": ") + qt_error_string(error)))
            return fromErrno(error);
    }
    return inTeachersLanguage(text) ? text : UnknownReason;
}

QString of(const QFileDevice &device)
{
    const QString text = fromText(device.errorString());
    return text == UnknownReason ? fromKind(device.error()) : text;
}

QString of(const QIODevice &device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&device))
        return of(*file);
    return fromText(device.errorString());
}

} // namespace FileErrorReason
