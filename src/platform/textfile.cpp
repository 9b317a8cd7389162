#include "platform/textfile.h"

#include "platform/filesave.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace TextFile {

static const char *const FileEncoding = "GB18030";

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(FileEncoding);
    Q_ASSERT(decoder.isValid());
    return decoder(bytes);
}

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(FileEncoding);
    Q_ASSERT(encoder.isValid());
    return encoder(text);
}

QList<QStringView> splitLineViews(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QList<QStringView> splitLineViewsAnyBreak(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    const QList<QStringView> views = splitLineViews(text);
    lines.reserve(views.size());
    for (QStringView line : views)
        lines.append(line.toString());
    return lines;
}

QString joinLines(const QStringList &lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += CrLf;
    }
    return text;
}

static QString tooLargeMessage()
{
    return QStringLiteral("文件太大（超过 %1 MB），不是本系统的文件。").arg(MaxFileSize / (1024 * 1024));
}

ReadResult readAll(QIODevice *device)
{
    ReadResult result;
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly)) {
        result.error = device->errorString();
        return result;
    }
    if (!device->isSequential() && device->size() > MaxFileSize) {
        result.error = tooLargeMessage();
        return result;
    }
    // A file of known size is read in one piece of that size (a file growing meanwhile is
    // still caught below); only a stream gets a buffer of the whole limit.
    const qint64 want = device->isSequential() ? MaxFileSize + 1 : std::min(device->size() + 1, MaxFileSize + 1);
    result.bytes = device->read(want);
    if (!device->isSequential() && result.bytes.size() == want && !device->atEnd())
        result.bytes += device->read(MaxFileSize + 1 - result.bytes.size());
    if (result.bytes.size() > MaxFileSize) {
        result.bytes.clear();
        result.error = tooLargeMessage();
        return result;
    }
    result.ok = true;
    return result;
}

ReadResult readAll(const QString &path)
{
    if (QFileInfo(path).isDir())
        return {false, {}, QStringLiteral("这是一个文件夹，不是文件。")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, {}, file.errorString()};
    ReadResult result = readAll(&file);
    if (result.ok && file.error() != QFileDevice::NoError)
        return {false, {}, file.errorString()};
    return result;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    ReadResult read = readAll(path);
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    *lines = splitLines(decode(read.bytes));
    return true;
}

QString saveAtomically(const QString &path, const QByteArray &bytes)
{
    return FileSave::save(path, bytes);
}

QString writeText(const QString &path, QStringView text)
{
    return saveAtomically(path, encode(text));
}

QString writeLines(const QString &path, const QStringList &lines)
{
    return writeText(path, joinLines(lines));
}

} // namespace TextFile
