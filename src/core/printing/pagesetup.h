#pragma once

#include "core/platform/twips.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"

#include <QDate>
#include <QString>

#include <optional>

/// What a page is composed with: the scheme, whose lengths are read as numbers of centimetres,
/// the paper's size, the display scale, the twips per centimetre and what the heading and the
/// date are filled in with. Every length is multiplied by the scale and the units where the
/// page is composed.
struct PageSetup
{
    LayoutScheme scheme;
    double paperHeight = 0;
    double paperWidth = 0;
    double scale = 1;
    int unitsPerCm = UnitsPerCm;
    /// The part of the page the comment is composed for, in twips at this scale; the whole page
    /// when not given.
    std::optional<PaperEdges> paper;
    QString className; ///< the class file's name without its suffix
    QDate printDate;   ///< the date printed; today when not valid

    /// A scheme length: the number its field starts with.
    double cm(SchemeField field) const { return scheme.number(field); }

    /// The setup of a scheme at a display scale: each length the number its field starts with,
    /// the paper's size included.
    static PageSetup of(const LayoutScheme &scheme, double scale = 1, int unitsPerCm = UnitsPerCm);
    /// This setup with the paper's size read from two texts, as the paper-size boxes hold it.
    PageSetup withPaperSize(const QString &heightText, const QString &widthText) const;
};
