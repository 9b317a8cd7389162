// Breaks arbitrary comment texts into lines with Qt's fonts: text built from the input's bytes
// (Chinese and Latin characters, hanging marks, zero-width characters, combining marks, emoji,
// lone and paired surrogates, runs of CR and LF), in a font, box, scale and paper chosen by its
// first bytes; the paper has edges, as it always has in the program. Besides not crashing nor
// running long (the time limit makes a slow input a failure), the lines must be made of whole
// characters of the text in order (a tab as a space): all of it up to where the lines stop,
// leaving out only characters of a visual line that runs past the paper's right edge; no line is empty; no visual line begins at or below the paper's bottom
// edge; and the measuring work stays proportional to the text. The lines are then shaped again
// for a PDF's text layer, which has to stay as quick.
#include "core/printing/composition.h"
#include "core/printing/pagepainter.h"
#include "core/printing/pdf/pdftextlayer.h"
#include "core/printing/textmeasurer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

/// Reads the input a byte at a time; 0 once it is used up.
class Bytes
{
public:
    Bytes(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {}
    uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    bool atEnd() const { return m_at >= m_size; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

/// The pieces a text is made of, one chosen by each byte.
const QStringList &pieces()
{
    static const QStringList list{
        QStringLiteral("评"),     QStringLiteral("语"),     QStringLiteral("学"),
        QStringLiteral("生"),     QStringLiteral("a"),      QStringLiteral("V"),
        QStringLiteral("f"),      QStringLiteral("i"),      QStringLiteral(" "),
        QStringLiteral("，"),     QStringLiteral("。"),     QStringLiteral("；"),
        QStringLiteral("："),     QStringLiteral(","),      QStringLiteral("."),
        QStringLiteral(";"),      QStringLiteral("？"),     QStringLiteral("！"),
        QStringLiteral("、"),     QStringLiteral("\u200b"), QStringLiteral("\u200d"),
        QStringLiteral("\u200c"), QStringLiteral("\ufeff"), QStringLiteral("\u00ad"),
        QStringLiteral("\u0301"), QStringLiteral("\u0323"), QStringLiteral("\u20dd"),
        QStringLiteral("\ufe0f"), QStringLiteral("\r"),     QStringLiteral("\n"),
        QStringLiteral("\r\n"),   QStringLiteral("\t"),     QString(QChar(0xd842)),
        QString(QChar(0xdfb7)),   QStringLiteral("𠮷"),     QStringLiteral("👍"),
        QStringLiteral("🏽"),   QStringLiteral("🇨"),      QStringLiteral("🇳"),
        QStringLiteral("👨"),      QStringLiteral("α"),      QStringLiteral("я"),
        QStringLiteral("ب"),      QStringLiteral("क"),      QStringLiteral("\u094d"),
        QStringLiteral("한"),     QStringLiteral("\ue000"), QStringLiteral("\u0001"),
        QStringLiteral("\u3000"),
    };
    return list;
}

/// Byte b < 128 appends piece b; b ≥ 128 repeats the last piece (b − 127) × 8 times, so that a
/// short input can hold long runs. The text stays about as long as a page can show, so that the
/// fuzzer tries many texts rather than a few very long ones.
QString textFrom(Bytes &bytes)
{
    constexpr qsizetype MaxText = 2000;
    QString text;
    QString last = pieces().first();
    while (!bytes.atEnd() && text.size() < MaxText) {
        const uint8_t b = bytes.next();
        if (b < 128) {
            last = pieces().at(b % pieces().size());
            text += last;
        } else {
            for (int i = 0; i < (b - 127) * 8 && text.size() < MaxText; ++i)
                text += last;
        }
    }
    return text;
}

ItemFont fontFrom(Bytes &bytes)
{
    static const QStringList names{QStringLiteral("宋体"), QStringLiteral("黑体"),
                                   QStringLiteral("楷体_GB2312"), QStringLiteral("DejaVu Serif"),
                                   QStringLiteral("Nimbus Roman")};
    const uint8_t b = bytes.next();
    // A few sizes only: Qt keeps every font engine it has made while no event loop runs.
    static const double scales[] = {1, 0.75, 0.5};
    static const double sizes[] = {9, 10.5, 12, 5, 36};
    const double size = sizes[bytes.next() % 5] * scales[b % 3];
    return {names.at((b / 3) % names.size()), size, bool(b & 0x40), bool(b & 0x80)};
}

/// A length in centimetres: negative, 0, ordinary or huge.
double lengthFrom(uint8_t b)
{
    if (b == 0)
        return 0;
    if (b == 1)
        return -2.5;
    if (b >= 250)
        return 1000.0 * (b - 249);
    return b / 8.0;
}

/// A4, and the longest side of the largest sheet a school prints on (A3), in centimetres.
constexpr double PaperWidth = 21.0;
constexpr double PaperHeight = 29.7;
constexpr double MaxPaper = 42.0;

/// Where the text goes on after `line`, which begins at `from`: the line must be the text's
/// whole characters from there on, apart from characters of a visual line left out after the
/// paper's edge (never the first character of the text nor a line break). -1 when it is not.
/// Greedy: a character the line can take is taken.
qsizetype matchGreedily(const QString &text, QTextBoundaryFinder &clusters, qsizetype from,
                        const QString &line, bool mayLeaveOut)
{
    clusters.setPosition(from);
    if (!clusters.isAtBoundary())
        return -1;
    qsizetype at = from;
    qsizetype matched = 0;
    while (matched < line.size()) {
        if (at >= text.size())
            return -1;
        const qsizetype end = clusters.toNextBoundary();
        const QStringView cluster = QStringView(text).sliced(at, end - at);
        if (QStringView(line).sliced(matched).startsWith(cluster))
            matched += cluster.size();
        else if (!(mayLeaveOut && at > 0 && cluster.front() != u'\r' && cluster.front() != u'\n'))
            return -1;
        at = end;
    }
    return at;
}

/// The same question where taking a character greedily goes wrong: a character left out can
/// equal the start of a later one the line holds (a lone surrogate left out, then the same
/// surrogate at the head of a cluster with an emoji modifier). Follows every place in the line
/// that the characters so far can reach.
qsizetype matchExhaustively(const QString &text, QTextBoundaryFinder &clusters, qsizetype from,
                            const QString &line, bool mayLeaveOut)
{
    clusters.setPosition(from);
    check(clusters.isAtBoundary());
    std::vector<bool> reached(std::size_t(line.size()) + 1, false);
    std::vector<qsizetype> places{0};
    reached[0] = true;
    qsizetype at = from;
    while (!reached[std::size_t(line.size())]) {
        check(at < text.size() && !places.empty());
        const qsizetype end = clusters.toNextBoundary();
        const QStringView cluster = QStringView(text).sliced(at, end - at);
        const bool mayLeave = mayLeaveOut && at > 0 && cluster.front() != u'\r' && cluster.front() != u'\n';
        std::vector<qsizetype> next;
        std::vector<bool> taken(reached.size(), false);
        for (const qsizetype place : places) {
            if (QStringView(line).sliced(place).startsWith(cluster) &&
                !taken[std::size_t(place + cluster.size())]) {
                taken[std::size_t(place + cluster.size())] = true;
                next.push_back(place + cluster.size());
            }
            if (mayLeave && !taken[std::size_t(place)]) {
                taken[std::size_t(place)] = true;
                next.push_back(place);
            }
        }
        places = std::move(next);
        reached = std::move(taken);
        at = end;
    }
    return at;
}

/// Whether `line`, at `from` in the text, is the text's whole characters from there on, apart
/// from characters of a visual line left out after the paper's edge; where the text goes on.
qsizetype matchLine(const QString &text, QTextBoundaryFinder &clusters, qsizetype from, const QString &line,
                    bool mayLeaveOut)
{
    const qsizetype greedy = matchGreedily(text, clusters, from, line, mayLeaveOut);
    return greedy >= 0 ? greedy : matchExhaustively(text, clusters, from, line, mayLeaveOut);
}

/// The top of the last visual line of a box, its line breaks (CR LF, CR, LF) a pitch apart.
double lastVisualTop(const PageItem &line, double pitch)
{
    double top = line.top;
    const QString &text = line.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && !(i + 1 < text.size() && text[i + 1] == u'\n')))
            top += pitch;
    }
    return top;
}

} // namespace

