#include "core/printing/fitcheck.h"

#include "core/document/commentdocument.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"

#include <algorithm>

namespace FitCheck {

int linesPastBox(const CommentDocument &document, int student, const LayoutScheme &scheme,
                 const TextMeasurer &measurer)
{
    if (student < 0 || student >= CommentDocument::MaxStudents)
        return 0;
    const QString &comment = document.slot(student + 1).comment;
    if (comment.isEmpty())
        return 0;
    const PageSetup setup = PageSetup::of(scheme);
    const double twipsPerCm = setup.unitsPerCm;
    const double paperBottom = setup.paperHeight * twipsPerCm;
    const double boxBottom = (setup.pytextTop + setup.pytextHeight) * twipsPerCm;
    const double limit = std::min(boxBottom, paperBottom);
    // Lines are composed a page's height past the limit at most: enough to say how far a
    // comment runs over, without laying out a hostile text to its end.
    const PaperEdges edges{setup.paperWidth * twipsPerCm, limit + std::max(paperBottom, 0.0)};
    const QList<PageItem> lines = breakCommentLines(
        comment, setup.pytextWidth, setup.pytextJuli, setup.pytextTop, setup.pytextLeft,
        document.ItemFonts[std::size_t(Item::CommentText)], measurer, setup.unitsPerCm, edges);
    // A line that reaches below the limit by less than a twip still fits.
    return int(std::count_if(lines.begin(), lines.end(),
                             [&](const PageItem &line) { return line.top + line.height > limit + 1; }));
}

} // namespace FitCheck
