#include "core/platform/scratchfile.h"

#include "core/platform/textfile.h"

namespace ScratchFile {

namespace {

// The text with every line break as CR LF, and one after the last line.
QString normalised(QStringView text)
{
    QString normalised;
    normalised.reserve(text.size() + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            normalised += TextFile::CrLf;
        } else {
            normalised += c;
        }
    }
    normalised += TextFile::CrLf;
    return normalised;
}

} // namespace

QStringList lines(QStringView text)
{
    return TextFile::splitLines(TextFile::decode(TextFile::encode(normalised(text))));
}

Result<QStringList> roundTrip(const QString &path, QStringView text)
{
    const QString normalised = ScratchFile::normalised(text);
    if (const Result<void> written = TextFile::writeText(path, normalised); !written)
        return Failure{QStringLiteral("无法写入临时文件“%1”：%2").arg(path, written.error())};
    Result<QStringList> read = TextFile::readLines(path);
    if (!read)
        return Failure{QStringLiteral("无法读取临时文件“%1”：%2").arg(path, read.error())};
    return read;
}

} // namespace ScratchFile
