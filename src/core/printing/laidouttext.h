#pragma once

#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QString>

#include <memory>

/// A stretch of text as the measurer laid it out in one line: each character's glyph, font and
/// place. Lines cut from it can be drawn as they are instead of being shaped again.
struct LaidOutText
{
    QString chars;
    QList<QRawFont> fonts;
    QList<quint32> glyphs;   ///< by character: its glyph
    QList<qsizetype> fontOf; ///< by character: its font in fonts
    QList<double> x;         ///< by character and one past the last: where it begins
    QList<double> y;         ///< by character: its height above (minus) or below the baseline

    /// The glyphs of characters [from, to), placed from the first one's start on the baseline, in
    /// runs as Qt draws the characters on their own: a new run where the font or the script changes.
    QList<QGlyphRun> runs(qsizetype from, qsizetype to) const;
};

/// The characters [from, to) of a laid-out text: the glyphs of one visual line. Empty without a
/// text.
struct LaidOutSpan
{
    std::shared_ptr<const LaidOutText> text;
    qsizetype from = 0;
    qsizetype to = 0;

    QList<QGlyphRun> runs() const { return text ? text->runs(from, to) : QList<QGlyphRun>(); }
};
