#include "core/library/drafts.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace Drafts;

namespace {

const QStringList Categories = {"学习态度", "课堂表现", "总评", "作业完成", "纪律", "寄语", "品德修养"};

/// The first `categories` categories, each rating with `size` comments "学习态度好3。".
Library libraryOf(int categories, int size)
{
    Library library;
    for (const QString &category : Categories.first(categories)) {
        library.categories.append(category);
        for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
            for (int i = 0; i < size; ++i)
                library.comments[category][std::size_t(rating)].append(
                    QStringLiteral("%1%2%3。").arg(category, CommentLibrary::letter(rating)).arg(i));
        }
    }
    return library;
}

/// Every category of the library rated; all 良好, or the ratings mixed from student to student.
QList<Ratings> ratingsOf(const Library &library, int students, bool mixed)
{
    QList<Ratings> ratings;
    for (int s = 0; s < students; ++s) {
        Ratings rated;
        for (qsizetype c = 0; c < library.categories.size(); ++c)
            rated.insert(library.categories.at(c), mixed ? Rating((s * 5 + c * (s % 3)) % 3) : Rating::Good);
        ratings.append(rated);
    }
    return ratings;
}

QStringList namesOf(int students)
{
    QStringList names;
    for (int s = 0; s < students; ++s)
        names.append(QStringLiteral("学生%1").arg(s));
    return names;
}

/// The largest difference between the uses of two comments of one category and rating.
int unevenness(const Library &library, const QList<Ratings> &ratings, const QList<Draft> &drafts)
{
    QHash<QString, int> uses; // "category/rating/comment" -> uses
    for (qsizetype s = 0; s < drafts.size(); ++s) {
        for (qsizetype i = 0; i < drafts[s].categories.size(); ++i) {
            const QString &category = drafts[s].categories[i];
            uses[QStringLiteral("%1/%2/%3")
                     .arg(category)
                     .arg(int(ratings[s][category]))
                     .arg(drafts[s].stock[i])]++;
        }
    }
    int worst = 0;
    for (const QString &category : library.categories) {
        for (int r = 0; r < 3; ++r) {
            QList<int> counts;
            for (const QString &comment : library.comments[category][std::size_t(r)])
                counts.append(uses.value(QStringLiteral("%1/%2/%3").arg(category).arg(r).arg(comment)));
            const bool rated = std::any_of(counts.begin(), counts.end(), [](int n) { return n > 0; });
            if (rated)
                worst = std::max(worst, *std::max_element(counts.begin(), counts.end()) -
                                            *std::min_element(counts.begin(), counts.end()));
        }
    }
    return worst;
}

int distinctTexts(const QList<Draft> &drafts)
{
    QSet<QString> texts;
    for (const Draft &draft : drafts)
        texts.insert(draft.text);
    return int(texts.size());
}

/// Every character 100 twips wide, every line 200 twips high.
class BlockMeasurer : public TextMeasurer
{
public:
    TextExtent measureText(const QString &text, const ItemFont &) const override
    {
        return {double(text.size()) * 100, 200.0};
    }
};

} // namespace

class tst_Drafts : public QObject
{
    Q_OBJECT

private slots:
    void placeholders_data();
    void placeholders();
    void order_data();
    void order();
    void evenAcrossTheClass_data();
    void evenAcrossTheClass();
    void noIdenticalDrafts_data();
    void noIdenticalDrafts();
    void seeds_data();
    void seeds();
    void redrawChangesTheDraft_data();
    void redrawChangesTheDraft();
    void placeholdersAcrossComments_data();
    void placeholdersAcrossComments();
    void fitToBox_data();
    void fitToBox();
    void fitsScheme();
};

void tst_Drafts::placeholders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filled");
    QTest::newRow("full name") << "{姓名}同学，你很认真。"
                               << "王小明"
                               << "王小明同学，你很认真。";
    QTest::newRow("given name") << "{名}，你很认真。"
                                << "欧阳娜娜"
                                << "娜娜，你很认真。";
    QTest::newRow("given name of one character") << "{名}，加油！"
                                                 << "司马光"
                                                 << "司马光，加油！";
    QTest::newRow("both, twice") << "{名}{姓名}{名}"
                                 << "张伟强"
                                 << "伟强张伟强伟强";
    QTest::newRow("no placeholder") << "你很认真。"
                                    << "王小明"
                                    << "你很认真。";
    QTest::newRow("other braces stay") << "{班级}{名"
                                       << "王小明"
                                       << "{班级}{名";
    QTest::newRow("a name is not read again") << "{姓名}，{名}"
                                              << "王{名"
                                              << "王{名，{名";
    QTest::newRow("a name holding a placeholder leaves none") << "{姓名}"
                                                              << "{名}"
                                                              << "";
    QTest::newRow("none made where the name meets the text") << "{{姓名}名}好"
                                                             << "姓"
                                                             << "好";
}

void tst_Drafts::placeholders()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, filled);
    QCOMPARE(fillPlaceholders(text, name), filled);
}

