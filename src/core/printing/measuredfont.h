#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/charkind.h"
#include "core/printing/laidouttext.h"
#include "core/printing/plainstretch.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <optional>

/// One font as QtTextMeasurer measures with it: Qt's metrics at 1440 dpi (a pixel is a twip),
/// the advances of the characters and short clusters it has met, and the text ahead laid out
/// once (PlainStretch). Counts the work done, for the measurer's totals.
class MeasuredFont
{
public:
    /// A cluster on its own: its advance and how it behaves on a line.
    struct Char
    {
        double advance;
        CharKind kind;
    };

    explicit MeasuredFont(const ItemFont &font);
    explicit MeasuredFont(const QFont &font);

    /// The width of one visual line: the one measurement every answer is made of.
    double width(const QString &line) const;

    /// The advance and kind of a cluster on its own. Single characters and short clusters are
    /// kept; a long cluster (a letter under thousands of marks) is measured each time, once.
    Char cluster(QStringView text);

    /// How far appending a cluster of kind `next` behind one of kind `previous` may move
    /// the line's width away from the advance of the new cluster on its own. Kerning and
    /// ligatures of common Latin fonts stay well within a quarter em; Chinese fonts do not
    /// kern full-width characters, yet a sixteenth of an em is allowed for them all the same.
    double allowance(CharKind previous, CharKind next) const;

    /// The width of text[from, to) read off the text ahead laid out once (see PlainStretch);
    /// nothing when it cannot be read so.
    std::optional<double> stretchWidth(QStringView text, qsizetype from, qsizetype to)
    {
        return m_stretch.width(text, from, to);
    }
    /// The glyphs of text[from, to) where stretchWidth reads its width.
    LaidOutSpan stretchSpan(QStringView text, qsizetype from, qsizetype to) { return m_stretch.span(text, from, to); }

    /// Counts UTF-16 units laid out elsewhere in this font.
    void countMeasured(qsizetype length) const { m_measured += length; }
    /// UTF-16 units laid out in this font so far.
    qint64 measuredLength() const { return m_measured; }
    /// How many times text ahead has been laid out in this font.
    qint64 stretchesLaidOut() const { return m_stretch.laidOutCount(); }

    const QFont qfont;
    const QFontMetricsF metrics;
    const double lineSpacing;
    const double em; ///< in twips

private:
    Char classify(QStringView text, CharKind kind) const;

    static constexpr qsizetype MaxKeptCluster = 16;

    QHash<char16_t, Char> m_chars;
    QHash<QString, Char> m_clusters;
    mutable qint64 m_measured = 0; ///< UTF-16 units laid out
    PlainStretch m_stretch{*this};
};
