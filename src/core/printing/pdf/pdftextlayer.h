#pragma once

#include "core/platform/result.h"
#include <QByteArray>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>

#include <vector>

struct DrawnLine;
class QPaintDevice;
class QTextLine;

/// Sets right the text layer of a PDF that Qt's PDF writer made of drawn lines.
///
/// Qt writes, for every embedded font, a ToUnicode map that turns each glyph back into the first
/// character the font's own character table gives that glyph. Where a font draws two characters
/// with one glyph the map names the lower one: the Kangxi radicals before the ideographs (⼀ for
/// 一, ⼦ for 子), a tab for a blank, a compatibility ligature for "fi"; and a character beyond
/// the BMP gets no entry at all. Copying or searching the PDF then finds other characters than
/// the ones on the paper.
///
/// Knowing what was drawn, this class maps every glyph to the characters it was drawn for. Each
/// drawn line's glyphs are known from its layout (grapheme clusters give each glyph its
/// characters); what the pages need is which glyph each code of Qt's map stands for. Qt named the
/// code after a character of the font, and the font's character table gives that character's
/// glyph: so every code whose glyph was drawn gets the characters first drawn with that glyph, the
/// distinct glyphs of each font looked up once, the page contents never read.
///
/// A code that Qt's map leaves empty (a character beyond the BMP, a glyph no character of the
/// font reaches: ligatures, marks) can only be found in the pages: the pages that drew such a
/// glyph are read, and the glyph codes of each, in the order its content stream shows them, are
/// matched one for one with the glyphs of its lines. A line is trusted only when every code
/// matches: one code is always one glyph of its font, and the character Qt's map gave the code
/// is drawn with that very glyph. The glyphs of a line that does not match (the order of mixed
/// left-to-right and right-to-left runs can differ) keep what Qt's map said.
class PdfTextLayer
{
public:
    /// Starts the next page; addLine notes its lines, in drawing order.
    void beginPage();
    /// Notes a line of the page begun last, drawn from the laid-out `shaped` of its `text`.
    void addLine(const QString &text, const QTextLine &shaped);
    /// Notes a line of the page begun last drawn with the glyph `runs`, when each of their glyphs
    /// is the font's own glyph for one character of `text` of the BMP, glyph i for text[i];
    /// otherwise notes nothing and answers false (such a line is noted through addLine).
    bool addOwnLine(const QString &text, const QList<QGlyphRun> &runs);
    /// The pages noted so far.
    qsizetype pageCount() const { return m_pages.size(); }

    /// What rewrite did.
    struct Rewritten
    {
        QByteArray pdf;       ///< the rewritten file
        int linesMatched = 0; ///< drawn lines whose glyphs all got their characters
        int linesNoted = 0;   ///< all drawn lines of the pages the file holds
        int pagesRead = 0;    ///< pages whose contents had to be read
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
    /// A line's glyphs; when each glyph is the own glyph of one character, the line's glyph runs
    /// instead, and its text in ownText, glyph i standing for ownText[i].
    struct Line
    {
        QList<Glyph> glyphs;
        QString ownText;
        QList<QGlyphRun> ownRuns;
    };
    static QList<Glyph> glyphsOf(const Line &line);
    /// A page: its lines are kept only when a glyph on it may be out of reach of Qt's map.
    struct Page
    {
        int lineCount = 0;
        bool kept = false;
        QList<Line> lines;
    };
    /// What was drawn with one font: every glyph, and the characters first drawn with each.
    struct Face
    {
        QRawFont font;
        QString family;
        QString style;
        std::vector<bool> glyphs;   ///< by glyph index: drawn
        QHash<quint32, QString> texts; ///< by glyph index: the characters first drawn with it
        QHash<char16_t, quint32> own;  ///< by character: the font's own glyph for it
        void note(quint32 glyph, QStringView text);
        quint32 ownGlyph(QChar c);
        bool drew(quint32 glyph) const;
    };
    Face &faceOf(const QRawFont &font);
    /// The page a line is noted on, counting the line.
    Page &pageForLine();

    QList<Page> m_pages;
    QList<Face> m_faces;
    qint64 m_budget = 0;
};
