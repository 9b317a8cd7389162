#include "core/platform/textfile.h"

#include "core/platform/fileerrorreason.h"
#include "core/platform/filesave.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

static const char *const FileEncoding = "GB18030";

namespace {

// What the reader puts where the bytes name no character: U+FFFD, and the Windows euro sign.
constexpr char ReplacementBytes[] = "\x84\x31\xA4\x37";
constexpr char EuroBytes[] = "\xA2\xE3";

// Linear numbers of the four-byte characters: the rest of the BMP, then U+10000 to U+10FFFF.
constexpr int LastBmpFourByte = 39419;              // 84 31 A4 39
constexpr int FirstSupplementary = 189000;          // 90 30 81 30
constexpr int LastSupplementary = 189000 + 0xFFFFF; // E3 32 9A 35

enum class Unit { Character, WindowsEuro, Unreadable };

// What starts at p (n bytes left): a GB18030 character, the euro sign of code page 936, or
// bytes that name nothing. *length receives how many bytes that takes. A broken sequence
// takes only its first byte, so that the bytes after it (a line break, say) are read anew.
Unit unitAt(const uchar *p, qsizetype n, int *length)
{
    *length = 1;
    const uchar b1 = p[0];
    if (b1 < 0x80)
        return Unit::Character;
    if (b1 == 0x80)
        return Unit::WindowsEuro;
    if (b1 == 0xFF || n < 2)
        return Unit::Unreadable;
    const uchar b2 = p[1];
    if ((b2 >= 0x40 && b2 <= 0x7E) || (b2 >= 0x80 && b2 <= 0xFE)) {
        *length = 2;
        return Unit::Character;
    }
    if (b2 < 0x30 || b2 > 0x39 || n < 4)
        return Unit::Unreadable;
    const uchar b3 = p[2];
    const uchar b4 = p[3];
    if (b3 < 0x81 || b3 > 0xFE || b4 < 0x30 || b4 > 0x39)
        return Unit::Unreadable;
    // Well formed, but only two ranges of the four-byte numbers are characters.
    *length = 4;
    const int linear = (((b1 - 0x81) * 10 + (b2 - 0x30)) * 126 + (b3 - 0x81)) * 10 + (b4 - 0x30);
    const bool character =
        linear <= LastBmpFourByte || (linear >= FirstSupplementary && linear <= LastSupplementary);
    return character ? Unit::Character : Unit::Unreadable;
}

} // namespace

QString decode(const QByteArray &bytes, qsizetype *unreadable)
{
    // The bytes are checked here rather than left to the converter, so that the Windows euro
    // sign can be read and every replaced place counted. What reaches the converter is well
    // formed; a replaced place becomes the encoded U+FFFD.
    qsizetype replaced = 0;
    QByteArray cleaned;
    qsizetype copied = 0;
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        int length = 1;
        const Unit unit = unitAt(data + i, n - i, &length);
        if (unit != Unit::Character) {
            if (cleaned.isNull())
                cleaned.reserve(n + 16);
            cleaned.append(bytes.constData() + copied, i - copied);
            if (unit == Unit::WindowsEuro) {
                cleaned.append(EuroBytes, 2);
            } else {
                cleaned.append(ReplacementBytes, 4);
                ++replaced;
            }
            copied = i + length;
        }
        i += length;
    }
    if (unreadable)
        *unreadable = replaced;

    QStringDecoder decoder(FileEncoding);
    Q_ASSERT(decoder.isValid());
    if (cleaned.isNull())
        return decoder(bytes);
    cleaned.append(bytes.constData() + copied, n - copied);
    return decoder(cleaned);
}

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(FileEncoding);
    Q_ASSERT(encoder.isValid());
    return encoder(text);
}

bool LineReader::next(QStringView *line)
{
    const qsizetype n = m_text.size();
    if (m_start >= n)
        return false;
    // The end of the line: the next CR (found with Qt's vectorised search), or for AnyBreaks
    // the next CR or LF.
    qsizetype i = -1;
    if (m_breaks == CrBreaks) {
        i = m_text.indexOf(u'\r', m_start);
    } else {
        for (qsizetype j = m_start; j < n && i < 0; ++j) {
            if (m_text[j] == u'\r' || m_text[j] == u'\n')
                i = j;
        }
    }
    if (i < 0) {
        *line = m_text.sliced(m_start);
        m_start = n;
        return true;
    }
    *line = m_text.sliced(m_start, i - m_start);
    if (m_text[i] == u'\r' && i + 1 < n && m_text[i + 1] == u'\n')
        ++i;
    m_start = i + 1;
    return true;
}

