#include "core/printing/plainstretch.h"

#include "core/printing/charkind.h"
#include "core/printing/measuredfont.h"
#include "core/printing/twipdevice.h"

#include <QGlyphRun>
#include <QImage>
#include <QTextLayout>

#include <algorithm>

PlainStretch::PlainStretch(MeasuredFont &font)
    : m_font(font)
{}

std::optional<double> PlainStretch::width(QStringView text, qsizetype from, qsizetype to)
{
    if (from == to)
        return 0.0;
    const Stretch *s = readableStretch(text, from, to);
    if (!s)
        return std::nullopt;
    return s->laid->x[to - s->from] - s->laid->x[from - s->from];
}

LaidOutSpan PlainStretch::span(QStringView text, qsizetype from, qsizetype to)
{
    const Stretch *s = from < to ? readableStretch(text, from, to) : nullptr;
    if (!s)
        return {};
    return {s->laid, from - s->from, to - s->from};
}

/// The stretch text[from, to) can be read off, laid out; null when it cannot be read so.
const PlainStretch::Stretch *PlainStretch::readableStretch(QStringView text, qsizetype from, qsizetype to)
{
    Stretch &s = m_stretch;
    const bool same = s.text == text.data() && s.textSize == text.size() && s.from <= from &&
                      from < s.from + s.chars.size() && QStringView(s.chars) == text.sliced(s.from, s.chars.size());
    if (!same || (to > s.from + s.chars.size() && s.cut)) {
        // From where it is asked, twice as far as the line so far at least.
        const qsizetype most = std::min(text.size(), from + std::max<qsizetype>(StretchLength, 2 * (to - from)));
        qsizetype end = from;
        while (end < most && isPlainChar(text[end]))
            ++end;
        s = Stretch();
        s.text = text.data();
        s.textSize = text.size();
        s.from = from;
        s.chars = text.sliced(from, end - from).toString();
        s.cut = end == most && end < text.size();
    }
    if (to > s.from + s.chars.size())
        return nullptr; // the text holds a character that is not plain
    if (!hasOwnScript(text[from]) && scriptAlone(text, from, to) != scriptWithin(s, from))
        return nullptr;
    if (!s.laid && !s.unusable)
        layOut(s);
    if (s.unusable)
        return nullptr;
    if (s.offAdvance[to - s.from] != s.offAdvance[from - s.from])
        return nullptr;
    return &s;
}

/// Characters of no script of their own take theirs from what comes before them, and at the
/// start of a line from the first that follows: the script text[from] takes on a line of
/// text[from, to) alone (Common when none follows), and in the stretch.
QChar::Script PlainStretch::scriptAlone(QStringView text, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i) {
        if (hasOwnScript(text[i]))
            return QChar::script(text[i].unicode());
    }
    return QChar::Script_Common;
}

QChar::Script PlainStretch::scriptWithin(const Stretch &s, qsizetype from)
{
    for (qsizetype i = from - s.from; i-- > 0;) {
        if (hasOwnScript(s.chars[i]))
            return QChar::script(s.chars[i].unicode());
    }
    return scriptAlone(s.chars, from - s.from, s.chars.size());
}

void PlainStretch::layOut(Stretch &s)
{
    ++m_laidOutCount;
    m_font.countMeasured(s.chars.size());
    QTextLayout layout(s.chars, m_font.qfont, const_cast<QImage *>(&twipDevice()));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true); // glyphRuns shapes again otherwise
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qsizetype n = s.chars.size();
    auto laid = std::make_shared<LaidOutText>();
    laid->chars = s.chars;
    laid->x.reserve(n + 1);
    // One run a font, in no particular order: placed in order, they follow the characters
    // unless the fonts take turns (then the places are out of order, and the stretch unusable).
    QList<QGlyphRun> runs = layout.glyphRuns();
    std::sort(runs.begin(), runs.end(), [](const QGlyphRun &a, const QGlyphRun &b) {
        return a.positions().value(0).x() < b.positions().value(0).x();
    });
    const double ascent = line.ascent();
    for (const QGlyphRun &run : runs) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> places = run.positions();
        laid->fonts.append(run.rawFont());
        for (qsizetype i = 0; i < glyphs.size() && i < places.size(); ++i) {
            laid->glyphs.append(glyphs[i]);
            laid->fontOf.append(laid->fonts.size() - 1);
            laid->x.append(places[i].x());
            laid->y.append(places[i].y() - ascent);
        }
    }
    if (laid->x.size() != n || !std::is_sorted(laid->x.cbegin(), laid->x.cend())) {
        s.unusable = true;
        return;
    }
    laid->x.append(line.cursorToX(int(n)));
    const double start = laid->x.front();
    s.offAdvance.resize(n + 1);
    s.offAdvance[0] = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const bool own = laid->x[i + 1] - laid->x[i] == m_font.cluster(QStringView(s.chars).sliced(i, 1)).advance;
        s.offAdvance[i + 1] = s.offAdvance[i] + (own ? 0 : 1);
    }
    if (start != 0) {
        for (double &x : laid->x)
            x -= start;
    }
    s.laid = std::move(laid);
}
