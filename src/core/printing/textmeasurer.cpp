#include "core/printing/textmeasurer.h"

#include "core/platform/fontsubstitution.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace {

/// Calls `visit` with every visual line of `text`.
template<typename Visit> void forEachVisualLine(const QString &text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i]))
            continue;
        visit(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    visit(text.mid(start));
}

/// Measures the whole text again after every character.
class FullLineMeasurement final : public LineMeasurement
{
public:
    FullLineMeasurement(const TextMeasurer &measurer, const ItemFont &font)
        : m_measurer(measurer)
        , m_font(font)
    {}

    void append(QStringView cluster) override { m_text += cluster; }
    bool widthAtMost(double limit) override { return extent().width <= limit; }
    TextExtent extent() override { return m_measurer.measureText(m_text, m_font); }

private:
    const TextMeasurer &m_measurer;
    ItemFont m_font;
    QString m_text;
};

/// A paint device of 1440 dots per inch, so that a pixel of the font metrics is a twip.
const QImage &twipDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(1440 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

/// How a character or cluster behaves when it is appended to a line.
enum class CharKind {
    /// Widens the line by its own advance, give or take kerning with the character before:
    /// Latin, general punctuation, half-width forms.
    Spacing,
    /// A full-width character of the CJK blocks: Chinese fonts set these on a fixed pitch.
    FullWidth,
    /// Marks, controls, format characters, surrogates, clusters of several characters and the
    /// scripts that shape across characters: the line has to be measured.
    Shaped,
    /// A Shaped character or cluster with no advance of its own: it leaves the line as wide as
    /// it was (a zero-width space, a joiner, marks with no base before them).
    ZeroAdvance,
};

CharKind kindOf(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharKind::Shaped;
    default:
        break;
    }
    const char16_t u = c.unicode();
    if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF01 && u <= 0xFF60))
        return CharKind::FullWidth;
    if (u < 0x0250 || (u >= 0x2010 && u <= 0x205E) || (u >= 0xFF61 && u <= 0xFFEF))
        return CharKind::Spacing;
    return CharKind::Shaped;
}

/// A character a layout sets as a line of its own kind: never a line or paragraph separator.
bool isPlain(QChar c)
{
    const CharKind kind = kindOf(c);
    return (kind == CharKind::FullWidth || kind == CharKind::Spacing) && c != QChar::LineSeparator &&
           c != QChar::ParagraphSeparator;
}

bool hasOwnScript(QChar c)
{
    return QChar::script(c.unicode()) > QChar::Script_Common;
}

QString fontKey(const ItemFont &font)
{
    return font.fontName + u'\x1f' + QString::number(font.fontSize, 'g', 17) + (font.bold ? u'b' : u'-') +
           (font.italic ? u'i' : u'-');
}

} // namespace

std::unique_ptr<LineMeasurement> TextMeasurer::startLine(const ItemFont &font) const
{
    return std::make_unique<FullLineMeasurement>(*this, font);
}

struct QtTextMeasurer::Font
{
    struct Char
    {
        double advance;
        CharKind kind;
    };

    explicit Font(const ItemFont &font)
        : Font(FontSubstitution::toQFont(font))
    {}

    explicit Font(const QFont &font)
        : qfont(font)
        , metrics(font, &twipDevice())
        , lineSpacing(metrics.lineSpacing())
        , em(20 * (font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF()))
    {}

    /// The width of one visual line: the one measurement every answer is made of.
    double width(const QString &line) const
    {
        measured += line.size();
        return line.isEmpty() ? 0.0 : metrics.horizontalAdvance(line);
    }

    /// The advance and kind of a cluster on its own. Single characters and short clusters are
    /// kept; a long cluster (a letter under thousands of marks) is measured each time, once.
    Char cluster(QStringView text)
    {
        if (text.size() == 1) {
            const QChar c = text.front();
            auto it = chars.constFind(c.unicode());
            if (it == chars.cend())
                it = chars.insert(c.unicode(), classify(text, kindOf(c)));
            return *it;
        }
        if (text.size() > MaxKeptCluster)
            return classify(text, CharKind::Shaped);
        const QString key = text.toString();
        auto it = clusters.constFind(key);
        if (it == clusters.cend())
            it = clusters.insert(key, classify(text, CharKind::Shaped));
        return *it;
    }

