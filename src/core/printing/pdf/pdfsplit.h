#pragma once

#include "core/platform/result.h"

#include <QByteArray>
#include <QList>

/// Each page of a PDF as a PDF file of its own, with everything the page uses (its fonts, its
/// text layer) copied in and its fonts cut down to the glyphs the page shows (PdfPageFonts):
/// a file holds no character of another page. Splitting one drawn class is much cheaper than drawing a file per
/// student: a PDF writer's fixed cost per file (the fonts' character tables) is paid once.
/// Fails with the reason when the PDF cannot be read.
Result<QList<QByteArray>> splitPdfPages(const QByteArray &pdf);
