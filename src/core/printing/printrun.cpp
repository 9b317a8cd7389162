#include "core/printing/printrun.h"

#include "core/document/commentdocument.h"
#include "core/platform/leadingnumber.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printtarget.h"

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

/// One run over the class: hands documents to the printer until the run is done, stopped or
/// failed; the outcome gathers in `result`.
class Run
{
public:
    Run(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
        const std::function<bool()> &stop, PrintRunResult &result)
        : m_document(document)
        , m_scheme(scheme)
        , m_fonts(fonts)
        , m_options(options)
        , m_measurer(measurer)
        , m_printer(printer)
        , m_stop(stop)
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
        if (!m_printer.setPageSize(size.width, size.height))
            return fail();
        // The pages are drawn on what the printer took, one unit per twip.
        m_drawWidth = m_printer.pageWidth();
        m_drawHeight = m_printer.pageHeight();
        return true;
    }

    /// One copy: every student up to the first empty name, or the current student alone.
    bool printCopy()
    {
        if (!m_options.wholeClass)
            return printStudent(m_options.currentStudent, false);
        for (int slot = 1; slot <= CommentDocument::MaxStudents; ++slot) {
            if (m_document.slot(slot).name.isEmpty())
                break;
            if (!printStudent(slot - 1, true))
                return false;
        }
        return true;
    }

private:
    bool printStudent(int student, bool applySetting)
    {
        if (m_stop && m_stop()) {
            m_result.stopped = true;
            return false;
        }
        // Composed as far as it shows on the printer's page, whatever the size boxes say.
        const PaperEdges paper{double(m_drawWidth), double(m_drawHeight)};
        PageSetup setup = PageSetup::of(m_scheme).withPaperSize(m_options.pheightText, m_options.pwidthText);
        setup.paper = paper;
        ComposedPage page = composePage(m_document, student, m_fonts, setup, m_measurer);
        page.width = double(m_drawWidth);
        page.height = double(m_drawHeight);
        if (applySetting)
            m_printer.applySetting(m_options.printerSetting);
        if (!m_printer.beginDocument(documentTitle(student)))
            return fail();
        m_printer.printPage(page);
        if (!m_printer.endDocument())
            return fail();
        ++m_result.documents;
        return true;
    }

    QString documentTitle(int student) const
    {
        const bool inClass = student >= 0 && student < CommentDocument::MaxStudents;
        const QString name = inClass ? m_document.slot(student + 1).name : QString();
        return name.isEmpty() ? QStringLiteral("评语") : QStringLiteral("评语-") + name;
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
    const std::function<bool()> &m_stop;
    PrintRunResult &m_result;
    qint64 m_drawWidth = 0;
    qint64 m_drawHeight = 0;
};

} // namespace

PrintRunResult printRun(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
                        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
                        const std::function<bool()> &stop)
{
    PrintRunResult result;
    Run run(document, scheme, fonts, options, measurer, printer, stop, result);
    if (!run.setUpPage())
        return result;
    // Copies repeat the whole run: students 1 … n, then 1 … n again.
    const int copies = copiesFrom(options.copiesText);
    for (int copy = 1; copy <= copies; ++copy) {
        if (!run.printCopy() || result.documents == 0)
            break; // a copy that printed nothing leaves nothing for the next one either
    }
    return result;
}
