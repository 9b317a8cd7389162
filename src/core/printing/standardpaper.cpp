#include "core/printing/standardpaper.h"

#include <QList>

#include <cmath>

namespace {

const QList<StandardPaper> &standardPapers()
{
    // The sizes Chinese schools print on, and Letter.
    static const QList<StandardPaper> papers = {
        {QStringLiteral("A4"), QPageSize::A4, {210, 297}, "iso_a4_210x297mm", "A4"},
        {QStringLiteral("A3"), QPageSize::A3, {297, 420}, "iso_a3_297x420mm", "A3"},
        {QStringLiteral("A5"), QPageSize::A5, {148, 210}, "iso_a5_148x210mm", "A5"},
        {QStringLiteral("B5"), QPageSize::B5, {176, 250}, "iso_b5_176x250mm", "ISOB5"},
        {QStringLiteral("B5 (JIS)"), QPageSize::JisB5, {182, 257}, "jis_b5_182x257mm", "B5"},
        {QStringLiteral("16K"), QPageSize::Custom, {184, 260}, "om_16k_184x260mm", ""},
        {QStringLiteral("Letter"), QPageSize::Letter, {215.9, 279.4}, "na_letter_8.5x11in", "Letter"},
    };
    return papers;
}

bool near(double value, double target)
{
    return std::abs(value - target) <= 0.01 * target;
}

} // namespace

std::optional<StandardPaper> standardPaperFor(qint64 widthTwips, qint64 heightTwips)
{
    // 20 twips a point, 72 points an inch, 25.4 mm an inch.
    const double width = widthTwips / 20.0 / 72.0 * 25.4;
    const double height = heightTwips / 20.0 / 72.0 * 25.4;
    for (StandardPaper paper : standardPapers()) {
        const double w = paper.millimetres.width();
        const double h = paper.millimetres.height();
        if (near(width, w) && near(height, h))
            return paper;
        if (near(width, h) && near(height, w)) {
            paper.landscape = true;
            return paper;
        }
    }
    return std::nullopt;
}

QPageLayout pageLayoutFor(qint64 widthTwips, qint64 heightTwips)
{
    const std::optional<StandardPaper> paper = standardPaperFor(widthTwips, heightTwips);
    if (!paper) {
        // A point is 20 twips.
        const QPageSize exact(QSizeF(widthTwips / 20.0, heightTwips / 20.0), QPageSize::Point, QString(),
                              QPageSize::ExactMatch);
        return QPageLayout(exact, QPageLayout::Portrait, QMarginsF());
    }
    const QPageSize size = paper->id != QPageSize::Custom
                               ? QPageSize(paper->id)
                               : QPageSize(paper->millimetres, QPageSize::Millimeter, paper->name,
                                           QPageSize::ExactMatch);
    return QPageLayout(size, paper->landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

std::optional<StandardPaper> standardPaperNamed(const QString &name)
{
    for (const StandardPaper &paper : standardPapers()) {
        if (paper.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return paper;
    }
    return std::nullopt;
}

QStringList standardPaperNames()
{
    QStringList names;
    for (const StandardPaper &paper : standardPapers())
        names.append(paper.name);
    return names;
}
