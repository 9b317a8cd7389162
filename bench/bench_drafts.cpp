// Drafting a class of 100 from ratings: 7 categories, 18 stock comments per rating, some with
// placeholders, the ratings mixed; and one 换一句 in that class.
#include "core/library/drafts.h"

#include <benchmark/benchmark.h>

namespace {

const QStringList Categories = {
    QStringLiteral("学习态度"), QStringLiteral("课堂表现"), QStringLiteral("作业完成"),
    QStringLiteral("纪律"),     QStringLiteral("品德修养"), QStringLiteral("总评"),
    QStringLiteral("寄语"),
};

Drafts::Library library()
{
    Drafts::Library library;
    library.categories = Categories;
    for (const QString &category : Categories) {
        for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
            for (int i = 0; i < 18; ++i)
                library.comments[category][std::size_t(rating)].append(
                    QStringLiteral("%1，你在%2方面表现%3，第%4句评语写得自然而温暖。")
                        .arg(i % 3 == 0 ? QStringLiteral("{名}") : QStringLiteral("亲爱的同学"), category,
                             CommentLibrary::letter(rating))
                        .arg(i));
        }
    }
    return library;
}

struct Class
{
    QStringList names;
    QList<Drafts::Ratings> ratings;
};

Class classOf(int students)
{
    Class result;
    for (int s = 0; s < students; ++s) {
        result.names.append((s % 10 == 0 ? QStringLiteral("欧阳") : QStringLiteral("王")) +
                            QStringLiteral("同学%1").arg(s));
        Drafts::Ratings rated;
        for (int c = 0; c < Categories.size(); ++c)
            rated.insert(Categories.at(c), Rating((s + c * (s % 4)) % 3));
        result.ratings.append(rated);
    }
    return result;
}

void DraftClassOf100(benchmark::State &state)
{
    const Drafts::Library stock = library();
    const Class pupils = classOf(100);
    quint32 seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Drafts::draftClass(stock, pupils.names, pupils.ratings, ++seed));
}
BENCHMARK(DraftClassOf100)->Unit(benchmark::kMillisecond);

void RedrawOneOf100(benchmark::State &state)
{
    const Drafts::Library stock = library();
    const Class pupils = classOf(100);
    const QList<Drafts::Draft> drafts = Drafts::draftClass(stock, pupils.names, pupils.ratings, 1);
    quint32 seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Drafts::redraw(stock, pupils.names, pupils.ratings, drafts, 50, ++seed));
}
BENCHMARK(RedrawOneOf100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