    /// How far appending a cluster of kind `next` behind one of kind `previous` may move
    /// the line's width away from the advance of the new cluster on its own. Kerning and
    /// ligatures of common Latin fonts stay well within a quarter em; Chinese fonts do not
    /// kern full-width characters, yet a sixteenth of an em is allowed for them all the same.
    double allowance(CharKind previous, CharKind next) const
    {
        return (previous == CharKind::FullWidth && next == CharKind::FullWidth) ? em / 16 : em / 4;
    }

    /// The width of text[from, to), read off the layout of a stretch of plain characters around
    /// it when each of them there keeps the advance it has on its own, so that it is the width
    /// of that text on its own as well; nothing when it cannot be read so.
    std::optional<double> stretchWidth(QStringView text, qsizetype from, qsizetype to)
    {
        if (from == to)
            return 0.0;
        const Stretch *s = readableStretch(text, from, to);
        if (!s)
            return std::nullopt;
        return s->laid->x[to - s->from] - s->laid->x[from - s->from];
    }

    /// The glyphs of text[from, to) where its width can be read off a stretch (see stretchWidth):
    /// then the text on its own is laid out with the same glyphs at the same places.
    LaidOutSpan stretchSpan(QStringView text, qsizetype from, qsizetype to)
    {
        const Stretch *s = from < to ? readableStretch(text, from, to) : nullptr;
        if (!s)
            return {};
        return {s->laid, from - s->from, to - s->from};
    }

    QFont qfont;
    QFontMetricsF metrics;
    double lineSpacing;
    double em; ///< in twips
    QHash<char16_t, Char> chars;
    QHash<QString, Char> clusters;
    mutable qint64 measured = 0; ///< UTF-16 units laid out
    qint64 stretchesLaidOut = 0;

private:
    static constexpr qsizetype MaxKeptCluster = 16;
    static constexpr qsizetype StretchLength = 1024;

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
    Stretch stretch;

    /// The stretch text[from, to) can be read off, laid out (see stretchWidth); null when it
    /// cannot be read so.
    const Stretch *readableStretch(QStringView text, qsizetype from, qsizetype to)
    {
        Stretch &s = stretch;
        const bool same = s.text == text.data() && s.textSize == text.size() && s.from <= from &&
                          from < s.from + s.chars.size() &&
                          QStringView(s.chars) == text.sliced(s.from, s.chars.size());
        if (!same || (to > s.from + s.chars.size() && s.cut)) {
            // From where it is asked, twice as far as the line so far at least.
            const qsizetype most =
                std::min(text.size(), from + std::max<qsizetype>(StretchLength, 2 * (to - from)));
            qsizetype end = from;
            while (end < most && isPlain(text[end]))
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

    /// Characters of no script of their own take theirs from what comes before them, and at
    /// the start of a line from the first that follows: the script text[from] takes on a line
    /// of text[from, to) alone (Common when none follows), and in the stretch.
    static QChar::Script scriptAlone(QStringView text, qsizetype from, qsizetype to)
    {
        for (qsizetype i = from; i < to; ++i) {
            if (hasOwnScript(text[i]))
                return QChar::script(text[i].unicode());
        }
        return QChar::Script_Common;
    }
    static QChar::Script scriptWithin(const Stretch &s, qsizetype from)
    {
        for (qsizetype i = from - s.from; i-- > 0;) {
            if (hasOwnScript(s.chars[i]))
                return QChar::script(s.chars[i].unicode());
        }
        return scriptAlone(s.chars, from - s.from, s.chars.size());
    }

    void layOut(Stretch &s)
    {
        ++stretchesLaidOut;
        measured += s.chars.size();
        QTextLayout layout(s.chars, qfont, const_cast<QImage *>(&twipDevice()));
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
            const bool own =
                laid->x[i + 1] - laid->x[i] == cluster(QStringView(s.chars).sliced(i, 1)).advance;
            s.offAdvance[i + 1] = s.offAdvance[i] + (own ? 0 : 1);
        }
        if (start != 0) {
            for (double &x : laid->x)
                x -= start;
        }
        s.laid = std::move(laid);
    }

    Char classify(QStringView text, CharKind kind) const
    {
        const double advance = width(text.toString());
        // A tab's width depends on where it stands, whatever it measures alone.
        if (kind == CharKind::Shaped && advance == 0 && !text.contains(u'\t'))
            kind = CharKind::ZeroAdvance;
        return {advance, kind};
    }
};

namespace {

/// The quick line box of QtTextMeasurer. Of the current visual line, a prefix has been
/// measured exactly (m_base); the clusters after it are counted with their advances on their
/// own, each possibly off by its kerning allowance (m_band in all). While the limit lies
/// outside that band around the estimate, the estimate answers; otherwise, or once one of the
/// first Shaped clusters of the visual line has joined, the visual line is measured.
/// Zero-advance clusters change neither the estimate nor the band. Once the visual line runs past the paper's
/// edge, the clusters appended hidden are not kept, and the estimate alone answers for that visual line.
class QtLineMeasurement final : public LineMeasurement
{
public:
    explicit QtLineMeasurement(QtTextMeasurer::Font &font)
        : m_font(font)
    {}

