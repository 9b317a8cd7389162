#include "core/printing/pdf/pdftextlayer.h"

#include "core/printing/pdf/pdfrevision.h"
#include "core/printing/pdf/pdfshownglyphs.h"
#include "core/printing/pdf/pdfsubsetname.h"
#include "core/printing/pdf/tounicodemap.h"

#include <QGlyphRun>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
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
QList<PlacedGlyph> shapedLine(const QString &text, const QTextLine &textLine, qint64 &budget)
{
    QList<PlacedGlyph> glyphs;
    appendGlyphs(textLine.glyphRuns(), glyphs);

    // The glyphs of each grapheme cluster, found again among the line's glyphs by index and place.
    // The line's glyphs are kept by glyph index, ordered by place and then by drawing order, so
    // each lookup is logarithmic however many glyphs share an index or a place (a run of zero-width
    // characters, or a thousand marks stacked on one letter). A glyph taken by a cluster is set
    // aside until that cluster is done: a ligature belongs to every cluster it joins.
    using Place = std::pair<qreal, qsizetype>;
    std::unordered_map<quint32, std::set<Place>> places;
    for (qsizetype j = 0; j < glyphs.size(); ++j)
        places[glyphs[j].index].emplace(glyphs[j].x, j);

    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype from = 0;
    for (qsizetype to = clusters.toNextBoundary(); to >= 0; from = to, to = clusters.toNextBoundary()) {
        // Format and control characters (zero-width space, joiners, direction marks) draw
        // nothing: whatever glyph the shaper put there names none, so a space glyph standing in
        // for a zero-width space still copies as a space.
        if (drawsNothing(QStringView(text).sliced(from, to - from)))
            continue;
        if (budget < text.size())
            break;
        budget -= text.size();
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
        const QString cluster = text.mid(from, to - from);
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

/// What the pages teach about one font: Qt's map, and the glyph and the characters behind each
/// code of the lines that matched.
struct FontLesson
{
    QPDFObjectHandle font;
    UnicodeMap qtMap;
    std::map<unsigned, quint32> glyphs;
    UnicodeMap texts;
};

} // namespace

void PdfTextLayer::beginPage()
{
    // Enough for a page of ordinary lines many times over.
    m_budget = 50'000'000;
    // Only the lines of a page that will be read are needed.
    if (!m_pages.isEmpty() && !m_pages.last().kept)
        m_pages.last().lines = QList<Line>();
    m_pages.append(Page());
}

PdfTextLayer::Face &PdfTextLayer::faceOf(const QRawFont &font)
{
    // A font file's face, whatever its size: Qt's PDF writer embeds one font for it.
    for (Face &face : m_faces) {
        if (face.font == font)
            return face;
    }
    // A font without tables (the boxes Qt draws for characters no font has) names no family:
    // Qt cannot even be asked for one. It is a face of its own.
    const bool named = !font.fontTable("name").isEmpty();
    const QString family = named ? font.familyName() : QString();
    const QString style = named ? font.styleName() : QString();
    for (Face &face : m_faces) {
        if (named && face.family == family && face.style == style)
            return face;
    }
    m_faces.append({font, family, style, {}, {}, {}});
    return m_faces.last();
}

void PdfTextLayer::Face::note(quint32 glyph, QStringView text)
{
    if (glyph >= glyphs.size())
        glyphs.resize(glyph + 1);
    glyphs[glyph] = true;
    // The first characters a glyph was drawn for name it: a glyph that stands for two spellings
    // of one character (é, and e with a combining acute) keeps the first. Glyph 0 draws every
    // character the font lacks: it names none.
    if (glyph != 0 && !text.isEmpty() && texts.constFind(glyph) == texts.cend())
        texts.insert(glyph, text.toString());
}

quint32 PdfTextLayer::Face::ownGlyph(QChar c)
{
    auto it = own.constFind(c.unicode());
    if (it == own.cend()) {
        quint32 glyph = 0;
        int found = 1;
        if (!font.glyphIndexesForChars(&c, 1, &glyph, &found) || found != 1)
            glyph = 0;
        it = own.insert(c.unicode(), glyph);
    }
    return *it;
}

bool PdfTextLayer::Face::drew(quint32 glyph) const
{
    return glyph < glyphs.size() && glyphs[glyph];
}

QList<PdfTextLayer::Glyph> PdfTextLayer::glyphsOf(const Line &line)
{
    if (line.ownText.isEmpty())
        return line.glyphs;
    QList<Glyph> glyphs;
    for (const QGlyphRun &run : line.ownRuns) {
        const QRawFont font = run.rawFont();
        for (const quint32 index : run.glyphIndexes())
            glyphs.append({index, QString(line.ownText[glyphs.size()]), font});
    }
    return glyphs;
}

PdfTextLayer::Page &PdfTextLayer::pageForLine()
{
    if (m_pages.isEmpty())
        beginPage();
    Page &page = m_pages.last();
    ++page.lineCount;
    return page;
}

bool PdfTextLayer::addOwnLine(const QString &text, const QList<QGlyphRun> &runs)
{
    // Each glyph the font's own for one character of the BMP, glyph i for text[i], as most lines
    // are drawn: then Qt's map reaches every glyph, and each glyph stands for the character it
    // draws.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
        return false;
    qsizetype at = 0;
    for (const QGlyphRun &run : runs) {
        Face &face = faceOf(run.rawFont()); // valid until the next face is made
        for (const quint32 index : run.glyphIndexes()) {
            if (at == text.size() || face.ownGlyph(text[at]) != index)
                return false;
            ++at;
        }
    }
    if (at != text.size())
        return false;
    Page &page = pageForLine();
    at = 0;
    for (const QGlyphRun &run : runs) {
        Face &face = faceOf(run.rawFont());
        for (const quint32 index : run.glyphIndexes())
            face.note(index, QStringView(text).sliced(at++, 1));
    }
    page.lines.append(Line{{}, text, runs});
    return true;
}

void PdfTextLayer::addLine(const QString &text, const QTextLine &shaped)
{
    if (addOwnLine(text, shaped.glyphRuns()))
        return;
    Page &page = pageForLine();
    Line line;
    Face *face = nullptr;
    for (const PlacedGlyph &glyph : shapedLine(text, shaped, m_budget)) {
        if (!face || !(face->font == glyph.font))
            face = &faceOf(glyph.font);
        face->note(glyph.index, glyph.text);
        line.glyphs.append({glyph.index, glyph.text, glyph.font});
    }
    // A glyph no character of the BMP has as its own may be out of reach of Qt's map: the
    // page is kept to be matched with its contents.
    page.kept = true;
    page.lines.append(line);
}

Result<PdfTextLayer::Rewritten> PdfTextLayer::rewrite(const QByteArray &pdf) const
{
    Rewritten outcome;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("PDF", pdf.constData(), std::size_t(pdf.size()));

        // Which face a font of the file is: the one whose own glyph for each character of Qt's map
        // was drawn (and, should two faces both fit, the one whose name it bears). Each code then
        // stands for that glyph, and for the characters first drawn with it.
        const auto learnFromFaces = [this](FontLesson &lesson) {
            std::vector<std::pair<unsigned, QString>> named;
            for (const auto &[code, text] : lesson.qtMap) {
                if (!text.isEmpty() && text != QChar(u'\0'))
                    named.emplace_back(code, text);
            }
            QString baseName = QString::fromStdString(lesson.font.getKey("/BaseFont").isName()
                                                          ? lesson.font.getKey("/BaseFont").getName()
                                                          : std::string());
            baseName.remove(0, baseName.indexOf(u'+') + 1).remove(u'/');
            const Face *chosen = nullptr;
            std::vector<quint32> chosenGlyphs;
            for (const Face &face : m_faces) {
                std::vector<quint32> glyphs;
                glyphs.reserve(named.size());
                for (const auto &entry : named) {
                    const QList<quint32> own = face.font.glyphIndexesForString(entry.second);
                    if (own.size() != 1 || !face.drew(own.first()))
                        break;
                    glyphs.push_back(own.first());
                }
                if (glyphs.size() != named.size())
                    continue;
                const bool byName =
                    baseName.startsWith(QString(face.family).remove(u' '), Qt::CaseInsensitive);
                if (!chosen || byName) {
                    chosen = &face;
                    chosenGlyphs = std::move(glyphs);
                }
                if (byName)
                    break;
            }
            if (!chosen)
                return;
            for (std::size_t i = 0; i < named.size(); ++i) {
                lesson.glyphs.emplace(named[i].first, chosenGlyphs[i]);
                const QString text = chosen->texts.value(chosenGlyphs[i]);
                if (!text.isEmpty())
                    lesson.texts.emplace(named[i].first, text);
            }
        };

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
                learnFromFaces(entry->second);
            }
            return entry->second;
        };

        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        for (std::size_t p = 0; p < pages.size() && qsizetype(p) < m_pages.size(); ++p) {
            const Page &noted = m_pages[qsizetype(p)];
            outcome.linesNoted += noted.lineCount;
            QPDFPageObjectHelper page = pages[p];
            // The fonts of a page that is not read are known from its resources.
            for (const auto &[key, font] : compositeFonts(page))
                lessonFor(font.getObjGen(), font);
            if (!noted.kept) {
                outcome.linesMatched += noted.lineCount;
                continue;
            }
            ++outcome.pagesRead;
            QList<QList<Glyph>> lines;
            for (const Line &line : noted.lines)
                lines.append(glyphsOf(line));
            const ShownGlyphs shown(page);
            std::size_t drawnGlyphs = 0;
            for (const QList<Glyph> &line : lines)
                drawnGlyphs += std::size_t(line.size());
            if (!shown.followed || shown.glyphs.size() != drawnGlyphs)
                continue;

            // Each drawn line is a stretch of the page's codes of its own length.
            std::size_t first = 0;
            for (const QList<Glyph> &line : lines) {
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
                        const Glyph &glyph = line[i];
                        const QString &glyphText = glyph.text;
                        lesson.glyphs.emplace(code.code, glyph.index);
                        // The first characters a glyph was drawn for name it: a glyph that
                        // stands for two spellings of one character (é, and e with a combining
                        // acute) keeps the first.
                        // Glyph 0 draws every character the font lacks: it names none.
                        if (!glyphText.isEmpty() && glyph.index != 0)
                            lesson.texts.emplace(code.code, glyphText);
                    }
                }
                first += std::size_t(line.size());
            }
        }

        // The fonts, their descendants and descriptors, and the maps, as the file's update.
        std::vector<QPDFObjectHandle> changed;
        bool fontsIndirect = true;
        for (auto &[id, lesson] : lessons) {
            tagSubset(lesson.font, lesson.qtMap);
            QPDFObjectHandle descendants = lesson.font.getKey("/DescendantFonts");
            QPDFObjectHandle cidFont =
                descendants.isArray() ? descendants.getArrayItem(0) : QPDFObjectHandle::newNull();
            changed.insert(changed.end(), {lesson.font, cidFont,
                                           cidFont.isDictionary() ? cidFont.getKey("/FontDescriptor")
                                                                  : QPDFObjectHandle::newNull()});
            fontsIndirect = fontsIndirect && lesson.font.isIndirect();
        }

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
            changed.push_back(lesson.font.getKey("/ToUnicode"));
        }
        if (fontsIndirect)
            outcome.pdf = appendRevision(pdf, document, changed);
        if (outcome.pdf.isNull())
            outcome.pdf = writeWhole(document);
    } catch (const std::exception &e) {
        return Failure{RewriteFailedText.arg(QString::fromLocal8Bit(e.what()))};
    }
    return outcome;
}
