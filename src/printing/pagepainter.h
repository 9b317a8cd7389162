#pragma once

struct ComposedPage;
class QPainter;

/// Paints a composed page with one user unit per twip: the page's items in their fonts at
/// their places, each visual line of an item (CR LF, CR or LF end one) one line spacing below
/// the one before. The same routine serves the sample page on screen, the printer and PDF; the
/// caller maps twips to its device (no transform on a 1440-dpi device, a scale of
/// dpi / 1440 elsewhere). The page's background is the caller's.
void paintComposedPage(QPainter &painter, const ComposedPage &page);
