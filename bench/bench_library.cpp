// Queries and changes on a large comment library: 10,000 comments in 20 categories, about 167
// in each section. Every change reads the whole file and writes it back atomically (fsync
// included); before each timed change the original file is put back, untimed. The library
// window's reload after a change runs offscreen.
#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "ui/library/pytools.h"

#include "offscreenmain.h"
#include "silentplatform.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

const int Categories = 20;
const int Comments = 10000;

QString categoryName(int i)
{
    static const char16_t *const names[] = {u"学习态度", u"学习习惯", u"课堂表现", u"作业情况", u"思想品德",
                                            u"遵守纪律", u"劳动卫生", u"体育锻炼", u"文艺特长", u"团结同学",
                                            u"尊敬师长", u"集体荣誉", u"阅读积累", u"书写习惯", u"创新思维",
                                            u"诚实守信", u"安全意识", u"家务劳动", u"社会实践", u"期末寄语"};
    return QString::fromUtf16(names[i % 20]);
}

/// The n-th comment: a sentence of 30 to 60 characters built from fixed parts.
QString comment(int n)
{
    static const char16_t *const openings[] = {
        u"你",           u"这学期你",   u"老师发现你", u"在老师眼里，你",
        u"同学们都说你", u"一直以来你", u"每次看到你", u"这个学期，你"};
    static const char16_t *const middles[] = {
        u"上课认真听讲，积极举手发言", u"作业书写工整，字迹清楚美观",
        u"待人真诚热情，乐于帮助同学", u"做事认真负责，值日从不偷懒",
        u"热爱集体，积极参加各项活动", u"遇到难题总爱刨根问底，不弄明白决不罢休",
        u"学习目标明确，计划性强",     u"能主动预习复习，成绩稳中有升",
        u"课间文明守纪，从不追逐打闹", u"喜欢阅读课外书，知识面广"};
    static const char16_t *const endings[] = {u"，老师为你骄傲！",
                                              u"，希望你继续努力，更上一层楼。",
                                              u"，是同学们学习的好榜样。",
                                              u"，如果能再细心一些，进步会更大。",
                                              u"，老师相信你一定会走得更远。",
                                              u"，继续加油吧！",
                                              u"，愿你保持这份热情，收获更多成长。"};
    QString text = QString::fromUtf16(openings[n % 8]) + QString::fromUtf16(middles[(n / 8) % 10]);
    if (n % 3 == 0)
        text += u'，' + QString::fromUtf16(middles[(n / 80 + 3) % 10]);
    text += QString::fromUtf16(endings[(n / 3) % 7]);
    return text + QStringLiteral("（%1）").arg(n);
}

QByteArray libraryBytes()
{
    static const QByteArray bytes = [] {
        QStringList lines;
        int n = 0;
        for (int c = 0; c < Categories; ++c) {
            const QString name = categoryName(c);
            lines.append(CommentLibrary::CategoryMarker + name);
            for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
                lines.append(u'\t' + CommentLibrary::SectionMarker + name + CommentLibrary::letter(rating));
                const int section = c * 3 + int(rating);
                const int end = Comments * (section + 1) / (Categories * 3);
                for (; n < end; ++n)
                    lines.append(QStringLiteral("\t\t") + comment(n));
            }
        }
        return TextFile::encode(TextFile::joinLines(lines));
    }();
    return bytes;
}

/// A library file of its own in a temporary folder.
struct LibraryFile
{
    QTemporaryDir dir;
    QString path = dir.filePath(ProgramFiles::LibraryName);
    LibraryFile() { restore(); }
    void restore() const
    {
        if (!TextFile::saveAtomically(path, libraryBytes()).ok())
            std::abort();
    }
};

void CategoryNames(benchmark::State &state)
{
    const LibraryFile file;
    const CommentLibrary library(file.path);
    for (auto _ : state)
        benchmark::DoNotOptimize(library.categoryNames()->size());
    state.counters["bytes"] = double(libraryBytes().size());
}
BENCHMARK(CategoryNames)->Unit(benchmark::kMillisecond);

void CommentsOfLastCategory(benchmark::State &state)
{
    const LibraryFile file;
    const CommentLibrary library(file.path);
    const QString last = categoryName(Categories - 1);
    if (library.comments(last, Rating::Lagging).valueOr({}).size() < 160)
        std::abort();
    for (auto _ : state)
        benchmark::DoNotOptimize(library.comments(last, Rating::Lagging)->size());
}
BENCHMARK(CommentsOfLastCategory)->Unit(benchmark::kMillisecond);

// The library read once for a search: every entry with its category and rating.
void ReadEntries(benchmark::State &state)
{
    const LibraryFile file;
    const CommentLibrary library(file.path);
    if (library.entries().valueOr({}).size() != Comments)
        std::abort();
    for (auto _ : state)
        benchmark::DoNotOptimize(library.entries()->size());
}
BENCHMARK(ReadEntries)->Unit(benchmark::kMillisecond);

