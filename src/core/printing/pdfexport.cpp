#include "core/printing/pdfexport.h"

#include "core/document/commentdocument.h"
#include "core/platform/filesave.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagepainter.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdf/pdftextlayer.h"
#include "core/printing/printrun.h"
#include "core/printing/sheetlayout.h"
#include "core/printing/standardpaper.h"

#include <QBuffer>
#include <QPainter>
#include <QPen>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <utility>

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
    return drawClassesPdf({ClassPages{&document, students, className}}, scheme, measurer);
}

PageTwips sheetSize(const SheetOptions &sheets)
{
    if (sheets.sheet.width > 0 && sheets.sheet.height > 0)
        return sheets.sheet;
    return {qint64(std::lround(21.0 * UnitsPerCm)), qint64(std::lround(29.7 * UnitsPerCm))};
}

namespace {

/// A student's page in its cell of the sheet: moved and scaled there, its lines on the sheet's
/// page of the text layer.
void paintInCell(QPainter &painter, const QList<DrawnLine> &lines, const QRectF &place, double scale,
                 PdfTextLayer &textLayer, bool firstOnSheet)
{
    painter.save();
    painter.translate(place.topLeft());
    painter.scale(scale, scale);
    paintLines(painter, lines, &textLayer, !firstOnSheet);
    painter.restore();
}

void paintCutLines(QPainter &painter, const SheetLayout &layout)
{
    painter.save();
    // A hairline of grey: about 0.2 mm, light enough not to show once cut.
    painter.setPen(QPen(QColor(170, 170, 170), 12));
    for (const QLineF &line : layout.cutLines)
        painter.drawLine(line);
    painter.restore();
}

} // namespace

DrawnPdf drawClassesPdf(const QList<ClassPages> &classes, const LayoutScheme &scheme,
                        const TextMeasurer &measurer, const SheetOptions &sheets)
{
    DrawnPdf drawn;
    const bool noPages = std::all_of(classes.cbegin(), classes.cend(),
                                     [](const ClassPages &pages) { return pages.students.isEmpty(); });
    if (noPages) {
        drawn.error = QStringLiteral("文件中没有学生，没有可打印的页。");
        return drawn;
    }
    if (const QString problem = scheme.paperSizeError(); !problem.isEmpty()) {
        drawn.error = problem;
        return drawn;
    }
    const PageTwips size = schemePageSize(scheme);
    const PageTwips sheet = sheetSize(sheets);
    const SheetLayout layout =
        sheetLayout(QSizeF(double(sheet.width), double(sheet.height)),
                    QSizeF(double(size.width), double(size.height)), std::max(1, sheets.perSheet));
    const int perSheet = layout.perSheet();

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Quillmark 青禾书苑"));
        writer.setTitle(QStringLiteral("学生评语"));
        writer.setResolution(1440); // one device unit per twip, as pages are composed
        // The scheme's paper (or the sheet), or the standard paper within 1 % of it: an A4
        // scheme's 598.5 × 846.45 pt is an A4 page. Items keep their twips from the top-left.
        writer.setPageLayout(pageLayoutFor(std::llround(layout.sheet.width()), std::llround(layout.sheet.height())));
        QPainter painter;
        if (!painter.begin(&writer)) {
            drawn.error = QStringLiteral("无法生成PDF文件。");
            return drawn;
        }
        PageSetup setup = PageSetup::of(scheme);
        setup.printDate = QDate::currentDate(); // one date for every page
        bool first = true;
        for (const ClassPages &pages : classes) {
            setup.className = pages.className;
            for (qsizetype i = 0; i < pages.students.size(); ++i) {
                const int cell = int(i % perSheet);
                if (cell == 0 && !std::exchange(first, false))
                    writer.newPage();
                const ComposedPage page =
                    composePage(*pages.document, pages.students[i], pages.document->ItemFonts, setup, measurer);
                const QList<DrawnLine> lines = drawnLines(page, &writer);
                if (perSheet == 1) {
                    paintLines(painter, lines, &drawn.textLayer);
                    continue;
                }
                if (cell == 0 && sheets.cutLines)
                    paintCutLines(painter, layout);
                paintInCell(painter, lines, layout.pages.at(cell), layout.scale, drawn.textLayer, cell == 0);
            }
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
    return writeClassesPdf(path, {ClassPages{&document, students, className}}, scheme, measurer);
}

Result<QByteArray> classesPdf(const QList<ClassPages> &classes, const LayoutScheme &scheme,
                              const TextMeasurer &measurer, const SheetOptions &sheets)
{
    const DrawnPdf drawn = drawClassesPdf(classes, scheme, measurer, sheets);
    if (!drawn.error.isEmpty())
        return Failure{drawn.error};
    const Result<PdfTextLayer::Rewritten> rewritten = drawn.textLayer.rewrite(drawn.pdf);
    if (!rewritten)
        return Failure{rewritten.error()};
    return rewritten->pdf;
}

Result<void> writeClassesPdf(const QString &path, const QList<ClassPages> &classes,
                             const LayoutScheme &scheme, const TextMeasurer &measurer, const SheetOptions &sheets,
                             const QString &privateLike)
{
    const Result<QByteArray> pdf = classesPdf(classes, scheme, measurer, sheets);
    if (!pdf)
        return pdf.failure();
    return FileSave::saveLike(path, *pdf, privateLike);
}
