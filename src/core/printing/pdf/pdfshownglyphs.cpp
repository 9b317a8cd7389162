#include "core/printing/pdf/pdfshownglyphs.h"

#include <QtGlobal>

#include <qpdf/Buffer.hh>
#include <qpdf/Pl_Buffer.hh>

#include <algorithm>
#include <memory>

bool followedFont(QPDFObjectHandle font)
{
    return font.isDictionary() && font.isIndirect() && font.getKey("/Subtype").isNameAndEquals("/Type0") &&
           font.getKey("/Encoding").isNameAndEquals("/Identity-H");
}

std::map<std::string, QPDFObjectHandle> compositeFonts(QPDFPageObjectHelper &page)
{
    std::map<std::string, QPDFObjectHandle> found;
    QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
    if (!fonts.isDictionary())
        return found;
    for (const std::string &key : fonts.getKeys()) {
        QPDFObjectHandle font = fonts.getKey(key);
        if (followedFont(font))
            found.emplace(key, font);
    }
    return found;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
           c == '/' || c == '%';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// Reads the tokens of a content stream: just enough of PDF's syntax to find the operators, their
/// names and strings (decoded), and the arrays; anything else is an operand of no interest. A
/// page holds thousands of tokens, so this reads the bytes in place rather than through a general
/// tokenizer. Malformed input never stops it: a stray byte is an operand of no interest.
class ContentReader
{
public:
    enum class Kind { End, Word, Name, String, ArrayOpen, ArrayClose, Other };

    ContentReader(const char *data, std::size_t size)
        : m_at(data)
        , m_end(data + size)
    {
    }

    /// The next token; its text (an operator, a name without its slash, a string's bytes) in value.
    Kind next(std::string &value)
    {
        for (;;) {
            while (m_at < m_end && isSpace(*m_at))
                ++m_at;
            if (m_at < m_end && *m_at == '%') {
                while (m_at < m_end && *m_at != '\n' && *m_at != '\r')
                    ++m_at;
                continue;
            }
            break;
        }
        if (m_at >= m_end)
            return Kind::End;
        const char c = *m_at;
        switch (c) {
        case '[':
            ++m_at;
            return Kind::ArrayOpen;
        case ']':
            ++m_at;
            return Kind::ArrayClose;
        case '(':
            ++m_at;
            literal(value);
            return Kind::String;
        case '/':
            ++m_at;
            name(value);
            return Kind::Name;
        case '<':
            if (m_at + 1 < m_end && m_at[1] == '<') {
                m_at += 2;
                return Kind::Other;
            }
            ++m_at;
            hex(value);
            return Kind::String;
        case '>':
            m_at += m_at + 1 < m_end && m_at[1] == '>' ? 2 : 1;
            return Kind::Other;
        default:
            break;
        }
        if (isDelimiter(c)) {
            ++m_at;
            return Kind::Other;
        }
        const char *start = m_at;
        while (m_at < m_end && !isSpace(*m_at) && !isDelimiter(*m_at))
            ++m_at;
        const bool number = std::all_of(start, m_at, [](char d) {
            return (d >= '0' && d <= '9') || d == '.' || d == '-' || d == '+';
        });
        if (number)
            return Kind::Other;
        value.assign(start, m_at);
        if (value == "true" || value == "false" || value == "null")
            return Kind::Other;
        return Kind::Word;
    }

    /// Skips an inline image's data, after its ID operator: up to "EI" standing alone.
    void skipInlineImage()
    {
        if (m_at < m_end && isSpace(*m_at))
            ++m_at;
        for (const char *at = m_at; at + 1 < m_end; ++at) {
            if (at[0] == 'E' && at[1] == 'I' && (at == m_at || isSpace(at[-1])) &&
                (at + 2 == m_end || isSpace(at[2]) || isDelimiter(at[2]))) {
                m_at = at;
                return;
            }
        }
        m_at = m_end;
    }

private:
    void literal(std::string &value)
    {
        value.clear();
        int depth = 1;
        while (m_at < m_end) {
            const char c = *m_at++;
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0)
                    return;
            } else if (c == '\\' && m_at < m_end) {
                const char e = *m_at++;
                switch (e) {
                case 'n': value += '\n'; continue;
                case 'r': value += '\r'; continue;
                case 't': value += '\t'; continue;
                case 'b': value += '\b'; continue;
                case 'f': value += '\f'; continue;
                case '\r':
                    if (m_at < m_end && *m_at == '\n')
                        ++m_at;
                    continue;
                case '\n':
                    continue;
                default:
                    break;
                }
                if (e >= '0' && e <= '7') {
                    int code = e - '0';
                    for (int k = 0; k < 2 && m_at < m_end && *m_at >= '0' && *m_at <= '7'; ++k)
                        code = code * 8 + (*m_at++ - '0');
                    value += char(code & 0xFF);
                } else {
                    value += e;
                }
                continue;
            }
            value += c;
        }
    }

    void hex(std::string &value)
    {
        value.clear();
        int high = -1;
        while (m_at < m_end && *m_at != '>') {
            const int digit = hexValue(*m_at++);
            if (digit < 0)
                continue;
            if (high < 0) {
                high = digit;
            } else {
                value += char(high << 4 | digit);
                high = -1;
            }
        }
        if (m_at < m_end)
            ++m_at;
        if (high >= 0)
            value += char(high << 4);
    }

    void name(std::string &value)
    {
        value.assign(1, '/');
        while (m_at < m_end && !isSpace(*m_at) && !isDelimiter(*m_at)) {
            const char c = *m_at++;
            if (c == '#' && m_end - m_at >= 2 && hexValue(m_at[0]) >= 0 && hexValue(m_at[1]) >= 0) {
                value += char(hexValue(m_at[0]) << 4 | hexValue(m_at[1]));
                m_at += 2;
            } else {
                value += c;
            }
        }
    }

    const char *m_at;
    const char *m_end;
};

} // namespace

