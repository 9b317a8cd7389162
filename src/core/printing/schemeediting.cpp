#include "core/printing/schemeediting.h"

#include "core/platform/leadingnumber.h"
#include "core/printing/printeditems.h"

#include <cmath>

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
    default:
        break;
    }
    const PrintedItem *item = PrintedItems::of(selected);
    if (!item)
        return std::nullopt;
    if (box == Box::ItemWidth)
        return item->width;
    if (box == Box::ItemTop)
        return item->top;
    if (box == Box::ItemLeft)
        return item->left;
    return box == Box::ItemText ? item->text : std::nullopt;
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
    const PrintedItem *item = PrintedItems::of(selected);
    if (!item)
        return std::nullopt;
    const auto valueOf = [&scheme](std::optional<SchemeField> field) {
        return field ? scheme.value(*field) : QString();
    };
    return ItemTexts{valueOf(item->height), valueOf(item->width), valueOf(item->top), valueOf(item->left),
                     valueOf(item->text)};
}

QString SchemeEditing::applyText(LayoutScheme &scheme, SelectedObject selected, const QString &text)
{
    const std::optional<SchemeField> field = fieldOf(Box::ItemText, selected);
    if (!field)
        return QString();
    const QString problem = PrintedItems::schemeTextProblem(text);
    if (problem.isEmpty())
        scheme.setValue(*field, text);
    return problem;
}

void SchemeEditing::setSchemeFont(LayoutScheme &scheme, SelectedObject selected, const ItemFont &font)
{
    const PrintedItem *item = PrintedItems::of(selected);
    if (item && item->font)
        scheme.setValue(*item->font, PrintedItems::fontText(font));
}

QString SchemeEditing::copiesStepped(const QString &text, bool up)
{
    const double copies = leadingNumber(text);
    if (up)
        return numberText(copies + 1);
    return numberText(copies > 1 ? copies - 1 : copies);
}