// One keystroke's search over the 10,000 entries: a word found often (the first 200 shown),
// two words found together, and a word found nowhere (every entry looked at).
void SearchEntries(benchmark::State &state)
{
    static const QString queries[] = {QStringLiteral("认真"), QStringLiteral("认真 更上一层楼"),
                                      QStringLiteral("无此一句")};
    const LibraryFile file;
    const QList<CommentLibrary::Entry> entries = CommentLibrary(file.path).entries().valueOr({});
    const QString &query = queries[state.range(0)];
    qsizetype found = 0;
    for (auto _ : state)
        found = CommentLibrary::search(entries, query, 200).size();
    state.counters["found"] = double(found);
}
BENCHMARK(SearchEntries)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

/// Times one change per iteration on the original file.
void timeChange(benchmark::State &state,
                const std::function<Result<CommentLibrary::Written>(CommentLibrary &)> &change)
{
    const LibraryFile file;
    CommentLibrary library(file.path);
    for (auto _ : state) {
        state.PauseTiming();
        file.restore();
        state.ResumeTiming();
        if (!change(library).ok())
            std::abort();
    }
}

void AddCategory(benchmark::State &state)
{
    timeChange(state,
               [](CommentLibrary &library) { return library.addCategory(QStringLiteral("新增类别")); });
}
BENCHMARK(AddCategory)->Unit(benchmark::kMillisecond);

void DeleteCategory(benchmark::State &state)
{
    timeChange(state,
               [](CommentLibrary &library) { return library.deleteCategory(categoryName(Categories / 2)); });
}
BENCHMARK(DeleteCategory)->Unit(benchmark::kMillisecond);

// Add and delete in turn: the file keeps its size without being put back.
void AddThenDeleteCategory(benchmark::State &state)
{
    const LibraryFile file;
    CommentLibrary library(file.path);
    for (auto _ : state) {
        if (!library.addCategory(QStringLiteral("新增类别")).ok() ||
            !library.deleteCategory(QStringLiteral("新增类别")).ok())
            std::abort();
    }
}
BENCHMARK(AddThenDeleteCategory)->Unit(benchmark::kMillisecond);

void RenameCategory(benchmark::State &state)
{
    timeChange(state, [](CommentLibrary &library) {
        return library.renameCategory(categoryName(Categories / 2), QStringLiteral("改过的类别"));
    });
}
BENCHMARK(RenameCategory)->Unit(benchmark::kMillisecond);

void AddComments(benchmark::State &state)
{
    const QStringList texts{comment(Comments + 1), comment(Comments + 2), comment(Comments + 3)};
    timeChange(state, [&](CommentLibrary &library) {
        return library.addComments(categoryName(Categories - 1), Rating::Good, texts);
    });
}
BENCHMARK(AddComments)->Unit(benchmark::kMillisecond);

void ReplaceComment(benchmark::State &state)
{
    timeChange(state, [](CommentLibrary &library) {
        return library.replaceComment(comment(Comments / 2),
                                      QStringLiteral("改过的评语，写得更加具体一些。"));
    });
}
BENCHMARK(ReplaceComment)->Unit(benchmark::kMillisecond);

void DeleteComment(benchmark::State &state)
{
    timeChange(state, [](CommentLibrary &library) { return library.deleteComment(comment(Comments / 2)); });
}
BENCHMARK(DeleteComment)->Unit(benchmark::kMillisecond);

// Where a change spends its time besides the disk.
void DecodeAndSplit(benchmark::State &state)
{
    const QByteArray bytes = libraryBytes();
    for (auto _ : state) {
        const QString text = TextFile::decode(bytes);
        benchmark::DoNotOptimize(TextFile::splitLineViewsAnyBreak(text).size());
    }
}
BENCHMARK(DecodeAndSplit)->Unit(benchmark::kMillisecond);

void Encode(benchmark::State &state)
{
    const QString text = TextFile::decode(libraryBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(TextFile::encode(text).size());
}
BENCHMARK(Encode)->Unit(benchmark::kMillisecond);

void SaveAtomically(benchmark::State &state)
{
    const LibraryFile file;
    QByteArray other = libraryBytes();
    other[other.size() / 2] = 'x';
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        if (!TextFile::saveAtomically(file.path, flip ? other : libraryBytes()).ok())
            std::abort();
    }
}
BENCHMARK(SaveAtomically)->Unit(benchmark::kMillisecond);

// What follows every change: the window reloaded from the file, the category and rating put
// back and the comment list refilled, with the selected comment restored.
void ReloadLibraryWindow(benchmark::State &state)
{
    const LibraryFile file;
    SilentPlatform platform;
    Session appState;
    appState.setProgramFolder(file.dir.path() + u'/');
    pytools window(
        appState, platform, [] { return nullptr; }, nullptr);
    window.resize(1100, 200);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.load();
        window.lblb()->setCurrentRow(Categories - 1);
        window.setRating(Rating::Good);
        window.fillComments();
        window.lbnr()->setCurrentRow(100);
        QCoreApplication::processEvents();
    }
    if (window.lbnr()->count() < 160)
        std::abort();
}
BENCHMARK(ReloadLibraryWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks<QApplication>(argc, argv);
}
