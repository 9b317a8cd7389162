#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

/// Keeps a top-level window on a small screen: its first size is bounded by the screen's
/// available area, and once the window manager's real frame is known the window is checked again.
namespace ScreenFit {

/// A window's first size: its design size, made smaller where the screen's available area less
/// the window frame cannot hold it.
QSize firstSize(QSize design, const QRect &available, const QMargins &frame);

/// Once the window manager has framed `window`: a first size that turns out too large for the
/// screen is clamped again and the frame moved onto the screen; a size the teacher chose
/// (anything but `firstSize`) is left alone. Returns false while the frame is not known yet.
bool fitFramed(QWidget &window, QSize firstSize);

/// Where a window (its frame, `window`) goes so that it does not cover `keep`, on the screen's
/// `available` area: where it is when it covers nothing; else beside `keep` on the first side it
/// fits whole (right, left, below, above); else made smaller, down to `minimum`, beside `keep`
/// on the side that keeps most of it; else where it is, moved onto the screen.
QRect clearOf(const QRect &window, const QRect &keep, const QRect &available, const QSize &minimum);

} // namespace ScreenFit
