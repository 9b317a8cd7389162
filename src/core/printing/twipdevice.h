#pragma once

class QImage;

/// A paint device of 1440 dots per inch, so that a pixel of the font metrics is a twip.
const QImage &twipDevice();
