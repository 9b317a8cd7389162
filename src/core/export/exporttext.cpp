#include "core/export/exporttext.h"

#include "core/document/commentdocument.h"
#include "core/platform/textfile.h"

namespace {

const QString Attribution = QStringLiteral("此文件由Quillmark（lumo）自动生成，感谢使用！");
const QString SignatureLabel = QStringLiteral("本班班主任签名：");

} // namespace

QString composeExportText(const CommentDocument &document, NameLineStyle style)
{
    const QString &crlf = TextFile::CrLf;
    const QString &signature = document.TeacherSignature;
    QString text = Attribution + crlf + crlf + SignatureLabel + signature + crlf + crlf;
    for (int number = 1; number <= CommentDocument::MaxStudents; ++number) {
        const StudentSlot &student = document.slot(number);
        if (student.name.isEmpty())
            break;
        text += student.name;
        if (style == NameLineStyle::Colon)
            text += u'：';
        // The comment keeps its own CR LF between lines, so it is copied as it stands.
        text += crlf + student.comment + crlf + signature + crlf + crlf;
    }
    return text;
}

QString exportFileText(const CommentDocument &document)
{
    return composeExportText(document, NameLineStyle::Plain) + TextFile::CrLf;
}

Result<void> writeExportTextFile(const QString &path, const CommentDocument &document, const QString &classPath)
{
    return TextFile::writeText(path, exportFileText(document), classPath);
}
