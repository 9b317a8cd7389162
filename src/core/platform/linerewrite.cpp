#include "core/platform/linerewrite.h"

#include "core/platform/textfile.h"

namespace LineRewrite {

Result<File> read(const QString &path)
{
    Result<QByteArray> result = TextFile::readAll(path);
    if (!result)
        return Failure{result.error()};
    File file;
    file.bytes = std::move(result).value();
    file.text = TextFile::decode(file.bytes);
    file.lines = TextFile::splitLineViewsAnyBreak(file.text);
    return file;
}

QList<QByteArrayView> byteLinesOf(const QByteArray &bytes, qsizetype lineCount)
{
    QList<QByteArrayView> lines;
    lines.reserve(lineCount);
    const char *const data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(QByteArrayView(data + start, i - start));
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(QByteArrayView(data + start, n - start));
    if (lines.size() != lineCount)
        lines.clear();
    return lines;
}

QList<QStringView> viewsOf(const QStringList &lines)
{
    QList<QStringView> views;
    views.reserve(lines.size());
    for (const QString &line : lines)
        views.append(line);
    return views;
}

FileSink::FileSink(const File &file)
    : m_file(file)
    , m_byteLines(byteLinesOf(file.bytes, file.lines.size()))
{
    m_bytes.reserve(file.bytes.size() + 2 * file.lines.size() + 512);
}

void FileSink::keep(qsizetype i)
{
    if (m_byteLines.isEmpty()) {
        append(m_file.lines.at(i));
        return;
    }
    flush();
    m_bytes.append(m_byteLines.at(i));
    m_bytes.append("\r\n", 2);
}

void FileSink::add(const QString &line)
{
    append(line);
}

QByteArray FileSink::take()
{
    flush();
    return std::move(m_bytes);
}

void FileSink::append(QStringView line)
{
    m_pending.append(line);
    m_pending.append(TextFile::CrLf);
}

void FileSink::flush()
{
    if (m_pending.isEmpty())
        return;
    m_bytes.append(TextFile::encode(m_pending));
    m_pending.clear();
}

} // namespace LineRewrite
