#include "core/document/templatefile.h"

#include "core/document/commentfile.h"
#include "core/platform/textfile.h"

#include <QStringList>

namespace TemplateFile {

namespace {

/// The template's lines, or the reason they could not be had: the file is unreadable or has
/// fewer than `needed` lines.
Result<QStringList> readTemplate(const QString &path, int needed)
{
    const Result<QByteArray> read = TextFile::readAll(path);
    if (!read)
        return Failure{QStringLiteral("无法读取模板文件“%1”：%2").arg(path, read.error())};
    QStringList lines = TextFile::splitLines(TextFile::decode(*read));
    if (lines.size() < needed) {
        return Failure{QStringLiteral("模板文件“%1”已损坏：只有 %2 行，至少应有 %3 行。")
                           .arg(path)
                           .arg(lines.size())
                           .arg(needed)};
    }
    return lines;
}

Result<void> writeTemplate(const QString &path, const QString &text)
{
    // A template the reader would refuse is never written: the old one stays.
    const QByteArray bytes = TextFile::encode(text);
    Result<void> written = TextFile::fitsReadLimit(bytes.size());
    if (written)
        written = TextFile::saveAtomically(path, bytes);
    if (!written)
        return Failure{QStringLiteral("无法写入模板文件“%1”：%2").arg(path, written.error())};
    return done();
}

/// A CR inside a one-line field would end its line early and shift every later line of the
/// template, as the comment-file writer also guards against.
QString oneLine(QString text)
{
    return text.replace(u'\r', u' ');
}

} // namespace

Result<void> storeRoster(const QString &path, const CommentDocument &document)
{
    const Result<QStringList> lines = readTemplate(path, HeaderLines);
    if (!lines)
        return Failure{lines.error()};

    QStringList out = lines->mid(0, HeaderLines);
    // Every named slot is kept, even one after a gap in the roster.
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        const QString &name = document.slot(i).name;
        if (name.isEmpty())
            continue;
        out << CommentFile::Marker + oneLine(name) << CommentFile::Marker;
    }
    return writeTemplate(path, TextFile::joinLines(out));
}

Result<void> storeSignature(const QString &path, const QString &signature)
{
    Result<QStringList> lines = readTemplate(path, 2);
    if (!lines)
        return Failure{lines.error()};

    lines.value()[1] = QStringLiteral("teacher=") + oneLine(signature);
    return writeTemplate(path, TextFile::joinLines(*lines));
}

} // namespace TemplateFile
