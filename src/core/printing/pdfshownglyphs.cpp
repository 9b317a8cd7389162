#include "core/printing/pdfshownglyphs.h"

#include <QtGlobal>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <algorithm>
#include <memory>

bool followedFont(QPDFObjectHandle font)
{
    return font.isDictionary() && font.isIndirect() && font.getKey("/Subtype").isNameAndEquals("/Type0") &&
           font.getKey("/Encoding").isNameAndEquals("/Identity-H");
}

ShownGlyphs::ShownGlyphs(QPDFPageObjectHelper &page)
    : m_fonts(page.getAttribute("/Resources", false).getKey("/Font"))
{
    Pl_Buffer contents("page contents");
    page.pipeContents(&contents);
    const auto input = std::make_shared<BufferInputSource>("page contents", contents.getBuffer(), true);
    QPDFTokenizer tokenizer;
    tokenizer.allowEOF();
    int arrayDepth = 0;
    for (;;) {
        const QPDFTokenizer::Token token = tokenizer.readToken(input, "page contents", true);
        switch (token.getType()) {
        case QPDFTokenizer::tt_eof:
            return;
        case QPDFTokenizer::tt_array_open:
            if (arrayDepth++ == 0)
                m_operands.push_back({Operand::Array, {}, {}});
            break;
        case QPDFTokenizer::tt_array_close:
            arrayDepth = std::max(0, arrayDepth - 1);
            break;
        case QPDFTokenizer::tt_string:
            if (arrayDepth > 0)
                m_operands.back().strings.push_back(token.getValue());
            else
                m_operands.push_back({Operand::String, token.getValue(), {}});
            break;
        case QPDFTokenizer::tt_name:
            if (arrayDepth == 0)
                m_operands.push_back({Operand::Name, token.getValue(), {}});
            break;
        case QPDFTokenizer::tt_word:
            arrayDepth = 0;
            operate(token.getValue());
            if (token.getValue() == "ID")
                tokenizer.expectInlineImage(input);
            break;
        default:
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
