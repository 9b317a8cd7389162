#include "core/printing/pdf/pdfsubsetname.h"

#include <QChar>

#include <algorithm>

std::string subsetTag(const std::string &name, const UnicodeMap &codes)
{
    quint64 hash = 14695981039346656037ull; // FNV-1a
    const auto mix = [&](quint64 value) {
        hash ^= value;
        hash *= 1099511628211ull;
    };
    for (const char c : name)
        mix(quint8(c));
    for (const auto &[code, text] : codes) {
        mix(code);
        for (const QChar unit : text)
            mix(unit.unicode());
    }
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag += char('A' + hash % 26);
    return tag;
}

void tagSubset(QPDFObjectHandle font, const UnicodeMap &codes, bool replaceTag)
{
    if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type0"))
        return;
    QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
    QPDFObjectHandle cidFont = descendants.isArray() && descendants.getArrayNItems() == 1
                                   ? descendants.getArrayItem(0)
                                   : QPDFObjectHandle::newNull();
    QPDFObjectHandle descriptor =
        cidFont.isDictionary() ? cidFont.getKey("/FontDescriptor") : QPDFObjectHandle::newNull();
    const bool embedded =
        descriptor.isDictionary() && (descriptor.hasKey("/FontFile2") || descriptor.hasKey("/FontFile3") ||
                                      descriptor.hasKey("/FontFile"));
    QPDFObjectHandle baseFont = font.getKey("/BaseFont");
    if (!embedded || !baseFont.isName())
        return;
    std::string name = baseFont.getName().substr(1);
    if (name.size() > 7 && name[6] == '+' &&
        std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; })) {
        if (!replaceTag)
            return;
        name.erase(0, 7);
    }
    std::string tagged = subsetTag(name, codes);
    tagged.insert(0, 1, '/').append(1, '+').append(name);
    font.replaceKey("/BaseFont", QPDFObjectHandle::newName(tagged));
    cidFont.replaceKey("/BaseFont", QPDFObjectHandle::newName(tagged));
    descriptor.replaceKey("/FontName", QPDFObjectHandle::newName(tagged));
}
