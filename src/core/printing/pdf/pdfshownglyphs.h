#pragma once

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <map>
#include <string>
#include <vector>

/// Whether ShownGlyphs can follow what `font` shows: an indirect composite font with two-byte
/// codes (Type0, Identity-H: what Qt writes).
bool followedFont(QPDFObjectHandle font);

/// The fonts of a page's resources that followedFont() takes, by resource name.
std::map<std::string, QPDFObjectHandle> compositeFonts(QPDFPageObjectHelper &page);

/// One glyph code a page shows, in its font.
struct ShownGlyph
{
    QPDFObjGen font;
    unsigned code = 0;
};

/// Collects the glyph codes a page's content stream shows, in order, with the font of each. Only
/// composite fonts with two-byte codes (Identity-H, what Qt writes) can be followed; a page
/// showing text in any other font is marked as not followed. The stream is read token by token:
/// only the text operators and the graphics state's save and restore matter here.
class ShownGlyphs
{
public:
    explicit ShownGlyphs(QPDFPageObjectHelper &page);

    std::vector<ShownGlyph> glyphs;
    bool followed = true;
    std::map<QPDFObjGen, QPDFObjectHandle> fonts; ///< the composite fonts shown

private:
    struct Operand
    {
        enum Kind { Name, String, Array, Other } kind;
        std::string value;
        std::vector<std::string> strings; ///< the strings of an array
    };

    struct Font
    {
        QPDFObjGen id;
        bool composite = false;
    };

    void operate(const std::string &op);
    void selectFont(const std::string &name);
    void show(const std::string &bytes);

    QPDFObjectHandle m_fonts;
    std::vector<Operand> m_operands;
    Font m_font;
    std::vector<Font> m_saved;
};