// Fontconfig keeps what it reads about the fonts for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QtTextMeasurer measurer;
    Bytes bytes(data, size);
    const ItemFont font = fontFrom(bytes);
    const double boxWidth = lengthFrom(bytes.next());
    const double gap = lengthFrom(bytes.next()) / 4;
    const double top = lengthFrom(bytes.next());
    const double left = lengthFrom(bytes.next());
    const uint8_t paperByte = bytes.next();
    // The program always composes for a sheet of paper (the page, the printer's page, the fit
    // check's reach): A4 unless the input chooses edges, which stay within a real sheet's size.
    PaperEdges paper{PaperWidth * 570, PaperHeight * 570};
    if (paperByte & 1)
        paper.right = std::min(lengthFrom(bytes.next()), MaxPaper) * 570;
    if (paperByte & 2)
        paper.bottom = std::min(lengthFrom(bytes.next()), MaxPaper) * 570;
    const QString text = textFrom(bytes);
    // A tab is composed as a space.
    const QString composed = QString(text).replace(u'\t', u' ');

    const qint64 measuredBefore = measurer.measuredLength();
    const QList<PageItem> lines =
        breakCommentLines(text, boxWidth, gap, top, left, font, measurer, 570, paper);
    // A few whole measurements of each line, and of each cluster on its own.
    check(measurer.measuredLength() - measuredBefore <= 40 * text.size() + 1000);

    const double pitch = measurer.measureText(QString(), font).height;
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, composed);
    qsizetype at = 0;
    double expectedTop = top * 570;
    for (const PageItem &line : lines) {
        check(!line.text.isEmpty());
        check(line.role == PageItemRole::CommentLine && line.font == font && line.left == left * 570);
        // Boxes follow each other as they are measured; each visual line begins on the paper.
        check(line.top == expectedTop);
        check(lastVisualTop(line, pitch) < paper.bottom);
        expectedTop += line.height + gap * 570;
        at = matchLine(composed, clusters, at, line.text, true);
    }

    // Only the resolution of the device matters to the shaping.
    static QImage device(8, 8, QImage::Format_ARGB32);
    ComposedPage page;
    page.items = lines;
    PdfTextLayer textLayer;
    QPainter painter(&device);
    paintLines(painter, drawnLines(page, &device), &textLayer);
    painter.end();
    check(textLayer.pageCount() == 1);
    return 0;
}
