#pragma once

#include "core/platform/itemfont.h"
#include "core/platform/twips.h"
#include "core/printing/laidouttext.h"

#include <QList>
#include <QString>

#include <limits>

class CommentDocument;
class TextMeasurer;
struct PageSetup;

enum class PageItemRole { StudentName, CommentLine, Signature, Title, Date };

/// One item of a printed page, sized to its text. Lengths in twips; the font is already
/// scaled to the display scale.
struct PageItem
{
    PageItemRole role = PageItemRole::CommentLine;
    QString text;
    ItemFont font;
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    /// By visual line, its glyphs as measuring laid them out, where it has them: drawing them
    /// spares shaping the line again. Not part of what the item is.
    QList<LaidOutSpan> laidOut;

    friend bool operator==(const PageItem &a, const PageItem &b)
    {
        return a.role == b.role && a.text == b.text && a.font == b.font && a.left == b.left &&
               a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

/// One student's page: its size in twips, then its items in the order PrintedItems lists them.
struct ComposedPage
{
    double width = 0;
    double height = 0;
    QList<PageItem> items;
};

/// The part of a page that can show, in twips from the page's top-left corner: nothing right
/// of `right` or below `bottom` is drawn. Unbounded unless given.
struct PaperEdges
{
    double right = std::numeric_limits<double>::infinity();
    double bottom = std::numeric_limits<double>::infinity();
};

/// The comment text broken into line boxes. The four lengths are centimetres already
/// multiplied by the display scale. A character here is a grapheme cluster (a character with
/// its combining marks, a surrogate pair, an emoji sequence), never split between lines. A line
/// takes characters while it measures no wider than the box, so a full line ends with the first
/// character that makes it wider; the nine hanging punctuation marks "，。；：,.;？！" join the
/// line they follow however wide it gets. Every line takes at least one character, so even a
/// negative box width breaks the text up. CR LF (or a lone CR or LF) is a character like any
/// other: it joins the line while it is not full and starts a new visual line inside the box.
/// Line boxes follow each other with `gapCm` between them. A tab is measured, drawn and
/// copied out as a space.
///
/// Only what can show on `paper` is composed, so that the work and the memory follow the page,
/// not the text: the lines stop before the first visual line that would begin at or below the
/// paper's bottom edge (the box it would belong to ends just before its line break), and the
/// characters of a visual line that surely begin more than an em right of the paper's edge
/// are left out of the line's text. The line still ends where it would, except that once its
/// characters are left out its width is judged from their advances on their own: a box that
/// reaches past the paper may end a character apart from where measuring all of it would.
QList<PageItem> breakCommentLines(const QString &text, double boxWidthCm, double gapCm, double firstTopCm,
                                  double leftCm, const ItemFont &font, const TextMeasurer &measurer,
                                  int unitsPerCm = UnitsPerCm, const PaperEdges &paper = {});

/// A text placed whole in one spot (a name, a signature, a heading, a date) is measured as it
/// is up to this many UTF-16 units.
inline constexpr int PlacedTextMeasuredWhole = 256;

/// A text placed in one spot at (left, top) in twips, sized to what shows of it on `paper`. A
/// text of up to PlacedTextMeasuredWhole units is kept and measured whole; of a longer one, as
/// of a comment's lines (see breakCommentLines), the characters that surely begin more than an
/// em right of the paper's edge and the visual lines that begin at or below its bottom are left
/// out, unmeasured, so that the work follows the page and not the text.
PageItem placeItem(PageItemRole role, const QString &text, const ItemFont &font, double left, double top,
                   const TextMeasurer &measurer, const PaperEdges &paper = {});

/// The page of student card `currentStudent` (slot currentStudent + 1; a card outside the
/// class gives an empty name and comment) as `setup` lays it out: its size the paper's, the
/// items where the setup's lengths put them, the fonts and every length at the setup's scale.
/// The comment is composed as far as it shows on the setup's paper edges, by default the page
/// itself.
ComposedPage composePage(const CommentDocument &document, int currentStudent, const ItemFonts &fonts,
                         const PageSetup &setup, const TextMeasurer &measurer);
