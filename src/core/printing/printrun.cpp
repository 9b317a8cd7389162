#include "core/printing/printrun.h"

#include "core/document/commentdocument.h"
#include "core/document/writingprogress.h"
#include "core/platform/leadingnumber.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printtarget.h"
#include "core/printing/sheetlayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

int copiesFrom(const QString &copiesText)
{
    const double copies = leadingNumber(copiesText);
    if (!(copies >= 1))
        return 0;
    if (copies >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(copies); // the whole part
}

namespace {

/// One run: hands documents to the printer until the run is done, stopped or failed; the
/// outcome gathers in `result`.
class Run
{
public:
    Run(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
        const PrintProgress &progress, PrintRunResult &result)
        : m_document(document)
        , m_scheme(scheme)
        , m_fonts(fonts)
        , m_options(options)
        , m_measurer(measurer)
        , m_printer(printer)
        , m_progress(progress)
        , m_result(result)
    {}

    /// Sets the page size; false when the printer refused it.
    bool setUpPage()
    {
        if (const QString problem = m_scheme.paperSizeError(); !problem.isEmpty()) {
            m_result.error = problem;
            return false;
        }
        const PageTwips size = schemePageSize(m_scheme);
        if (m_options.perSheet > 1) {
            // Several students a sheet: the printer takes the sheet, the pages go in its cells.
            const PageTwips sheet = sheetSize({m_options.perSheet, m_options.sheet, m_options.cutLines});
            m_sheet = sheetLayout(QSizeF(double(sheet.width), double(sheet.height)),
                                  QSizeF(double(size.width), double(size.height)), m_options.perSheet);
            if (!m_printer.setPageSize(qint64(std::lround(m_sheet.sheet.width())),
                                       qint64(std::lround(m_sheet.sheet.height()))))
                return fail();
            m_pageWidth = size.width;
            m_pageHeight = size.height;
            return true;
        }
        if (!m_printer.setPageSize(size.width, size.height))
            return fail();
        // The pages are drawn on what the printer took, one unit per twip.
        m_drawWidth = m_printer.pageWidth();
        m_drawHeight = m_printer.pageHeight();
        return true;
    }

    /// Every copy, each sheet (one student, or several on one sheet) a document of its own.
    void printSeparately(const QList<int> &students, int copies)
    {
        m_printer.setCopies(1);
        const QList<QList<int>> sheets = sheetsOf(students);
        m_total = int(qMin<qint64>(qint64(sheets.size()) * copies, std::numeric_limits<int>::max()));
        for (int copy = 1; copy <= copies; ++copy) {
            for (const QList<int> &sheet : sheets) {
                if (stopped())
                    return;
                if (applySetting())
                    m_printer.applySetting(m_options.printerSetting);
                if (!m_printer.beginDocument(sheetTitle(sheet)))
                    return (void)fail();
                printSheet(sheet);
                if (!m_printer.endDocument())
                    return (void)fail();
                ++m_result.documents;
                ++m_result.pages;
            }
        }
    }

    /// One document of every sheet, the copies made by the printer.
    void printAsOneJob(const QList<int> &students, int copies)
    {
        m_printer.setCopies(copies);
        const QList<QList<int>> sheets = sheetsOf(students);
        m_total = int(sheets.size());
        if (applySetting())
            m_printer.applySetting(m_options.printerSetting);
        const QString title = sheets.size() == 1 ? sheetTitle(sheets.first()) : runTitle();
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            if (stopped()) {
                // Half a class is no job: nothing of it reaches the queue.
                m_printer.abandon();
                return;
            }
            const bool begun = i == 0 ? m_printer.beginDocument(title) : m_printer.newPage();
            if (!begun) {
                m_printer.abandon();
                return (void)fail();
            }
            printSheet(sheets[i]);
        }
        if (!m_printer.endDocument())
            return (void)fail();
        m_result.documents = 1;
        m_result.pages = int(qMin<qint64>(qint64(sheets.size()) * copies, std::numeric_limits<int>::max()));
    }

private:
    bool applySetting() const { return m_options.range != PrintRange::Current; }

    bool stopped()
    {
        if (m_progress && m_progress(m_done, m_total)) {
            m_result.stopped = true;
            return true;
        }
        ++m_done;
        return false;
    }

    /// The students of each sheet, in reading order: one each unless several go on a sheet.
    QList<QList<int>> sheetsOf(const QList<int> &students) const
    {
        const qsizetype perSheet = std::max(1, m_options.perSheet);
        QList<QList<int>> sheets;
        for (qsizetype i = 0; i < students.size(); i += perSheet)
            sheets.append(students.mid(i, perSheet));
        return sheets;
    }

    void printSheet(const QList<int> &students)
    {
        if (m_options.perSheet <= 1) {
            printStudent(students.first());
            return;
        }
        if (m_options.cutLines)
            m_printer.printCutLines(m_sheet.cutLines);
        for (qsizetype cell = 0; cell < students.size(); ++cell) {
            // Each page whole, as on paper of its own size, then placed in its cell.
            const PageSetup setup = pageSetup(PaperEdges{double(m_pageWidth), double(m_pageHeight)});
            ComposedPage page = composePage(m_document, students[cell], m_fonts, setup, m_measurer);
            page.width = double(m_pageWidth);
            page.height = double(m_pageHeight);
            m_printer.printPageAt(page, m_sheet.pages.at(cell), m_sheet.scale, cell == 0);
        }
    }

    /// How a page of the run is laid out, composed as far as `paper` reaches.
    PageSetup pageSetup(const PaperEdges &paper) const
    {
        PageSetup setup = PageSetup::of(m_scheme).withPaperSize(m_options.pheightText, m_options.pwidthText);
        setup.className = m_options.className;
        setup.printDate = m_printDate;
        setup.paper = paper;
        return setup;
    }

    QString sheetTitle(const QList<int> &students) const
    {
        if (students.size() == 1)
            return documentTitle(students.first());
        return QStringLiteral("%1等%2人").arg(documentTitle(students.first())).arg(students.size());
    }

    void printStudent(int student)
    {
        // Composed as far as it shows on the printer's page, whatever the size boxes say.
        const PageSetup setup = pageSetup(PaperEdges{double(m_drawWidth), double(m_drawHeight)});
        ComposedPage page = composePage(m_document, student, m_fonts, setup, m_measurer);
        page.width = double(m_drawWidth);
        page.height = double(m_drawHeight);
        m_printer.printPage(page);
    }

    QString documentTitle(int student) const
    {
        const bool inClass = student >= 0 && student < CommentDocument::MaxStudents;
        const QString name = inClass ? m_document.slot(student + 1).name : QString();
        return name.isEmpty() ? QStringLiteral("评语") : QStringLiteral("评语-") + name;
    }

    QString runTitle() const
    {
        const QString who = m_options.className.isEmpty() ? QStringLiteral("全班") : m_options.className;
        if (m_options.range == PrintRange::FromTo)
            return QStringLiteral("评语-%1（第%2至%3名）").arg(who).arg(m_options.from).arg(m_options.to);
        return QStringLiteral("评语-") + who;
    }

    bool fail()
    {
        m_result.error = m_printer.error();
        return false;
    }

    const CommentDocument &m_document;
    const LayoutScheme &m_scheme;
    const ItemFonts &m_fonts;
    const PrintRunOptions &m_options;
    const TextMeasurer &m_measurer;
    PrintTarget &m_printer;
    const PrintProgress &m_progress;
    PrintRunResult &m_result;
    qint64 m_drawWidth = 0;
    qint64 m_drawHeight = 0;
    QDate m_printDate = QDate::currentDate(); ///< one date on every page of the run
    SheetLayout m_sheet;      ///< with several students a sheet: where they go
    qint64 m_pageWidth = 0;   ///< the scheme's page, in twips, with several a sheet
    qint64 m_pageHeight = 0;
    int m_done = 0;
    int m_total = 0;
};

} // namespace