    void expect(QStringView text, qsizetype from) override
    {
        m_text = text;
        m_visualFrom = m_at = from;
    }
    void append(QStringView cluster) override { appendCluster(cluster, false); }
    void appendHidden(QStringView cluster) override { appendCluster(cluster, true); }

    bool widthAtMost(double limit) override
    {
        if (m_closedWidth > limit)
            return false;
        if (!m_mustMeasure) {
            const double estimate = m_base + m_pending;
            if (estimate + m_band <= limit)
                return true;
            if (estimate - m_band > limit)
                return false;
            if (m_hidden)
                return estimate <= limit;
        }
        return currentWidth() <= limit;
    }

    bool surelyReaches(double width) override
    {
        if (m_hidden)
            return true;
        // Measured when the estimate reaches the width but cannot vouch for it: then the line
        // is hidden from there on, or one more cluster or so brings it there.
        if (m_base + m_pending >= width && (m_mustMeasure || m_base + m_pending - m_band < width))
            currentWidth();
        return !m_mustMeasure && m_base + m_pending - m_band >= width;
    }

    TextExtent extent() override
    {
        return {std::max(m_closedWidth, currentWidth()), m_visualLines * m_font.lineSpacing};
    }

    QList<LaidOutSpan> laidOut() override
    {
        QList<LaidOutSpan> spans = m_laidOut;
        spans.append(currentSpan());
        return spans;
    }

private:
    void appendCluster(QStringView cluster, bool hidden)
    {
        const QChar first = cluster.front();
        m_at += cluster.size();
        if (isLineBreak(first)) {
            // CR LF comes as one cluster; a lone CR or LF ends a visual line as well.
            closeVisualLine();
            return;
        }
        const QtTextMeasurer::Font::Char appended = m_font.cluster(cluster);
        if (hidden && !m_hidden) {
            currentWidth(); // what is drawn, exactly; the hidden rest is estimated
            m_hidden = true;
        }
        if (m_length == 0 && !hidden) {
            // The first cluster of a visual line measures as its own advance exactly.
            m_visual = cluster.toString();
            m_length = cluster.size();
            m_base = appended.advance;
            m_baseFromStretch = false;
            m_baseLength = m_visual.size();
            m_lastKind = appended.kind;
            m_afterZeroAdvance = appended.kind == CharKind::ZeroAdvance;
            return;
        }
        if (appended.kind == CharKind::ZeroAdvance) {
            m_afterZeroAdvance = true;
        } else {
            m_pending += appended.advance;
            m_band += m_font.allowance(m_afterZeroAdvance ? CharKind::Shaped : m_lastKind, appended.kind);
            // The first few Shaped clusters of a visual line have it measured; after them the
            // band answers as for other clusters, so that a line of them costs no more than a
            // few measurements of itself.
            if (appended.kind == CharKind::Shaped && !m_hidden && m_shapedMeasured < MaxMeasuredShaped) {
                m_mustMeasure = true;
                ++m_shapedMeasured;
            }
            m_lastKind = appended.kind;
            m_afterZeroAdvance = false;
        }
        m_length += cluster.size();
        if (!m_hidden)
            m_visual += cluster;
    }

