#include "core/printing/pdfexport.h"

#include "core/document/commentdocument.h"
#include "core/platform/filesave.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagepainter.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdftextlayer.h"
#include "core/printing/printrun.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

int printableStudents(const CommentDocument &document)
{
    return document.studentCount();
}

PageTwips schemePageSize(const LayoutScheme &scheme, int unitsPerCm)
{
    // Only a checked size is converted: a huge one would not fit the integer.
    if (!scheme.paperSizeError().isEmpty())
        return {};
    // std::nearbyint rounds halves to even in the default rounding mode; a side of a few
    // thousandths of a centimetre still gets its one twip.
    const auto twips = [&](SchemeField field) {
        return std::max<qint64>(1, qint64(std::nearbyint(scheme.number(field) * unitsPerCm)));
    };
    return {twips(SchemeField::PaperWidth), twips(SchemeField::PaperHeight)};
}

DrawnPdf drawClassPdf(const CommentDocument &document, const LayoutScheme &scheme,
                      const TextMeasurer &measurer, const QString &className)
{
    // The students a print run of the whole class takes.
    return drawClassPdf(document, printedStudents(document, PrintRunOptions{}), scheme, measurer, className);
}

DrawnPdf drawClassPdf(const CommentDocument &document, const QList<int> &students, const LayoutScheme &scheme,
                      const TextMeasurer &measurer, const QString &className)
{
    DrawnPdf drawn;
    if (students.isEmpty()) {
        drawn.error = QStringLiteral("文件中没有学生，没有可打印的页。");
        return drawn;
    }
    if (const QString problem = scheme.paperSizeError(); !problem.isEmpty()) {
        drawn.error = problem;
        return drawn;
    }
    const PageTwips size = schemePageSize(scheme);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Quillmark 青禾书苑"));
        writer.setTitle(QStringLiteral("学生评语"));
        writer.setResolution(1440); // one device unit per twip, as pages are composed
        // A point is 20 twips. The scheme's size exactly, never a standard size close to it.
        const QPageSize pageSize(QSizeF(size.width / 20.0, size.height / 20.0), QPageSize::Point, QString(),
                                 QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            drawn.error = QStringLiteral("无法生成PDF文件。");
            return drawn;
        }
        PageSetup setup = PageSetup::of(scheme);
        setup.className = className;
        setup.printDate = QDate::currentDate(); // one date for every page
        for (qsizetype i = 0; i < students.size(); ++i) {
            if (i > 0)
                writer.newPage();
            const ComposedPage page = composePage(document, students[i], document.ItemFonts, setup, measurer);
            const QList<DrawnLine> lines = drawnLines(page, &writer);
            paintLines(painter, lines);
            drawn.textLayer.addPage(lines, &writer);
        }
        painter.end();
    }
    drawn.pdf = buffer.data();
    return drawn;
}

Result<void> writeClassPdf(const QString &path, const CommentDocument &document, const LayoutScheme &scheme,
                           const TextMeasurer &measurer, const QString &className)
{
    return writeClassPdf(path, document, printedStudents(document, PrintRunOptions{}), scheme, measurer,
                         className);
}

Result<void> writeClassPdf(const QString &path, const CommentDocument &document, const QList<int> &students,
                           const LayoutScheme &scheme, const TextMeasurer &measurer, const QString &className)
{
    const DrawnPdf drawn = drawClassPdf(document, students, scheme, measurer, className);
    if (!drawn.error.isEmpty())
        return Failure{drawn.error};
    const Result<PdfTextLayer::Rewritten> rewritten = drawn.textLayer.rewrite(drawn.pdf);
    if (!rewritten)
        return Failure{rewritten.error()};
    return FileSave::save(path, rewritten->pdf);
}
