#include "core/printing/qtlinemeasurement.h"

#include <algorithm>
#include <optional>

QtLineMeasurement::QtLineMeasurement(MeasuredFont &font)
    : m_font(font)
{}

void QtLineMeasurement::expect(QStringView text, qsizetype from)
{
    m_text = text;
    m_visualFrom = m_at = from;
}

bool QtLineMeasurement::widthAtMost(double limit)
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

bool QtLineMeasurement::surelyReaches(double width)
{
    if (m_hidden)
        return true;
    // Measured when the estimate reaches the width but cannot vouch for it: then the line
    // is hidden from there on, or one more cluster or so brings it there.
    if (m_base + m_pending >= width && (m_mustMeasure || m_base + m_pending - m_band < width))
        currentWidth();
    return !m_mustMeasure && m_base + m_pending - m_band >= width;
}

TextExtent QtLineMeasurement::extent()
{
    return {std::max(m_closedWidth, currentWidth()), m_visualLines * m_font.lineSpacing};
}

QList<LaidOutSpan> QtLineMeasurement::laidOut()
{
    QList<LaidOutSpan> spans = m_laidOut;
    spans.append(currentSpan());
    return spans;
}

void QtLineMeasurement::appendCluster(QStringView cluster, bool hidden)
{
    const QChar first = cluster.front();
    m_at += cluster.size();
    if (isLineBreak(first)) {
        // CR LF comes as one cluster; a lone CR or LF ends a visual line as well.
        closeVisualLine();
        return;
    }
    const MeasuredFont::Char appended = m_font.cluster(cluster);
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

double QtLineMeasurement::currentWidth()
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

LaidOutSpan QtLineMeasurement::currentSpan()
{
    currentWidth();
    if (m_hidden || !m_baseFromStretch || m_visual.isEmpty())
        return {};
    return m_font.stretchSpan(m_text, m_visualFrom, m_visualFrom + m_visual.size());
}

void QtLineMeasurement::closeVisualLine()
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
