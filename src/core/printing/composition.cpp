#include "core/printing/composition.h"

#include "core/document/commentdocument.h"
#include "core/printing/pagesetup.h"
#include "core/printing/printeditems.h"
#include "core/printing/textmeasurer.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

namespace {

/// The marks that never begin a line: they join the line before however wide it gets.
bool isHangingPunctuation(QChar c)
{
    switch (c.unicode()) {
    case u'，':
    case u'。':
    case u'；':
    case u'：':
    case u',':
    case u'.':
    case u';':
    case u'？':
    case u'！':
        return true;
    default:
        return false;
    }
}

/// The grapheme clusters of a text from its start, found a stretch at a time, so that the work
/// follows the clusters taken and not the length of the text. The clusters are those of the
/// whole text: Qt tailors them to the script of the run they are in, and a run takes its script
/// from what comes before (punctuation and marks from their base), so each stretch is given
/// the script in effect where it begins.
class ClusterCursor
{
public:
    explicit ClusterCursor(QStringView text)
        : m_text(text)
    {}

    /// The end of the cluster that begins where the one before ended; -1 at the end of the text.
    qsizetype next()
    {
        if (m_at >= m_text.size())
            return -1;
        for (;;) {
            if (!m_finder)
                startStretch();
            const qsizetype boundary = m_finder->toNextBoundary();
            if (boundary < 0) { // cannot happen while the stretch reaches past m_at
                m_finder.reset();
                m_span *= 2;
                continue;
            }
            const qsizetype end = m_from + boundary - m_context;
            // The stretch's own end may cut a cluster: that one is found again in a stretch
            // starting with it.
            if (end > m_at && (end < m_to || m_to == m_text.size())) {
                follow(m_at, end);
                m_at = end;
                return end;
            }
            if (end >= m_to) {
                if (m_at == m_from)
                    m_span *= 2; // one cluster fills the whole stretch
                m_finder.reset();
            }
        }
    }

private:
    void startStretch()
    {
        m_from = m_at;
        m_to = std::min(m_text.size(), m_at + m_span);
        // A stretch ending inside a surrogate pair would end the cluster before it.
        if (m_to < m_text.size() && m_text[m_to - 1].isHighSurrogate() && m_text[m_to].isLowSurrogate())
            --m_to;
        // The character that set the script, then a line feed: a cluster always begins after it.
        m_window.clear();
        if (m_scriptAt >= 0) {
            m_window += codePointAt(m_scriptAt);
            m_window += u'\n';
        }
        m_context = m_window.size();
        m_window += m_text.sliced(m_from, m_to - m_from);
        m_finder.emplace(QTextBoundaryFinder::Grapheme, m_window);
    }

    QStringView codePointAt(qsizetype i) const
    {
        const bool pair =
            m_text[i].isHighSurrogate() && i + 1 < m_text.size() && m_text[i + 1].isLowSurrogate();
        return m_text.sliced(i, pair ? 2 : 1);
    }

    /// Keeps the script in effect after [from, to) as Qt's script runs see it: common and
    /// inherited characters and marks keep the script before them; the first character of
    /// another script begins a run of its own.
    void follow(qsizetype from, qsizetype to)
    {
        for (qsizetype i = from; i < to;) {
            const QStringView unit = codePointAt(i);
            const char32_t c =
                unit.size() == 2 ? QChar::surrogateToUcs4(unit[0], unit[1]) : unit[0].unicode();
            const QChar::Script script = QChar::script(c);
            if (script != m_script && script > QChar::Script_Common) {
                const bool mark = QChar::category(c) == QChar::Mark_NonSpacing ||
                                  QChar::category(c) == QChar::Mark_SpacingCombining ||
                                  QChar::category(c) == QChar::Mark_Enclosing;
                if (m_script <= QChar::Script_Common || !mark) {
                    m_script = script;
                    m_scriptAt = i;
                }
            }
            i += unit.size();
        }
    }

    QStringView m_text;
    qsizetype m_at = 0;   ///< where the next cluster begins
    qsizetype m_from = 0; ///< the stretch the finder looks at
    qsizetype m_to = 0;
    qsizetype m_span = 1024;
    QString m_window;                              ///< the stretch after its context
    qsizetype m_context = 0;                       ///< the context's length
    QChar::Script m_script = QChar::Script_Common; ///< the script in effect at m_at
    qsizetype m_scriptAt = -1;                     ///< the character that set it
    std::optional<QTextBoundaryFinder> m_finder;
};

ItemFont scaled(ItemFont font, double scale)
{
    font.fontSize *= scale;
    return font;
}

} // namespace

