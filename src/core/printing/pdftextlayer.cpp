#include "core/printing/pdftextlayer.h"

#include "core/printing/pagepainter.h"
#include "core/printing/tounicodemap.h"

#include <QGlyphRun>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

namespace {

/// Why the text layer could not be rewritten.
const QString RewriteFailedText = QStringLiteral("无法整理PDF文件的文字层：%1");

// ---- The drawn side: which characters each glyph was drawn for ---------------------------------

/// A glyph of a shaped line, with the characters it stands for.
struct PlacedGlyph
{
    quint32 index = 0;
    qreal x = 0;
    QString text;
    QRawFont font;
};

void appendGlyphs(const QList<QGlyphRun> &runs, QList<PlacedGlyph> &glyphs)
{
    for (const QGlyphRun &run : runs) {
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const QRawFont font = run.rawFont();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
            glyphs.append({indexes[i], positions[i].x(), {}, font});
    }
}

/// Whether `cluster` holds only format and control characters.
bool drawsNothing(QStringView cluster)
{
    for (const char32_t c : cluster.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category != QChar::Other_Format && category != QChar::Other_Control)
            return false;
    }
    return true;
}

/// The glyphs of one drawn line in the order QPainter::drawText hands them to the paint engine
/// (visual order of the script items, each item's glyphs in order, split where the font changes),
/// each with the characters it was drawn for.
///
/// Finding a cluster's glyphs costs about as much as the line is long, so `budget` (in characters
/// looked through) bounds the work a page may spend on it: once it is spent, the glyphs of the
/// remaining clusters name nothing and keep what Qt's map says. Only a hostile page, with
/// thousands of zero-width clusters on its lines, comes near it.
QList<PlacedGlyph> shapedLine(const DrawnLine &line, QPaintDevice *device, qint64 &budget)
{
    QTextLayout layout(line.text, line.font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine textLine = layout.createLine();
    layout.endLayout();

    QList<PlacedGlyph> glyphs;
    appendGlyphs(textLine.glyphRuns(), glyphs);

    // Most lines draw each character with a glyph of its own, the font's glyph for it: then every
    // glyph stands for the character it draws.
    if (glyphs.size() == line.text.size()) {
        bool ownGlyphs = true;
        for (qsizetype i = 0; i < glyphs.size() && ownGlyphs; ++i) {
            const QList<quint32> own = glyphs[i].font.glyphIndexesForString(QString(line.text[i]));
            ownGlyphs = !line.text[i].isSurrogate() && own.size() == 1 && own.first() == glyphs[i].index;
        }
        if (ownGlyphs) {
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                glyphs[i].text = line.text[i];
            return glyphs;
        }
    }

    // The glyphs of each grapheme cluster, found again among the line's glyphs by index and place.
    // The line's glyphs are kept by glyph index, ordered by place and then by drawing order, so
    // each lookup is logarithmic however many glyphs share an index or a place (a run of zero-width
    // characters, or a thousand marks stacked on one letter). A glyph taken by a cluster is set
    // aside until that cluster is done: a ligature belongs to every cluster it joins.
    using Place = std::pair<qreal, qsizetype>;
    std::unordered_map<quint32, std::set<Place>> places;
    for (qsizetype j = 0; j < glyphs.size(); ++j)
        places[glyphs[j].index].emplace(glyphs[j].x, j);

    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, line.text);
    qsizetype from = 0;
    for (qsizetype to = clusters.toNextBoundary(); to >= 0; from = to, to = clusters.toNextBoundary()) {
        // Format and control characters (zero-width space, joiners, direction marks) draw
        // nothing: whatever glyph the shaper put there names none, so a space glyph standing in
        // for a zero-width space still copies as a space.
        if (drawsNothing(QStringView(line.text).sliced(from, to - from)))
            continue;
        if (budget < line.text.size())
            break;
        budget -= line.text.size();
        QList<PlacedGlyph> found;
        appendGlyphs(textLine.glyphRuns(int(from), int(to - from)), found);
        QList<std::pair<std::set<Place> *, Place>> own;
        for (const PlacedGlyph &glyph : found) {
            const auto samePlaces = places.find(glyph.index);
            if (samePlaces == places.end())
                continue;
            std::set<Place> &candidates = samePlaces->second;
            // The nearest place on either side, within half a pixel; on a tie, the earlier glyph.
            auto best = candidates.end();
            const auto after = candidates.lower_bound({glyph.x, -1});
            if (after != candidates.end() && after->first - glyph.x <= 0.5)
                best = after;
            if (after != candidates.begin()) {
                const auto before = candidates.lower_bound({std::prev(after)->first, -1});
                const qreal distance = glyph.x - before->first;
                if (distance <= 0.5 && (best == candidates.end() || distance < best->first - glyph.x ||
                                        (distance == best->first - glyph.x && before->second < best->second)))
                    best = before;
            }
            if (best == candidates.end())
                continue;
            own.append({&candidates, *best});
            candidates.erase(best);
        }
        if (own.isEmpty())
            continue;
        const QString cluster = line.text.mid(from, to - from);
        const QList<uint> codePoints = cluster.toUcs4();
        if (own.size() > 1 && own.size() == codePoints.size()) {
            // A letter and its marks drawn as glyphs of their own: one character each, but a
            // joiner's glyph draws nothing and names nothing.
            for (qsizetype i = 0; i < own.size(); ++i) {
                const char32_t c = codePoints[i];
                if (QChar::category(c) != QChar::Other_Format)
                    glyphs[own[i].second.second].text += QString::fromUcs4(&c, 1);
            }
        } else {
            // The whole cluster on its first glyph; a ligature collects every cluster it joins.
            glyphs[own.first().second.second].text += cluster;
        }
        for (const auto &[candidates, place] : own)
            candidates->insert(place);
    }
    return glyphs;
}

