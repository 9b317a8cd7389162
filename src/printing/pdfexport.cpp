#include "printing/pdfexport.h"

#include "document/commentdocument.h"
#include "printing/composition.h"
#include "printing/layoutscheme.h"
#include "printing/pagepainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

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
    const auto twips = [&](const QString &key) {
        return std::max<qint64>(1, qint64(std::nearbyint(scheme.number(key) * unitsPerCm)));
    };
    return {twips(QStringLiteral("paperwidth")), twips(QStringLiteral("paperheight"))};
}

QString writeClassPdf(const QString &path, const CommentDocument &document, const LayoutScheme &scheme,
                      const TextMeasurer &measurer)
{
    const int students = printableStudents(document);
    if (students == 0)
        return QStringLiteral("文件中没有学生，没有可打印的页。");
    if (const QString problem = scheme.paperSizeError(); !problem.isEmpty())
        return problem;
    const PageTwips size = schemePageSize(scheme);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Quillmark 青禾书苑"));
        writer.setTitle(QStringLiteral("学生评语"));
        writer.setResolution(1440);   // one device unit per twip, as pages are composed
        // A point is 20 twips. The scheme's size exactly, never a standard size close to it.
        const QPageSize pageSize(QSizeF(size.width / 20.0, size.height / 20.0), QPageSize::Point, QString(),
                                 QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return QStringLiteral("无法生成PDF文件。");
        }
        for (int i = 0; i < students; ++i) {
            if (i > 0)
                writer.newPage();
            const ComposedPage page = composePage(document, i, document.ItemFonts, scheme, scheme.paperheight,
                                                  scheme.paperwidth, 1.0, measurer);
            paintComposedPage(painter, page);
        }
        painter.end();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
