#pragma once

#include "core/platform/result.h"
#include "core/platform/twips.h"
#include "core/printing/pdftextlayer.h"

#include <QByteArray>
#include <QList>
#include <QString>

class CommentDocument;
struct LayoutScheme;
class TextMeasurer;

/// The number of students a whole-class run prints: the slots before the first empty name.
int printableStudents(const CommentDocument &document);

/// The page size of a scheme in twips: paper width and height × UnitsPerCm, rounded to whole twips
/// (halves to even), at least one; 0 × 0 for a scheme whose paperSizeError() is not empty.
struct PageTwips
{
    qint64 width = 0;
    qint64 height = 0;
};
PageTwips schemePageSize(const LayoutScheme &scheme, int unitsPerCm = UnitsPerCm);

/// The class as Qt's PDF writer draws it, before its text layer is set right.
struct DrawnPdf
{
    QByteArray pdf;
    PdfTextLayer textLayer; ///< what was drawn on each page
    QString error;          ///< why nothing could be drawn, in the teacher's language
};
/// Draws the pages writeClassPdf writes: one page for each of `students` (0-based), in that order.
/// A heading's "{班级}" is `className`.
DrawnPdf drawClassPdf(const CommentDocument &document, const QList<int> &students, const LayoutScheme &scheme,
                      const TextMeasurer &measurer, const QString &className = QString());
/// The whole class: every student up to the first empty name.
DrawnPdf drawClassPdf(const CommentDocument &document, const LayoutScheme &scheme,
                      const TextMeasurer &measurer, const QString &className = QString());

/// Writes the class as a PDF: one page per student (up to the first empty name), each composed
/// at scale 1 with the scheme and of the scheme's paper size, the fonts embedded, the text layer
/// giving the characters drawn (PdfTextLayer). The file is written through FileSave::save.
/// Fails with the reason, in the teacher's language: the scheme's paperSizeError() when its
/// paper cannot be printed on.
Result<void> writeClassPdf(const QString &path, const CommentDocument &document, const LayoutScheme &scheme,
                           const TextMeasurer &measurer, const QString &className = QString());
/// The same with the pages of `students` only (0-based), in that order: what a print run of the
/// same range would print.
Result<void> writeClassPdf(const QString &path, const CommentDocument &document, const QList<int> &students,
                           const LayoutScheme &scheme, const TextMeasurer &measurer,
                           const QString &className = QString());