namespace {

QList<QStringView> lineViews(QStringView text, LineReader::Breaks breaks)
{
    QList<QStringView> lines;
    LineReader reader(text, breaks);
    for (QStringView line; reader.next(&line);)
        lines.append(line);
    return lines;
}

} // namespace

QList<QStringView> splitLineViews(QStringView text)
{
    return lineViews(text, LineReader::CrBreaks);
}

QList<QStringView> splitLineViewsAnyBreak(QStringView text)
{
    return lineViews(text, LineReader::AnyBreaks);
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

Result<QByteArray> readAll(QIODevice *device)
{
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return Failure{FileErrorReason::of(*device)};
    if (!device->isSequential() && device->size() > MaxFileSize)
        return Failure{tooLargeMessage()};
    // A file of known size is read in one piece of that size (a file growing meanwhile is
    // still caught below); only a stream gets a buffer of the whole limit.
    const qint64 want =
        device->isSequential() ? MaxFileSize + 1 : std::min(device->size() + 1, MaxFileSize + 1);
    QByteArray bytes = device->read(want);
    if (!device->isSequential() && bytes.size() == want && !device->atEnd())
        bytes += device->read(MaxFileSize + 1 - bytes.size());
    if (bytes.size() > MaxFileSize)
        return Failure{tooLargeMessage()};
    return bytes;
}

static const QString FolderMessage = QStringLiteral("这是一个文件夹，不是文件。");
static const QString NotAFileMessage =
    QStringLiteral("这不是普通的文件（而是管道、设备或套接字），无法读取。");

static QString kindError(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    return S_ISDIR(mode) ? FolderMessage : NotAFileMessage;
}

QString notARegularFile(const QString &path)
{
    struct stat info = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return kindError(info.st_mode);
}

Result<void> openForReading(QFile &file, const QString &path)
{
    // A pipe would make open() or read() wait for a writer for ever, and a device can be
    // endless: only a regular file is opened.
    if (QString why = notARegularFile(path); !why.isEmpty())
        return Failure{why};
    // Should the path have been replaced by a pipe since, O_NONBLOCK keeps open() from waiting
    // and the check on the opened file refuses it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Failure{FileErrorReason::fromErrno(errno)};
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const QString error = FileErrorReason::fromErrno(errno);
        ::close(fd);
        return Failure{error};
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failure{kindError(info.st_mode)};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{FileErrorReason::of(file)};
    }
    return done();
}

Result<QByteArray> readAll(const QString &path)
{
    QFile file;
    if (Result<void> opened = openForReading(file, path); !opened)
        return Failure{opened.error()};
    Result<QByteArray> read = readAll(&file);
    if (read && file.error() != QFileDevice::NoError)
        return Failure{FileErrorReason::of(file)};
    return read;
}

Result<QStringList> readLines(const QString &path)
{
    const Result<QByteArray> read = readAll(path);
    if (!read)
        return Failure{read.error()};
    return splitLines(decode(*read));
}

Result<void> fitsReadLimit(qint64 size)
{
    if (size <= MaxFileSize)
        return done();
    constexpr double MiB = 1024 * 1024;
    return Failure{
        QStringLiteral("文件将有 %1 MB，超过本系统能读取的上限 %2 MB，保存后将无法再打开，因此没有写入。")
            .arg(QString::number(std::ceil(size / MiB * 10) / 10, 'f', 1))
            .arg(MaxFileSize / (1024 * 1024))};
}

Result<void> saveAtomically(const QString &path, const QByteArray &bytes)
{
    return FileSave::save(path, bytes);
}

Result<void> writeText(const QString &path, QStringView text, const QString &model)
{
    return model.isEmpty() ? saveAtomically(path, encode(text)) : FileSave::saveLike(path, encode(text), model);
}

Result<void> writeLines(const QString &path, const QStringList &lines)
{
    return writeText(path, joinLines(lines));
}

} // namespace TextFile
