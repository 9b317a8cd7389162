#include "core/platform/fontsubstitution.h"

#include <QFontInfo>
#include <QHash>

namespace FontSubstitution {

namespace {

const QString Serif = QStringLiteral("Noto Serif CJK SC");
const QString Sans = QStringLiteral("Noto Sans CJK SC");
const QString Ming = QStringLiteral("AR PL UMing CN");
const QString Kai = QStringLiteral("AR PL UKai CN");

const QHash<QString, QStringList> &table()
{
    static const QHash<QString, QStringList> faces = {
        {QStringLiteral("宋体"), {Serif, Ming}},
        {QStringLiteral("新宋体"), {Serif, Ming}},
        {QStringLiteral("SimSun"), {Serif, Ming}},
        {QStringLiteral("NSimSun"), {Serif, Ming}},
        {QStringLiteral("仿宋"), {Serif, Ming}},
        {QStringLiteral("仿宋_GB2312"), {Serif, Ming}},
        {QStringLiteral("FangSong"), {Serif, Ming}},
        {QStringLiteral("FangSong_GB2312"), {Serif, Ming}},
        {QStringLiteral("黑体"), {Sans}},
        {QStringLiteral("SimHei"), {Sans}},
        {QStringLiteral("微软雅黑"), {Sans}},
        {QStringLiteral("Microsoft YaHei"), {Sans}},
        {QStringLiteral("等线"), {Sans}},
        {QStringLiteral("幼圆"), {Sans}},
        {QStringLiteral("楷体"), {Kai, Serif}},
        {QStringLiteral("楷体_GB2312"), {Kai, Serif}},
        {QStringLiteral("KaiTi"), {Kai, Serif}},
        {QStringLiteral("KaiTi_GB2312"), {Kai, Serif}},
        {QStringLiteral("隶书"), {Kai, Serif}},
    };
    return faces;
}

} // namespace

QStringList substitutesFor(const QString &face)
{
    return table().value(face);
}

void install()
{
    static const bool installed = [] {
        for (auto it = table().cbegin(); it != table().cend(); ++it)
            QFont::insertSubstitutions(it.key(), it.value());
        return true;
    }();
    Q_UNUSED(installed);
}

QFont toQFont(const ItemFont &font)
{
    install();
    QFont qfont(font.fontName);
    if (font.fontSize > 0)
        qfont.setPointSizeF(font.fontSize);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    return qfont;
}

ItemFont fromQFont(const QFont &chosen, const ItemFont &preset)
{
    ItemFont font;
    const QString shownFamily = QFontInfo(toQFont(preset)).family();
    font.fontName = (chosen.family() == preset.fontName || chosen.family() == shownFamily) ? preset.fontName
                                                                                           : chosen.family();
    font.fontSize = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : preset.fontSize;
    font.bold = chosen.bold();
    font.italic = chosen.italic();
    return font;
}

} // namespace FontSubstitution
