#pragma once

#include "core/printing/charkind.h"
#include "core/printing/measuredfont.h"
#include "core/printing/textmeasurer.h"

#include <QList>
#include <QString>
#include <QStringView>

/// The quick line box of QtTextMeasurer. Of the current visual line, a prefix has been
/// measured exactly (m_base); the clusters after it are counted with their advances on their
/// own, each possibly off by its kerning allowance (m_band in all). While the limit lies
/// outside that band around the estimate, the estimate answers; otherwise, or once one of the
/// first Shaped clusters of the visual line has joined, the visual line is measured.
/// Zero-advance clusters change neither the estimate nor the band. Once the visual line runs
/// past the paper's edge, the clusters appended hidden are not kept, and the estimate alone
/// answers for that visual line.
class QtLineMeasurement final : public LineMeasurement
{
public:
    explicit QtLineMeasurement(MeasuredFont &font);

    void expect(QStringView text, qsizetype from) override;
    void append(QStringView cluster) override { appendCluster(cluster, false); }
    void appendHidden(QStringView cluster) override { appendCluster(cluster, true); }

    bool widthAtMost(double limit) override;
    bool surelyReaches(double width) override;
    TextExtent extent() override;
    QList<LaidOutSpan> laidOut() override;

private:
    void appendCluster(QStringView cluster, bool hidden);

    /// The exact width of the current visual line; while it is hidden, its estimate.
    double currentWidth();

    /// The glyphs of the current visual line, when its width was read off a laid-out stretch:
    /// that stretch is still the font's.
    LaidOutSpan currentSpan();

    void closeVisualLine();

    static constexpr int MaxMeasuredShaped = 16;

    MeasuredFont &m_font;
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