// ---- The PDF side: which glyph codes the pages show -------------------------------------------

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
    explicit ShownGlyphs(QPDFPageObjectHelper &page)
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

    void operate(const std::string &op)
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

    void selectFont(const std::string &name)
    {
        m_font = {};
        QPDFObjectHandle font = m_fonts.isDictionary() ? m_fonts.getKey(name) : QPDFObjectHandle::newNull();
        if (!font.isDictionary() || !font.isIndirect())
            return;
        m_font.id = font.getObjGen();
        QPDFObjectHandle encoding = font.getKey("/Encoding");
        m_font.composite =
            font.getKey("/Subtype").isNameAndEquals("/Type0") && encoding.isNameAndEquals("/Identity-H");
        if (m_font.composite)
            fonts.emplace(m_font.id, font);
    }

    void show(const std::string &bytes)
    {
        if (!m_font.composite || bytes.size() % 2 != 0) {
            followed = false;
            return;
        }
        for (std::size_t i = 0; i < bytes.size(); i += 2)
            glyphs.push_back({m_font.id, unsigned(quint8(bytes[i])) << 8 | quint8(bytes[i + 1])});
    }

    QPDFObjectHandle m_fonts;
    std::vector<Operand> m_operands;
    Font m_font;
    std::vector<Font> m_saved;
};

/// What the pages teach about one font: Qt's map, and the glyph and the characters behind each
/// code of the lines that matched.
struct FontLesson
{
    QPDFObjectHandle font;
    UnicodeMap qtMap;
    std::map<unsigned, quint32> glyphs;
    UnicodeMap texts;
};

/// The six capital letters that mark an embedded font as a subset, "ABCDEF+Name": drawn from the
/// font's name and the characters of its codes, so that another subset of the same font gets
/// (almost always) another tag, and the same subset always the same one.
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

/// Gives every embedded composite font on the pages its subset tag (Qt embeds only the glyphs
/// used, but names the font as if it were whole). A name already tagged stays.
void tagSubsets(const std::vector<QPDFPageObjectHelper> &pages, const std::map<QPDFObjGen, FontLesson> &lessons)
{
    std::set<QPDFObjGen> done;
    for (QPDFPageObjectHelper page : pages) {
        QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
        if (!fonts.isDictionary())
            continue;
        for (const std::string &key : fonts.getKeys()) {
            QPDFObjectHandle font = fonts.getKey(key);
            if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type0") ||
                !done.insert(font.getObjGen()).second)
                continue;
            QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
            QPDFObjectHandle cidFont = descendants.isArray() && descendants.getArrayNItems() == 1
                                           ? descendants.getArrayItem(0)
                                           : QPDFObjectHandle::newNull();
            QPDFObjectHandle descriptor =
                cidFont.isDictionary() ? cidFont.getKey("/FontDescriptor") : QPDFObjectHandle::newNull();
            const bool embedded = descriptor.isDictionary() &&
                                  (descriptor.hasKey("/FontFile2") || descriptor.hasKey("/FontFile3") ||
                                   descriptor.hasKey("/FontFile"));
            QPDFObjectHandle baseFont = font.getKey("/BaseFont");
            if (!embedded || !baseFont.isName())
                continue;
            const std::string name = baseFont.getName().substr(1);
            if (name.size() > 7 && name[6] == '+' &&
                std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
                continue;
            const auto lesson = lessons.find(font.getObjGen());
            std::string tagged = subsetTag(name, lesson == lessons.end() ? UnicodeMap() : lesson->second.qtMap);
            tagged.insert(0, 1, '/').append(1, '+').append(name);
            font.replaceKey("/BaseFont", QPDFObjectHandle::newName(tagged));
            cidFont.replaceKey("/BaseFont", QPDFObjectHandle::newName(tagged));
            descriptor.replaceKey("/FontName", QPDFObjectHandle::newName(tagged));
        }
    }
}

} // namespace

