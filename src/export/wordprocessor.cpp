#include "export/wordprocessor.h"

#include "document/appstate.h"
#include "export/exporttext.h"
#include "platform/fontsubstitution.h"
#include "platform/platform.h"
#include "platform/textfile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <unistd.h>

namespace WordProcessor {

namespace {

const QString DocumentPrefix = QStringLiteral("评语-");
const QString DocumentSuffix = QStringLiteral(".odt");
constexpr QFile::Permissions OwnerOnly =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

// The temporary folder is shared by every user: the hand-over folder is only used when it is
// ours and closed to everyone else, so that no one can read the comments or plant a document.
QString prepareFolder(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkdir(folder, OwnerOnly) && !dir.exists())
        return QStringLiteral("无法创建临时文件夹“%1”。").arg(folder);
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink() || info.ownerId() != ::getuid())
        return QStringLiteral("临时文件夹“%1”不属于当前用户。").arg(folder);
    if ((info.permissions() & ~OwnerOnly).toInt() != 0 && !QFile::setPermissions(folder, OwnerOnly))
        return QStringLiteral("无法设置临时文件夹“%1”的权限。").arg(folder);
    return {};
}

// Writer opens a hand-over document some time after it was started, so a document is only
// removed once it is old enough to have been read long ago.
void removeOldDocuments(const QString &folder)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QFileInfoList documents =
        QDir(folder).entryInfoList({DocumentPrefix + u'*' + DocumentSuffix}, QDir::Files);
    for (const QFileInfo &document : documents) {
        if (document.lastModified().secsTo(now) > MaxHandOverAge)
            QFile::remove(document.absoluteFilePath());
    }
}

QString newDocumentPath(const QString &folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString path = folder + u'/' + DocumentPrefix + stamp + DocumentSuffix;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + u'/' + DocumentPrefix + stamp + u'-' + QString::number(n) + DocumentSuffix;
    return path;
}

// The text as an ODF document in memory, set in the comment font (the installed face it is shown
// with here), so that Writer shows the Chinese text in a face that has it.
QByteArray odfDocument(const QString &text, const CommentDocument &document)
{
    // One paragraph a line: the line break that ends the last line starts no paragraph of its own.
    QString paragraphs = text;
    paragraphs.replace(TextFile::CrLf, QStringLiteral("\n"));
    if (paragraphs.endsWith(u'\n'))
        paragraphs.chop(1);
    QTextDocument textDocument;
    textDocument.setPlainText(paragraphs);

    const QFontInfo commentFont(FontSubstitution::toQFont(document.ItemFonts[int(Item::CommentText)]));
    QTextCharFormat format;
    format.setFontFamilies(QStringList{commentFont.family()});
    format.setProperty(QTextFormat::FontFamily, commentFont.family());   // what Qt's ODF writer reads
    format.setFontPointSize(commentFont.pointSizeF());
    QTextCursor all(&textDocument);
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(&textDocument))
        return {};
    return bytes;
}

} // namespace

QString handOverFolder()
{
    QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (temp.isEmpty())
        temp = QDir::tempPath();
    return QDir(temp).absoluteFilePath(QStringLiteral("qhsy-%1").arg(::getuid()));
}

QString writeHandOverDocument(const QString &text, const CommentDocument &document, QString *path)
{
    const QString folder = handOverFolder();
    if (QString error = prepareFolder(folder); !error.isEmpty())
        return error;
    removeOldDocuments(folder);
    const QByteArray bytes = odfDocument(text, document);
    if (bytes.isEmpty())
        return QStringLiteral("无法生成文档。");
    const QString target = newDocumentPath(folder);
    if (QString error = TextFile::saveAtomically(target, bytes); !error.isEmpty())
        return error;
    *path = target;
    return {};
}

QStringList arguments(const QString &documentPath)
{
    // "-n" opens the document as a template: Writer shows an untitled copy, so the teacher's
    // Save asks where to put it instead of writing into the temporary folder.
    return {QStringLiteral("--writer"), QStringLiteral("-n"), documentPath};
}

bool start(const QString &documentPath, QString *error)
{
    const QString program = QStandardPaths::findExecutable(Program);
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("找不到程序 %1。").arg(Program);
        return false;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments(documentPath));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

} // namespace WordProcessor

void openInWordProcessor(AppState &state, Platform &platform)
{
    const QString text = composeExportText(state.Document, NameLineStyle::Colon);
    QString path;
    QString error = WordProcessor::writeHandOverDocument(text, state.Document, &path);
    if (error.isEmpty() && platform.startWordProcessor(path, &error)) {
        platform.setClipboardText(text);
        return;
    }
    platform.messageBox(WordProcessor::FailureMessage, Platform::NoticeTitle, MsgIcon::Critical,
                        MsgButtons::Ok);
}
