#include "core/printing/fitcheck.h"

#include "core/document/commentdocument.h"
#include "core/document/writingprogress.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"
#include "core/printing/printeditems.h"
#include "core/printing/textmeasurer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace FitCheck {

namespace {

/// Whether the comment surely fits above `limit` without measuring it: every character counted
/// a quarter wider and every line a quarter higher than a CJK character, the lines it could
/// take still end above the limit. Most comments pass here, so a keystroke seldom measures.
bool surelyFits(const QString &comment, const PageSetup &setup, const ItemFont &font,
                const TextMeasurer &measurer, double limit)
{
    const TextExtent em = measurer.measureText(QStringLiteral("国"), font);
    const double boxWidth = setup.cm(SchemeField::PyTextWidth) * setup.unitsPerCm;
    if (em.width <= 0 || em.height <= 0 || boxWidth <= em.width * 1.25)
        return false;
    const double perLine = std::floor(boxWidth / (em.width * 1.25));
    double lines = 0;
    for (QStringView paragraph : QStringView(comment).split(u'\n')) {
        const int characters = WritingProgress::characterCount(paragraph);
        lines += std::max(1.0, std::ceil(characters / perLine));
        if (lines > 10000)
            return false;
    }
    const double pitch = em.height * 1.25 + setup.cm(SchemeField::PyTextJuli) * setup.unitsPerCm;
    return setup.cm(SchemeField::PyTextTop) * setup.unitsPerCm + lines * pitch <= limit;
}

/// The top of the highest heading or date that lies below the comment's first line and across
/// its box, in twips: the comment must end above it. Infinite when there is none.
double optionalItemsTop(const CommentDocument &document, const PageSetup &setup, const TextMeasurer &measurer)
{
    const double twipsPerCm = setup.unitsPerCm;
    const double boxLeft = setup.cm(SchemeField::PyTextLeft) * twipsPerCm;
    const double boxRight = boxLeft + setup.cm(SchemeField::PyTextWidth) * twipsPerCm;
    const double boxTop = setup.cm(SchemeField::PyTextTop) * twipsPerCm;
    double top = std::numeric_limits<double>::infinity();
    const ItemTextSource source{document, -1, setup};
    for (const PrintedItem &item : PrintedItems::all()) {
        if (!item.printed || !PrintedItems::isPrinted(item, setup.scheme))
            continue;
        const double left = setup.cm(item.left) * twipsPerCm;
        const double itemTop = setup.cm(item.top) * twipsPerCm;
        const ItemFont font = PrintedItems::fontOf(item, setup.scheme, document.ItemFonts);
        // Only whether it reaches the box matters: a long heading is measured no further.
        const double width =
            placeItem(item.role, item.textOf(source), font, left, itemTop, measurer, PaperEdges{boxRight}).width;
        if (itemTop > boxTop && left < boxRight && left + width > boxLeft)
            top = std::min(top, itemTop);
    }
    return top;
}

} // namespace

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
    const double boxBottom =
        (setup.cm(SchemeField::PyTextTop) + setup.cm(SchemeField::PyTextHeight)) * twipsPerCm;
    const double limit = std::min({boxBottom, paperBottom, optionalItemsTop(document, setup, measurer)});
    // Lines are composed a page's height past the limit at most: enough to say how far a
    // comment runs over, without laying out a hostile text to its end.
    const ItemFont &font = document.ItemFonts[std::size_t(Item::CommentText)];
    if (surelyFits(comment, setup, font, measurer, limit))
        return 0;
    const PaperEdges edges{setup.paperWidth * twipsPerCm, limit + std::max(paperBottom, 0.0)};
    const QList<PageItem> boxes =
        breakCommentLines(comment, setup.cm(SchemeField::PyTextWidth), setup.cm(SchemeField::PyTextJuli),
                          setup.cm(SchemeField::PyTextTop), setup.cm(SchemeField::PyTextLeft), font, measurer,
                          setup.unitsPerCm, edges);
    // A box holds one line, or several where the comment breaks its lines itself: count the
    // lines below the limit. A line that reaches below it by less than a twip still fits.
    const double lineHeight = measurer.measureText(QString(), font).height;
    int past = 0;
    for (const PageItem &box : boxes) {
        const double below = box.top + box.height - std::max(box.top, limit);
        if (below <= 1)
            continue;
        if (lineHeight <= 0) {
            ++past;
            continue;
        }
        const int lines = std::max(1, int(std::lround(box.height / lineHeight)));
        past += std::clamp(int(std::ceil((below - 1) / lineHeight)), 1, lines);
    }
    return past;
}

QString pastText(int lines)
{
    return QStringLiteral("超出打印区域 %1 行").arg(lines);
}

QList<PastBox> studentsPastBox(const CommentDocument &document, const QList<int> &students,
                               const LayoutScheme &scheme, const TextMeasurer &measurer)
{
    QList<PastBox> past;
    for (const int student : students) {
        if (const int lines = linesPastBox(document, student, scheme, measurer); lines > 0)
            past.append({student, lines});
    }
    return past;
}

} // namespace FitCheck
