#pragma once

#include <qpdf/QPDFPageObjectHelper.hh>

/// Cuts the fonts of a page split from a larger PDF down to what the page itself shows, so that
/// a file holding one student's page holds no other student's characters.
///
/// Every composite font (Type0 with two-byte codes, what Qt writes) of the page's resources keeps
/// only the glyphs the page's content stream shows: its embedded TrueType font is cut with
/// HarfBuzz's subsetter keeping the glyph ids (so the drawn codes stay valid), its ToUnicode map
/// and its widths keep only the codes shown, and the font gets the subset tag of its new contents.
/// The fonts must belong to this page alone (as in a file of one page). Other fonts stay as they
/// are. Throws std::exception when a font cannot be cut.
void subsetPageFonts(QPDFPageObjectHelper &page);
