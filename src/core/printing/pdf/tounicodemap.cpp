#include "core/printing/pdf/tounicodemap.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace {

/// The tokens of a CMap that matter here: hex strings (as bytes), "[", "]" and words.
struct CMapToken
{
    enum Kind { Hex, Open, Close, Word } kind;
    std::string bytes;
};

std::vector<CMapToken> cmapTokens(const std::string &text)
{
    std::vector<CMapToken> tokens;
    const auto hexValue = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '%') {
            while (i < text.size() && text[i] != '\n' && text[i] != '\r')
                ++i;
        } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
            i += 2;
        } else if (c == '>' && i + 1 < text.size() && text[i + 1] == '>') {
            i += 2;
        } else if (c == '<') {
            std::string bytes;
            int high = -1;
            for (++i; i < text.size() && text[i] != '>'; ++i) {
                const int digit = hexValue(text[i]);
                if (digit < 0)
                    continue;
                if (high < 0) {
                    high = digit;
                } else {
                    bytes += char(high << 4 | digit);
                    high = -1;
                }
            }
            if (high >= 0)
                bytes += char(high << 4);
            ++i;
            tokens.push_back({CMapToken::Hex, bytes});
        } else if (c == '[' || c == ']') {
            tokens.push_back({c == '[' ? CMapToken::Open : CMapToken::Close, {}});
            ++i;
        } else if (c == '(') {
            for (int depth = 0; i < text.size(); ++i) {
                if (text[i] == '\\')
                    ++i;
                else if (text[i] == '(')
                    ++depth;
                else if (text[i] == ')' && --depth == 0)
                    break;
            }
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else {
            std::string word;
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
                   std::string_view("<>[]()%").find(text[i]) == std::string_view::npos)
                word += text[i++];
            if (word.empty())
                ++i;
            else
                tokens.push_back({CMapToken::Word, word});
        }
    }
    return tokens;
}

unsigned codeOf(const std::string &bytes)
{
    unsigned code = 0;
    for (const char b : bytes)
        code = code << 8 | quint8(b);
    return code;
}

QString utf16BigEndian(const std::string &bytes)
{
    QString text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(quint8(bytes[i]) << 8 | quint8(bytes[i + 1])));
    return text;
}

/// Appends `value` in upper-case hexadecimal, at least `digits` digits.
void appendHex(std::string &out, unsigned value, int digits)
{
    char reversed[8];
    int count = 0;
    do {
        reversed[count++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    out.append(std::size_t(std::max(0, digits - count)), '0');
    while (count > 0)
        out += reversed[--count];
}

} // namespace

/// The code-to-text entries of a ToUnicode CMap (its bfchar and bfrange sections).
UnicodeMap readUnicodeMap(const std::string &cmap)
{
    UnicodeMap map;
    const std::vector<CMapToken> tokens = cmapTokens(cmap);
    enum { None, Chars, Ranges } section = None;
    for (std::size_t i = 0; i < tokens.size();) {
        const CMapToken &token = tokens[i];
        if (token.kind == CMapToken::Word) {
            if (token.bytes == "beginbfchar")
                section = Chars;
            else if (token.bytes == "beginbfrange")
                section = Ranges;
            else if (token.bytes == "endbfchar" || token.bytes == "endbfrange")
                section = None;
            ++i;
            continue;
        }
        if (section == Chars && i + 1 < tokens.size() && token.kind == CMapToken::Hex &&
            tokens[i + 1].kind == CMapToken::Hex) {
            map[codeOf(token.bytes)] = utf16BigEndian(tokens[i + 1].bytes);
            i += 2;
        } else if (section == Ranges && i + 2 < tokens.size() && token.kind == CMapToken::Hex &&
                   tokens[i + 1].kind == CMapToken::Hex) {
            const unsigned low = codeOf(token.bytes);
            const unsigned high = std::min(codeOf(tokens[i + 1].bytes), low + 0xFFFF);
            if (tokens[i + 2].kind == CMapToken::Hex) {
                // One destination, its last unit counting up along the range.
                QString text = utf16BigEndian(tokens[i + 2].bytes);
                for (unsigned code = low; code <= high && !text.isEmpty(); ++code) {
                    map[code] = text;
                    text.back() = QChar(char16_t(text.back().unicode() + 1));
                }
                i += 3;
            } else if (tokens[i + 2].kind == CMapToken::Open) {
                std::size_t j = i + 3;
                for (unsigned code = low; j < tokens.size() && tokens[j].kind == CMapToken::Hex;
                     ++j, ++code) {
                    if (code <= high)
                        map[code] = utf16BigEndian(tokens[j].bytes);
                }
                i = j + 1;
            } else {
                ++i;
            }
        } else {
            ++i;
        }
    }
    return map;
}

/// A ToUnicode CMap for two-byte codes holding `map`.
std::string writeUnicodeMap(const UnicodeMap &map)
{
    std::vector<std::pair<unsigned, QString>> entries;
    for (const auto &[code, text] : map) {
        if (!text.isEmpty())
            entries.emplace_back(code, text);
    }
    std::string cmap = "/CIDInit /ProcSet findresource begin\n"
                       "12 dict begin\n"
                       "begincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n"
                       "/CMapType 2 def\n"
                       "1 begincodespacerange\n"
                       "<0000> <FFFF>\n"
                       "endcodespacerange\n";
    // A section holds at most 100 entries.
    for (std::size_t start = 0; start < entries.size(); start += 100) {
        const std::size_t end = std::min(entries.size(), start + 100);
        cmap += std::to_string(end - start) + " beginbfchar\n";
        for (std::size_t i = start; i < end; ++i) {
            cmap += '<';
            appendHex(cmap, entries[i].first, 4);
            cmap += "> <";
            for (const QChar unit : entries[i].second)
                appendHex(cmap, unit.unicode(), 4);
            cmap += ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\n"
            "CMapName currentdict /CMap defineresource pop\n"
            "end\n"
            "end\n";
    return cmap;
}