QList<int> printedStudents(const CommentDocument &document, const PrintRunOptions &options)
{
    QList<int> students;
    bool oneStudent = true; // the range names one student
    if (options.range == PrintRange::Current) {
        students = {options.currentStudent};
    } else {
        const int named = document.studentCount();
        int first = 1;
        int last = named;
        if (options.range == PrintRange::FromTo) {
            first = std::max(options.from, 1);
            last = std::min(options.to, named);
        }
        oneStudent = options.range == PrintRange::FromTo && first == last;
        for (int position = first; position <= last; ++position) {
            if (!options.onlyWritten || WritingProgress::isWritten(document.slot(position).comment))
                students.append(position - 1);
        }
    }
    // One student with others a sheet: the sheet the preview shows, never the student alone in
    // its first cell.
    if (options.perSheet > 1 && oneStudent && students.size() == 1) {
        if (const QList<int> sheet = sheetOf(document, students.first(), options.perSheet); !sheet.isEmpty())
            return sheet;
    }
    return students;
}

QList<int> sheetOf(const CommentDocument &document, int student, int perSheet)
{
    const QList<int> wholeClass = printedStudents(document, PrintRunOptions{});
    const qsizetype at = wholeClass.indexOf(student);
    if (at < 0)
        return {};
    const qsizetype per = std::max(perSheet, 1);
    return wholeClass.mid(at / per * per, per);
}

int emptyComments(const CommentDocument &document, const QList<int> &students)
{
    int empty = 0;
    for (const int student : students) {
        if (student >= 0 && student < CommentDocument::MaxStudents &&
            !WritingProgress::isWritten(document.slot(student + 1).comment))
            ++empty;
    }
    return empty;
}

PrintRunResult printRun(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
                        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
                        const PrintProgress &progress)
{
    PrintRunResult result;
    Run run(document, scheme, fonts, options, measurer, printer, progress, result);
    if (!run.setUpPage())
        return result;
    const QList<int> students = printedStudents(document, options);
    const int copies = copiesFrom(options.copiesText);
    if (students.isEmpty() || copies == 0)
        return result;
    if (options.oneJob)
        run.printAsOneJob(students, copies);
    else
        run.printSeparately(students, copies);
    return result;
}
