// Reading and writing a full class: 100 students with 300-character comments.
#include "core/document/commentfile.h"
#include "core/platform/textfile.h"

#include <QBuffer>
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

} // namespace

BENCHMARK_MAIN();
