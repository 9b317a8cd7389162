#pragma once

#include "core/platform/result.h"
#include <QByteArray>
#include <QList>
#include <QRawFont>
#include <QString>

struct DrawnLine;
class QPaintDevice;

/// Sets right the text layer of a PDF that Qt's PDF writer made of drawn lines.
///
/// Qt writes, for every embedded font, a ToUnicode map that turns each glyph back into the first
/// character the font's own character table gives that glyph. Where a font draws two characters
/// with one glyph the map names the lower one: the Kangxi radicals before the ideographs (⼀ for
/// 一, ⼦ for 子), a tab for a blank, a compatibility ligature for "fi"; and a character beyond
/// the BMP gets no entry at all. Copying or searching the PDF then finds other characters than
/// the ones on the paper.
///
/// Knowing what was drawn, this class maps every glyph to the characters it was drawn for: the
/// drawn lines are shaped again with the same fonts (grapheme clusters give each glyph its
/// characters), and the glyph codes of each page, in the order its content stream shows them,
/// are matched one for one with the glyphs of its lines. A line is trusted only when every code
/// matches: one code is always one glyph of its font, and the character Qt's map gave the code
/// is drawn with that very glyph. The glyphs of a line that does not match (the order of mixed
/// left-to-right and right-to-left runs can differ) keep what Qt's map said.
class PdfTextLayer
{
public:
    /// Notes the lines drawn on the next page, in drawing order, on `device`.
    void addPage(const QList<DrawnLine> &lines, const QPaintDevice *device);
    /// The pages noted so far.
    qsizetype pageCount() const { return m_pages.size(); }

    /// What rewrite did.
    struct Rewritten
    {
        QByteArray pdf;       ///< the rewritten file
        int linesMatched = 0; ///< drawn lines whose glyphs matched the page's codes
        int linesNoted = 0;   ///< all drawn lines of the pages the file holds
    };
    /// `pdf` with the ToUnicode map of every font on the noted pages rewritten: each glyph drawn
    /// for known characters maps to them, other glyphs keep what the map said. Fails with the
    /// reason when the file cannot be read or written.
    Result<Rewritten> rewrite(const QByteArray &pdf) const;

private:
    /// One glyph as drawn: its index in its font and the characters it was drawn for ("" when
    /// it is the second or later glyph of a character drawn with several).
    struct Glyph
    {
        quint32 index = 0;
        QString text;
        QRawFont font;
    };
    using Line = QList<Glyph>;
    QList<QList<Line>> m_pages;
};
