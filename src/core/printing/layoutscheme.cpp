#include "core/printing/layoutscheme.h"

#include "core/platform/leadingnumber.h"

const QStringList LayoutScheme::FileKeys = {
    QStringLiteral("paperheight"), QStringLiteral("paperwidth"),  QStringLiteral("studentleft"),
    QStringLiteral("studenttop"),  QStringLiteral("pytextleft"),  QStringLiteral("pytexttop"),
    QStringLiteral("pytextheight"), QStringLiteral("pytextwidth"), QStringLiteral("pytextjuli"),
    QStringLiteral("teacherleft"), QStringLiteral("teachertop")};

const QStringList LayoutScheme::LoadKeys = {
    QStringLiteral("pytextjuli"), QStringLiteral("paperwidth"),  QStringLiteral("paperheight"),
    QStringLiteral("studentleft"), QStringLiteral("studenttop"), QStringLiteral("pytextleft"),
    QStringLiteral("pytexttop"),  QStringLiteral("pytextwidth"), QStringLiteral("pytextheight"),
    QStringLiteral("teacherleft"), QStringLiteral("teachertop")};

namespace {

/// The scheme, the side and its text; then the largest side in centimetres.
const QString PaperSizeErrorText =
    QStringLiteral("打印方案“%1”的纸张%2“%3”无效：纸张的宽度和高度必须是大于 0、不超过 %4 的厘米数。");

template<typename Scheme>
auto *field(Scheme &scheme, const QString &key)
{
    if (key == u"paperheight") return &scheme.paperheight;
    if (key == u"paperwidth") return &scheme.paperwidth;
    if (key == u"studentleft") return &scheme.studentleft;
    if (key == u"studenttop") return &scheme.studenttop;
    if (key == u"pytextleft") return &scheme.pytextleft;
    if (key == u"pytexttop") return &scheme.pytexttop;
    if (key == u"pytextheight") return &scheme.pytextheight;
    if (key == u"pytextwidth") return &scheme.pytextwidth;
    if (key == u"pytextjuli") return &scheme.pytextjuli;
    if (key == u"teacherleft") return &scheme.teacherleft;
    if (key == u"teachertop") return &scheme.teachertop;
    return static_cast<decltype(&scheme.name)>(nullptr);
}

} // namespace

QString LayoutScheme::value(const QString &key) const
{
    const QString *text = field(*this, key);
    return text ? *text : QString();
}

void LayoutScheme::setValue(const QString &key, const QString &text)
{
    if (QString *target = field(*this, key))
        *target = text;
}

double LayoutScheme::number(const QString &key) const
{
    return leadingNumber(value(key));
}

QString LayoutScheme::paperSizeError() const
{
    const auto problem = [&](const QString &side, const QString &text) {
        const double cm = leadingNumber(text);
        if (cm > 0 && cm <= MaxPaperCm)
            return QString();
        return PaperSizeErrorText.arg(name, side, text, QString::number(MaxPaperCm));
    };
    const QString width = problem(QStringLiteral("宽度"), paperwidth);
    return width.isEmpty() ? problem(QStringLiteral("高度"), paperheight) : width;
}
