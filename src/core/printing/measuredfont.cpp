#include "core/printing/measuredfont.h"

#include "core/platform/fontsubstitution.h"
#include "core/printing/twipdevice.h"

#include <QFontInfo>
#include <QImage>

MeasuredFont::MeasuredFont(const ItemFont &font)
    : MeasuredFont(FontSubstitution::toQFont(font))
{}

MeasuredFont::MeasuredFont(const QFont &font)
    : qfont(font)
    , metrics(font, &twipDevice())
    , lineSpacing(metrics.lineSpacing())
    , em(20 * (font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF()))
{}

double MeasuredFont::width(const QString &line) const
{
    m_measured += line.size();
    return line.isEmpty() ? 0.0 : metrics.horizontalAdvance(line);
}

MeasuredFont::Char MeasuredFont::cluster(QStringView text)
{
    if (text.size() == 1) {
        const QChar c = text.front();
        auto it = m_chars.constFind(c.unicode());
        if (it == m_chars.cend())
            it = m_chars.insert(c.unicode(), classify(text, charKind(c)));
        return *it;
    }
    if (text.size() > MaxKeptCluster)
        return classify(text, CharKind::Shaped);
    const QString key = text.toString();
    auto it = m_clusters.constFind(key);
    if (it == m_clusters.cend())
        it = m_clusters.insert(key, classify(text, CharKind::Shaped));
    return *it;
}

double MeasuredFont::allowance(CharKind previous, CharKind next) const
{
    return (previous == CharKind::FullWidth && next == CharKind::FullWidth) ? em / 16 : em / 4;
}

MeasuredFont::Char MeasuredFont::classify(QStringView text, CharKind kind) const
{
    const double advance = width(text.toString());
    // A tab's width depends on where it stands, whatever it measures alone.
    if (kind == CharKind::Shaped && advance == 0 && !text.contains(u'\t'))
        kind = CharKind::ZeroAdvance;
    return {advance, kind};
}
