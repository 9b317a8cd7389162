#include "core/printing/pdfpagefonts.h"

#include "core/printing/pdfshownglyphs.h"
#include "core/printing/pdfsubsetname.h"
#include "core/printing/tounicodemap.h"

#include <QtGlobal>

#include <qpdf/Buffer.hh>

#include <hb-subset.h>

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

namespace {

template<auto Destroy>
struct Releaser
{
    template<typename T>
    void operator()(T *object) const
    {
        Destroy(object);
    }
};
using Blob = std::unique_ptr<hb_blob_t, Releaser<hb_blob_destroy>>;
using Face = std::unique_ptr<hb_face_t, Releaser<hb_face_destroy>>;
using SubsetInput = std::unique_ptr<hb_subset_input_t, Releaser<hb_subset_input_destroy>>;

/// `font` (a TrueType file) with only `glyphs` (and glyph 0) drawn; every other glyph id stays
/// as an empty glyph, so the ids the page shows keep meaning the same glyphs.
std::string cutFont(const std::string &font, const std::set<unsigned> &glyphs)
{
    const Blob blob(hb_blob_create(font.data(), unsigned(font.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    const Face face(hb_face_create(blob.get(), 0));
    const SubsetInput input(hb_subset_input_create_or_fail());
    if (!input)
        throw std::runtime_error("font subsetter unavailable");
    for (const unsigned glyph : glyphs)
        hb_set_add(hb_subset_input_glyph_set(input.get()), glyph);
    // No glyph is added for what a layout feature could substitute: only the drawn ones count.
    hb_set_clear(hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG));
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    const Face subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        throw std::runtime_error("embedded font cannot be subset");
    const Blob cut(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char *data = hb_blob_get_data(cut.get(), &length);
    if (!data || length == 0)
        throw std::runtime_error("embedded font cannot be subset");
    return std::string(data, length);
}

std::string streamText(QPDFObjectHandle stream)
{
    const std::shared_ptr<Buffer> data = stream.getStreamData();
    return std::string(reinterpret_cast<const char *>(data->getBuffer()), data->getSize());
}

/// The glyph ids of `codes` through the font's CIDToGIDMap (Identity when it has none).
std::set<unsigned> glyphIds(QPDFObjectHandle cidFont, const std::set<unsigned> &codes)
{
    QPDFObjectHandle map = cidFont.getKey("/CIDToGIDMap");
    if (!map.isStream())
        return codes;
    const std::string bytes = streamText(map);
    std::set<unsigned> glyphs;
    for (const unsigned code : codes) {
        if (2 * std::size_t(code) + 1 < bytes.size())
            glyphs.insert(unsigned(quint8(bytes[2 * code])) << 8 | quint8(bytes[2 * code + 1]));
    }
    return glyphs;
}

/// The widths array of a CID font ([first [w …] first last w …]) holding only `codes`.
QPDFObjectHandle widthsOf(QPDFObjectHandle widths, const std::set<unsigned> &codes)
{
    std::map<unsigned, QPDFObjectHandle> byCode;
    const int count = widths.getArrayNItems();
    for (int i = 0; i + 1 < count;) {
        QPDFObjectHandle first = widths.getArrayItem(i);
        QPDFObjectHandle next = widths.getArrayItem(i + 1);
        if (!first.isInteger())
            break;
        const long long start = first.getIntValue();
        if (next.isArray()) {
            for (int k = 0; k < next.getArrayNItems(); ++k) {
                if (codes.count(unsigned(start + k)))
                    byCode.emplace(unsigned(start + k), next.getArrayItem(k));
            }
            i += 2;
        } else if (next.isInteger() && i + 2 < count) {
            for (const unsigned code : codes) {
                if (code >= start && code <= next.getIntValue())
                    byCode.emplace(code, widths.getArrayItem(i + 2));
            }
            i += 3;
        } else {
            break;
        }
    }
    QPDFObjectHandle kept = QPDFObjectHandle::newArray();
    for (const auto &[code, width] : byCode) {
        kept.appendItem(QPDFObjectHandle::newInteger(code));
        kept.appendItem(QPDFObjectHandle::newArray({width}));
    }
    return kept;
}

void subsetFont(QPDFObjectHandle font, const std::set<unsigned> &codes)
{
    QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
    QPDFObjectHandle cidFont = descendants.isArray() && descendants.getArrayNItems() == 1
                                   ? descendants.getArrayItem(0)
                                   : QPDFObjectHandle::newNull();
    QPDFObjectHandle descriptor =
        cidFont.isDictionary() ? cidFont.getKey("/FontDescriptor") : QPDFObjectHandle::newNull();
    if (!descriptor.isDictionary())
        return;
    QPDFObjectHandle file = descriptor.getKey("/FontFile2");
    if (file.isStream()) {
        const std::string cut = cutFont(streamText(file), glyphIds(cidFont, codes));
        file.replaceStreamData(cut, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
        file.getDict().replaceKey("/Length1", QPDFObjectHandle::newInteger(qint64(cut.size())));
    } else if (descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile3")) {
        throw std::runtime_error("embedded font of an unknown kind");
    }
    // A list of the glyphs the whole font had.
    descriptor.removeKey("/CIDSet");
    if (cidFont.getKey("/W").isArray())
        cidFont.replaceKey("/W", widthsOf(cidFont.getKey("/W"), codes));

    UnicodeMap map;
    QPDFObjectHandle toUnicode = font.getKey("/ToUnicode");
    if (toUnicode.isStream()) {
        for (const auto &[code, text] : readUnicodeMap(streamText(toUnicode))) {
            if (codes.count(code))
                map.emplace(code, text);
        }
        toUnicode.replaceStreamData(writeUnicodeMap(map), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    }
    tagSubset(font, map, true);
}

} // namespace

void subsetPageFonts(QPDFPageObjectHelper &page)
{
    const ShownGlyphs shown(page);
    std::map<QPDFObjGen, std::set<unsigned>> codes;
    for (const ShownGlyph &glyph : shown.glyphs)
        codes[glyph.font].insert(glyph.code);
    QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
    if (!fonts.isDictionary())
        return;
    std::set<QPDFObjGen> done;
    for (const std::string &key : fonts.getKeys()) {
        QPDFObjectHandle font = fonts.getKey(key);
        // The fonts whose shown codes ShownGlyphs follows; a font named twice is cut once.
        if (!font.isDictionary() || !font.isIndirect() || !font.getKey("/Subtype").isNameAndEquals("/Type0") ||
            !font.getKey("/Encoding").isNameAndEquals("/Identity-H") || !done.insert(font.getObjGen()).second)
            continue;
        const auto shownCodes = codes.find(font.getObjGen());
        subsetFont(font, shownCodes == codes.end() ? std::set<unsigned>() : shownCodes->second);
    }
}