    /// The exact width of the current visual line; while it is hidden, its estimate.
    double currentWidth()
    {
        if (m_hidden)
            return m_base + m_pending;
        if (m_baseLength != m_visual.size() || m_mustMeasure) {
            const std::optional<double> laidOut =
                m_visualFrom >= 0 ? m_font.stretchWidth(m_text, m_visualFrom, m_visualFrom + m_visual.size())
                                  : std::nullopt;
            m_base = laidOut ? *laidOut : m_font.width(m_visual);
            m_baseFromStretch = laidOut.has_value();
            m_baseLength = m_visual.size();
            m_pending = 0;
            m_band = 0;
            m_mustMeasure = false;
        }
        return m_base;
    }

    /// The glyphs of the current visual line, when its width was read off a laid-out stretch:
    /// that stretch is still the font's.
    LaidOutSpan currentSpan()
    {
        currentWidth();
        if (m_hidden || !m_baseFromStretch || m_visual.isEmpty())
            return {};
        return m_font.stretchSpan(m_text, m_visualFrom, m_visualFrom + m_visual.size());
    }

    void closeVisualLine()
    {
        m_laidOut.append(currentSpan());
        m_closedWidth = std::max(m_closedWidth, currentWidth());
        if (m_visualFrom >= 0)
            m_visualFrom = m_at;
        ++m_visualLines;
        m_visual.clear();
        m_length = 0;
        m_base = 0;
        m_baseFromStretch = false;
        m_baseLength = 0;
        m_pending = 0;
        m_band = 0;
        m_hidden = false;
        m_afterZeroAdvance = false;
        m_shapedMeasured = 0;
    }

    static constexpr int MaxMeasuredShaped = 16;

    QtTextMeasurer::Font &m_font;
    QStringView m_text;          ///< the text the clusters come from, when told
    qsizetype m_visualFrom = -1; ///< where the current visual line begins in it
    qsizetype m_at = 0;          ///< where the next cluster begins in it
    QString m_visual;            ///< the current visual line, as far as it is drawn
    qsizetype m_length = 0;      ///< its length with the hidden clusters
    double m_closedWidth = 0;    ///< the widest visual line before it
    int m_visualLines = 1;
    double m_base = 0;
    bool m_baseFromStretch = false; ///< m_base was read off a laid-out stretch
    qsizetype m_baseLength = 0;
    double m_pending = 0;
    double m_band = 0;
    CharKind m_lastKind = CharKind::Spacing;
    bool m_afterZeroAdvance = false;
    bool m_mustMeasure = false;
    bool m_hidden = false;
    int m_shapedMeasured = 0;     ///< Shaped clusters of the visual line that had it measured
    QList<LaidOutSpan> m_laidOut; ///< the glyphs of the visual lines closed
};

} // namespace

QtTextMeasurer::QtTextMeasurer(Lines lines)
    : m_lines(lines)
{}
QtTextMeasurer::~QtTextMeasurer() = default;

QtTextMeasurer::Font &QtTextMeasurer::fontFor(const ItemFont &font) const
{
    // A page's lines come in one font after another: the last one is kept at hand.
    if (m_lastFont && font == m_lastItemFont)
        return *m_lastFont;
    std::shared_ptr<Font> &entry = m_fonts[fontKey(font)];
    if (!entry)
        entry = std::make_shared<Font>(font);
    m_lastItemFont = font;
    m_lastFont = entry.get();
    return *entry;
}

TextExtent QtTextMeasurer::measureText(const QString &text, const ItemFont &font) const
{
    const Font &measured = fontFor(font);
    TextExtent extent;
    int lines = 0;
    forEachVisualLine(text, [&](const QString &line) {
        extent.width = std::max(extent.width, measured.width(line));
        ++lines;
    });
    extent.height = lines * measured.lineSpacing;
    return extent;
}

std::unique_ptr<LineMeasurement> QtTextMeasurer::startLine(const ItemFont &font) const
{
    if (m_lines == Lines::MeasuredWhole)
        return TextMeasurer::startLine(font);
    return std::make_unique<QtLineMeasurement>(fontFor(font));
}

qint64 QtTextMeasurer::stretchesLaidOut() const
{
    qint64 total = 0;
    for (const auto &font : std::as_const(m_fonts))
        total += font->stretchesLaidOut;
    return total;
}

qint64 QtTextMeasurer::measuredLength() const
{
    qint64 total = 0;
    for (const auto &font : std::as_const(m_fonts))
        total += font->measured;
    return total;
}
