#include "core/export/wordprocessor.h"

#include "core/document/commentdocument.h"
#include "core/export/worddocument.h"
#include "core/platform/fileerrorreason.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/textfile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <unistd.h>

namespace WordProcessor {

namespace {

const QString DocumentPrefix = QStringLiteral("评语-");
const QString DocumentSuffix = QStringLiteral(".odt");

QString temporaryFolder()
{
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return temp.isEmpty() ? QDir::tempPath() : temp;
}

// Writer opens a hand-over document some time after it was started, so a folder is only
// removed once it is old enough to have been read long ago. Only the user's own folders are
// touched, never a link or anything of another user's.
void removeOldFolders(const QString &temp)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QFileInfoList folders =
        QDir(temp).entryInfoList({FolderPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        if (folder.isSymLink() || folder.ownerId() != ::getuid())
            continue;
        if (folder.lastModified().secsTo(now) > MaxHandOverAge)
            QDir(folder.absoluteFilePath()).removeRecursively();
    }
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

    const ItemFont &commentFont = document.ItemFonts[int(Item::CommentText)];
    QTextCharFormat format;
    WordDocument::setShownFamily(format, commentFont);
    format.setFontPointSize(QFontInfo(FontSubstitution::toQFont(commentFont)).pointSizeF());
    QTextCursor all(&textDocument);
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    return WordDocument::odf(textDocument);
}

} // namespace

Result<QString> writeHandOverDocument(const QString &text, const CommentDocument &document)
{
    const QString temp = temporaryFolder();
    removeOldFolders(temp);
    // A new folder each time, made under a random name with the owner's rights alone (mkdtemp):
    // no one else can have made it beforehand, read the comments or plant a document in it.
    QTemporaryDir folder(temp + u'/' + FolderPrefix + QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        return Failure{QStringLiteral("无法在“%1”中创建临时文件夹：%2")
                           .arg(temp, FileErrorReason::fromText(folder.errorString()))};
    folder.setAutoRemove(false); // Writer reads the document after this command has ended
    const QByteArray bytes = odfDocument(text, document);
    if (bytes.isEmpty())
        return Failure{QStringLiteral("无法生成文档。")};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString target = folder.filePath(DocumentPrefix + stamp + DocumentSuffix);
    if (const Result<void> saved = TextFile::saveAtomically(target, bytes); !saved)
        return Failure{saved.error()};
    return target;
}

QStringList arguments(const QString &documentPath)
{
    // "-n" opens the document as a template: Writer shows an untitled copy, so the teacher's
    // Save asks where to put it instead of writing into the temporary folder.
    return {QStringLiteral("--writer"), QStringLiteral("-n"), documentPath};
}

Result<void> start(const QString &documentPath)
{
    const QString program = QStandardPaths::findExecutable(Program);
    if (program.isEmpty())
        return Failure{QStringLiteral("找不到程序 %1。").arg(Program)};
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments(documentPath));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached())
        return done();
    return Failure{FileErrorReason::fromText(process.errorString())};
}

} // namespace WordProcessor