ShownGlyphs::ShownGlyphs(QPDFPageObjectHelper &page)
    : m_fonts(page.getAttribute("/Resources", false).getKey("/Font"))
{
    Pl_Buffer contents("page contents");
    page.pipeContents(&contents);
    const std::unique_ptr<Buffer> buffer(contents.getBuffer());
    ContentReader reader(reinterpret_cast<const char *>(buffer->getBuffer()), buffer->getSize());
    int arrayDepth = 0;
    std::string value;
    for (;;) {
        switch (reader.next(value)) {
        case ContentReader::Kind::End:
            return;
        case ContentReader::Kind::ArrayOpen:
            if (arrayDepth++ == 0)
                m_operands.push_back({Operand::Array, {}, {}});
            break;
        case ContentReader::Kind::ArrayClose:
            arrayDepth = std::max(0, arrayDepth - 1);
            break;
        case ContentReader::Kind::String:
            if (arrayDepth > 0)
                m_operands.back().strings.push_back(value);
            else
                m_operands.push_back({Operand::String, value, {}});
            break;
        case ContentReader::Kind::Name:
            if (arrayDepth == 0)
                m_operands.push_back({Operand::Name, value, {}});
            break;
        case ContentReader::Kind::Word:
            arrayDepth = 0;
            operate(value);
            if (value == "ID")
                reader.skipInlineImage();
            break;
        case ContentReader::Kind::Other:
            if (arrayDepth == 0)
                m_operands.push_back({Operand::Other, {}, {}});
            break;
        }
    }
}

void ShownGlyphs::operate(const std::string &op)
{
    const auto operandIs = [&](std::size_t i, Operand::Kind kind) {
        return m_operands.size() > i && m_operands[i].kind == kind;
    };
    if (op == "q") {
        m_saved.push_back(m_font);
    } else if (op == "Q") {
        if (!m_saved.empty()) {
            m_font = m_saved.back();
            m_saved.pop_back();
        }
    } else if (op == "Tf" && m_operands.size() == 2 && operandIs(0, Operand::Name)) {
        selectFont(m_operands[0].value);
    } else if ((op == "Tj" || op == "'") && m_operands.size() == 1 && operandIs(0, Operand::String)) {
        show(m_operands[0].value);
    } else if (op == "\"" && m_operands.size() == 3 && operandIs(2, Operand::String)) {
        show(m_operands[2].value);
    } else if (op == "TJ" && m_operands.size() == 1 && operandIs(0, Operand::Array)) {
        for (const std::string &text : m_operands[0].strings)
            show(text);
    }
    m_operands.clear();
}

void ShownGlyphs::selectFont(const std::string &name)
{
    m_font = {};
    QPDFObjectHandle font = m_fonts.isDictionary() ? m_fonts.getKey(name) : QPDFObjectHandle::newNull();
    if (!font.isDictionary() || !font.isIndirect())
        return;
    m_font.id = font.getObjGen();
    m_font.composite = followedFont(font);
    if (m_font.composite)
        fonts.emplace(m_font.id, font);
}

void ShownGlyphs::show(const std::string &bytes)
{
    if (!m_font.composite || bytes.size() % 2 != 0) {
        followed = false;
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); i += 2)
        glyphs.push_back({m_font.id, unsigned(quint8(bytes[i])) << 8 | quint8(bytes[i + 1])});
}
