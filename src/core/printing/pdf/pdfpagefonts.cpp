#include "core/printing/pdf/pdfpagefonts.h"

#include "core/printing/pdf/pdfshownglyphs.h"
#include "core/printing/pdf/pdfsubsetname.h"
#include "core/printing/pdf/tounicodemap.h"

#include <QtGlobal>

#include <qpdf/Buffer.hh>

#include <hb-subset.h>

#include <algorithm>
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

/// `face` with only `glyphs` (and glyph 0) drawn; every other glyph id stays as an empty glyph,
/// so the ids the page shows keep meaning the same glyphs.
std::string cutFont(hb_face_t *face, const std::set<unsigned> &glyphs)
{
    const SubsetInput input(hb_subset_input_create_or_fail());
    if (!input)
        throw std::runtime_error("font subsetter unavailable");
    for (const unsigned glyph : glyphs)
        hb_set_add(hb_subset_input_glyph_set(input.get()), glyph);
    // No glyph is added for what a layout feature could substitute: only the drawn ones count.
    hb_set_clear(hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG));
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    const Face subset(hb_subset_or_fail(face, input.get()));
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

/// The code-to-width entries of a CID font's W array ([first [w …] first last w …]).
std::map<unsigned, double> readWidths(QPDFObjectHandle widths)
{
    std::map<unsigned, double> byCode;
    const int count = widths.getArrayNItems();
    for (int i = 0; i + 1 < count;) {
        QPDFObjectHandle first = widths.getArrayItem(i);
        QPDFObjectHandle next = widths.getArrayItem(i + 1);
        if (!first.isInteger() || first.getIntValue() < 0)
            break;
        const unsigned start = unsigned(first.getIntValue());
        if (next.isArray()) {
            for (int k = 0; k < next.getArrayNItems() && start + unsigned(k) <= 0xFFFF; ++k) {
                if (next.getArrayItem(k).isNumber())
                    byCode.emplace(start + unsigned(k), next.getArrayItem(k).getNumericValue());
            }
            i += 2;
        } else if (next.isInteger() && i + 2 < count && widths.getArrayItem(i + 2).isNumber()) {
            const double width = widths.getArrayItem(i + 2).getNumericValue();
            for (long long code = start; code <= std::min<long long>(next.getIntValue(), 0xFFFF); ++code)
                byCode.emplace(unsigned(code), width);
            i += 3;
        } else {
            break;
        }
    }
    return byCode;
}

QPDFObjectHandle descendantOf(QPDFObjectHandle font)
{
    QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
    return descendants.isArray() && descendants.getArrayNItems() == 1 ? descendants.getArrayItem(0)
                                                                      : QPDFObjectHandle::newNull();
}

QPDFObjectHandle descriptorOf(QPDFObjectHandle cidFont)
{
    return cidFont.isDictionary() ? cidFont.getKey("/FontDescriptor") : QPDFObjectHandle::newNull();
}

} // namespace

PdfPageFonts::PdfPageFonts() = default;
PdfPageFonts::~PdfPageFonts() = default;

const PdfPageFonts::Font &PdfPageFonts::fontOf(QPDFObjectHandle font)
{
    const auto [entry, added] = m_fonts.try_emplace(font.getObjGen());
    Font &read = entry->second;
    if (!added)
        return read;
    QPDFObjectHandle cidFont = descendantOf(font);
    QPDFObjectHandle descriptor = descriptorOf(cidFont);
    if (descriptor.isDictionary() && descriptor.getKey("/FontFile2").isStream()) {
        read.file = streamText(descriptor.getKey("/FontFile2"));
        const Blob blob(hb_blob_create(read.file.data(), unsigned(read.file.size()), HB_MEMORY_MODE_READONLY,
                                       nullptr, nullptr));
        read.face.reset(hb_face_create(blob.get(), 0), hb_face_destroy);
    } else if (descriptor.isDictionary() && (descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile3"))) {
        throw std::runtime_error("embedded font of an unknown kind");
    }
    if (cidFont.isDictionary() && cidFont.getKey("/CIDToGIDMap").isStream()) {
        const std::string bytes = streamText(cidFont.getKey("/CIDToGIDMap"));
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            read.glyphOfCode.push_back(unsigned(quint8(bytes[i])) << 8 | quint8(bytes[i + 1]));
    }
    if (font.getKey("/ToUnicode").isStream()) {
        read.toUnicode = readUnicodeMap(streamText(font.getKey("/ToUnicode")));
        read.hasToUnicode = true;
    }
    if (cidFont.isDictionary() && cidFont.getKey("/W").isArray()) {
        read.widths = readWidths(cidFont.getKey("/W"));
        read.hasWidths = true;
    }
    return read;
}

void PdfPageFonts::cut(QPDFPageObjectHelper &page)
{
    const ShownGlyphs shown(page);
    std::map<QPDFObjGen, std::set<unsigned>> shownCodes;
    for (const ShownGlyph &glyph : shown.glyphs)
        shownCodes[glyph.font].insert(glyph.code);
    std::set<QPDFObjGen> done;
    for (const auto &[key, handle] : compositeFonts(page)) {
        QPDFObjectHandle target = handle;
        // A font named twice in the resources is cut once.
        if (!done.insert(target.getObjGen()).second)
            continue;
        const Font &original = fontOf(target);
        const auto found = shownCodes.find(target.getObjGen());
        const std::set<unsigned> codes = found == shownCodes.end() ? std::set<unsigned>() : found->second;
        QPDFObjectHandle cidFont = descendantOf(target);
        QPDFObjectHandle descriptor = descriptorOf(cidFont);

        if (original.face) {
            std::set<unsigned> glyphs = codes;
            if (!original.glyphOfCode.empty()) {
                glyphs.clear();
                for (const unsigned code : codes) {
                    if (code < original.glyphOfCode.size())
                        glyphs.insert(original.glyphOfCode[code]);
                }
            }
            const std::string cutFile = cutFont(original.face.get(), glyphs);
            QPDFObjectHandle file = descriptor.getKey("/FontFile2");
            // Left uncompressed: compressing a font a file (zlib, even at its fastest) would take
            // more than the rest of the split; the file stays about as large as the class's
            // whole compressed font made it.
            file.replaceStreamData(cutFile, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
            file.getDict().replaceKey("/Length1", QPDFObjectHandle::newInteger(qint64(cutFile.size())));
            // A list of the glyphs the whole font had.
            descriptor.removeKey("/CIDSet");
        }
        if (original.hasWidths) {
            QPDFObjectHandle widths = QPDFObjectHandle::newArray();
            for (const unsigned code : codes) {
                const auto width = original.widths.find(code);
                if (width == original.widths.end())
                    continue;
                widths.appendItem(QPDFObjectHandle::newInteger(code));
                const double w = width->second;
                widths.appendItem(QPDFObjectHandle::newArray(
                    {w == double(qint64(w)) ? QPDFObjectHandle::newInteger(qint64(w)) : QPDFObjectHandle::newReal(w, 3, true)}));
            }
            cidFont.replaceKey("/W", widths);
        }
        UnicodeMap map;
        if (original.hasToUnicode) {
            for (const unsigned code : codes) {
                const auto text = original.toUnicode.find(code);
                if (text != original.toUnicode.end())
                    map.emplace(code, text->second);
            }
            // Left uncompressed as the font is: a page's map is a kilobyte or two, and setting up
            // zlib for it would cost more than writing it.
            target.getKey("/ToUnicode").replaceStreamData(writeUnicodeMap(map), QPDFObjectHandle::newNull(),
                                                          QPDFObjectHandle::newNull());
        }
        tagSubset(target, map, true);
    }
}