void PdfTextLayer::addPage(const QList<DrawnLine> &lines, const QPaintDevice *device)
{
    // Enough for a page of ordinary lines many times over.
    qint64 budget = 50'000'000;
    QList<Line> page;
    for (const DrawnLine &line : lines) {
        Line glyphs;
        for (const PlacedGlyph &glyph : shapedLine(line, const_cast<QPaintDevice *>(device), budget))
            glyphs.append({glyph.index, glyph.text, glyph.font});
        page.append(glyphs);
    }
    m_pages.append(page);
}

Result<PdfTextLayer::Rewritten> PdfTextLayer::rewrite(const QByteArray &pdf) const
{
    Rewritten outcome;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("PDF", pdf.constData(), std::size_t(pdf.size()));

        std::map<QPDFObjGen, FontLesson> lessons;
        const auto lessonFor = [&](const QPDFObjGen &id, QPDFObjectHandle font) -> FontLesson & {
            const auto [entry, added] = lessons.try_emplace(id);
            if (added) {
                entry->second.font = font;
                QPDFObjectHandle stream = font.getKey("/ToUnicode");
                if (stream.isStream()) {
                    const std::shared_ptr<Buffer> data = stream.getStreamData();
                    entry->second.qtMap = readUnicodeMap(
                        std::string(reinterpret_cast<const char *>(data->getBuffer()), data->getSize()));
                }
            }
            return entry->second;
        };

        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        for (std::size_t p = 0; p < pages.size() && qsizetype(p) < m_pages.size(); ++p) {
            const QList<Line> &lines = m_pages[qsizetype(p)];
            outcome.linesNoted += int(lines.size());
            QPDFPageObjectHelper page = pages[p];
            const ShownGlyphs shown(page);
            std::size_t drawnGlyphs = 0;
            for (const Line &line : lines)
                drawnGlyphs += std::size_t(line.size());
            if (!shown.followed || shown.glyphs.size() != drawnGlyphs)
                continue;

            // Each drawn line is a stretch of the page's codes of its own length.
            std::size_t first = 0;
            for (const Line &line : lines) {
                const auto codeAt = [&](qsizetype i) -> const ShownGlyph & {
                    return shown.glyphs[first + std::size_t(i)];
                };
                std::map<std::pair<QPDFObjGen, unsigned>, quint32> seen;
                bool matched = true;
                for (qsizetype i = 0; i < line.size() && matched; ++i) {
                    const ShownGlyph &code = codeAt(i);
                    const Glyph &glyph = line[i];
                    FontLesson &lesson = lessonFor(code.font, shown.fonts.at(code.font));
                    const auto known = lesson.glyphs.find(code.code);
                    const auto [entry, added] = seen.emplace(std::pair(code.font, code.code), glyph.index);
                    matched = entry->second == glyph.index &&
                              (known == lesson.glyphs.end() || known->second == glyph.index);
                    // Qt named the code after a character of the font that has this glyph (asked
                    // once per code: a known code is held to its glyph above).
                    const auto qtText = lesson.qtMap.find(code.code);
                    if (matched && added && known == lesson.glyphs.end() && qtText != lesson.qtMap.end() &&
                        qtText->second != QChar(u'\0')) {
                        const QList<quint32> qtGlyphs = glyph.font.glyphIndexesForString(qtText->second);
                        matched = qtGlyphs.size() == 1 && qtGlyphs.first() == glyph.index;
                    }
                }
                if (matched) {
                    ++outcome.linesMatched;
                    for (qsizetype i = 0; i < line.size(); ++i) {
                        const ShownGlyph &code = codeAt(i);
                        FontLesson &lesson = lessons.at(code.font);
                        lesson.glyphs.emplace(code.code, line[i].index);
                        // The first characters a glyph was drawn for name it: a glyph that
                        // stands for two spellings of one character (é, and e with a combining
                        // acute) keeps the first.
                        // Glyph 0 draws every character the font lacks: it names none.
                        if (!line[i].text.isEmpty() && line[i].index != 0)
                            lesson.texts.emplace(code.code, line[i].text);
                    }
                }
                first += std::size_t(line.size());
            }
        }

        tagSubsets(pages, lessons);

        for (auto &[id, lesson] : lessons) {
            if (lesson.texts.empty())
                continue;
            UnicodeMap map = lesson.qtMap;
            for (const auto &[code, text] : lesson.texts)
                map[code] = text;
            const std::string cmap = writeUnicodeMap(map);
            QPDFObjectHandle stream = lesson.font.getKey("/ToUnicode");
            if (stream.isStream())
                stream.replaceStreamData(cmap, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
            else
                lesson.font.replaceKey("/ToUnicode", document.newStream(cmap));
        }

        QPDFWriter writer(document);
        writer.setOutputMemory();
        // The page contents and fonts pass through as Qt compressed them; only the new maps are
        // compressed afresh.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        outcome.pdf =
            QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
    } catch (const std::exception &e) {
        return Failure{RewriteFailedText.arg(QString::fromLocal8Bit(e.what()))};
    }
    return outcome;
}
