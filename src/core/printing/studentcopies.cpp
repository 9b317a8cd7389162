#include "core/printing/studentcopies.h"

#include "core/document/commentdocument.h"
#include "core/platform/filesave.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagepainter.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfexport.h"
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
                 const TextMeasurer &measurer)
{
    const QSize size = imageSize(scheme);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
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
    paintComposedPage(painter,
                      composePage(document, student, document.ItemFonts, PageSetup::of(scheme), measurer));
    return image;
}

Plan plan(const CommentDocument &document, const QString &folder, Kind kind, bool includeEmpty)
{
    Plan planned;
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

Result<void> writeImage(const QString &path, const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return Failure{QStringLiteral("无法生成图片。")};
    return FileSave::save(path, buffer.data());
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
    for (int i = 0; i < total; ++i) {
        if (progress && progress(i, total)) {
            outcome.stopped = true;
            return outcome;
        }
        const QString path = dir.filePath(plan.fileNames.at(i));
        const int student = plan.students.at(i);
        const Result<void> written = kind == Kind::Pdf
                                         ? writeClassPdf(path, document, {student}, scheme, measurer)
                                         : writeImage(path, pageImage(document, student, scheme, measurer));
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

} // namespace StudentCopies