void tst_Drafts::order_data()
{
    // The library's order: 学习态度 课堂表现 总评 作业完成 纪律 寄语 品德修养.
    QTest::addColumn<QStringList>("rated");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("all rated") << Categories << QStringList{"总评", "学习态度", "课堂表现", "作业完成",
                                                            "纪律", "品德修养", "寄语"};
    QTest::newRow("without 总评 and 寄语")
        << QStringList{"品德修养", "学习态度"} << QStringList{"学习态度", "品德修养"};
    QTest::newRow("寄语 alone") << QStringList{"寄语"} << QStringList{"寄语"};
    QTest::newRow("a category the library lacks") << QStringList{"体育", "纪律"} << QStringList{"纪律"};
    QTest::newRow("a category without comments of its rating")
        << QStringList{"空类", "纪律"} << QStringList{"纪律"};
    QTest::newRow("nothing rated") << QStringList{} << QStringList{};
}

void tst_Drafts::order()
{
    QFETCH(QStringList, rated);
    QFETCH(QStringList, order);
    Library library = libraryOf(7, 1);
    library.categories.append("空类");
    library.comments["空类"][std::size_t(Rating::Excellent)] = QStringList{"只有优秀。"};
    Ratings ratings;
    for (const QString &category : rated)
        ratings.insert(category, Rating::Good);
    QCOMPARE(draftOrder(library, ratings), order);
}

void tst_Drafts::evenAcrossTheClass_data()
{
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("mixed");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("7 categories of 3, all 良好") << 7 << 3 << false << 1u;
    QTest::newRow("7 categories of 3, mixed") << 7 << 3 << true << 2u;
    QTest::newRow("5 categories of 4, all 良好") << 5 << 4 << false << 3u;
    QTest::newRow("3 categories of 7, mixed") << 3 << 7 << true << 4u;
    QTest::newRow("7 categories of 18, all 良好") << 7 << 18 << false << 5u;
}

void tst_Drafts::evenAcrossTheClass()
{
    QFETCH(int, categories);
    QFETCH(int, size);
    QFETCH(bool, mixed);
    QFETCH(quint32, seed);
    const Library library = libraryOf(categories, size);
    const QList<Ratings> ratings = ratingsOf(library, 50, mixed);
    const QList<Draft> drafts = draftClass(library, namesOf(50), ratings, seed);
    QCOMPARE(drafts.size(), 50);
    QVERIFY(unevenness(library, ratings, drafts) <= 1);
}

void tst_Drafts::noIdenticalDrafts_data()
{
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("distinct");
    QTest::newRow("as many students as drafts") << 2 << 3 << 9 << 9;
    QTest::newRow("one category") << 1 << 5 << 5 << 5;
    QTest::newRow("three categories of two") << 3 << 2 << 8 << 8;
    QTest::newRow("more students than drafts") << 1 << 2 << 3 << 2;
    QTest::newRow("a class of 50") << 7 << 3 << 50 << 50;
}

void tst_Drafts::noIdenticalDrafts()
{
    QFETCH(int, categories);
    QFETCH(int, size);
    QFETCH(int, students);
    QFETCH(int, distinct);
    const Library library = libraryOf(categories, size);
    const QList<Ratings> ratings = ratingsOf(library, students, false);
    for (quint32 seed = 0; seed < 20; ++seed)
        QCOMPARE(distinctTexts(draftClass(library, namesOf(students), ratings, seed)), distinct);
}

void tst_Drafts::seeds_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    QTest::newRow("the same seed") << 7u << 7u;
    QTest::newRow("another seed") << 7u << 8u;
    QTest::newRow("seed 0 and 1") << 0u << 1u;
}

void tst_Drafts::seeds()
{
    QFETCH(quint32, first);
    QFETCH(quint32, second);
    const Library library = libraryOf(7, 18);
    const QList<Ratings> ratings = ratingsOf(library, 30, true);
    const QList<Draft> a = draftClass(library, namesOf(30), ratings, first);
    const QList<Draft> b = draftClass(library, namesOf(30), ratings, second);
    QCOMPARE(a == b, first == second);
}

void tst_Drafts::redrawChangesTheDraft_data()
{
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("students");
    QTest::addColumn<bool>("changes");
    QTest::newRow("a large library") << 7 << 18 << 30 << true;
    QTest::newRow("one category of two") << 1 << 2 << 1 << true;
    QTest::newRow("every draft taken but the current one") << 2 << 2 << 3 << true;
    QTest::newRow("one comment") << 1 << 1 << 1 << false;
}

void tst_Drafts::redrawChangesTheDraft()
{
    QFETCH(int, categories);
    QFETCH(int, size);
    QFETCH(int, students);
    QFETCH(bool, changes);
    const Library library = libraryOf(categories, size);
    const QList<Ratings> ratings = ratingsOf(library, students, false);
    const QStringList names = namesOf(students);
    const QList<Draft> drafts = draftClass(library, names, ratings, 11);
    for (int k = 0; k < students; ++k) {
        const Draft again = redraw(library, names, ratings, drafts, k, 11);
        QVERIFY(!again.text.isEmpty());
        QCOMPARE(again.text != drafts[k].text, changes);
        QList<Draft> after = drafts;
        after[k] = again;
        QCOMPARE(distinctTexts(after), students);
    }
}

