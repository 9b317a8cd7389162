#include "printing/textmeasurer.h"

#include "platform/fontsubstitution.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>

#include <algorithm>

namespace {

/// Calls `visit` with every visual line of `text`.
template<typename Visit>
void forEachVisualLine(const QString &text, Visit visit)
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
        : m_measurer(measurer), m_font(font) {}

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

/// How a character behaves when it is appended to a line.
enum class CharKind {
    /// Widens the line by its own advance, give or take kerning with the character before:
    /// Latin, general punctuation, half-width forms.
    Spacing,
    /// A full-width character of the CJK blocks: Chinese fonts set these on a fixed pitch.
    FullWidth,
    /// Marks, controls, format characters, surrogates and the scripts that shape across
    /// characters: the line has to be measured.
    Shaped,
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

QString fontKey(const ItemFont &font)
{
    return font.fontName + u'\x1f' + QString::number(font.fontSize, 'g', 17)
        + (font.bold ? u'b' : u'-') + (font.italic ? u'i' : u'-');
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
        : metrics(font, &twipDevice())
        , lineSpacing(metrics.lineSpacing())
        , em(20 * (font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF()))
    {}

    /// The width of one visual line: the one measurement every answer is made of.
    double width(const QString &line) const
    {
        return line.isEmpty() ? 0.0 : metrics.horizontalAdvance(line);
    }

    const Char &character(QChar c)
    {
        auto it = chars.constFind(c.unicode());
        if (it == chars.cend()) {
            const CharKind kind = kindOf(c);
            it = chars.insert(c.unicode(), {kind == CharKind::Shaped ? 0 : width(QString(c)), kind});
        }
        return *it;
    }

    /// How far appending a character of kind `next` behind one of kind `previous` may move
    /// the line's width away from the advance of the new character on its own. Kerning and
    /// ligatures of common Latin fonts stay well within a quarter em; Chinese fonts do not
    /// kern full-width characters, yet a sixteenth of an em is allowed for them all the same.
    double allowance(CharKind previous, CharKind next) const
    {
        return (previous == CharKind::FullWidth && next == CharKind::FullWidth) ? em / 16 : em / 4;
    }

    QFontMetricsF metrics;
    double lineSpacing;
    double em;   ///< in twips
    QHash<char16_t, Char> chars;
};

namespace {

/// The quick line box of QtTextMeasurer. Of the current visual line, a prefix has been
/// measured exactly (m_base); the characters after it are counted with their cached advances,
/// each possibly off by its kerning allowance (m_band in all). While the limit lies outside
/// that band around the estimate, the estimate answers; otherwise the visual line is measured.
class QtLineMeasurement final : public LineMeasurement
{
public:
    explicit QtLineMeasurement(QtTextMeasurer::Font &font) : m_font(font) {}

    void append(QStringView cluster) override
    {
        // Character by character: what a cluster adds to its first character (marks, joiners,
        // selectors, a low surrogate) has the line measured before the next answer; the LF of
        // a CR LF only completes the line break.
        for (const QChar c : cluster)
            appendCharacter(c);
    }

    bool widthAtMost(double limit) override
    {
        if (m_closedWidth > limit)
            return false;
        if (m_baseLength != m_visual.size() && !m_mustMeasure) {
            const double estimate = m_base + m_pending;
            if (estimate + m_band <= limit)
                return true;
            if (estimate - m_band > limit)
                return false;
        }
        return currentWidth() <= limit;
    }

    TextExtent extent() override
    {
        return {std::max(m_closedWidth, currentWidth()), m_visualLines * m_font.lineSpacing};
    }

private:
    void appendCharacter(QChar c)
    {
        if (isLineBreak(c)) {
            const bool secondOfPair = c == u'\n' && m_afterCr;
            m_afterCr = c == u'\r';
            if (!secondOfPair)
                closeVisualLine();
            return;
        }
        m_afterCr = false;
        const auto &appended = m_font.character(c);
        if (appended.kind == CharKind::Shaped) {
            m_mustMeasure = true;
        } else {
            m_pending += appended.advance;
            // The first character of a visual line measures as its own advance exactly.
            if (!m_visual.isEmpty())
                m_band += m_font.allowance(m_lastKind, appended.kind);
        }
        m_lastKind = appended.kind;
        m_visual += c;
    }

    /// The exact width of the current visual line.
    double currentWidth()
    {
        if (m_baseLength != m_visual.size() || m_mustMeasure) {
            m_base = m_font.width(m_visual);
            m_baseLength = m_visual.size();
            m_pending = 0;
            m_band = 0;
            m_mustMeasure = false;
        }
        return m_base;
    }

    void closeVisualLine()
    {
        m_closedWidth = std::max(m_closedWidth, currentWidth());
        ++m_visualLines;
        m_visual.clear();
        m_base = 0;
        m_baseLength = 0;
    }

    QtTextMeasurer::Font &m_font;
    QString m_visual;           ///< the current visual line
    double m_closedWidth = 0;   ///< the widest visual line before it
    int m_visualLines = 1;
    bool m_afterCr = false;
    double m_base = 0;
    qsizetype m_baseLength = 0;
    double m_pending = 0;
    double m_band = 0;
    CharKind m_lastKind = CharKind::Spacing;
    bool m_mustMeasure = false;
};

} // namespace

QtTextMeasurer::QtTextMeasurer(Lines lines)
    : m_lines(lines)
{
}
QtTextMeasurer::~QtTextMeasurer() = default;

QtTextMeasurer::Font &QtTextMeasurer::fontFor(const ItemFont &font) const
{
    std::shared_ptr<Font> &entry = m_fonts[fontKey(font)];
    if (!entry)
        entry = std::make_shared<Font>(font);
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
