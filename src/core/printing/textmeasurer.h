#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/laidouttext.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class MeasuredFont;

/// The rendered extent of a text, in twips.
struct TextExtent
{
    double width = 0;
    double height = 0;

    friend bool operator==(const TextExtent &, const TextExtent &) = default;
};

/// The line breaks of a text: CR LF, a lone CR and a lone LF each end a visual line.
inline bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

/// A line box being filled one whole character at a time: a grapheme cluster (a character with
/// its combining marks, a surrogate pair, an emoji sequence, CR LF). The extent it reports is
/// always the one measureText gives for the text appended so far. It must not outlive its
/// measurer.
class LineMeasurement
{
public:
    virtual ~LineMeasurement() = default;
    virtual void append(QStringView cluster) = 0;
    /// Appends a cluster that is not drawn because its visual line already reaches past the
    /// paper's edge. The measurement may from then on answer about that visual line from
    /// estimates alone; a line break ends that. By default the same as append.
    virtual void appendHidden(QStringView cluster) { append(cluster); }
    /// Whether the text so far measures at most `limit` wide.
    virtual bool widthAtMost(double limit) = 0;
    /// Whether the current visual line is certainly at least `width` wide. A measurement that
    /// cannot tell cheaply answers false; the default one always does.
    virtual bool surelyReaches(double width)
    {
        Q_UNUSED(width);
        return false;
    }
    virtual TextExtent extent() = 0;
    /// Tells that the clusters appended next are those of `text` from `from` on, so that a
    /// measurement may lay out what follows once instead of each growing line. Ignored by default.
    virtual void expect(QStringView text, qsizetype from)
    {
        Q_UNUSED(text);
        Q_UNUSED(from);
    }
    /// By visual line of the text so far, its glyphs as they were laid out to measure it, where
    /// the whole visual line was measured in one piece of a laid-out text and each of its
    /// characters keeps there the advance it has alone (so the line on its own is laid out the
    /// same); an empty span otherwise. None by default.
    virtual QList<LaidOutSpan> laidOut() { return {}; }
};

/// Measures texts as they are drawn on the page. A text measures as the widest of its visual
/// lines (see isLineBreak) and as high as its number of visual lines times the font's line
/// spacing; an empty text is one empty visual line: 0 wide and one line high.
class TextMeasurer
{
public:
    virtual ~TextMeasurer() = default;

    virtual TextExtent measureText(const QString &text, const ItemFont &font) const = 0;

    /// An empty line box in `font`. The default one measures the whole text again after every
    /// cluster; a measurer may return a quicker one that reaches the same answers.
    virtual std::unique_ptr<LineMeasurement> startLine(const ItemFont &font) const;
};

/// Measures with Qt's font metrics at 1440 dpi (one pixel = one twip), through the font
/// substitution table. Needs a QGuiApplication. Keeps the metrics of every font it has seen;
/// not to be shared between threads.
class QtTextMeasurer : public TextMeasurer
{
public:
    /// How a growing line is measured: incrementally (what the program uses), or the whole
    /// line again after every cluster (the reference the incremental way must agree with).
    enum class Lines { Incremental, MeasuredWhole };

    explicit QtTextMeasurer(Lines lines = Lines::Incremental);
    ~QtTextMeasurer() override;

    TextExtent measureText(const QString &text, const ItemFont &font) const override;
    /// Adds up cached advances of clusters while the line is clearly shorter or clearly longer
    /// than the width asked about, and measures the visual line itself when the answer is close
    /// or a cluster's width depends on its neighbours. A cluster with no advance of its own
    /// (zero-width spaces, joiners, marks without a base) adds nothing and costs nothing, so
    /// the work of a line stays proportional to its length whatever it holds. Told the text
    /// ahead (expect), it reads the widths of plain stretches off one layout of the text, where
    /// every character keeps its own advance, instead of measuring each line again.
    std::unique_ptr<LineMeasurement> startLine(const ItemFont &font) const override;

    /// How many UTF-16 units all measurements so far have laid out: the work of measuring,
    /// which line breaking keeps proportional to the text.
    qint64 measuredLength() const;
    /// How many times a stretch of text ahead has been laid out (see startLine).
    qint64 stretchesLaidOut() const;

private:
    MeasuredFont &fontFor(const ItemFont &font) const;

    Lines m_lines;
    mutable QHash<QString, std::shared_ptr<MeasuredFont>> m_fonts;
    mutable ItemFont m_lastItemFont;
    mutable MeasuredFont *m_lastFont = nullptr;
};
