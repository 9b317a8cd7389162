#pragma once

#include "core/printing/laidouttext.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

class MeasuredFont;

/// The text ahead of a growing line, laid out once as one line as far as it holds plain
/// characters (see isPlainChar), so that the widths of the lines cut from it are read off that
/// layout instead of measuring each line again. A width is read so only where every character
/// of the line keeps there the advance it has alone, and the line's script would be the same on
/// its own: then the line on its own is laid out with the same glyphs at the same places.
class PlainStretch
{
public:
    explicit PlainStretch(MeasuredFont &font);

    /// The width of text[from, to); nothing when it cannot be read off a stretch.
    std::optional<double> width(QStringView text, qsizetype from, qsizetype to);
    /// The glyphs of text[from, to) where its width can be read off a stretch; empty otherwise.
    LaidOutSpan span(QStringView text, qsizetype from, qsizetype to);

    /// How many times a stretch has been laid out.
    qint64 laidOutCount() const { return m_laidOutCount; }

private:
    /// A stretch of plain characters of a text, laid out once as one line.
    struct Stretch
    {
        const QChar *text = nullptr; ///< the text it was taken from, and that text's length
        qsizetype textSize = 0;
        qsizetype from = 0; ///< where it begins in the text
        QString chars;
        bool cut = false;                  ///< ends for want of room, before a plain character
        bool unusable = false;             ///< its glyphs are not one to a character
        std::shared_ptr<LaidOutText> laid; ///< its glyphs, once laid out
        QList<int> offAdvance;             ///< by character and one past: how many before it are set at
                                           ///< another advance than their own
    };

    const Stretch *readableStretch(QStringView text, qsizetype from, qsizetype to);
    static QChar::Script scriptAlone(QStringView text, qsizetype from, qsizetype to);
    static QChar::Script scriptWithin(const Stretch &s, qsizetype from);
    void layOut(Stretch &s);

    static constexpr qsizetype StretchLength = 1024;

    MeasuredFont &m_font;
    Stretch m_stretch;
    qint64 m_laidOutCount = 0;
};
