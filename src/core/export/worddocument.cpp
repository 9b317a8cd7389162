#include "core/export/worddocument.h"

#include "core/document/commentdocument.h"
#include "core/platform/fileerrorreason.h"
#include "core/platform/filesave.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/libreoffice.h"
#include "core/platform/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>

namespace WordDocument {

void setShownFamily(QTextCharFormat &format, const ItemFont &font)
{
    const QFontInfo shown(FontSubstitution::toQFont(font));
    format.setFontFamilies(QStringList{shown.family()});
    format.setProperty(QTextFormat::FontFamily, shown.family());
}

QByteArray odf(const QTextDocument &text)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QTextDocumentWriter writer(&buffer, "odf");
    return writer.write(&text) ? bytes : QByteArray();
}

namespace {

QTextCharFormat formatOf(const ItemFont &font)
{
    QTextCharFormat format;
    setShownFamily(format, font);
    format.setFontPointSize(font.fontSize > 0 ? font.fontSize : 10.5);
    format.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic);
    return format;
}

} // namespace

void layOut(const CommentDocument &document, QTextDocument &text)
{
    QTextCursor cursor(&text);
    const QTextCharFormat name = formatOf(document.ItemFonts[std::size_t(Item::StudentName)]);
    const QTextCharFormat comment = formatOf(document.ItemFonts[std::size_t(Item::CommentText)]);
    const QTextCharFormat signature = formatOf(document.ItemFonts[std::size_t(Item::Signature)]);
    const int students = document.studentCount();
    for (int slot = 1; slot <= students; ++slot) {
        QTextBlockFormat nameLine;
        if (slot > 1)
            nameLine.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore); // one page a student
        if (slot == 1)
            cursor.setBlockFormat(nameLine);
        else
            cursor.insertBlock(nameLine);
        cursor.insertText(document.slot(slot).name + QStringLiteral("同学："), name);
        // The comment's own line breaks start paragraphs of its own.
        const QString body =
            QString(document.slot(slot).comment).replace(TextFile::CrLf, QStringLiteral("\n"));
        for (const QString &paragraph : body.split(u'\n')) {
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(paragraph, comment);
        }
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        right.setTopMargin(12);
        cursor.insertBlock(right);
        cursor.insertText(document.TeacherSignature, signature);
    }
}

QByteArray odt(const CommentDocument &document)
{
    QTextDocument text;
    layOut(document, text);
    return odf(text);
}

Result<void> write(const QString &path, const CommentDocument &document, const QString &classPath)
{
    const QByteArray text = odt(document);
    if (text.isEmpty())
        return Failure{QStringLiteral("无法生成文档。")};
    if (QFileInfo(path).suffix().compare(QStringLiteral("odt"), Qt::CaseInsensitive) == 0)
        return FileSave::saveLike(path, text, classPath);

    // Declared first, so that an interrupted conversion ends the program only once the folder
    // holding the class's comments is gone.
    const LibreOffice::InterruptScope interrupts;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/qhsy-word-XXXXXX"));
    if (!work.isValid())
        return Failure{
            QStringLiteral("无法创建临时文件夹：%1").arg(FileErrorReason::fromText(work.errorString()))};
    const QString source = work.filePath(QStringLiteral("评语.odt"));
    if (const Result<void> saved = FileSave::save(source, text); !saved)
        return saved;
    const Result<QString> converted = LibreOffice::convert(source, QStringLiteral("docx"), work.path());
    if (converted.kind() == FailureKind::NotFound)
        return Failure{QStringLiteral("没有找到 LibreOffice（soffice），无法生成 Word 文档（.docx）。"
                                      "请安装 LibreOffice，或者保存为 OpenDocument 文本（.odt）。")};
    if (converted.kind() == FailureKind::Stopped)
        return converted.failure();
    if (!converted)
        return Failure{QStringLiteral("LibreOffice 没能把文档转换为 Word 格式：%1").arg(converted.error())};
    QFile file(*converted);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("无法读取转换后的文档：%1").arg(FileErrorReason::of(file))};
    return FileSave::saveLike(path, file.readAll(), classPath);
}

} // namespace WordDocument
