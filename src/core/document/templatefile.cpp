#include "core/document/templatefile.h"

#include "core/document/commentfile.h"
#include "core/platform/textfile.h"

#include <QStringList>

namespace TemplateFile {

namespace {

/// The template's lines, or the reason they could not be had: the file is unreadable or has
/// fewer than `needed` lines.
QString readTemplate(const QString &path, int needed, QStringList *lines)
{
    const TextFile::ReadResult read = TextFile::readAll(path);
    if (!read.ok)
        return QStringLiteral("无法读取模板文件“%1”：%2").arg(path, read.error);
    *lines = TextFile::splitLines(TextFile::decode(read.bytes));
    if (lines->size() < needed) {
        return QStringLiteral("模板文件“%1”已损坏：只有 %2 行，至少应有 %3 行。")
            .arg(path)
            .arg(lines->size())
            .arg(needed);
    }
    return {};
}

QString writeTemplate(const QString &path, const QString &text)
{
    // A template the reader would refuse is never written: the old one stays.
    const QByteArray bytes = TextFile::encode(text);
    QString error = TextFile::tooLargeToSave(bytes.size());
    if (error.isEmpty())
        error = TextFile::saveAtomically(path, bytes);
    if (!error.isEmpty())
        return QStringLiteral("无法写入模板文件“%1”：%2").arg(path, error);
    return {};
}

/// A CR inside a one-line field would end its line early and shift every later line of the
/// template, as the comment-file writer also guards against.
QString oneLine(QString text)
{
    return text.replace(u'\r', u' ');
}

} // namespace

QString storeRoster(const QString &path, const CommentDocument &document)
{
    QStringList lines;
    if (QString error = readTemplate(path, HeaderLines, &lines); !error.isEmpty())
        return error;

    QStringList out = lines.mid(0, HeaderLines);
    // Every named slot is kept, even one after a gap in the roster.
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        const QString &name = document.slot(i).name;
        if (name.isEmpty())
            continue;
        out << CommentFile::Marker + oneLine(name) << CommentFile::Marker;
    }
    return writeTemplate(path, TextFile::joinLines(out));
}

QString storeSignature(const QString &path, const QString &signature)
{
    QStringList lines;
    if (QString error = readTemplate(path, 2, &lines); !error.isEmpty())
        return error;

    lines[1] = QStringLiteral("teacher=") + oneLine(signature);
    return writeTemplate(path, TextFile::joinLines(lines));
}

} // namespace TemplateFile
