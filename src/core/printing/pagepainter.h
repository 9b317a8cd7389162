#pragma once

#include "core/printing/laidouttext.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

struct ComposedPage;
class QPaintDevice;
class QPainter;
class PdfTextLayer;
class QTextLayout;
class QTextLine;

/// One visual line of a page item as it is drawn: its text, in its font, from its baseline; the
/// glyphs measuring laid it out with, when they are the ones drawing would lay out.
struct DrawnLine
{
    QFont font;
    QPointF baseline;
    QString text;
    LaidOutSpan glyphs;
};

/// The visual lines of a composed page as paintComposedPage draws them on `device`, in drawing
/// order: every item's visual lines (CR LF, CR or LF end one), one line spacing apart, empty
/// ones left out. The fonts are sized so that a point is 20 user units (twips) on that device.
/// On a device of 1440 dots per inch, as the measurer's, a line keeps the glyphs the item got
/// from measuring.
QList<DrawnLine> drawnLines(const ComposedPage &page, const QPaintDevice *device);

/// Lays out the text of `layout` as one line, never wrapped, as drawText lays out a line.
QTextLine layOutLine(QTextLayout &layout);

/// Draws lines made by drawnLines in black. With a text layer, each line is laid out once (or
/// taken as measuring laid it out, when each glyph there is its character's own), drawn as laid
/// out, and noted in the text layer as the next page's lines (with `samePage`, as more
/// lines of the page noted last: several students on one sheet).
void paintLines(QPainter &painter, const QList<DrawnLine> &lines, PdfTextLayer *textLayer = nullptr,
                bool samePage = false);

/// Paints a composed page with one user unit per twip: the page's items in their fonts at
/// their places, each visual line of an item (CR LF, CR or LF end one) one line spacing below
/// the one before. The same routine serves the sample page on screen, the printer and PDF; the
/// caller maps twips to its device (no transform on a 1440-dpi device, a scale of
/// dpi / 1440 elsewhere). The page's background is the caller's.
void paintComposedPage(QPainter &painter, const ComposedPage &page);
