#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/pdfexport.h"

#include <QList>
#include <QString>

#include <functional>

class CommentDocument;
struct LayoutScheme;
class PrintTarget;
class TextMeasurer;

/// Which students a run prints.
enum class PrintRange {
    All,     ///< 全部: every student up to the first empty name
    Current, ///< 当前: the student on the sample page
    FromTo,  ///< 从 … 到 …: the students at list positions from … to (1-based, both included)
};

/// What one press of 打印 asks for.
struct PrintRunOptions
{
    PrintRange range = PrintRange::All;
    int from = 1; ///< FromTo: the first and the last list position printed
    int to = 1;
    bool onlyWritten = false; ///< leave out the students whose comment is empty
    /// All pages of a copy go to the printer as one document, the copies made by the printer;
    /// otherwise every student is a document of its own and copies repeat the run.
    bool oneJob = false;
    QString className; ///< names a one-job run in the queue (the class file's name); "" 全班
    QString copiesText = QStringLiteral("1"); ///< the copies box: its whole number of copies
    int currentStudent = 0;                   ///< the student on the sample page (range 当前)
    QString pheightText;                      ///< the paper-size boxes, as composition reads them
    QString pwidthText;
    int printerSetting = 2; ///< re-applied before every page of a run over several students
    /// Students a sheet (1, 2 or 4): their pages placed on the sheet in reading order (see
    /// SheetLayout); a sheet is then what a page is otherwise (a document, a page of a job).
    int perSheet = 1;
    PageTwips sheet;      ///< the sheet, portrait (A4 when not given)
    bool cutLines = true; ///< thin grey lines between the students
};

/// What a print run did.
struct PrintRunResult
{
    int documents = 0;    ///< documents handed to the print queue
    int pages = 0;        ///< pages in them, copies made by the run included
    bool stopped = false; ///< the teacher stopped the run
    QString error;        ///< why the printer failed, if it did (the run stops there)
};

/// The students (0-based) one copy of a run prints, in order. 全部 and 从 … 到 … take only named
/// students (up to the first empty name); onlyWritten leaves out empty comments, except for 当前.
/// With several students a sheet, a range of one student (当前, or 从 n 到 n) prints that
/// student's whole sheet, as the preview shows it (sheetOf).
QList<int> printedStudents(const CommentDocument &document, const PrintRunOptions &options);

/// The students on the sheet that `student` (0-based) is printed on in a run of the whole class,
/// in reading order, `perSheet` a sheet: what the preview shows for that student. Empty when a
/// whole-class run leaves the student out.
QList<int> sheetOf(const CommentDocument &document, int student, int perSheet);

/// How many of the students have an empty comment: the run asks before printing them.
int emptyComments(const CommentDocument &document, const QList<int> &students);

/// Told before each page, with the pages done and the pages of the whole run; returns true to
/// stop. The document in progress is then abandoned: a stopped one-job run sends nothing.
using PrintProgress = std::function<bool(int done, int total)>;

/// The print run at scale 1: sets the printer's page size from the scheme (paper × UnitsPerCm, whole
/// twips, halves to even), then prints printedStudents(). Separate documents: every student
/// is a document of its own and the whole run repeats once per copy (students 1 … n, then
/// 1 … n again). One job: one document per run, pages in run order, the printer told how many
/// copies to make. The document, the scheme and the fonts are only read.
PrintRunResult printRun(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
                        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
                        const PrintProgress &progress = {});

/// The whole number of copies a copies text asks for: its leading number's whole part; 0 for a
/// text that is not a number or is below 1.
int copiesFrom(const QString &copiesText);
