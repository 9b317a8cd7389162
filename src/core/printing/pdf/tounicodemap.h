#pragma once

#include <QString>

#include <map>
#include <string>

/// The code-to-text map of a PDF font's ToUnicode CMap, for fonts with two-byte codes.
using UnicodeMap = std::map<unsigned, QString>;

/// The code-to-text entries of a ToUnicode CMap (its bfchar and bfrange sections).
UnicodeMap readUnicodeMap(const std::string &cmap);

/// A ToUnicode CMap for two-byte codes holding `map`.
std::string writeUnicodeMap(const UnicodeMap &map);
