#include "core/printing/layoutscheme.h"

#include "core/platform/leadingnumber.h"

namespace {

/// The scheme, the side and its text; then the largest side in centimetres.
const QString PaperSizeErrorText =
    QStringLiteral("打印方案“%1”的纸张%2“%3”无效：纸张的宽度和高度必须是大于 0、不超过 %4 的厘米数。");

/// The member that holds a field, and the field's key in the file.
struct FieldEntry
{
    QString LayoutScheme::*member;
    const char16_t *key;
};

/// One entry per field, in the order of the enumeration.
constexpr FieldEntry Fields[LayoutScheme::AllFieldCount] = {
    {&LayoutScheme::paperheight, u"paperheight"},   {&LayoutScheme::paperwidth, u"paperwidth"},
    {&LayoutScheme::studentleft, u"studentleft"},   {&LayoutScheme::studenttop, u"studenttop"},
    {&LayoutScheme::pytextleft, u"pytextleft"},     {&LayoutScheme::pytexttop, u"pytexttop"},
    {&LayoutScheme::pytextheight, u"pytextheight"}, {&LayoutScheme::pytextwidth, u"pytextwidth"},
    {&LayoutScheme::pytextjuli, u"pytextjuli"},     {&LayoutScheme::teacherleft, u"teacherleft"},
    {&LayoutScheme::teachertop, u"teachertop"},     {&LayoutScheme::titleleft, u"titleleft"},
    {&LayoutScheme::titletop, u"titletop"},         {&LayoutScheme::titletext, u"titletext"},
    {&LayoutScheme::titlefont, u"titlefont"},       {&LayoutScheme::dateleft, u"dateleft"},
    {&LayoutScheme::datetop, u"datetop"},           {&LayoutScheme::datetext, u"datetext"},
    {&LayoutScheme::datefont, u"datefont"},
};
static_assert(int(SchemeField::TeacherTop) + 1 == LayoutScheme::FieldCount);
static_assert(int(SchemeField::DateFont) + 1 == LayoutScheme::AllFieldCount);

const FieldEntry &entry(SchemeField field)
{
    return Fields[std::size_t(field)];
}

} // namespace

QString LayoutScheme::key(SchemeField field)
{
    return QString::fromUtf16(entry(field).key);
}

const QString &LayoutScheme::value(SchemeField field) const
{
    return this->*entry(field).member;
}

void LayoutScheme::setValue(SchemeField field, const QString &text)
{
    this->*entry(field).member = text;
}

double LayoutScheme::number(SchemeField field) const
{
    return leadingNumber(value(field));
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
