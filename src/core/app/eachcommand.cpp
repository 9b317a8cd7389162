#include "core/app/eachcommand.h"

#include "core/app/commandline.h"
#include "core/document/commentdocument.h"
#include "core/platform/filesave.h"
#include "core/printing/studentcopies.h"
#include "core/printing/studentfiles.h"
#include "core/printing/textmeasurer.h"

#include <QFileInfo>
#include <QTextStream>

namespace EachCommand {

int run(const QString &in, const QString &outDir, const Options &options, const QString &programFolder,
        QTextStream &out, QTextStream &err)
{
    CommentDocument document;
    if (!CommandLine::readComments(in, document, err))
        return 2;
    const std::optional<LayoutScheme> scheme = CommandLine::printScheme(programFolder, options.scheme, err);
    if (!scheme)
        return 2;
    // Refused before a page is drawn: the folder is not there, or takes no files.
    // A missing folder on the way, or a file in the folder's place, is named first.
    QString problem = FileSave::folderProblem(outDir);
    if (problem.isEmpty())
        problem = StudentFiles::folderProblem(outDir);
    if (!problem.isEmpty()) {
        err << problem << '\n';
        return 1;
    }
    const StudentCopies::Kind kind = options.png ? StudentCopies::Kind::Png : StudentCopies::Kind::Pdf;
    StudentCopies::Plan plan =
        StudentCopies::plan(document, outDir, kind, options.all, QFileInfo(in).completeBaseName());
    plan.classPath = in;
    if (plan.students.isEmpty()) {
        err << (options.all ? QStringLiteral("文件“%1”中没有学生。")
                            : QStringLiteral("文件“%1”中没有写了评语的学生（--all：也包括未写评语的学生）。"))
                   .arg(in)
            << '\n';
        return 2;
    }
    const QtTextMeasurer measurer;
    const StudentCopies::Outcome outcome =
        StudentCopies::write(plan, outDir, kind, document, *scheme, measurer);
    for (const QString &path : outcome.written)
        out << CommandLine::escapeField(path) << '\n';
    if (!outcome.error.isEmpty()) {
        const qsizetype failed = outcome.written.size();
        err << QStringLiteral("无法写入文件“%1”：%2").arg(plan.fileNames.at(failed), outcome.error) << '\n';
        return 1;
    }
    return 0;
}

} // namespace EachCommand
