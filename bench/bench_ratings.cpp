// Reading a class's ratings file: 100 students, 7 categories, as written beside the class.
#include "core/document/ratingsfile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QStringList Categories{QStringLiteral("学习态度"), QStringLiteral("课堂表现"), QStringLiteral("作业完成"),
                             QStringLiteral("纪律"),     QStringLiteral("品德修养"), QStringLiteral("总评"),
                             QStringLiteral("寄语")};

void ReadRatingsFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = RatingsFile::sidecarPath(dir.filePath(QStringLiteral("三年级二班.py")));
    RatingsFile::Table table{Categories, {}, {}};
    const Rating grades[] = {Rating::Excellent, Rating::Good, Rating::Lagging, Rating::None};
    for (int i = 0; i < 100; ++i) {
        table.names.append(QStringLiteral("学生%1").arg(i + 1));
        QList<Rating> row;
        for (int c = 0; c < Categories.size(); ++c)
            row.append(grades[(i + c) % 4]);
        table.grades.append(row);
    }
    if (!RatingsFile::write(path, table, {}))
        state.SkipWithError("cannot write the ratings file");
    for (auto _ : state) {
        RatingsFile::Problems problems;
        const Result<RatingsFile::Table> read = RatingsFile::readFile(path, table.names, Categories, &problems);
        benchmark::DoNotOptimize(read.ok());
    }
}
BENCHMARK(ReadRatingsFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
