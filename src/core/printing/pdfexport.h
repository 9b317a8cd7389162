#pragma once

#include "core/platform/result.h"
#include "core/platform/twips.h"
#include "core/printing/pdf/pdftextlayer.h"

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

/// The pages of some students of one class, for a PDF of several classes.
struct ClassPages
{
    const CommentDocument *document = nullptr;
    QList<int> students; ///< 0-based, in the order printed
    QString className;   ///< what a heading's "{班级}" stands for
};
/// Several students on one sheet of paper (see SheetLayout): 1, 2 or 4 a sheet.
struct SheetOptions
{
    int perSheet = 1;
    PageTwips sheet;      ///< the sheet, portrait (A4 when not given)
    bool cutLines = true; ///< thin grey lines between the students, to cut along
};

/// The sheet size the options give, in twips: A4 unless set.
PageTwips sheetSize(const SheetOptions &sheets);

/// Several classes in one PDF, each class's pages after the pages of the one before. With
/// several students a sheet, each class starts on a sheet of its own and a sheet is one page of
/// the PDF; the text layer gives each student's text, in reading order of the cells.
DrawnPdf drawClassesPdf(const QList<ClassPages> &classes, const LayoutScheme &scheme,
                        const TextMeasurer &measurer, const SheetOptions &sheets = {});

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
/// The finished PDF of several classes, as drawClassesPdf draws them with the text layer set right.
Result<QByteArray> classesPdf(const QList<ClassPages> &classes, const LayoutScheme &scheme,
                              const TextMeasurer &measurer, const SheetOptions &sheets = {});
/// The same with several classes, as drawClassesPdf draws them.
/// `privateLike`: the file takes that file's permission bits (the class's: who may not read
/// the class may not read its comments as a PDF either); empty: the usual ones.
Result<void> writeClassesPdf(const QString &path, const QList<ClassPages> &classes,
                             const LayoutScheme &scheme, const TextMeasurer &measurer,
                             const SheetOptions &sheets = {}, const QString &privateLike = QString());
