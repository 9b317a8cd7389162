#pragma once

#include "core/printing/pdf/tounicodemap.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <string>

/// The six capital letters that mark an embedded font as a subset, "ABCDEF+Name": drawn from the
/// font's name and the characters of its codes, so that another subset of the same font gets
/// (almost always) another tag, and the same subset always the same one.
std::string subsetTag(const std::string &name, const UnicodeMap &codes);

/// Names an embedded composite font (Type0) as the subset it is, "ABCDEF+Name", in the font, its
/// descendant and its descriptor: Qt embeds only the glyphs used but names the font as if it were
/// whole. `codes` is the font's code-to-text map. A font not embedded stays; so does a font
/// already tagged, unless `replaceTag` (a font cut down further is another subset).
void tagSubset(QPDFObjectHandle font, const UnicodeMap &codes, bool replaceTag = false);
