#include "core/printing/schemeediting.h"

#include "core/platform/leadingnumber.h"

#include <cmath>

namespace {

// The fields the top and left boxes edit for the selected item; none for None.
std::optional<SchemeField> leftField(SelectedObject object)
{
    switch (object) {
    case SelectedObject::StudentName:
        return SchemeField::StudentLeft;
    case SelectedObject::CommentText:
        return SchemeField::PyTextLeft;
    case SelectedObject::Signature:
        return SchemeField::TeacherLeft;
    case SelectedObject::None:
        break;
    }
    return std::nullopt;
}

std::optional<SchemeField> topField(SelectedObject object)
{
    switch (object) {
    case SelectedObject::StudentName:
        return SchemeField::StudentTop;
    case SelectedObject::CommentText:
        return SchemeField::PyTextTop;
    case SelectedObject::Signature:
        return SchemeField::TeacherTop;
    case SelectedObject::None:
        break;
    }
    return std::nullopt;
}

} // namespace

QString SchemeEditing::numberText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    // Fifteen significant digits as mantissa and exponent, then written out without exponent:
    // an exponent would be read back as its mantissa alone.
    const QString scientific = QString::number(std::abs(value), 'e', 14);
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(e).remove(u'.');
    const int exponent = scientific.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    QString text;
    if (exponent < 0)
        text = u'.' + QString(-exponent - 1, u'0') + digits;
    else if (exponent + 1 >= digits.size())
        text = digits + QString(exponent + 1 - digits.size(), u'0');
    else
        text = digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
    return value < 0 ? u'-' + text : text;
}

std::optional<SchemeField> SchemeEditing::fieldOf(Box box, SelectedObject selected)
{
    switch (box) {
    case Box::PaperHeight:
        return SchemeField::PaperHeight;
    case Box::PaperWidth:
        return SchemeField::PaperWidth;
    case Box::Spacing:
        return SchemeField::PyTextJuli;
    case Box::ItemWidth:
        if (selected == SelectedObject::CommentText)
            return SchemeField::PyTextWidth;
        break;
    case Box::ItemTop:
        return topField(selected);
    case Box::ItemLeft:
        return leftField(selected);
    case Box::ItemHeight:
        break;
    }
    return std::nullopt;
}

void SchemeEditing::apply(LayoutScheme &scheme, Box box, SelectedObject selected, const QString &text)
{
    if (const std::optional<SchemeField> field = fieldOf(box, selected))
        scheme.setValue(*field, text);
}

std::optional<QString> SchemeEditing::spin(LayoutScheme &scheme, Box box, SelectedObject selected,
                                           const QString &text, bool up)
{
    const double value = leadingNumber(text);
    std::optional<QString> shown;
    if (up)
        shown = numberText(value + Step);
    else if (value > 0)
        shown = numberText(value - Step);
    else if (box != Box::Spacing)
        shown = numberText(value);
    apply(scheme, box, selected, shown.value_or(text));
    return shown;
}

QString SchemeEditing::heightStepped(const QString &text, bool up)
{
    return numberText(leadingNumber(text) + (up ? Step : -Step));
}

void SchemeEditing::lowerSpacing(LayoutScheme &scheme)
{
    const double spacing = scheme.number(SchemeField::PyTextJuli);
    if (spacing > 0)
        scheme.pytextjuli = numberText(spacing - Step);
}

std::optional<SchemeEditing::ItemTexts> SchemeEditing::itemTexts(const LayoutScheme &scheme,
                                                                 SelectedObject selected)
{
    if (selected == SelectedObject::None)
        return std::nullopt;
    ItemTexts texts;
    if (selected == SelectedObject::CommentText) {
        texts.height = scheme.pytextheight;
        texts.width = scheme.pytextwidth;
    }
    texts.top = scheme.value(*topField(selected));
    texts.left = scheme.value(*leftField(selected));
    return texts;
}

QString SchemeEditing::copiesStepped(const QString &text, bool up)
{
    const double copies = leadingNumber(text);
    if (up)
        return numberText(copies + 1);
    return numberText(copies > 1 ? copies - 1 : copies);
}
