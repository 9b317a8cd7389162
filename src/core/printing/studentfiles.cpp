#include "core/printing/studentfiles.h"

#include "core/document/commentdocument.h"
#include "core/document/writingprogress.h"
#include "core/platform/fileerrorreason.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

bool refused(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(c);
}

} // namespace

namespace StudentFiles {

QString fileName(int position, int classSize, const QString &name, const QString &suffix)
{
    const int digits = classSize >= 100 ? 3 : 2;
    const QString number = QStringLiteral("%1 ").arg(position, digits, 10, QLatin1Char('0'));
    const QString ending = QLatin1Char('.') + suffix;
    // Whole characters (a surrogate pair stays together) while they fit the file name's bytes.
    qsizetype room = MaxNameBytes - number.toUtf8().size() - ending.toUtf8().size();
    QString safe;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char32_t code =
            name.at(i).isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()
                ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1))
                : name.at(i).unicode();
        const int bytes = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes > room)
            break;
        room -= bytes;
        if (code >= 0x10000) {
            safe.append(name.mid(i, 2));
            ++i;
        } else {
            safe.append(refused(name.at(i)) ? QChar(u'_') : name.at(i));
        }
    }
    return number + safe + ending;
}

QList<int> students(const CommentDocument &document, bool includeEmpty)
{
    QList<int> chosen;
    for (int index = 0; index < document.studentCount(); ++index) {
        if (includeEmpty || WritingProgress::isWritten(document.slot(index + 1).comment))
            chosen.append(index);
    }
    return chosen;
}

QStringList fileNames(const CommentDocument &document, const QList<int> &students, const QString &suffix)
{
    QStringList names;
    for (const int index : students)
        names.append(fileName(index + 1, document.studentCount(), document.slot(index + 1).name, suffix));
    return names;
}

QString folderProblem(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QStringLiteral("文件夹“%1”不存在。").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".qhsy-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("无法在文件夹“%1”中保存文件：%2。").arg(folder, FileErrorReason::of(probe));
    return {};
}

} // namespace StudentFiles
