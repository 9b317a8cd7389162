#include "core/printing/pagepainter.h"

#include "core/platform/fontsubstitution.h"
#include "core/printing/composition.h"
#include "core/printing/pdftextlayer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

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
        qsizetype start = 0;
        const QString &text = item.text;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const bool end = i == text.size();
            if (!end && text[i] != u'\r' && text[i] != u'\n')
                continue;
            if (i > start)
                lines.append({font, QPointF(item.left, baseline), text.mid(start, i - start)});
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
