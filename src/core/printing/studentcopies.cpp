#include "core/printing/studentcopies.h"

#include "core/document/commentdocument.h"
#include "core/platform/filesave.h"
#include "core/platform/platform.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagepainter.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfexport.h"
#include "core/printing/pdf/pdfsplit.h"
#include "core/printing/studentfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <cmath>

namespace StudentCopies {

QString suffix(Kind kind)
{
    return kind == Kind::Pdf ? QStringLiteral("pdf") : QStringLiteral("png");
}

QSize imageSize(const LayoutScheme &scheme)
{
    if (!scheme.paperSizeError().isEmpty())
        return {};
    // True centimetres at 150 dpi: an A4 scheme (21 cm) is 1,240 pixels across.
    const auto pixels = [](double cm) { return std::max(1, int(std::lround(cm / 2.54 * ImageDpi))); };
    return {pixels(scheme.number(SchemeField::PaperWidth)), pixels(scheme.number(SchemeField::PaperHeight))};
}

QImage pageImage(const CommentDocument &document, int student, const LayoutScheme &scheme,
                 const TextMeasurer &measurer, const QString &className)
{
    const QSize size = imageSize(scheme);
    if (size.isEmpty())
        return {};
    // Black text on white: grey levels are all a page needs, a quarter of the bytes to encode.
    QImage image(size, QImage::Format_Grayscale8);
    const int dotsPerMetre = int(std::lround(ImageDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The page is composed in the scheme's twips; it fills the image exactly.
    const PageTwips page = schemePageSize(scheme);
    painter.scale(double(size.width()) / double(page.width), double(size.height()) / double(page.height));
    PageSetup setup = PageSetup::of(scheme);
    setup.className = className;
    paintComposedPage(painter, composePage(document, student, document.ItemFonts, setup, measurer));
    return image;
}

Plan plan(const CommentDocument &document, const QString &folder, Kind kind, bool includeEmpty,
          const QString &className)
{
    Plan planned;
    planned.className = className;
    planned.students = StudentFiles::students(document, includeEmpty);
    planned.fileNames = StudentFiles::fileNames(document, planned.students, suffix(kind));
    const QDir dir(folder);
    for (const QString &name : std::as_const(planned.fileNames)) {
        if (QFileInfo::exists(dir.filePath(name)))
            planned.existing.append(name);
    }
    return planned;
}

namespace {

/// The class PDF of `students`, its text layer set right, as one file a page.
Result<QList<QByteArray>> classPdfPages(const CommentDocument &document, const QList<int> &students,
                                        const LayoutScheme &scheme, const TextMeasurer &measurer,
                                        const QString &className)
{
    const Result<QByteArray> pdf = classesPdf({ClassPages{&document, students, className}}, scheme, measurer);
    if (!pdf)
        return pdf.failure();
    Result<QList<QByteArray>> pages = splitPdfPages(*pdf);
    if (pages && pages->size() != students.size())
        return Failure{QStringLiteral("PDF文件的页数不对。")};
    return pages;
}

Result<void> writeImage(const QString &path, const QImage &image, const QString &model)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // A light compression: nearly as small, several times faster than zlib's default.
    if (image.isNull() || !image.save(&buffer, "PNG", 80))
        return Failure{QStringLiteral("无法生成图片。")};
    return FileSave::saveLike(path, buffer.data(), model);
}

} // namespace

Outcome write(const Plan &plan, const QString &folder, Kind kind, const CommentDocument &document,
              const LayoutScheme &scheme, const TextMeasurer &measurer, const Progress &progress)
{
    Outcome outcome;
    if (const QString problem = scheme.paperSizeError(); !problem.isEmpty()) {
        outcome.error = problem;
        return outcome;
    }
    const QDir dir(folder);
    const int total = int(plan.students.size());
    // The PDF files are the pages of one class PDF, drawn once and split.
    QList<QByteArray> pdfs;
    if (kind == Kind::Pdf && total > 0) {
        const Result<QList<QByteArray>> pages = classPdfPages(document, plan.students, scheme, measurer, plan.className);
        if (!pages) {
            outcome.error = pages.error();
            return outcome;
        }
        pdfs = *pages;
    }
    for (int i = 0; i < total; ++i) {
        if (progress && progress(i, total)) {
            outcome.stopped = true;
            return outcome;
        }
        const QString path = dir.filePath(plan.fileNames.at(i));
        const int student = plan.students.at(i);
        const Result<void> written = kind == Kind::Pdf
                                         ? FileSave::saveLike(path, pdfs.value(i), plan.classPath)
                                         : writeImage(path, pageImage(document, student, scheme, measurer, plan.className),
                                                      plan.classPath);
        if (!written) {
            outcome.error = written.error();
            return outcome;
        }
        outcome.written.append(path);
    }
    if (progress)
        progress(total, total);
    return outcome;
}

Result<Plan> prepare(const CommentDocument &document, const Choice &choice)
{
    // A folder that is not there or takes no files is told before anything is asked or begun.
    // A missing folder on the way, or a file in the folder's place, is named first.
    QString problem = FileSave::folderProblem(choice.folder);
    if (problem.isEmpty())
        problem = StudentFiles::folderProblem(choice.folder);
    if (!problem.isEmpty())
        return Failure{problem + QStringLiteral("请选择另一个文件夹。")};
    Plan planned = plan(document, choice.folder, choice.kind, choice.includeEmpty, choice.className);
    planned.classPath = choice.classPath;
    if (planned.students.isEmpty()) {
        return Failure{
            choice.includeEmpty || document.studentCount() == 0
                ? QStringLiteral("班级中没有学生，没有可导出的文件。")
                : QStringLiteral(
                      "还没有写了评语的学生。要为未写评语的学生也导出文件，请选中“包括未写评语的学生”。")};
    }
    return planned;
}

namespace {

// The progress box's text: while the pages are drawn, then at each file.
const QString PreparingText = QStringLiteral("正在准备 %1 个文件……");
const QString StepText = QStringLiteral("正在导出第 %1 个文件，共 %2 个……");

} // namespace

Outcome exportCopies(const CommentDocument &document, const Choice &choice, const LayoutScheme &scheme,
                     const TextMeasurer &measurer, Platform &platform)
{
    const auto tell = [&](const QString &text, MsgIcon icon) {
        platform.messageBox(text, Platform::NoticeTitle, icon, MsgButtons::Ok);
    };
    // Check and ask first: the progress box is not open yet.
    const Result<Plan> planned = prepare(document, choice);
    if (!planned) {
        tell(planned.error(), MsgIcon::Exclamation);
        return {};
    }
    if (!planned->existing.isEmpty()) {
        const QString question =
            QStringLiteral("文件夹“%1”中已有 %2 个同名文件（如“%3”）。要替换这些文件吗？")
                .arg(choice.folder, QString::number(planned->existing.size()), planned->existing.first());
        if (platform.choose(question, Platform::QuestionTitle, {QStringLiteral("替换"), QStringLiteral("取消")}) != 0)
            return {};
    }

    // Then write, with the progress box open only while writing.
    Outcome outcome;
    {
        const int total = int(planned->students.size());
        const std::unique_ptr<ProgressWindow> box =
            platform.openProgress(Title, PreparingText.arg(total), total);
        const auto step = [&](int done, int all) {
            return box->advance(done, StepText.arg(qMin(done + 1, all)).arg(all));
        };
        outcome = write(*planned, choice.folder, choice.kind, document, scheme, measurer, step);
    }

    // Then say how it went, the progress box gone.
    const QString count = QString::number(outcome.written.size());
    if (!outcome.error.isEmpty()) {
        QString text = QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir(choice.folder).filePath(planned->fileNames.at(outcome.written.size())),
                                outcome.error);
        if (!outcome.written.isEmpty())
            text += QStringLiteral("\n已写好的 %1 个文件留在文件夹中。").arg(count);
        tell(text, MsgIcon::Critical);
    } else if (outcome.stopped) {
        tell(QStringLiteral("已停止。已写好的 %1 个文件留在文件夹“%2”中。").arg(count, choice.folder),
             MsgIcon::Information);
    } else {
        tell(QStringLiteral("已导出 %1 个文件到文件夹“%2”。").arg(count, choice.folder), MsgIcon::Information);
    }
    return outcome;
}

} // namespace StudentCopies
