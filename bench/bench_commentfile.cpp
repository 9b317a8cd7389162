// Reading and writing a full class: 100 students with 300-character comments; the recovery
// copy of one; a class list read from a spreadsheet.
#include "core/document/commentfile.h"
#include "core/document/namelist.h"
#include "core/document/recovery.h"
#include "core/document/session.h"
#include "core/platform/textfile.h"
#include "silentplatform.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

CommentDocument fullClass()
{
    CommentDocument document;
    const QString sentence = QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整，乐于帮助同学。");
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        QString comment;
        while (comment.size() < 300)
            comment += sentence;
        comment.truncate(150);
        comment += QStringLiteral("\r\n") + comment.left(148);
        document.slot(i) = {QStringLiteral("学生%1").arg(i), comment};
    }
    return document;
}

void ReadWriteInMemory(benchmark::State &state)
{
    const CommentDocument source = fullClass();
    QBuffer first;
    if (!CommentFile::write(&first, source, source.ItemFonts))
        state.SkipWithError("cannot write the class");
    const QByteArray bytes = first.data();
    for (auto _ : state) {
        CommentDocument document;
        QBuffer in;
        in.setData(bytes);
        benchmark::DoNotOptimize(CommentFile::read(&in, document).ok());
        QBuffer out;
        benchmark::DoNotOptimize(CommentFile::write(&out, document, document.ItemFonts).ok());
        benchmark::DoNotOptimize(out.data().size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size() * 2);
}
BENCHMARK(ReadWriteInMemory)->Unit(benchmark::kMicrosecond);

void ReadWriteFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("class.py");
    const CommentDocument source = fullClass();
    if (!CommentFile::write(path, source, source.ItemFonts))
        state.SkipWithError("cannot write the class");
    for (auto _ : state) {
        CommentDocument document;
        benchmark::DoNotOptimize(CommentFile::read(path, document).ok());
        benchmark::DoNotOptimize(CommentFile::write(path, document, document.ItemFonts).ok());
    }
}
BENCHMARK(ReadWriteFile)->Unit(benchmark::kMicrosecond);

// The two halves of the pair, to see where the time goes.
void Decode(benchmark::State &state)
{
    const CommentDocument source = fullClass();
    const QByteArray bytes = TextFile::encode(CommentFile::compose(source, source.ItemFonts));
    for (auto _ : state)
        benchmark::DoNotOptimize(TextFile::decode(bytes).size());
}
BENCHMARK(Decode)->Unit(benchmark::kMicrosecond);

void Encode(benchmark::State &state)
{
    const CommentDocument source = fullClass();
    const QString text = CommentFile::compose(source, source.ItemFonts);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextFile::encode(text).size());
}
BENCHMARK(Encode)->Unit(benchmark::kMicrosecond);

// The window's share of one recovery copy of a full class: the file composed and handed to the
// worker thread, which writes it meanwhile (not timed).
void RecoveryCopyWindowTime(benchmark::State &state)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    if (!store.open())
        state.SkipWithError("cannot open the recovery folder");
    SilentPlatform platform;
    Session session;
    session.replaceDocument(fullClass());
    session.markModified();
    Recovery recovery(session, store, platform);
    for (auto _ : state) {
        recovery.writeNow();
        state.PauseTiming();
        recovery.waitForWrites();
        session.markModified(); // the next keystroke
        state.ResumeTiming();
    }
}
BENCHMARK(RecoveryCopyWindowTime)->Unit(benchmark::kMicrosecond);

// A class list of 101 names read from a spreadsheet LibreOffice saved (merged cells included).
void NamesFromSpreadsheet(benchmark::State &state, const char *file)
{
    const QString path = QStringLiteral(QHSY_TEST_DATA_DIR "/spreadsheet/") + QLatin1String(file);
    for (auto _ : state) {
        const Result<QString> names = NameList::readFile(path, [] { return false; });
        if (!names)
            state.SkipWithError(qPrintable(names.error()));
        benchmark::DoNotOptimize(names.ok());
    }
}
BENCHMARK_CAPTURE(NamesFromSpreadsheet, xlsx, "class101.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NamesFromSpreadsheet, ods, "class101.ods")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the recovery copy is written by the thread pool
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
