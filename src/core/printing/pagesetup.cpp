#include "core/printing/pagesetup.h"

#include "core/platform/leadingnumber.h"
#include "core/printing/layoutscheme.h"

PageSetup PageSetup::of(const LayoutScheme &scheme, double scale, int unitsPerCm)
{
    PageSetup setup;
    setup.scheme = scheme;
    setup.paperHeight = scheme.number(SchemeField::PaperHeight);
    setup.paperWidth = scheme.number(SchemeField::PaperWidth);
    setup.scale = scale;
    setup.unitsPerCm = unitsPerCm;
    return setup;
}

PageSetup PageSetup::withPaperSize(const QString &heightText, const QString &widthText) const
{
    PageSetup setup = *this;
    setup.paperHeight = leadingNumber(heightText);
    setup.paperWidth = leadingNumber(widthText);
    return setup;
}
