#include "core/printing/textmeasurer.h"

#include "core/printing/measuredfont.h"
#include "core/printing/qtlinemeasurement.h"

#include <algorithm>

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

QtTextMeasurer::QtTextMeasurer(Lines lines)
    : m_lines(lines)
{}
QtTextMeasurer::~QtTextMeasurer() = default;

MeasuredFont &QtTextMeasurer::fontFor(const ItemFont &font) const
{
    // A page's lines come in one font after another: the last one is kept at hand.
    if (m_lastFont && font == m_lastItemFont)
        return *m_lastFont;
    std::shared_ptr<MeasuredFont> &entry = m_fonts[fontKey(font)];
    if (!entry)
        entry = std::make_shared<MeasuredFont>(font);
    m_lastItemFont = font;
    m_lastFont = entry.get();
    return *entry;
}

TextExtent QtTextMeasurer::measureText(const QString &text, const ItemFont &font) const
{
    const MeasuredFont &measured = fontFor(font);
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
        total += font->stretchesLaidOut();
    return total;
}

qint64 QtTextMeasurer::measuredLength() const
{
    qint64 total = 0;
    for (const auto &font : std::as_const(m_fonts))
        total += font->measuredLength();
    return total;
}