void tst_Drafts::placeholdersAcrossComments_data()
{
    // Every split of a comment into a 总评 and a 寄语 part, with a 纪律 part between them that
    // fitting the paper drops.
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("filled");
    QTest::newRow("full name") << "你好{姓名}，加油。"
                               << "你好王小明，加油。";
    QTest::newRow("given name") << "{名}，{名}加油。"
                                << "小明，小明加油。";
}

void tst_Drafts::placeholdersAcrossComments()
{
    QFETCH(QString, whole);
    QFETCH(QString, filled);
    const Ratings rated = {{"总评", Rating::Good}, {"纪律", Rating::Good}, {"寄语", Rating::Good}};
    for (qsizetype cut = 1; cut < whole.size(); ++cut) {
        Library library;
        library.categories = {"总评", "纪律", "寄语"};
        library.comments["总评"][std::size_t(Rating::Good)] = {whole.first(cut)};
        library.comments["纪律"][std::size_t(Rating::Good)] = {"{"};
        library.comments["寄语"][std::size_t(Rating::Good)] = {whole.sliced(cut)};
        const Draft draft = draftClass(library, {"王小明"}, {rated}, 1).first();
        QVERIFY2(!draft.text.contains("{名}") && !draft.text.contains("{姓名}"), qPrintable(draft.text));
        const Draft fitted =
            Drafts::fitToBox(draft, [&](const QString &text) { return text.size() <= draft.text.size() - 1; });
        QCOMPARE(fitted.dropped, QStringList{"纪律"});
        QCOMPARE(fitted.text, ParagraphIndent + filled);
    }
}

void tst_Drafts::fitToBox_data()
{
    // Each part 4 characters; the box holds `room`.
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<int>("room");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("dropped");
    const QStringList all{"总评", "学习态度", "纪律", "寄语"};
    QTest::newRow("fits") << all << 16 << all << QStringList{};
    QTest::newRow("one over") << all << 15 << QStringList{"总评", "学习态度", "寄语"} << QStringList{"纪律"};
    QTest::newRow("down to 寄语") << all << 4 << QStringList{"寄语"}
                                  << QStringList{"纪律", "学习态度", "总评"};
    QTest::newRow("寄语 stays even when too long")
        << all << 3 << QStringList{"寄语"} << QStringList{"纪律", "学习态度", "总评"};
    QTest::newRow("without 寄语") << QStringList{"学习态度", "纪律"} << 4 << QStringList{"学习态度"}
                                  << QStringList{"纪律"};
}

void tst_Drafts::fitToBox()
{
    QFETCH(QStringList, categories);
    QFETCH(int, room);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, dropped);
    Draft draft;
    for (const QString &category : categories) {
        draft.categories.append(category);
        draft.parts.append(QString(category + "好好好好").right(4));
        draft.stock.append(draft.parts.last());
    }
    draft.text = ParagraphIndent + draft.parts.join(QString());
    draft.links.fill(QString(), categories.size());
    draft.linkRoles = draft.links;
    const Draft fitted = Drafts::fitToBox(
        draft, [room](const QString &text) { return text.size() - ParagraphIndent.size() <= room; });
    QCOMPARE(fitted.categories, kept);
    QCOMPARE(fitted.dropped, dropped);
    QCOMPARE(fitted.text.size(), ParagraphIndent.size() + 4 * kept.size());
    QCOMPARE(fitted.stock, fitted.parts);
}

void tst_Drafts::fitsScheme()
{
    // A box 1 cm (570 units) wide and high: two lines of six characters (600 > 570 ends one).
    LayoutScheme scheme;
    const QList<QPair<SchemeField, QString>> values = {
        {SchemeField::PaperHeight, "20"}, {SchemeField::PaperWidth, "20"}, {SchemeField::PyTextLeft, "1"},
        {SchemeField::PyTextTop, "1"},    {SchemeField::PyTextWidth, "1"}, {SchemeField::PyTextHeight, "1"},
        {SchemeField::PyTextJuli, "0"},   {SchemeField::StudentLeft, "1"}, {SchemeField::StudentTop, "0"},
        {SchemeField::TeacherLeft, "1"},  {SchemeField::TeacherTop, "10"}};
    for (const auto &[field, value] : values)
        scheme.setValue(field, value);
    const BlockMeasurer measurer;
    const auto fits = Drafts::fitsScheme(scheme, ItemFont{}, measurer);
    QVERIFY(fits(QString(12, u'好')));
    QVERIFY(!fits(QString(13, u'好')));
}

QTEST_APPLESS_MAIN(tst_Drafts)

#include "tst_drafts.moc"
