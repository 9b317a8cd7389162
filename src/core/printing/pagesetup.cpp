#include "core/printing/pagesetup.h"

#include "core/platform/leadingnumber.h"
#include "core/printing/layoutscheme.h"

PageSetup PageSetup::of(const LayoutScheme &scheme, double scale, int unitsPerCm)
{
    PageSetup setup;
    setup.paperHeight = scheme.number(SchemeField::PaperHeight);
    setup.paperWidth = scheme.number(SchemeField::PaperWidth);
    setup.studentLeft = scheme.number(SchemeField::StudentLeft);
    setup.studentTop = scheme.number(SchemeField::StudentTop);
    setup.pytextLeft = scheme.number(SchemeField::PyTextLeft);
    setup.pytextTop = scheme.number(SchemeField::PyTextTop);
    setup.pytextWidth = scheme.number(SchemeField::PyTextWidth);
    setup.pytextHeight = scheme.number(SchemeField::PyTextHeight);
    setup.pytextJuli = scheme.number(SchemeField::PyTextJuli);
    setup.teacherLeft = scheme.number(SchemeField::TeacherLeft);
    setup.teacherTop = scheme.number(SchemeField::TeacherTop);
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
