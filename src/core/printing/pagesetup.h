#pragma once

#include "core/platform/twips.h"
#include "core/printing/composition.h"

#include <QString>

#include <optional>

struct LayoutScheme;

/// What a page is composed with: the scheme's lengths as numbers of centimetres, the paper's
/// size, the display scale and the twips per centimetre. Every length is multiplied by the
/// scale and the units where the page is composed.
struct PageSetup
{
    double paperHeight = 0;
    double paperWidth = 0;
    double studentLeft = 0;
    double studentTop = 0;
    double pytextLeft = 0;
    double pytextTop = 0;
    double pytextWidth = 0;
    double pytextHeight = 0; ///< the comment's printed box: lines below it run into the signature
    double pytextJuli = 0; ///< extra gap between two comment lines
    double teacherLeft = 0;
    double teacherTop = 0;
    double scale = 1;
    int unitsPerCm = UnitsPerCm;
    /// The part of the page the comment is composed for, in twips at this scale; the whole page
    /// when not given.
    std::optional<PaperEdges> paper;

    /// The setup of a scheme at a display scale: each length the number its field starts with,
    /// the paper's size included.
    static PageSetup of(const LayoutScheme &scheme, double scale = 1, int unitsPerCm = UnitsPerCm);
    /// This setup with the paper's size read from two texts, as the paper-size boxes hold it.
    PageSetup withPaperSize(const QString &heightText, const QString &widthText) const;
};
