#include "core/printing/pagepainter.h"

#include "core/platform/fontsubstitution.h"
#include "core/printing/composition.h"
#include "core/printing/pdf/pdftextlayer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

QList<DrawnLine> drawnLines(const ComposedPage &page, const QPaintDevice *device)
{
    const double dpi = device ? device->logicalDpiY() : 1440.0;
    QList<DrawnLine> lines;
    for (const PageItem &item : page.items) {
        if (item.text.isEmpty())
            continue;
        // Sized so that a point is 20 user units (twips) whatever the device: the painter's
        // transform then brings the text to its true size, as it does the positions.
        QFont font = FontSubstitution::toQFont(item.font);
        font.setPointSizeF(item.font.fontSize * 1440.0 / dpi);
        const QFontMetricsF metrics(font, const_cast<QPaintDevice *>(device));
        double baseline = item.top + metrics.ascent();
        // The measurer's glyphs are those of a font of the same pixel size only on its own
        // resolution.
        const bool measuredGlyphs = dpi == 1440.0;
        qsizetype visualLine = 0;
        qsizetype start = 0;
        const QString &text = item.text;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const bool end = i == text.size();
            if (!end && text[i] != u'\r' && text[i] != u'\n')
                continue;
            if (i > start) {
                lines.append({font, QPointF(item.left, baseline), text.mid(start, i - start),
                              measuredGlyphs ? item.laidOut.value(visualLine) : LaidOutSpan()});
            }
            ++visualLine;
            baseline += metrics.lineSpacing();
            if (!end && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    return lines;
}

QTextLine layOutLine(QTextLayout &layout)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    // Keeps the glyphs shaped for the line, for drawing and the text layer to use.
    layout.setCacheEnabled(true);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

void paintLines(QPainter &painter, const QList<DrawnLine> &lines, PdfTextLayer *textLayer, bool samePage)
{
    painter.save();
    painter.setPen(Qt::black);
    if (textLayer && !samePage)
        textLayer->beginPage();
    for (const DrawnLine &line : lines) {
        if (!textLayer) {
            painter.setFont(line.font);
            painter.drawText(line.baseline, line.text);
            continue;
        }
        if (line.glyphs.text) {
            const QList<QGlyphRun> runs = line.glyphs.runs();
            if (textLayer->addOwnLine(line.text, runs)) {
                // Where a layout of the line puts its glyphs: from the baseline in whole 64ths.
                const auto sixtyFourths = [](double v) { return std::round(v * 64) / 64; };
                const QPointF origin(sixtyFourths(line.baseline.x()), sixtyFourths(line.baseline.y()));
                for (const QGlyphRun &run : runs)
                    painter.drawGlyphRun(origin, run);
                continue;
            }
        }
        // The layout drawText would make, kept for the text layer. The line's top is its
        // baseline less its ascent (a whole number of 64ths: the baseline comes out the same).
        QTextLayout layout(line.text, line.font, painter.device());
        const QTextLine shaped = layOutLine(layout);
        shaped.draw(&painter, QPointF(line.baseline.x(), line.baseline.y() - shaped.ascent()));
        textLayer->addLine(line.text, shaped);
    }
    painter.restore();
}

void paintComposedPage(QPainter &painter, const ComposedPage &page)
{
    paintLines(painter, drawnLines(page, painter.device()));
}
