// Composing one page with a 2,000-character comment in a 13 cm box, measured with Qt's fonts:
// the quick line measurement against measuring the whole line after every character; a
// comment that mixes in characters beyond the BMP, combining marks and emoji sequences; and
// hostile comments: 20,000 zero-width spaces, a letter under 20,000 combining marks, a
// 10 MB comment of one line, 1,000,000 line breaks.
#include "core/document/commentdocument.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"
#include "core/printing/textmeasurer.h"

#include "offscreenmain.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

CommentDocument
longComment(const QString &sentence = QStringLiteral(
                "你上课认真听讲，积极举手发言；作业书写工整。乐于帮助同学！希望你继续努力，争取更大的进步？"))
{
    CommentDocument document;
    QString comment;
    while (comment.size() < 2000)
        comment += sentence + (comment.size() % 600 < 50 ? QStringLiteral("\r\n") : QString());
    comment.truncate(2000);
    if (comment.back().isHighSurrogate())
        comment.chop(1);
    document.slot(1) = {QStringLiteral("王小明"), comment};
    return document;
}

LayoutScheme scheme()
{
    LayoutScheme scheme;
    scheme.paperheight = QStringLiteral("29.7");
    scheme.paperwidth = QStringLiteral("21");
    scheme.studentleft = QStringLiteral("2");
    scheme.studenttop = QStringLiteral("3");
    scheme.pytextleft = QStringLiteral("2.5");
    scheme.pytexttop = QStringLiteral("4");
    scheme.pytextwidth = QStringLiteral("13");
    scheme.pytextjuli = QStringLiteral("0.3");
    scheme.teacherleft = QStringLiteral("12");
    scheme.teachertop = QStringLiteral("25");
    return scheme;
}

CommentDocument mixedComment()
{
    return longComment(QStringLiteral(
        "𠮷野同学上课认真，café naïve 👍🏽 e\u0301 a\u0301\u0302 👨‍👩‍👧 "
        "乐于助人𩸽；希望继续努力。"));
}

void compose(benchmark::State &state, const TextMeasurer &measurer,
             const CommentDocument &document = longComment())
{
    const PageSetup setup = PageSetup::of(scheme());
    qsizetype lines = 0;
    for (auto _ : state) {
        const ComposedPage page = composePage(document, 0, document.ItemFonts, setup, measurer);
        lines = page.items.size() - 2;
        benchmark::DoNotOptimize(page.items.data());
    }
    state.counters["lines"] = double(lines);
}

void ComposeLongComment(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    compose(state, measurer);
}
BENCHMARK(ComposeLongComment)->Unit(benchmark::kMillisecond);

void ComposeLongCommentFullRemeasurement(benchmark::State &state)
{
    const QtTextMeasurer measurer(QtTextMeasurer::Lines::MeasuredWhole);
    compose(state, measurer);
}
BENCHMARK(ComposeLongCommentFullRemeasurement)->Unit(benchmark::kMillisecond);

void ComposeMixedComment(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    compose(state, measurer, mixedComment());
}
BENCHMARK(ComposeMixedComment)->Unit(benchmark::kMillisecond);

CommentDocument oneComment(const QString &comment)
{
    CommentDocument document;
    document.slot(1) = {QStringLiteral("王小明"), comment};
    return document;
}

void ComposeZeroWidthSpaces(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    compose(state, measurer, oneComment(QString(20000, QChar(0x200b))));
}
BENCHMARK(ComposeZeroWidthSpaces)->Unit(benchmark::kMillisecond);

void ComposeCombiningMarks(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    compose(state, measurer, oneComment(QStringLiteral("a") + QString(20000, QChar(0x0301))));
}
BENCHMARK(ComposeCombiningMarks)->Unit(benchmark::kMillisecond);

void ComposeTenMegabyteLine(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    QString sentence = longComment().slot(1).comment;
    sentence.remove(QStringLiteral("\r\n"));
    compose(state, measurer, oneComment(sentence.repeated(5'000'000 / sentence.size())));
}
BENCHMARK(ComposeTenMegabyteLine)->Unit(benchmark::kMillisecond);

void ComposeLineBreaks(benchmark::State &state)
{
    const QtTextMeasurer measurer;
    compose(state, measurer, oneComment(QStringLiteral("评") + QStringLiteral("\r\n").repeated(1'000'000)));
}
BENCHMARK(ComposeLineBreaks)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
