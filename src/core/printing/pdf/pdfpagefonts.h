#pragma once

#include "core/printing/pdf/tounicodemap.h"

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <map>
#include <memory>
#include <string>
#include <vector>

struct hb_face_t;

/// Cuts the fonts of the pages of one PDF down to what each page itself shows, so that a file
/// holding one student's page holds no other student's characters.
///
/// Every composite font (Type0 with two-byte codes, what Qt writes) of a page keeps only the
/// glyphs the page's content stream shows: its embedded TrueType font is cut with HarfBuzz's
/// subsetter keeping the glyph ids (so the drawn codes stay valid), its ToUnicode map and its
/// widths keep only the codes shown, and it gets the subset tag of its new contents. Other fonts
/// stay as they are. What each font of the source file holds is read once, for all its pages.
class PdfPageFonts
{
public:
    PdfPageFonts();
    ~PdfPageFonts();
    PdfPageFonts(const PdfPageFonts &) = delete;
    PdfPageFonts &operator=(const PdfPageFonts &) = delete;

    /// Cuts the composite fonts of `page` down to what it shows, in place: the fonts it shares
    /// with the other pages are cut anew for each page, from what they held when first seen.
    /// Throws std::exception when a font cannot be cut.
    void cut(QPDFPageObjectHelper &page);

private:
    /// A composite font of the source file, as read once.
    struct Font
    {
        std::string file;                  ///< the embedded TrueType font ("" when none)
        std::shared_ptr<hb_face_t> face;   ///< `file`, as HarfBuzz reads it
        std::vector<unsigned> glyphOfCode; ///< the CIDToGIDMap (empty for Identity)
        UnicodeMap toUnicode;
        bool hasToUnicode = false;
        std::map<unsigned, double> widths; ///< by code: the width the W array gives
        bool hasWidths = false;
    };
    const Font &fontOf(QPDFObjectHandle font);

    std::map<QPDFObjGen, Font> m_fonts;
};
