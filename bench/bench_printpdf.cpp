// A class of 100 as a PDF: drawing the pages with Qt's PDF writer, and setting the text layer
// right afterwards (shaping is done while drawing; the rewrite parses and rewrites the file).
// The per-student files of the same class read as a ratio to the class PDF: they are its
// pages split, each with its fonts cut down to the page.
#include "core/document/commentdocument.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pdfexport.h"
#include "core/printing/pdf/pdfsplit.h"
#include "core/printing/pdf/pdftextlayer.h"
#include "core/printing/textmeasurer.h"

#include "offscreenmain.h"

#include <QCryptographicHash>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

CommentDocument hundredStudents()
{
    CommentDocument document;
    document.TeacherSignature = QStringLiteral("班主任：王大力老师");
    const QString comment = QStringLiteral(
        "你上课认真听讲，积极举手发言；作业书写工整。乐于帮助同学！老师希望你在新的学期里更加努力，"
        "一步一个脚印，争取更大的进步。你的毛笔字写得好，长跑第一名！Keep going, 加油。");
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i)
        document.slot(i) = {QStringLiteral("王子涵%1").arg(i), comment.left(60 + i % 50)};
    return document;
}

LayoutScheme a4()
{
    LayoutScheme scheme;
    scheme.name = QStringLiteral("A4纵向");
    scheme.paperheight = QStringLiteral("29.7");
    scheme.paperwidth = QStringLiteral("21");
    scheme.studentleft = QStringLiteral("2.5");
    scheme.studenttop = QStringLiteral("3");
    scheme.pytextleft = QStringLiteral("2.5");
    scheme.pytexttop = QStringLiteral("4.2");
    scheme.pytextwidth = QStringLiteral("15.5");
    scheme.pytextjuli = QStringLiteral(".4");
    scheme.teacherleft = QStringLiteral("14.5");
    scheme.teachertop = QStringLiteral("17.8");
    return scheme;
}

void DrawClassPdf(benchmark::State &state)
{
    const CommentDocument document = hundredStudents();
    const QtTextMeasurer measurer;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const DrawnPdf drawn = drawClassPdf(document, a4(), measurer);
        bytes = drawn.pdf.size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(DrawClassPdf)->Unit(benchmark::kMillisecond);

void RewriteTextLayer(benchmark::State &state)
{
    const CommentDocument document = hundredStudents();
    const QtTextMeasurer measurer;
    const DrawnPdf drawn = drawClassPdf(document, a4(), measurer);
    int matched = 0;
    for (auto _ : state) {
        const Result<PdfTextLayer::Rewritten> outcome = drawn.textLayer.rewrite(drawn.pdf);
        matched = outcome ? outcome->linesMatched : 0;
        benchmark::DoNotOptimize(outcome.ok());
    }
    state.counters["lines"] = double(matched);
}
BENCHMARK(RewriteTextLayer)->Unit(benchmark::kMillisecond);

QList<ClassPages> wholeClass(const CommentDocument &document)
{
    QList<int> students;
    for (int i = 0; i < CommentDocument::MaxStudents; ++i)
        students.append(i);
    return {ClassPages{&document, students, QStringLiteral("三年级二班")}};
}

void ClassPdf(benchmark::State &state)
{
    const CommentDocument document = hundredStudents();
    const QtTextMeasurer measurer;
    for (auto _ : state)
        benchmark::DoNotOptimize(classesPdf(wholeClass(document), a4(), measurer).ok());
}
BENCHMARK(ClassPdf)->Unit(benchmark::kMillisecond);

void StudentPdfs(benchmark::State &state)
{
    const CommentDocument document = hundredStudents();
    const QtTextMeasurer measurer;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const Result<QList<QByteArray>> files = splitPdfPages(*classesPdf(wholeClass(document), a4(), measurer));
        bytes = files ? files->value(0).size() : 0;
    }
    state.counters["first file bytes"] = double(bytes);
}
BENCHMARK(StudentPdfs)->Unit(benchmark::kMillisecond);

// A fixed piece of work that no printing code touches: the others read as ratios to it, so
// that runs on a busy machine can be compared.
void Anchor(benchmark::State &state)
{
    const QByteArray data(4 * 1024 * 1024, 'q');
    for (auto _ : state)
        benchmark::DoNotOptimize(QCryptographicHash::hash(data, QCryptographicHash::Sha256));
}
BENCHMARK(Anchor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks<QGuiApplication>(argc, argv);
}