QList<PageItem> breakCommentLines(const QString &comment, double boxWidthCm, double gapCm, double firstTopCm,
                                  double leftCm, const ItemFont &font, const TextMeasurer &measurer,
                                  int unitsPerCm, const PaperEdges &paper)
{
    // A tab (pasted, or read from a file) is a space's width, as the editor shows it, not the
    // wide gap a painter would leave.
    const QString text = comment.contains(u'\t') ? QString(comment).replace(u'\t', u' ') : comment;
    // The box width is rounded to single precision before it is compared with the line.
    const double limit = double(float(unitsPerCm * boxWidthCm));
    const double left = unitsPerCm * leftCm;
    // A character that begins an em past the paper's edge shows nothing, not even an overhang.
    const double hiddenFrom = paper.right - left + 20 * font.fontSize;
    QList<PageItem> lines;
    double top = unitsPerCm * firstTopCm;
    if (!(hiddenFrom > 0))
        return lines; // the whole box lies right of the paper
    // Every visual line of a box is one empty text high.
    const double pitch = measurer.measureText(QString(), font).height;
    // Lines grow by whole characters as the reader sees them, so that no line ends or begins
    // inside a surrogate pair, a character with its combining marks or an emoji sequence.
    ClusterCursor clusters(text);
    qsizetype next = 0;                  // where the next cluster starts
    qsizetype nextEnd = clusters.next(); // and where it ends
    bool pageFull = false;
    while (next < text.size() && top < paper.bottom && !pageFull) {
        const qsizetype start = next;
        const auto line = measurer.startLine(font);
        line->expect(text, start);
        double visualTop = top;
        // The line's text: the clusters drawn, which leave out the hidden stretches.
        QString shown;
        qsizetype shownFrom = start; // the start of the stretch being shown
        bool hiding = false;
        // The test comes before the cluster is appended; an empty line is 0 wide, and the
        // first cluster is taken even when the box is narrower than that.
        while (next < text.size() &&
               (next == start || isHangingPunctuation(text[next]) || line->widthAtMost(limit))) {
            const QStringView cluster = QStringView(text).sliced(next, nextEnd - next);
            if (isLineBreak(cluster.front())) {
                visualTop += pitch;
                if (!(visualTop < paper.bottom)) {
                    pageFull = true;
                    break;
                }
                if (hiding)
                    shownFrom = next;
                hiding = false;
                line->append(cluster);
            } else if (hiding || line->surelyReaches(hiddenFrom)) {
                if (!hiding)
                    shown += QStringView(text).sliced(shownFrom, next - shownFrom);
                hiding = true;
                line->appendHidden(cluster);
            } else {
                line->append(cluster);
            }
            next = nextEnd;
            nextEnd = clusters.next();
        }
        if (!hiding)
            shown += QStringView(text).sliced(shownFrom, next - shownFrom);
        if (shown.isEmpty())
            break; // a box whose first line break already lies below the paper
        const TextExtent extent = line->extent();
        lines.append({PageItemRole::CommentLine, shown, font, left, top, extent.width, extent.height,
                      line->laidOut()});
        top += extent.height + unitsPerCm * gapCm;
    }
    return lines;
}

PageItem placeItem(PageItemRole role, const QString &text, const ItemFont &font, double left, double top,
                   const TextMeasurer &measurer, const PaperEdges &paper)
{
    if (text.size() <= PlacedTextMeasuredWhole) {
        const TextExtent extent = measurer.measureText(text, font);
        return {role, text, font, left, top, extent.width, extent.height, {}};
    }
    // As a comment's line: a character that begins an em past the paper's right edge, and a
    // visual line that begins at or below its bottom, show nothing and are neither kept nor
    // measured.
    const double hiddenFrom = paper.right - left + 20 * font.fontSize;
    const double pitch = measurer.measureText(QString(), font).height;
    const auto line = measurer.startLine(font);
    line->expect(text, 0);
    QString shown;
    qsizetype shownFrom = 0; // the start of the stretch being shown
    bool hiding = !(hiddenFrom > 0);
    double visualTop = top;
    ClusterCursor clusters(text);
    qsizetype next = 0;
    for (qsizetype end = clusters.next(); end >= 0; next = end, end = clusters.next()) {
        const QStringView cluster = QStringView(text).sliced(next, end - next);
        if (isLineBreak(cluster.front())) {
            visualTop += pitch;
            if (!(visualTop < paper.bottom))
                break;
            if (hiding)
                shownFrom = next;
            hiding = !(hiddenFrom > 0);
            line->append(cluster);
        } else if (hiding || line->surelyReaches(hiddenFrom)) {
            if (!hiding)
                shown += QStringView(text).sliced(shownFrom, next - shownFrom);
            hiding = true;
        } else {
            line->append(cluster);
        }
    }
    if (!hiding)
        shown += QStringView(text).sliced(shownFrom, next - shownFrom);
    const TextExtent extent = line->extent();
    return {role, shown, font, left, top, extent.width, extent.height, {}};
}

ComposedPage composePage(const CommentDocument &document, int currentStudent, const ItemFonts &fonts,
                         const PageSetup &setup, const TextMeasurer &measurer)
{
    const double scale = setup.scale;
    const int unitsPerCm = setup.unitsPerCm;
    const auto twips = [&](double cm) { return cm * unitsPerCm * scale; };

    ComposedPage page;
    page.height = twips(setup.paperHeight);
    page.width = twips(setup.paperWidth);

    const ItemTextSource source{document, currentStudent, setup};
    for (const PrintedItem &item : PrintedItems::all()) {
        if (!PrintedItems::isPrinted(item, setup.scheme))
            continue;
        const QString text = item.textOf(source);
        const ItemFont font = scaled(PrintedItems::fontOf(item, setup.scheme, fonts), scale);
        const double left = setup.cm(item.left);
        const double top = setup.cm(item.top);
        if (item.width) {
            page.items.append(breakCommentLines(text, setup.cm(*item.width) * scale,
                                                item.gap ? setup.cm(*item.gap) * scale : 0, top * scale,
                                                left * scale, font, measurer, unitsPerCm,
                                                setup.paper.value_or(PaperEdges{page.width, page.height})));
        } else {
            page.items.append(placeItem(item.role, text, font, twips(left), twips(top), measurer,
                                        setup.paper.value_or(PaperEdges{page.width, page.height})));
        }
    }
    return page;
}
