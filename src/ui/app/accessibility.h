#pragma once

/// What assistive technology (a screen reader through AT-SPI) needs beyond Qt's own
/// interfaces: the print window, which lives in the editing area's viewport beside the editing
/// windows, is shown as part of that area, and its sample page as one graphic.
namespace Accessibility {

/// Installs the interfaces; once, after the QApplication exists.
void install();

} // namespace Accessibility
