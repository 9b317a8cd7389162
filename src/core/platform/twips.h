#pragma once

#include <QtGlobal>

/// Window geometry is designed in twips, 1440 to the inch.
namespace Twips {

inline constexpr int PerInch = 1440;

/// A control's place in its container as designed, in twips.
struct Box
{
    int left, top, width, height;
};

/// Twips → device pixels at the given logical DPI.
inline int toPixels(double twips, double dpi)
{
    return qRound(twips * dpi / PerInch);
}

/// Device pixels → twips at the given logical DPI.
inline int fromPixels(double pixels, double dpi)
{
    return qRound(pixels * PerInch / dpi);
}

} // namespace Twips

/// Print layouts are given in centimetres: twips per centimetre (1440 / 2.54, rounded as the
/// layout files have always been read).
inline constexpr int UnitsPerCm = 570;
